#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "evaluation/runs/RunPCode.h"
#include "evaluation/runs/TranslatedSteps.h"
#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/SameBits.h"

// Sums, products and piecewise choices in the real run's faster form, held
// against the plain interpreter: the same value and the same slots left
// behind, on ranges and conditions chosen for their edges.

namespace {

bool HasStep(const AStackMachine& machine, translated::Kind kind) {
  ATranslation* translation = machine.fTranslations[0].load();
  if (translation == nullptr || !translation->usable) return false;
  const translated::Step<double>* step = translated::StepsOf<double>(translation);
  for (;; ++step) {
    if (step->kind == kind) return true;
    if (step->kind == translated::Kind::kEnd) return false;
  }
}

// The faster run and the interpreter from the same slots (x = slot 3,
// y = slot 4): value and every slot alike.
void ExpectLikeInterpreter(const AStackMachine& machine, double x, double y, const std::string& what) {
  std::vector<double> fast(static_cast<size_t>(machine.VariableSlotCount()) + 4, 0.5);
  fast[3] = x;
  fast[4] = y;
  std::vector<double> plain = fast;
  const double ours = machine.Run(fast.data(), nullptr);
  const double reference = RunPCodeSwitched<double>(&machine, plain.data(), nullptr);
  EXPECT_TRUE(SameResult(ours, reference)) << what << " at " << x << ", " << y << ": " << ours << " vs " << reference;
  for (size_t i = 0; i < fast.size(); ++i) {
    EXPECT_TRUE(SameResult(fast[i], plain[i])) << what << " slot " << i << ": " << fast[i] << " vs " << plain[i];
  }
  EXPECT_TRUE(machine.RanTranslated(0)) << what;
}

const double kEdgeXs[] = {-2.5, -1.0, -0.0, 0.0, 0.25, 1.0, 3.0, 40.0, INFINITY, -INFINITY, NAN};
const double kEdgeYs[] = {-1.0, 0.5, 1.0, 7.0, NAN};

// A compiled formula at points that take every value and condition to an
// edge, its program holding the step of `kind`.
void ExpectFormulaLikeInterpreter(const std::string& text, translated::Kind kind) {
  const Compiled compiled = CompileText(text);
  for (double x : kEdgeXs) {
    for (double y : kEdgeYs) ExpectLikeInterpreter(*compiled.machine, x, y, text);
  }
  EXPECT_TRUE(HasStep(*compiled.machine, kind)) << text;
}

void ExpectProgramLikeInterpreter(const std::string& text, translated::Kind kind) {
  auto machine = Program(text);
  for (double x : kEdgeXs) {
    for (double y : kEdgeYs) ExpectLikeInterpreter(*machine, x, y, text);
  }
  EXPECT_TRUE(HasStep(*machine, kind)) << text;
}

TEST(LoopAndChoiceRuns, SumsAndProductsMatchTheInterpreter) {
  for (const char* text : {
           "sum(sin(k * x) / k, k = 1, 20)",
           "sum(sqrt(k - 3) + 1 / (k - 2) + x, k = 1, 6)",  // NaN and infinite terms
           "sum(k * x, k = 5, 2)",                          // empty
           "sum(k + y, k = x, y * 3)",                      // bounds empty, reversed, NaN, infinite
           "product(1 + x / k, k = 1, y * 10)",
           "sum(x, k = 1, 100001)",  // the most the loop limit lets run
           "sum(x, k = 1, 100002)",
           "sum(x, k = 1, 1e15)",
           "sum(x, k = 9007199254740990, 9007199254740994)",  // the index stops growing
           "sum(sum(j * k + x, j = 1, k), k = 1, 6)",
           "sum(product(j + y, j = 1, k) / k, k = 0, 5) + product(sum(x, j = k, 3), k = 1, 4)",
       }) {
    ExpectFormulaLikeInterpreter(text, translated::Kind::kLoopTail);
  }
}

TEST(LoopAndChoiceRuns, ChoicesMatchTheInterpreter) {
  for (const char* text : {
           "branch(if(x * x, x < 0), if(sqrt(x), x < 1), 1 + ln(x))",
           "branch(if(1, x < 0), if(2, y))",                         // a condition that counts short of 1
           "branch(if(x, y), if(2, x < 1))",                         // ... before one that holds
           "branch(if(1, x < 0), if(2, x > -1))",                    // NaN makes both false
           "branch(if(1, x < 0), if(2, sum(k * y, k = 1, 3) > 1))",  // a later condition loops
           "branch(if(branch(if(1, y < 1), if(2, y > 0.9)), x < 0), if(3, x > -1)) + branch(if(y, x > 1), 4)",
       }) {
    ExpectFormulaLikeInterpreter(text, translated::Kind::kValueEnd);
  }
}

TEST(LoopAndChoiceRuns, ProgramsBeyondTheCompilersShapesMatchTheInterpreter) {
  // A condition after a value chosen by x < 1 stores: the store is made.
  ExpectProgramLikeInterpreter(
      "pcPushVar 3\npcPushNumber 1\npcLess 2\npcPushVar 3\n"
      "pcPushVar 4\npcStoreTemp 0\npcPushVar 4\npcBranch 2",
      translated::Kind::kValueEnd);
  // A body that moves the loop's limit to x + 2: the loop ends there, or
  // at once, or is abandoned.
  ExpectProgramLikeInterpreter(
      "pcPushNumber 0\npcPushNumber 50\npcStoreTempPop 1\npcPushNumber 1\npcStoreTemp 2\npcStoreTempPop 0\n"
      "pcLoopTest 0\npcPushTemp 0\npcPushVar 3\npcPushNumber 2\npcAdd\npcStoreTempPop 1\n"
      "pcSumIndexCheck 0\npcAdd\npcLoopNext 0",
      translated::Kind::kLoopTail);
  // A product's accumulation under a sum's index check, and a start moved
  // past the index inside the body.
  ExpectProgramLikeInterpreter(
      "pcPushNumber 1\npcPushNumber 6\npcStoreTempPop 1\npcPushNumber 1\npcStoreTemp 2\npcStoreTempPop 0\n"
      "pcLoopTest 0\npcPushVar 3\npcPushTemp 0\npcAdd\npcPushVar 4\npcStoreTempPop 2\n"
      "pcSumIndexCheck 0\npcMul\npcLoopNext 0",
      translated::Kind::kLoopTail);
}

}  // namespace
