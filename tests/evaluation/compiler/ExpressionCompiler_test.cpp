#include <cmath>

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/StringValues.h"
#include "expression/TreeBuilding.h"

namespace {

std::string Alone(const std::string& text, bool guarded = false) {
  return Listing(*CompileText(text, guarded).machine);
}

double RunAt(const AStackMachine& m, double x, double y = 0, double z = 0) {
  return RunWith<double>(m, {0, 0, 0, x, y, z});
}

}  // namespace

TEST(ExpressionCompiler, PowersSquaresAndFractionalExponents) {
  EXPECT_EQ(Alone("x ^ 2"), "pcPushVar 3\npcSquare\n");
  EXPECT_EQ(Alone("e ^ x"), "pcPushVar 3\npcExp\n");
  EXPECT_EQ(Alone("e ^ 2"), "pcPushNumber 2.718281828459045\npcSquare\n");
  EXPECT_EQ(Alone("x ^ (1 / 3)"), "pcPushVar 3\npcPushNumber 1\npcPushNumber 3\npcPowFrac\n");
  EXPECT_EQ(Alone("x ^ (-(1 / 3))"), "pcPushVar 3\npcPushNumber 1\npcPushNumber 3\npcNeg\npcPowFrac\n");
  EXPECT_EQ(Alone("x ^ (-3)"), "pcPushVar 3\npcPushNumber -3\npcPow\n");  // the literal folds
  // A real odd root of a negative base: (-8)^(1/3) = -2, (-8)^(-(1/3)) = -1/2.
  EXPECT_DOUBLE_EQ(RunAt(*CompileText("x ^ (1 / 3)").machine, -8), -2.0);
  EXPECT_DOUBLE_EQ(RunAt(*CompileText("x ^ (-(1 / 3))").machine, -8), -0.5);
}

TEST(ExpressionCompiler, ConstantsGoToTheCacheWhenOneIsGiven) {
  AConstantsCache cache;
  Compiled c = CompileText("e ^ 2 + x", false, nullptr, &cache);
  EXPECT_EQ(Listing(*c.machine), "pcPushConstant\npcPushVar 3\npcAdd\n");
  EXPECT_EQ(cache.Store().pairCount, 1);
}

TEST(ExpressionCompiler, LogarithmsAndRootsOfAGivenBase) {
  Compiled log = CompileText("log(x, 2)");
  EXPECT_EQ(Listing(*log.machine), "pcPushVar 3\npcPushNumber 2\npcLn\npcSwap\npcLn\npcSwap\npcDiv\n");
  EXPECT_EQ(log.machine->fStackDepth, 3);
  EXPECT_DOUBLE_EQ(RunAt(*log.machine, 8), 3.0);
  Compiled root = CompileText("sqrt(x, 3)");
  EXPECT_EQ(Listing(*root.machine), "pcPushVar 3\npcPushNumber 3\npcPushNumber 1\npcSwap\npcPowFrac\n");
  EXPECT_DOUBLE_EQ(RunAt(*root.machine, -27), -3.0);
}

TEST(ExpressionCompiler, SumsNestedOverOneIndexAreUndefinedAndSideBySideShareSlots) {
  EXPECT_EQ(Alone("sum(sum(j, j = 1, 2), j = 1, 3)"), "pcPushNumber nan\n");
  Compiled twice = CompileText("sum(j, j = 1, 2) + sum(j ^ 2, j = 1, 3)");
  const AStackMachine& m = *twice.machine;
  for (int32_t i = 0; i < m.Count(); ++i) {
    const int32_t op = m.Code()[i].opcode;
    if (op == pcLoopTest || op == pcLoopNext || op == pcPushTemp || op == pcSumIndexCheck) {
      EXPECT_EQ(m.Code()[i].ids.a, 0) << i;
    }
  }
  EXPECT_DOUBLE_EQ(RunAt(m, 0), 3.0 + 14.0);
}

TEST(ExpressionCompiler, LoopIndexOutsideItsBodyIsAnOrdinaryName) {
  // j in the start value is not yet the index: it reads the name j (1).
  EXPECT_DOUBLE_EQ(RunAt(*CompileText("sum(j, j = j, 3)").machine, 0), 1.0 + 2.0 + 3.0);
  EXPECT_DOUBLE_EQ(RunAt(*CompileText("product(j + 1, j = 1, 3) + j").machine, 0), 24.0 + 1.0);
}

