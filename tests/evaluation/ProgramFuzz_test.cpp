#include <cmath>
#include <cstring>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/RunPCode.h"
#include "tests/evaluation/MachineTestSupport.h"

// Random well-formed programs run over all four value types; the
// sanitizers judge. ZL_FUZZ_PROGRAMS=1000000 runs the full campaign.

namespace {

// Program text made one line at a time from random choices.
class ProgramText {
 protected:
  explicit ProgramText(uint32_t seed) : fRandom(seed) {}
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(fRandom); }
  void Emit(const std::string& line) { fText += line + "\n"; }

  std::mt19937 fRandom;
  std::string fText;
};

class ProgramGenerator : ProgramText {
 public:
  // `translatable`: only what the faster form runs (no guards, table rows
  // or statistics), with temporaries and constants among the leaves.
  explicit ProgramGenerator(uint32_t seed, bool translatable = false)
      : ProgramText(seed), fTranslatable(translatable) {}

  std::string Make() {
    fText.clear();
    fNextTemp = 0;
    fNextGuard = 1;
    Value(4);
    return fText;
  }

 private:
  void Leaf() {
    if (fTranslatable && Pick(3) == 0) {
      Emit(Pick(2) ? "pcPushTemp " + std::to_string(Pick(4)) : "pcPushConstant " + std::to_string(Pick(3)));
      return;
    }
    switch (Pick(5)) {
      case 0: Emit("pcPushNumber " + std::to_string(Pick(41) * 0.25 - 5)); break;
      case 1: Emit("pcPushVar " + std::to_string(Pick(12))); break;
      case 2: Emit("pcPushI"); break;
      case 3: Emit("pcPushParameter " + std::to_string(Pick(300))); break;
      default: Emit("pcPushNumber nan"); break;
    }
  }

