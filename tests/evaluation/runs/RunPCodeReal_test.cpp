#include <cmath>
#include <functional>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/StringValues.h"
#include "tests/evaluation/MachineTestSupport.h"

namespace {

double Run1(const std::string& op, double x) { return RunText<double>("pcPushVar 3\n" + op, {0, 0, 0, x}); }
double Run2(const std::string& op, double second, double top) {
  return RunText<double>("pcPushVar 3\npcPushVar 4\n" + op, {0, 0, 0, second, top});
}

TEST(RealInterpreter, UnaryOpcodesAgreeWithTheirDefinitions) {
  struct Case {
    const char* op;
    double x;
    double expected;
  };
  const double x = 0.7;
  const Case cases[] = {
      {"pcNeg", x, -x},
      {"pcAbs", -x, x},
      {"pcSgn", -3, -1},
      {"pcSqrt", 2, std::sqrt(2.0)},
      {"pcExp", 1, 2.718281828459045},
      {"pcLog10", 1000, 3},
      {"pcLn", 2.718281828459045, 1},
      {"pcFact", 5, 120},
      {"pcSquare", -3, 9},
      {"pcSin", gPi / 6, 0.5},
      {"pcCos", gPi / 3, 0.5},
      {"pcTan", gPi / 4, 1},
      {"pcCot", x, 1 / std::tan(x)},
      {"pcSec", x, 1 / std::cos(x)},
      {"pcCsc", x, 1 / std::sin(x)},
      {"pcAsin", 0.5, gPi / 6},
      {"pcAcos", 0.5, gPi / 3},
      {"pcAtan", 1, gPi / 4},
      {"pcAcot", 1, gPi / 4},
      {"pcAsec", 2, gPi / 3},
      {"pcAcsc", 2, gPi / 6},
      {"pcSinh", x, (std::exp(x) - std::exp(-x)) / 2},
      {"pcCosh", x, (std::exp(x) + std::exp(-x)) / 2},
      {"pcTanh", x, std::sinh(x) / std::cosh(x)},
      {"pcCoth", x, std::cosh(x) / std::sinh(x)},
      {"pcSech", x, 1 / std::cosh(x)},
      {"pcCsch", x, 1 / std::sinh(x)},
      {"pcAsinh", x, std::log(x + std::sqrt(x * x + 1))},
      {"pcAcosh", 2, std::log(2 + std::sqrt(3.0))},
      {"pcAtanh", 0.5, 0.5 * std::log(3.0)},
      {"pcAcoth", 2, 0.5 * std::log(3.0)},
      {"pcAsech", 0.5, std::log(2 + std::sqrt(3.0))},
      {"pcAcsch", 2, std::log(0.5 + std::sqrt(1.25))},
      {"pcFloor", -1.5, -2},
      {"pcCeil", -1.5, -1},
      {"pcRe", x, x},
      {"pcInf", x, x},
      {"pcSup", x, x},
      {"pcConj", x, x},
      {"pcNop", x, x},
      {"pcIm", x, 0},
      {"pcArg", -1, 0},
      {"pcNot", 0, 1},
      {"pcNot", gNaN, 0},
      {"pcNot", 2, 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(Run1(c.op, c.x), c.expected, 1e-13) << c.op;
}

TEST(RealInterpreter, BinaryOpcodesTakeSecondThenTop) {
  struct Case {
    const char* op;
    double second, top, expected;
  };
  const Case cases[] = {
      {"pcAdd", 2, 3, 5},    {"pcMul", 2, 3, 6},          {"pcDiv", 3, 2, 1.5},   {"pcPow", 2, 10, 1024},
      {"pcHypot", 3, 4, 5},  {"pcMakeInterval", 1, 2, 2}, {"pcMod", -1, 3, 2},    {"pcMin", 1, 2, 1},
      {"pcMin", 3, gNaN, 3}, {"pcMax", 1, 2, 2},          {"pcChoose", 5, 2, 10}, {"pcAnd", 1, 1, 1},
      {"pcAnd", 1, 0.5, 0},  {"pcOr", 0, 1, 1},           {"pcOr", gNaN, 0, 0},   {"pcSwap\npcPop", 7, 8, 8},
      {"pcPop", 7, 8, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(Run2(c.op, c.second, c.top), c.expected) << c.op;
  EXPECT_NEAR(Run2("pcAngle", -1, 0), gPi, 1e-15);
  EXPECT_NEAR(Run2("pcAngle", 1, -1), 7 * gPi / 4, 1e-15);
  EXPECT_NEAR(Run2("pcBesselJ", 1.5, 0), 0.5118276717359181, 1e-13);  // J0(1.5)
  EXPECT_NEAR(RunText<double>("pcPushNumber -8\npcPushNumber 2\npcPushNumber 3\npcPowFrac"), 4, 1e-14);
  EXPECT_EQ(RunText<double>("pcPushNumber 5\npcPushNumber 0\npcPushNumber 2\npcClamp"), 2);
  EXPECT_EQ(RunText<double>("pcPushNumber -5\npcPushNumber 0\npcPushNumber 2\npcClamp"), 0);
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushNumber nan\npcPushNumber 0\npcPushNumber 2\npcClamp")));
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushI")));
  EXPECT_TRUE(std::isnan(RunText<double>("pcEnd")));
}

TEST(RealInterpreter, ComparisonChains) {
  EXPECT_EQ(RunText<double>("pcPushNumber 1\npcPushNumber 2\npcPushNumber 3\npcLess 3"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber 1\npcPushNumber 3\npcPushNumber 2\npcLess 3"), 0);
  EXPECT_EQ(RunText<double>("pcPushNumber 3\npcPushNumber 3\npcPushNumber 1\npcGreaterEq 3"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber 3\npcPushNumber 3\npcGreater 2"), 0);
  EXPECT_EQ(RunText<double>("pcPushNumber 2\npcPushNumber 2\npcLessEq 2"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber 2\npcPushNumber 2\npcEqual 2"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber 1\npcPushNumber 2\npcPushNumber 1\npcNotEqual 3"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber nan\npcPushNumber nan\npcNotEqual 2"), 1);
  EXPECT_EQ(RunText<double>("pcPushNumber nan\npcPushNumber 1\npcLess 2"), 0);
  // One operand: the non-strict chains give true and remove nothing; the
  // strict ones still compare the top two and keep the second.
  EXPECT_EQ(RunText<double>("pcPushNumber 9\npcPushNumber 5\npcEqual 1\npcAdd"), 10);
  EXPECT_EQ(RunText<double>("pcPushNumber 9\npcPushNumber 5\npcLess 1\npcAdd"), 9);
}

TEST(RealInterpreter, StringsCompareByTextAndSurviveEveryCell) {
  const double a = StringValueOfText(u"abc");
  const double b = StringValueOfText(u"abd");
  EXPECT_EQ(a, StringValueOfText(u"abc"));
  const std::string pushA = "pcPushNumber " + std::to_string(a) + "\n";
  const std::string pushB = "pcPushNumber " + std::to_string(b) + "\n";
  EXPECT_EQ(RunText<double>(pushA + "pcStoreTemp 0\npcPushTemp 0\n" + pushA + "pcStrEqual"), 1);
  EXPECT_EQ(RunText<double>(pushA + pushB + "pcStrEqual"), 0);
  EXPECT_EQ(RunText<double>(pushA + pushB + "pcStrNotEqual"), 1);
  EXPECT_TRUE(std::isnan(RunText<double>(pushA + "pcPushNumber nan\npcStrEqual")));
  EXPECT_EQ(RunText<double>(pushA + "pcPushNumber nan\npcStrNotEqual"), 0);
  EXPECT_EQ(RunText<double>("pcPushNumber 0\npcPushNumber 0\npcStrEqual"), 1);  // null, null
  EXPECT_EQ(TextOfStringValue(1e-310), nullptr);                                // a tiny number is no text
  EXPECT_EQ(TextOfStringValue(1e9), nullptr);
}

TEST(RealInterpreter, IfAndBranch) {
  EXPECT_EQ(Run2("pcIf", 7, 1), 7);
  EXPECT_TRUE(std::isnan(Run2("pcIf", 7, 0.5)));
  auto branch = [](double c1, double c2) {
    return RunText<double>("pcPushNumber " + std::to_string(c1) + "\npcPushNumber 10\npcPushNumber " +
                           std::to_string(c2) + "\npcPushNumber 20\npcBranch 2");
  };
  EXPECT_EQ(branch(0, 1), 20);
  EXPECT_EQ(branch(1, 1), 10);
  EXPECT_TRUE(std::isnan(branch(0, 0)));
  // A condition short of 1 counts: alone it chooses, after a true one NaN.
  EXPECT_EQ(branch(0.5, 0), 10);
  EXPECT_EQ(branch(1, 0.5), 10);
  EXPECT_TRUE(std::isnan(branch(0.5, 1)));
  EXPECT_TRUE(
      std::isnan(RunText<double>("pcPushNumber nan\npcPushNumber 10\npcPushNumber 0\n"
                                 "pcPushNumber 20\npcBranch 2")));
}

// Piecewise list of three pairs with guards: x<0 -> -1, x<1 -> 5, x>=1 -> 9.
std::string GuardedBranch() {
  return "pcPushVar 3\npcPushNumber 0\npcLess 2\npcSkipIfZero 1 0\npcPushNumber -1\n"
         "pcSkipRestIfTrue 1 2\npcGuardEnd 1 0\n"
         "pcPushVar 3\npcPushNumber 1\npcLess 2\npcSkipIfZero 1 1\npcPushNumber 5\n"
         "pcSkipRestIfTrue 1 2\npcGuardEnd 1 1\n"
         "pcPushVar 3\npcPushNumber 1\npcGreaterEq 2\npcSkipIfZero 1 2\npcPushNumber 9\n"
         "pcSkipRestIfTrue 1 2\npcGuardEnd 1 2\npcBranch 3\n";
}

TEST(RealInterpreter, GuardedPiecewiseListSkipsWhatItNeedNotCompute) {
  auto machine = Program(GuardedBranch());
  EXPECT_EQ(RunWith<double>(*machine, {0, 0, 0, -3}), -1);
  EXPECT_EQ(RunWith<double>(*machine, {0, 0, 0, 0.5}), 5);
  EXPECT_EQ(RunWith<double>(*machine, {0, 0, 0, 4}), 9);
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushNumber 0\npcSkipIfZero 1 0\npcPushNumber 1")));
}

// Sum over slot t = index from slot 3 (x) to slot 4 (y) of index^2.
std::string SumOfSquares(const char* check = "pcSumIndexCheck 0\n") {
  return std::string(
             "pcPushNumber 0\npcPushVar 4\npcStoreTempPop 1\npcPushVar 3\n"
             "pcStoreTemp 2\npcStoreTempPop 0\n"
             "pcLoopTest 0\npcPushTemp 0\npcSquare\n") +
         check + "pcAdd\npcLoopNext 0\n";
}

TEST(RealInterpreter, SumsAndProductsWithTheIterationLimit) {
  auto sum = Program(SumOfSquares());
  EXPECT_EQ(RunWith<double>(*sum, {0, 0, 0, 1, 10}), 385);
  EXPECT_EQ(RunWith<double>(*sum, {0, 0, 0, 5, 4}), 0);  // empty range
  const double n = 100001;
  EXPECT_EQ(RunWith<double>(*sum, {0, 0, 0, 1, n}), n * (n + 1) * (2 * n + 1) / 6);
  EXPECT_TRUE(std::isnan(RunWith<double>(*sum, {0, 0, 0, 1, n + 1})));
  EXPECT_TRUE(std::isnan(RunWith<double>(*sum, {0, 0, 0, 1, gNaN})));
  EXPECT_TRUE(std::isnan(RunWith<double>(*sum, {0, 0, 0, 1e300, 1e300 + 5e284})));
  auto product = Program(
      "pcPushNumber 1\npcPushNumber 5\npcStoreTempPop 1\npcPushNumber 1\n"
      "pcStoreTemp 2\npcStoreTempPop 0\npcLoopTest 0\npcPushTemp 0\n"
      "pcProductIndexCheck 0\npcMul\npcLoopNext 0\n");
  EXPECT_EQ(RunWith<double>(*product), 120);
}

TEST(RealInterpreter, TableStatisticsAndRows) {
  // Rows 1..4 of a "column" given by the row number itself through slot 11
  // arithmetic: item = row * 2 - 3, condition = item > 0.
  const std::string loop =
      "pcLoopTest 0\npcSetRow 0\npcPushTemp 0\npcPushNumber 2\npcMul\n"
      "pcPushNumber -3\npcAdd\n";
  auto sum = Program("pcBeginCountSum 0 3\n" + loop + "pcCountSum\npcLoopNext 0\npcPopRow\npcSwap\npcPop");
  EXPECT_EQ(RunWith<double>(*sum), -1 + 1 + 3 + 5);
  auto mean = Program("pcBeginCountSum 0 3\n" + loop + "pcCountSum\npcLoopNext 0\npcPopRow\npcSwap\npcDiv");
  EXPECT_EQ(RunWith<double>(*mean), 2);
  auto min = Program("pcBeginMaxMin 0 3\n" + loop + "pcMaxMin\npcLoopNext 0\npcPopRow\npcSwap\npcPop");
  EXPECT_EQ(RunWith<double>(*min), -1);
  auto condMax = Program("pcBeginMaxMin 0 3\n" + loop +
                         "pcStoreTemp 3\npcPushTemp 3\npcPushNumber 2\npcLess 2\n"
                         "pcCondMaxMin\npcLoopNext 0\npcPopRow\npcPop");
  EXPECT_EQ(RunWith<double>(*condMax), 1);  // largest item below 2
  auto condCount = Program("pcBeginCountSum 0 3\n" + loop +
                           "pcStoreTemp 3\npcPushTemp 3\npcPushNumber 0\npcGreater 2\n"
                           "pcCondCountSum\npcLoopNext 0\npcPopRow\npcPop");
  EXPECT_EQ(RunWith<double>(*condCount), 3);
  // A pcPopRow without a saved row leaves the row alone and the run goes on.
  EXPECT_EQ(RunText<double>("pcPopRow\npcPushNumber 3\npcPopRow"), 3);
}

TEST(RealInterpreter, UndefinedEndsTheRun) {
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushNumber 1\npcUndefined\npcPushNumber 2\npcEnd")));
}

}  // namespace
