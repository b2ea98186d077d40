#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "evaluation/ConstantsCache.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/SameBits.h"

// Random programs as text for the differential suites, the slots they run
// on, and how their results are compared.

// How many random programs a campaign runs: the number the environment
// variable `variable` gives, else `fallback`.
inline int ProgramsToRun(const char* variable, int fallback) {
  const char* count = std::getenv(variable);
  return count != nullptr ? std::atoi(count) : fallback;
}

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
        static const int unary[] = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,
                                    41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 63, 66, 67, 70, 71, 72, 73, 74, 75};
        Value(depth - 1);
        Emit(std::to_string(unary[Pick(static_cast<int>(std::size(unary)))]));
        break;
      }
      case 2: {  // binary
        static const char* ops[] = {
            "pcAdd",          "pcMul",      "pcDiv",         "pcPow", "pcAngle",  "pcHypot",
            "pcMakeInterval", "pcStrEqual", "pcStrNotEqual", "pcAnd", "pcOr",     "pcBesselJ",
            "pcIf",           "pcMod",      "pcMin",         "pcMax", "pcChoose", "pcInterpolate2 7"};
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

// Constants 0 and 1 of a generated program: sqrt 3 and -infinity (2 is
// beyond the cache and reads as NaN).
inline void FillConstants(AConstantsCache& cache) {
  for (const char* program : {"pcPushNumber 3\npcSqrt", "pcPushNumber -1\npcPushNumber 0\npcDiv"}) {
    const int32_t index = cache.SaveExpr(nullptr);
    cache.Store().pairs[index].program = AssembleProgram(program, nullptr).release();
  }
}

// Each double of the value the same bits, or NaN in both: which NaN an
// operation with two NaN operands passes on follows the order the compiler
// gave the operands, as in the other differential suites.
template <typename T>
inline bool SameValues(const T& a, const T& b) {
  double x[sizeof(T) / sizeof(double)], y[sizeof(T) / sizeof(double)];
  std::memcpy(x, &a, sizeof(T));
  std::memcpy(y, &b, sizeof(T));
  for (size_t i = 0; i < std::size(x); ++i) {
    if (!SameResult(x[i], y[i])) return false;
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