  // Emits code that leaves exactly one more value on the stack.
  void Value(int depth) {
    if (depth <= 0) return Leaf();
    int kind = Pick(11);
    while (fTranslatable && (kind == 6 || kind == 8 || kind == 9)) kind = Pick(11);
    switch (kind) {
      case 0: Leaf(); break;
      case 1: {  // unary: pcNeg .. pcAcsch, pcNot, pcFloor, pcCeil, pcRe .. pcConj
        static const int unary[] = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
                                    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                    52, 63, 66, 67, 70, 71, 72, 73, 74, 75};
        Value(depth - 1);
        Emit(std::to_string(unary[Pick(static_cast<int>(std::size(unary)))]));
        break;
      }
      case 2: {  // binary
        static const char* ops[] = {"pcAdd", "pcMul", "pcDiv", "pcPow", "pcAngle", "pcHypot",
                                    "pcMakeInterval", "pcStrEqual", "pcStrNotEqual", "pcAnd",
                                    "pcOr", "pcBesselJ", "pcIf", "pcMod", "pcMin", "pcMax",
                                    "pcChoose", "pcInterpolate2 7"};
        Value(depth - 1);
        Value(depth - 1);
        Emit(ops[Pick(18)]);
        break;
      }
      case 3: {  // ternary
        Value(depth - 1);
        Value(depth - 1);
        Value(depth - 1);
        Emit(Pick(2) ? "pcPowFrac" : "pcClamp");
        break;
      }
      case 4: {  // chain
        static const char* chains[] = {"pcLess", "pcGreater", "pcLessEq", "pcGreaterEq", "pcEqual", "pcNotEqual"};
        const int n = 1 + Pick(4);
        for (int i = 0; i < std::max(n, 2); ++i) Value(depth - 1);
        Emit(std::string(chains[Pick(6)]) + " " + std::to_string(n));
        if (n == 1) Emit("pcPop");
        break;
      }
      case 5: {  // unguarded branch
        const int pairs = 1 + Pick(3);
        for (int i = 0; i < pairs; ++i) {
          Value(depth - 1);
          Value(depth - 1);
        }
        Emit("pcBranch " + std::to_string(pairs));
        break;
      }
      case 6: {  // guarded branch
        const int pairs = 1 + Pick(3);
        const int id = fNextGuard++;
        for (int k = 0; k < pairs; ++k) {
          Value(depth - 1);
          Emit("pcSkipIfZero " + std::to_string(id) + " " + std::to_string(k));
          Value(depth - 1);
          Emit("pcSkipRestIfTrue " + std::to_string(id) + " " + std::to_string(pairs - 1));
          Emit("pcGuardEnd " + std::to_string(id) + " " + std::to_string(k));
        }
        Emit("pcBranch " + std::to_string(pairs));
        break;
      }
      case 7: {  // sum or product
        const int t = fNextTemp;
        fNextTemp += 3;
        const bool product = Pick(2);
        // Small literal bounds keep nested loops short.
        Emit(product ? "pcPushNumber 1" : "pcPushNumber 0");
        Emit("pcPushNumber " + std::to_string(Pick(9) - 2));
        Emit("pcStoreTempPop " + std::to_string(t + 1));
        Emit("pcPushNumber " + std::to_string(Pick(5) - 1));
        Emit("pcStoreTemp " + std::to_string(t + 2));
        Emit("pcStoreTempPop " + std::to_string(t));
        Emit("pcLoopTest " + std::to_string(t));
        Value(depth - 1);
        Emit((product ? "pcProductIndexCheck " : "pcSumIndexCheck ") + std::to_string(t));
        Emit(product ? "pcMul" : "pcAdd");
        Emit("pcLoopNext " + std::to_string(t));
        break;
      }
      case 8: {  // table statistic over rows 1 .. b + 1
        const int t = fNextTemp;
        fNextTemp += 4;
        const bool conditional = Pick(2);
        const bool countSum = Pick(2);
        Emit(std::string(countSum ? "pcBeginCountSum " : "pcBeginMaxMin ") + std::to_string(t) + " " +
             std::to_string(Pick(5)));
        Emit("pcLoopTest " + std::to_string(t));
        Emit("pcSetRow " + std::to_string(t));
        Value(depth - 1);
        if (conditional) Value(depth - 1);
        Emit(conditional ? (countSum ? "pcCondCountSum" : "pcCondMaxMin") : (countSum ? "pcCountSum" : "pcMaxMin"));
        Emit("pcLoopNext " + std::to_string(t));
        Emit("pcPopRow");
        Emit(Pick(2) ? "pcDiv" : "pcPop");
        break;
      }
      case 9: {  // rows, temporaries, stores
        Value(depth - 1);
        Value(depth - 1);
        Emit("pcPushRow");
        Emit("pcStoreVar " + std::to_string(Pick(12)));
        Emit("pcPopRow");
        break;
      }
      default: {  // calls and table functions
        Value(depth - 1);
        Emit(Pick(2) ? "pcCallFunction 1 0" : "pcInterpolate1 3");
        break;
      }
    }
  }

  bool fTranslatable;
  int fNextTemp = 0;
  int fNextGuard = 1;
};

int FuzzProgramCount() {
  const char* count = std::getenv("ZL_FUZZ_PROGRAMS");
  return count != nullptr ? std::atoi(count) : 5000;
}