TEST(ExpressionCompiler, GuardedBranchSkipsAlternativesAndMarksEveryPair) {
  Compiled c = CompileText("branch(if(1, x < 0), if(2, x > 0), 3)", true);
  const AStackMachine& m = *c.machine;
  EXPECT_EQ(OpcodeCount(m, pcSkipIfZero), 3);
  EXPECT_EQ(OpcodeCount(m, pcSkipRestIfTrue), 3);
  std::vector<int32_t> ends;
  for (int32_t i = 0; i < m.Count(); ++i) {
    const PCodeOp& op = m.Code()[i];
    if (op.opcode == pcSkipRestIfTrue) {
      EXPECT_EQ(op.ids.b, 2);
    }
    if (op.opcode == pcGuardEnd) ends.push_back(op.ids.b);
    if (op.opcode == pcGuardEnd || op.opcode == pcSkipIfZero || op.opcode == pcSkipRestIfTrue) {
      EXPECT_EQ(op.ids.a, 0);
    }
  }
  EXPECT_EQ(ends, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(RunAt(m, -1), 1.0);
  EXPECT_EQ(RunAt(m, 1), 2.0);
  EXPECT_EQ(RunAt(m, 0), 3.0);
}

TEST(ExpressionCompiler, GuardMarkersSurviveValuesThatArePushedWhole) {
  // The loop index as a case's value is one push; its markers must stay.
  Compiled c = CompileText("sum(branch(if(j, j < 2), 10), j = 1, 3)", true);
  EXPECT_EQ(OpcodeCount(*c.machine, pcGuardEnd), 2);
  EXPECT_DOUBLE_EQ(RunAt(*c.machine, 0), 1.0 + 10.0 + 10.0);
}

TEST(ExpressionCompiler, TwoTextsComparedPushTheirNamesAndCompareAsText) {
  Compiled c = CompileText("\"abc\" = \"abd\"");
  const AStackMachine& m = *c.machine;
  ASSERT_EQ(m.Count(), 4);
  EXPECT_EQ(m.Code()[2].opcode, pcStrEqual);
  EXPECT_NE(m.Code()[0].number, m.Code()[1].number);
  EXPECT_EQ(RunAt(m, 0), 0.0);
  EXPECT_EQ(RunAt(*CompileText("\"abc\" = \"abc\"").machine, 0), 1.0);
}

TEST(ExpressionCompiler, UnknownCallsAndDerivativesAreUndefined) {
  EXPECT_TRUE(std::isnan(RunAt(*CompileText("'g'(x) + 1").machine, 2)));
  EXPECT_EQ(Alone("'g'(x)"), "pcPushVar 3\npcUndefined\n");
}

TEST(ExpressionCompiler, CoordinatesAreComputedByTheProgram) {
  Compiled c = CompileText("r + theta + phi");
  const double x = 3, y = -4, z = 2;
  const double theta = std::atan2(y, x) + 2 * gPi;
  EXPECT_DOUBLE_EQ(RunAt(*c.machine, x, y, z), 5.0 + theta + std::atan2(5.0, z));
  ExpressionRecord* rho = Atomic(7);
  AStackMachine m;
  CompileExpression(&m, rho, nullptr, false, false, nullptr);
  EXPECT_DOUBLE_EQ(RunAt(m, x, y, z), std::sqrt(29.0));
  DisposExpr(rho);
}

TEST(ExpressionCompiler, OutOfMemoryLeavesTheUndefinedProgramAndReportsOnce) {
  ResetDeferredErrors();
  std::string text = "x";
  for (int i = 0; i < 40; ++i) text = "sin(" + text + " + y)";
  Tree tree = Prepared(text);
  AStackMachine machine;
  BeginCSE();
  const int64_t used = gApproximateTotalMemoryUsed;
  gApproximateTotalMemoryUsed = PlainMemoryLimit() - 400;  // room for the first small blocks only
  CompileExpression(&machine, tree.get(), nullptr, false, false, nullptr);
  gApproximateTotalMemoryUsed = used;
  EndCSE();
  EXPECT_EQ(machine.fOutOfMemory, 1);
  EXPECT_EQ(Listing(machine), "");
  EXPECT_TRUE(std::isnan(RunAt(machine, 1, 1)));
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(TakeDeferredError(), 0);
  ResetDeferredErrors();
}
