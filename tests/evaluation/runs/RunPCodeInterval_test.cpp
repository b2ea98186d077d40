#include <cmath>

#include "CoreUtilities/MathConstants.h"
#include "tests/evaluation/MachineTestSupport.h"

namespace {

Interval I(double lower, double upper) { return {lower, upper}; }

void ExpectInterval(Interval actual, double lower, double upper) {
  EXPECT_DOUBLE_EQ(actual.lower, lower);
  EXPECT_DOUBLE_EQ(actual.upper, upper);
}

TEST(IntervalInterpreter, EnclosesThePointValues) {
  // x^2 - 2x over [0, 3]: the interval result holds every sampled value.
  auto machine = Program("pcPushVar 3\npcSquare\npcPushVar 3\npcPushNumber 2\npcMul\npcNeg\npcAdd");
  const Interval r = RunWith<Interval>(*machine, {{}, {}, {}, I(0, 3)});
  for (double x = 0; x <= 3; x += 0.01) {
    const double v = x * x - 2 * x;
    EXPECT_LE(r.lower, v);
    EXPECT_GE(r.upper, v);
  }
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcNeg", I(1, 2)), -2, -1);
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcInf", I(1, 2)), 1, 1);
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcSup", I(1, 2)), 2, 2);
  ExpectInterval(RunText<Interval>("pcPushNumber 1\npcPushNumber 4\npcMakeInterval"), 1, 4);
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcIm", I(1, 2)), 0, 0);
  const Interval sine = RunAtX<Interval>("pcPushVar 3\npcSin", I(0, gPi));
  EXPECT_LE(sine.lower, 0.0);
  EXPECT_GE(sine.upper, 1.0);
}

TEST(IntervalInterpreter, ExteriorResultsReachTheCallerAsTheWholeLine) {
  // 1 / [-1, 2] is exterior inside the run.
  ExpectInterval(RunAtX<Interval>("pcPushNumber 1\npcPushVar 3\npcDiv", I(-1, 2)), -gInf, gInf);
  // ... and adding 10 to it still leaves an exterior interval.
  ExpectInterval(RunAtX<Interval>("pcPushNumber 1\npcPushVar 3\npcDiv\npcPushNumber 10\npcAdd", I(-1, 2)), -gInf, gInf);
}

TEST(IntervalInterpreter, InlineStepsLeaveOtherOperandsToTheFullRules) {
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcSquare", I(-2, 3)), 0, 9);
  ExpectInterval(RunAtX<Interval>("pcPushVar 3\npcSquare", I(-3, -2)), 4, 9);
  const std::vector<Interval> box = {{}, {}, {}, I(-1, 2), I(2, 3)};
  ExpectInterval(RunText<Interval>("pcPushVar 3\npcPushVar 4\npcMul", box), -3, 6);
  // 1 / (y * (1 / x)) is x / y, in [-0.5, 1]; the product is exterior.
  const char* quotient = "pcPushNumber 1\npcPushVar 4\npcPushNumber 1\npcPushVar 3\npcDiv\npcMul\npcDiv";
  ExpectInterval(RunText<Interval>(quotient, box), -0.5, 1);
  // An infinite end meeting its opposite leaves the whole line.
  ExpectInterval(RunText<Interval>("pcPushVar 3\npcPushVar 4\npcAdd", {{}, {}, {}, I(-gInf, 0), I(gInf, gInf)}), -gInf,
                 gInf);
}

TEST(IntervalInterpreter, UndecidedConditions) {
  EXPECT_TRUE(IsUndefined(RunAtX<Interval>("pcPushNumber 5\npcPushVar 3\npcIf", I(0, 1))));
  // Undecided first pair, sure-true second: the union of both values.
  const Interval u =
      RunAtX<Interval>("pcPushVar 3\npcPushNumber 10\npcPushNumber 1\npcPushNumber 20\npcBranch 2", I(0, 1));
  ExpectInterval(u, 10, 20);
  // x < 0 or sqrt(x) < 2 over x in [-2, -1]: the first half decides true
  // although the second half is undefined.
  auto orProgram = Program(
      "pcPushVar 3\npcPushNumber 0\npcLess 2\npcPushVar 3\npcSqrt\n"
      "pcPushNumber 2\npcLess 2\npcOr");
  EXPECT_EQ(orProgram->fNaNRecovery, 1);
  ExpectInterval(RunWith<Interval>(*orProgram, {{}, {}, {}, I(-2, -1)}), 1, 1);
}

TEST(IntervalInterpreter, NaNStopWithoutRecovery) {
  auto machine = Program("pcPushNumber 1\npcPushVar 3\npcSqrt\npcAdd");
  EXPECT_EQ(machine->fNaNRecovery, 0);
  EXPECT_TRUE(IsUndefined(RunWith<Interval>(*machine, {{}, {}, {}, I(-2, -1)})));
  machine->fNaNRecovery = 1;
  EXPECT_TRUE(IsUndefined(RunWith<Interval>(*machine, {{}, {}, {}, I(-2, -1)})));
}

TEST(IntervalInterpreter, SumWithAnUndecidedUpperBound) {
  // Sum of 1 for index 1 .. [5, 6]: index 6 is visited with its term
  // widened to contain 0, so the sum lies in [5, 6].
  auto sum = Program(
      "pcPushNumber 0\npcPushVar 3\npcStoreTempPop 1\npcPushNumber 1\n"
      "pcStoreTemp 2\npcStoreTempPop 0\npcLoopTest 0\npcPushNumber 1\n"
      "pcSumIndexCheck 0\npcAdd\npcLoopNext 0\n");
  ExpectInterval(RunWith<Interval>(*sum, {{}, {}, {}, I(5, 6)}), 5, 6);
  EXPECT_TRUE(IsUndefined(RunWith<Interval>(*sum, {{}, {}, {}, I(5, 200000)})));
}

TEST(ComplexIntervalInterpreter, BoxesAndTruth) {
  const ComplexInterval x = {I(1, 2), I(0, 0)};
  const ComplexInterval r = RunAtX<ComplexInterval>("pcPushVar 3\npcPushI\npcMul\npcPushNumber 1\npcAdd", x);
  ExpectInterval(r.re, 1, 1);
  ExpectInterval(r.im, 1, 2);
  const ComplexInterval conj = RunText<ComplexInterval>("pcPushI\npcConj\npcIm");
  ExpectInterval(conj.re, -1, -1);
  ExpectInterval(conj.im, 0, 0);
  const ComplexInterval less = RunAtX<ComplexInterval>("pcPushVar 3\npcPushNumber 3\npcLess 2", x);
  ExpectInterval(less.re, 1, 1);
  const ComplexInterval equal = RunText<ComplexInterval>("pcPushI\npcPushI\npcEqual 2");
  ExpectInterval(equal.re, 1, 1);
  ExpectInterval(equal.im, 0, 0);
  const ComplexInterval whole = RunAtX<ComplexInterval>("pcPushNumber 1\npcPushVar 3\npcDiv", {I(-1, 2), I(0, 0)});
  EXPECT_TRUE(IsUndefined(whole.re) || whole.re.lower <= whole.re.upper);  // never exterior
}

}  // namespace