TEST(ProgramFuzz, RandomWellFormedProgramsRunCleanlyInEveryType) {
  ProgramGenerator generator(12345);
  std::mt19937 random(777);
  std::uniform_real_distribution<double> coordinate(-3, 3);
  const int count = FuzzProgramCount();
  for (int n = 0; n < count; ++n) {
    const std::string text = generator.Make();
    std::string error;
    auto machine = AssembleProgram(text, &error);
    ASSERT_NE(machine, nullptr) << error << "\n" << text;
    ASSERT_FALSE(machine->IsMalformed()) << text;
    // Printing and reading back gives the same program.
    auto again = AssembleProgram(DisassembleProgram(*machine), &error);
    ASSERT_NE(again, nullptr) << error;
    ASSERT_EQ(DisassembleProgram(*again), DisassembleProgram(*machine));

    const size_t slots = static_cast<size_t>(machine->VariableSlotCount());
    std::vector<double> d(slots);
    std::vector<Complex> c(slots);
    std::vector<Interval> iv(slots);
    std::vector<ComplexInterval> ci(slots);
    for (size_t i = 0; i < slots; ++i) {
      const double a = coordinate(random), b = coordinate(random);
      d[i] = a;
      c[i] = {a, b};
      iv[i] = {std::min(a, b), std::max(a, b)};
      ci[i] = {iv[i], {0, 0}};
    }
    const double real = machine->Run(d.data(), nullptr);
    machine->Run(c.data(), nullptr);
    const Interval interval = machine->Run(iv.data());
    machine->Run(ci.data());
    EXPECT_FALSE(interval.lower > interval.upper) << text;  // never exterior at the caller
    (void)real;
  }
}

// Constants 0 and 1 of a generated program: sqrt 3 and -infinity (2 is
// beyond the cache and reads as NaN).
void FillConstants(AConstantsCache& cache) {
  for (const char* program : {"pcPushNumber 3\npcSqrt", "pcPushNumber -1\npcPushNumber 0\npcDiv"}) {
    const int32_t index = cache.SaveExpr(nullptr);
    cache.Store().pairs[index].program = AssembleProgram(program, nullptr).release();
  }
}

template <typename T>
bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Each double of the value the same bits, or NaN in both: which NaN an
// operation with two NaN operands passes on follows the order the compiler
// gave the operands, as in the other differential suites.
template <typename T>
bool SameValues(const T& a, const T& b) {
  double x[sizeof(T) / sizeof(double)], y[sizeof(T) / sizeof(double)];
  std::memcpy(x, &a, sizeof(T));
  std::memcpy(y, &b, sizeof(T));
  for (size_t i = 0; i < std::size(x); ++i) {
    if (!SameBits(x[i], y[i]) && !(std::isnan(x[i]) && std::isnan(y[i]))) return false;
  }
  return true;
}

// A program's slots in the four value types, drawn from -3 .. 3.
struct Slots {
  Slots(const AStackMachine& machine, std::mt19937& random) {
    std::uniform_real_distribution<double> coordinate(-3, 3);
    const size_t count = static_cast<size_t>(machine.VariableSlotCount());
    d.resize(count);
    c.resize(count);
    iv.resize(count);
    ci.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const double a = coordinate(random), b = coordinate(random);
      d[i] = a;
      c[i] = {a, b};
      iv[i] = {std::min(a, b), std::max(a, b)};
      ci[i] = {iv[i], {b * 0.5, b * 0.5}};
    }
  }
  std::vector<double> d;
  std::vector<Complex> c;
  std::vector<Interval> iv;
  std::vector<ComplexInterval> ci;
};

// Both dispatches over fresh copies of the same slots: same result bits and
// the same slots written.
template <typename T, bool (*kSame)(const T&, const T&) = SameBits<T>>
::testing::AssertionResult DispatchesAgree(const AStackMachine& machine, const std::vector<T>& slots) {
  std::vector<T> threaded = slots, switched = slots;
  const T a = RunPCode<T>(&machine, threaded.data(), nullptr);
  const T b = RunPCodeSwitched<T>(&machine, switched.data(), nullptr);
  if (!kSame(a, b)) return ::testing::AssertionFailure() << "results differ";
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!kSame(threaded[i], switched[i])) return ::testing::AssertionFailure() << "slot " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

