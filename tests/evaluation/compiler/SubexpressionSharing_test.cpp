#include <cmath>

#include "tests/evaluation/CompilerTestSupport.h"
#include "evaluation/interval/Interval.h"

namespace {

// Runs the programs of the scope in order over one variable array.
template <typename T>
std::vector<T> RunScope(const Scope& scope, T x, T y = T{}, T z = T{}) {
  std::vector<T> slots(static_cast<size_t>(scope.slots) + 8, T{});
  slots[3] = x, slots[4] = y, slots[5] = z;
  std::vector<T> values;
  for (const Compiled& c : scope.formulas) {
    if constexpr (std::is_same_v<T, double>) {
      values.push_back(c.machine->Run(slots.data(), nullptr));
    } else {
      values.push_back(c.machine->Run(slots.data()));
    }
  }
  return values;
}

}  // namespace

TEST(SubexpressionSharing, ARepeatedSubtreeIsStoredOnceAndPushedAfterwards) {
  Scope scope = CompileScope({"sin(x) + sin(x)"});
  EXPECT_EQ(Listing(*scope.formulas[0].machine), "pcPushVar 3\npcSin\npcStoreTemp\npcPushTemp\npcAdd\n");
  EXPECT_EQ(scope.slots, 13);
  EXPECT_EQ(CompileScope({}).slots, 12);
}

TEST(SubexpressionSharing, LaterFormulasOfTheScopeOnlyPush) {
  Scope scope = CompileScope({"cos(x * y) + 1", "cos(x * y) * 2", "3 - cos(x * y)"});
  EXPECT_EQ(OpcodeCount(*scope.formulas[0].machine, pcStoreTemp), 1);
  EXPECT_EQ(OpcodeCount(*scope.formulas[0].machine, pcCos), 1);
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(OpcodeCount(*scope.formulas[i].machine, pcCos), 0);
    EXPECT_EQ(OpcodeCount(*scope.formulas[i].machine, pcStoreTemp), 0);
  }
  EXPECT_EQ(scope.slots, 13);
  const double c = std::cos(6.0);
  EXPECT_EQ(RunScope(scope, 2.0, 3.0), (std::vector<double>{c + 1, c * 2, 3 - c}));
}

TEST(SubexpressionSharing, StoresInsertedEarlierMoveTheLaterOnes) {
  Scope scope = CompileScope({"sin(x) + cos(y) + sin(x) * cos(y)"});
  const AStackMachine& m = *scope.formulas[0].machine;
  EXPECT_EQ(Listing(m),
            "pcPushVar 3\npcSin\npcStoreTemp\npcPushVar 4\npcCos\npcStoreTemp 1\n"
            "pcPushTemp\npcPushTemp 1\npcMul\npcAdd\npcAdd\n");
  const double s = std::sin(0.5), c = std::cos(0.25);
  EXPECT_EQ(RunScope(scope, 0.5, 0.25)[0], s + (c + s * c));
}

TEST(SubexpressionSharing, NumbersConditionalsAndCasesAreNeverShared) {
  Scope scope = CompileScope(
      {"2.5 + if(x, x > 0) + branch(if(y, x < 1), x)", "2.5 * if(x, x > 0)", "branch(if(y, x < 1), 2) * 2"});
  // Only the comparisons inside them are ordinary subtrees.
  const AStackMachine& second = *scope.formulas[1].machine;
  EXPECT_EQ(OpcodeCount(second, pcPushTemp), 1);
  EXPECT_EQ(OpcodeCount(second, pcIf), 1);
  EXPECT_EQ(OpcodeCount(second, pcPushNumber), 1);
  const AStackMachine& third = *scope.formulas[2].machine;
  EXPECT_EQ(OpcodeCount(third, pcPushTemp), 1);
  EXPECT_EQ(OpcodeCount(third, pcBranch), 1);
  EXPECT_EQ(RunScope(scope, 0.5, 7.0), (std::vector<double>{2.5 + (0.5 + 7.0), 2.5 * 0.5, 14.0}));
}

