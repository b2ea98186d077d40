#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/runs/RunPCode.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/RandomPrograms.h"

// Random well-formed programs run over all four value types; the
// sanitizers judge. ZL_FUZZ_PROGRAMS=1000000 runs the full campaign.

namespace {

TEST(ProgramFuzz, RandomWellFormedProgramsRunCleanlyInEveryType) {
  ProgramGenerator generator(12345);
  std::mt19937 random(777);
  std::uniform_real_distribution<double> coordinate(-3, 3);
  const int count = ProgramsToRun("ZL_FUZZ_PROGRAMS", 5000);
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
  const int programs = ProgramsToRun("ZL_FUZZ_PROGRAMS", 100000);
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
  const int programs = ProgramsToRun("ZL_FUZZ_PROGRAMS", 100000);
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

// A box's run of a straight program keeps its top out of memory and the
// steps that call out of its loop: the same values and slots as the switch,
// both ways of the NaN stop, slots that are undefined, infinite or reversed
// among them.
TEST(ProgramFuzz, StraightRunsMatchTheSwitch) {
  StraightProgramGenerator generator(11235);
  std::mt19937 random(5813);
  AConstantsCache constants;
  FillConstants(constants);
  const int programs = ProgramsToRun("ZL_GRID_PROGRAMS", 2000) * 4;
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
    ASSERT_TRUE(
        SameValues(machine->Run(entered.data()), RunPCodeSwitched<Interval>(machine.get(), switched.data(), nullptr)))
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
  for (const char* text : {"pcPushVar 3", "pcPushVar 11", "pcPushNumber -2.5", "pcPushConstant 0", "pcPushConstant 1",
                           "pcPushConstant 5"}) {
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
      ASSERT_TRUE((DispatchesAgree<ComplexInterval, SameValues<ComplexInterval>>(*machine, ci))) << recovery << "\n"
                                                                                                 << text;
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