TEST(ProgramFuzz, ThreadedDispatchMatchesTheSwitchOnRandomPrograms) {
  ProgramGenerator generator(24680);
  std::mt19937 random(1357);
  const char* count = std::getenv("ZL_FUZZ_PROGRAMS");
  const int programs = count != nullptr ? std::atoi(count) : 100000;
  for (int n = 0; n < programs; ++n) {
    const std::string text = generator.Make();
    auto machine = AssembleProgram(text, nullptr);
    ASSERT_NE(machine, nullptr);
    ASSERT_TRUE(machine->RunsThreaded());
    machine->fNaNRecovery = n % 2;  // both ways of the NaN stop
    const Slots slots(*machine, random);
    ASSERT_TRUE(DispatchesAgree(*machine, slots.d)) << text;
    ASSERT_TRUE(DispatchesAgree(*machine, slots.c)) << text;
    ASSERT_TRUE(DispatchesAgree(*machine, slots.iv)) << text;
    ASSERT_TRUE(DispatchesAgree(*machine, slots.ci)) << text;
  }
}

// The faster form against the switch on random programs it runs: the same
// values in every value type, both ways of the NaN stop, and each program
// run in the faster form wherever its type has one.
TEST(ProgramFuzz, TranslatedFormMatchesTheSwitchOnRandomPrograms) {
  ProgramGenerator generator(97531, true);
  std::mt19937 random(8642);
  AConstantsCache constants;
  FillConstants(constants);
  const char* count = std::getenv("ZL_FUZZ_PROGRAMS");
  const int programs = count != nullptr ? std::atoi(count) : 100000;
  for (int n = 0; n < programs; ++n) {
    const std::string text = generator.Make();
    auto machine = AssembleProgram(text, nullptr);
    ASSERT_NE(machine, nullptr);
    machine->fConstantsCache = &constants;
    machine->fNaNRecovery = n % 2;
    const Slots slots(*machine, random);
    ASSERT_TRUE((DispatchesAgree<double, SameValues<double>>(*machine, slots.d))) << text;
    ASSERT_TRUE((DispatchesAgree<Complex, SameValues<Complex>>(*machine, slots.c))) << text;
    ASSERT_TRUE((DispatchesAgree<Interval, SameValues<Interval>>(*machine, slots.iv))) << text;
    ASSERT_TRUE((DispatchesAgree<ComplexInterval, SameValues<ComplexInterval>>(*machine, slots.ci))) << text;
    for (int32_t type : {0, 1, 2, 3}) ASSERT_TRUE(machine->RanTranslated(type)) << type << "\n" << text;
  }
}

// Straight-line programs of the steps the faster form writes out in its
// loop (pushes, negation, squares, the four ordinary operations, the
// functions it calls directly, comparisons of two leaves, stores), with
// undefined and infinite leaves among them.
class StraightProgramGenerator : ProgramText {
 public:
  explicit StraightProgramGenerator(uint32_t seed) : ProgramText(seed) {}

  std::string Make() {
    fText.clear();
    Value(4);
    return fText;
  }

 private:
  void Leaf() {
    switch (Pick(8)) {
      case 0: Emit("pcPushNumber " + std::to_string(Pick(41) * 0.25 - 5)); break;
      case 1: Emit(Pick(2) ? "pcPushNumber nan" : "pcPushNumber -inf"); break;
      case 2: Emit("pcPushConstant " + std::to_string(Pick(3))); break;
      case 3: Emit("pcPushTemp " + std::to_string(Pick(4))); break;
      default: Emit("pcPushVar " + std::to_string(Pick(12))); break;
    }
  }