TEST(SubexpressionSharing, CoordinatesAreComputedOnceAtTheirFirstSureUse) {
  Scope scope = CompileScope({"r + 1", "r * theta", "theta"});
  EXPECT_EQ(OpcodeCount(*scope.formulas[0].machine, pcHypot), 1);
  EXPECT_EQ(OpcodeCount(*scope.formulas[1].machine, pcHypot), 0);
  EXPECT_EQ(OpcodeCount(*scope.formulas[2].machine, pcAngle), 0);
  // A first use inside a loop that may not run, or after a call that ends
  // the run, leaves the next formula to compute it again.
  Scope unsure = CompileScope({"sum(r, j = 1, 0) + 'g'(x) + r", "r"});
  EXPECT_EQ(OpcodeCount(*unsure.formulas[1].machine, pcHypot), 1);
  EXPECT_EQ(RunScope(unsure, 3.0, 4.0)[1], 5.0);
}

TEST(SubexpressionSharing, WritersRunToTheEndEvenWhereTheirOwnValueIsUndefined) {
  // Over intervals a program stops at its first NaN unless told otherwise;
  // the first formula must still store what the second reads.
  Scope scope = CompileScope({"1 + sqrt(x) + sin(y)", "sin(y) * 2"});
  const std::vector<Interval> values = RunScope<Interval>(scope, {-2, -1}, {0.5, 0.5});
  EXPECT_TRUE(std::isnan(values[0].lower));
  EXPECT_DOUBLE_EQ(values[1].lower, 2 * std::sin(0.5));
}

TEST(SubexpressionSharing, ValuesThatFollowALoopIndexAreNotTakenFromOutside) {
  Scope scope = CompileScope({"k * 3 + sum(k * 3, k = 1, 2)", "sum(k * 3, k = 1, 2) + k * 3"});
  // The name k outside the loops is 1.
  EXPECT_EQ(RunScope(scope, 0.0), (std::vector<double>{3.0 + 9.0, 9.0 + 3.0}));
}

TEST(SubexpressionSharing, AFullMachineTableCompilesTheRestWithoutSharing) {
  std::vector<std::string> texts(kMostSharedMachines + 3, "exp(x) + 1");
  Scope scope = CompileScope(texts);
  const std::vector<double> values = RunScope(scope, 1.0);
  for (double value : values) EXPECT_EQ(value, std::exp(1.0) + 1);
  EXPECT_EQ(OpcodeCount(*scope.formulas.back().machine, pcExp), 1);
}

// A value computed inside a loop body may be skipped or repeated, so only
// what lies outside every loop is stored for later formulas; a value that
// reads no index is still found inside a loop. Nests around loops and
// loops side by side must leave the walk knowing it is outside again.
TEST(SubexpressionSharing, OnlyValuesOutsideLoopsAreStoredForLaterFormulas) {
  Scope scope = CompileScope({"sum(sin(x) * j, j = 1, 3) + cos(x)", "cos(x) + sin(x) + sum(cos(x) * j, j = 1, 2)",
                              "tan(tan(sum(exp(x) * k, k = 1, 2))) + sum(k, k = 1, 2) + exp(x) * 2",
                              "exp(x) * 2 + tan(tan(sum(exp(x) * k, k = 1, 2)))"});
  const auto& f = scope.formulas;
  EXPECT_EQ(OpcodeCount(*f[0].machine, pcSin), 1);
  EXPECT_EQ(OpcodeCount(*f[1].machine, pcCos), 0);
  EXPECT_EQ(OpcodeCount(*f[1].machine, pcSin), 1);
  EXPECT_EQ(OpcodeCount(*f[2].machine, pcExp), 2);
  EXPECT_EQ(OpcodeCount(*f[3].machine, pcExp), 0);
  EXPECT_EQ(OpcodeCount(*f[3].machine, pcTan), 0);
  const double x = 0.5, s = std::sin(x), c = std::cos(x), e = std::exp(x);
  const double nest = std::tan(std::tan(e * 3));
  const std::vector<double> values = RunScope(scope, x);
  EXPECT_DOUBLE_EQ(values[0], s * 6 + c);
  EXPECT_DOUBLE_EQ(values[1], c + s + c * 3);
  EXPECT_DOUBLE_EQ(values[2], nest + 3 + e * 2);
  EXPECT_DOUBLE_EQ(values[3], e * 2 + nest);
}