  void Value(int depth) {
    if (depth <= 0) return Leaf();
    switch (Pick(6)) {
      case 0: Leaf(); break;
      case 1: {
        static const char* unary[] = {"pcNeg", "pcSquare", "pcSin", "pcCos", "pcExp", "pcLn", "pcSqrt", "pcAbs"};
        Value(depth - 1);
        Emit(unary[Pick(8)]);
        break;
      }
      case 2:
      case 3: {
        static const char* binary[] = {"pcAdd", "pcMul", "pcDiv"};
        Value(depth - 1);
        Value(depth - 1);
        Emit(binary[Pick(3)]);
        break;
      }
      case 4: {
        static const char* compare[] = {"pcLess 2", "pcGreater 2", "pcLessEq 2", "pcGreaterEq 2"};
        Leaf();
        Leaf();
        Emit(compare[Pick(4)]);
        break;
      }
      default:
        Value(depth - 1);
        Emit(Pick(2) ? "pcStoreTemp " + std::to_string(Pick(4)) : "pcStoreVar " + std::to_string(Pick(12)));
        break;
    }
  }
};

// A box's run of a straight program keeps its top out of memory and the
// steps that call out of its loop: the same values and slots as the switch,
// both ways of the NaN stop, slots that are undefined, infinite or reversed
// among them.
TEST(ProgramFuzz, StraightRunsMatchTheSwitch) {
  StraightProgramGenerator generator(11235);
  std::mt19937 random(5813);
  AConstantsCache constants;
  FillConstants(constants);
  const int programs = ProgramCount() * 4;
  int straight = 0;
  for (int n = 0; n < programs; ++n) {
    const std::string text = generator.Make();
    auto machine = AssembleProgram(text, nullptr);
    ASSERT_NE(machine, nullptr) << text;
    machine->fConstantsCache = &constants;
    machine->fNaNRecovery = n % 2;
    Slots slots(*machine, random);
    const size_t odd = static_cast<size_t>(n) % slots.iv.size();
    if (n % 3 == 0) {
      slots.iv[odd] = {gNaN, 1.0};
    } else if (n % 3 == 1) {
      slots.iv[odd] = n % 2 ? Interval{-gInf, 1.0} : Interval{2.0, -1.0};
    }
    ASSERT_TRUE((DispatchesAgree<Interval, SameValues<Interval>>(*machine, slots.iv))) << text;
    // A box's own entry takes the same run.
    std::vector<Interval> entered = slots.iv, switched = slots.iv;
    ASSERT_TRUE(SameValues(machine->Run(entered.data()),
                           RunPCodeSwitched<Interval>(machine.get(), switched.data(), nullptr)))
        << text;
    const ATranslation* box = machine->fTranslations[2].load();
    ASSERT_NE(box, nullptr) << text;
    straight += box->usable && box->straight && !box->onePush;
  }
  // Not all: a push of a number fused with a function, for one, is a step
  // that calls out.
  EXPECT_GT(straight, programs / 3);
}

// A program of one push skips the step loop: the same values as the switch
// for every source, with NaN, reversed and unknown-constant operands.
TEST(ProgramFuzz, OnePushProgramsMatchTheSwitch) {
  AConstantsCache constants;
  FillConstants(constants);
  std::mt19937 random(4321);
  for (const char* text : {"pcPushVar 3", "pcPushVar 11", "pcPushNumber -2.5", "pcPushConstant 0",
                           "pcPushConstant 1", "pcPushConstant 5"}) {
    for (AConstantsCache* cache : {&constants, static_cast<AConstantsCache*>(nullptr)}) {
      auto machine = AssembleProgram(text, nullptr);
      ASSERT_NE(machine, nullptr);
      machine->fConstantsCache = cache;
      Slots slots(*machine, random);
      ASSERT_TRUE((DispatchesAgree<double, SameValues<double>>(*machine, slots.d))) << text;
      ASSERT_TRUE((DispatchesAgree<Interval, SameValues<Interval>>(*machine, slots.iv))) << text;
      if (slots.d.size() <= 3) continue;
      slots.d[3] = gNaN;
      slots.c[3] = {1.0, gNaN};
      slots.iv[3] = {2.0, -1.0};  // the exterior of (-1, 2): widened at the end
      slots.ci[3] = {{gNaN, 1.0}, {0.0, 0.0}};
      ASSERT_TRUE((DispatchesAgree<double, SameValues<double>>(*machine, slots.d))) << text;
      ASSERT_TRUE((DispatchesAgree<Complex, SameValues<Complex>>(*machine, slots.c))) << text;
      ASSERT_TRUE((DispatchesAgree<Interval, SameValues<Interval>>(*machine, slots.iv))) << text;
      ASSERT_TRUE((DispatchesAgree<ComplexInterval, SameValues<ComplexInterval>>(*machine, slots.ci))) << text;
      for (int32_t type : {0, 1, 2, 3}) {
        ASSERT_TRUE(machine->RanTranslated(type)) << type << "\n" << text;
        EXPECT_TRUE(machine->fTranslations[type].load()->onePush) << type << "\n" << text;
      }
    }
  }
}

// An undefined value met by a push fused into the step after it: both
// dispatches stop there under the NaN stop, skipping the store after it,
// and carry the NaN on to that store without the stop.
TEST(ProgramFuzz, FusedPushesOfUndefinedValuesMatchTheSwitch) {
  const char* kPrograms[] = {
      "pcPushVar 4\npcStoreVar 5\npcPushVar 3\npcSquare\npcAdd\npcStoreVar 6",
      "pcPushVar 4\npcPushVar 3\npcAdd\npcStoreVar 6",
      "pcPushVar 4\npcPushVar 3\npcPushNumber 2\npcMul\npcAdd\npcStoreVar 6",
      "pcPushVar 4\npcPushNumber 2\npcPushVar 3\npcDiv\npcAdd\npcStoreVar 6",
      "pcPushVar 4\npcPushVar 3\npcPushVar 4\npcMul\npcAdd\npcStoreVar 6",
      "pcPushVar 4\npcPushVar 3\npcSin\npcMul\npcStoreVar 6",
      "pcPushVar 4\npcPushNumber 1\npcPushVar 3\npcLess 2\npcAdd\npcStoreVar 6",
      "pcPushVar 3\npcNeg\npcStoreVar 6",
  };
  for (const char* text : kPrograms) {
    for (int32_t recovery : {0, 1}) {
      auto machine = AssembleProgram(text, nullptr);
      ASSERT_NE(machine, nullptr) << text;
      machine->fNaNRecovery = recovery;
      const size_t count = static_cast<size_t>(machine->VariableSlotCount());
      std::vector<double> d(count, 2.0);
      std::vector<Complex> c(count, {2.0, 0.0});
      std::vector<Interval> iv(count, {2.0, 2.0});
      std::vector<ComplexInterval> ci(count, {{2.0, 2.0}, {0.0, 0.0}});
      d[3] = gNaN;
      c[3] = {1.0, gNaN};
      iv[3] = {gNaN, 1.0};
      ci[3] = {{1.0, 1.0}, {gNaN, 0.0}};
      ASSERT_TRUE((DispatchesAgree<double, SameValues<double>>(*machine, d))) << recovery << "\n" << text;
      ASSERT_TRUE((DispatchesAgree<Complex, SameValues<Complex>>(*machine, c))) << recovery << "\n" << text;
      ASSERT_TRUE((DispatchesAgree<Interval, SameValues<Interval>>(*machine, iv))) << recovery << "\n" << text;
      ASSERT_TRUE((DispatchesAgree<ComplexInterval, SameValues<ComplexInterval>>(*machine, ci)))
          << recovery << "\n" << text;
      for (int32_t type : {0, 1, 2, 3}) ASSERT_TRUE(machine->RanTranslated(type)) << type << "\n" << text;
      // The rule itself: NaN at the end; the later store is skipped by the
      // stop and made, undefined, without it.
      std::vector<Interval> run = iv;
      EXPECT_TRUE(IsUndefined(RunPCode<Interval>(machine.get(), run.data(), nullptr))) << text;
      EXPECT_EQ(IsUndefined(run[6]), recovery == 1) << recovery << "\n" << text;
    }
  }
}

}  // namespace
