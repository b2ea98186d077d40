#include "algebra/EvaluationCommands.h"
#include "algebra/Solving.h"
#include "algebra/Substitution.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "evaluation/ScalarExprEval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

constexpr int32_t kDifferentiate = 0x2000;
constexpr int32_t kExpand = 0x2002;
constexpr int32_t kCrunch = 0x2007;
constexpr int32_t kSolve = 0x2016;
constexpr int32_t kEvaluate = 0x201B;

// One command alone on the whole parsed formula.
std::string AfterCommand(void (*command)(), const std::string& text) {
  Tree tree = Parse(text);
  MERecord record{};
  record.root = record.selected = tree.get();
  gMathCurrentMEH = &record;
  command();
  gMathCurrentMEH = nullptr;
  return Written(tree.get());
}

TEST(AlgebraCommands, ABlockOfAMatrixRunsEachElementAndStaysSelected) {
  // Elements 1..5 of a 3 x 3 matrix: rows 0 and 1, columns 1 and 2.
  const CommandRun run = RunCode(kEvaluate, "matrix(3,3,1!,2!,3!,4!,5!,6!,7!,8!,9!)", "", kIPMatrixBlock, 1, 5);
  EXPECT_EQ(run.formula, Reparsed("matrix(3,3,1!,2,6,4!,120,720,7!,8!,9!)"));
  EXPECT_EQ(run.caret, kIPMatrixBlock);
  EXPECT_EQ(run.selected, run.formula);
  // A block that does not lie in the matrix runs nothing.
  EXPECT_EQ(RunCode(kEvaluate, "matrix(2,1,1!,2!)", "", kIPMatrixBlock, 0, 7).formula, Reparsed("matrix(2,1,1!,2!)"));
}

TEST(AlgebraCommands, ARangeIsGroupedFirstExceptForTheFinalCode) {
  const CommandRun grouped = RunCode(kCrunch, "x+2+3+y", "x+2+3+y", kIPOperandRange, 1, 2);
  EXPECT_EQ(grouped.formula, "x+5+y");
  EXPECT_EQ(grouped.selected, "5");
  EXPECT_EQ(grouped.caret, kIPWholeNode);
  const CommandRun untouched = RunCode(0x2204, "x+2+3+y", "x+2+3+y", kIPOperandRange, 1, 2);
  EXPECT_EQ(untouched.formula, "x+2+3+y");
  EXPECT_EQ(untouched.caret, kIPOperandRange);
  EXPECT_EQ(RunCode(kCrunch, "x+2+3", "x+2+3", kIPOperandRange, 2, 3).formula, "x+2+3");
}

TEST(AlgebraCommands, AnEarlierShortageDoesNotStopTheNextCommand) {
  gMathError.store(1);
  EXPECT_EQ(RunCode(kDifferentiate, "function(optotal(x),x^2)").formula, "2*x");
}

TEST(AlgebraCommands, DistributionCarriesEachSide) {
  EXPECT_EQ(RunCode(kDifferentiate, "sin(a=b)").formula, "sin(a)=sin(b)");
  EXPECT_EQ(RunCode(kDifferentiate, "(a=b=c)+d").formula, "a+d=b+d=c+d");
  EXPECT_EQ(RunCode(kDifferentiate, "sum(k,k=1,3)").formula, Reparsed("sum(k,k=1,3)"));
}

TEST(AlgebraCommands, SolvingIsolatesTheSelection) {
  const CommandRun linear = RunCode(kSolve, "y=2*x+3", "x");
  EXPECT_EQ(linear.formula, "x=(y-3)/2");
  EXPECT_EQ(linear.selected, "x");
  EXPECT_EQ(RunCode(kSolve, "a=b", "b").formula, "b=a");
  EXPECT_EQ(RunCode(kSolve, "3=sin(x)", "x").formula, "x=asin(3)");
  EXPECT_EQ(RunCode(kSolve, "10^x=y", "x").formula, "x=log(y,10)");
  EXPECT_EQ(RunCode(kSolve, "e^x=y", "x").formula, "x=ln(y)");
  EXPECT_EQ(RunCode(kSolve, "sqrt(x)=y", "x").formula, "x=y^2");
  const CommandRun blocked = RunCode(kSolve, "y=abs(x)+1", "x");
  EXPECT_EQ(blocked.formula, "y=abs(x)+1");
  EXPECT_EQ(blocked.selected, "abs(x)");
  EXPECT_EQ(RunCode(kSolve, "a=b=c", "b").formula, "a=b=c");
}

TEST(AlgebraCommands, SolveForOutsideTheEditorRestoresTheCurrentRecord) {
  Tree tree = Parse("y=x^2+1");
  MERecord current{};
  gMathCurrentMEH = &current;
  ExpressionRecord* x = tree->operands[1]->operands[0]->operands[0];
  ExpressionRecord* solved = SolveFor(x);
  EXPECT_EQ(gMathCurrentMEH, &current);
  EXPECT_EQ(Written(tree.get()), "x=sqrt(y-1)");
  EXPECT_EQ(solved, tree->operands[0]);
  gMathCurrentMEH = nullptr;
}

TEST(AlgebraCommands, SubstitutionAndWritingOutTerms) {
  EXPECT_EQ(RunCode(kDifferentiate, "substitution(x^2+x,x=3)").formula, "12");
  EXPECT_EQ(RunCode(kDifferentiate, "substitution(x_1+x,x=y)").formula, Reparsed("x_1+y"));
  EXPECT_EQ(AfterCommand(CMD_Substitute, "substitution((x*y)^2,y=2)"), "(2*x)^2");
  const std::string between = RunCode(kDifferentiate, "substitution(x^2,x=1,3)").formula;
  EXPECT_EQ(RunCode(kDifferentiate, between).formula, "9-1");
  std::string sum = "sum(k^2,k=1,3)";
  for (const char* step : {"sum(k^2,k=2,3)+1", "sum(k^2,k=3,3)+5", "14"}) {
    sum = RunCode(kExpand, sum).formula;
    EXPECT_EQ(sum, step);
  }
  // An empty range has no term to write out.
  EXPECT_EQ(RunCode(kExpand, "sum(k,k=5,3)").formula, Reparsed("sum(k,k=5,3)"));
  std::string halves = "sum(k,k=1.5,3)";
  for (int i = 0; i < 3; ++i) halves = RunCode(kExpand, halves).formula;
  EXPECT_EQ(halves, "sum(k,k=3.5,3)+4");
  EXPECT_EQ(RunCode(kExpand, "a*(b+c)").formula, "a*b+a*c");
  EXPECT_EQ(RunCode(kExpand, "(a+b)^2").formula, "a^2+2*a*b+b^2");
}

TEST(AlgebraCommands, EvaluationTakesOneStep) {
  EXPECT_EQ(RunCode(kEvaluate, "5!").formula, "120");
  EXPECT_EQ(RunCode(kEvaluate, "(-1)!").formula, Reparsed("(-1)!"));
  EXPECT_EQ(RunCode(kEvaluate, "171!").formula, Reparsed("171!"));
  EXPECT_EQ(RunCode(kEvaluate, "ln(x^3)").formula, "3*ln(x)");
  // a and b may both be negative: only a positive factor splits off.
  EXPECT_EQ(RunCode(kEvaluate, "log(a*b)").formula, "log(a*b)");
  EXPECT_EQ(RunCode(kEvaluate, "log(2*a*b^2)").formula, Reparsed("log(2*a*b^2)"));
  EXPECT_EQ(RunCode(kEvaluate, "log(2*a)").formula, "log(2)+log(a)");
  EXPECT_EQ(RunCode(kEvaluate, "log(8,2)").formula, "ln(8)/ln(2)");
  // The code's later commands simplify again; the step itself:
  EXPECT_EQ(AfterCommand(CMD_Evaluate, "x^3"), "x*x*x");
  EXPECT_EQ(AfterCommand(CMD_Evaluate, "x^1"), "x");
  for (const char* kept : {"x^20", "x^-2", "x^2.5"}) EXPECT_EQ(AfterCommand(CMD_Evaluate, kept), Reparsed(kept));
  EXPECT_EQ(AfterCommand(CMD_Evaluate, "abs(matrix(2,2,a,b,c,d))"), "a*d-(b*c)");
  EXPECT_EQ(AfterCommand(CMD_Evaluate, "abs(matrix(3,3,1,2,3,4,5,6,7,8,9))"), "abs(matrix(3,3,1,2,3,4,5,6,7,8,9))");
  EXPECT_EQ(AfterCommand(CMD_Evaluate, "choice(5,2)"), Reparsed("5!/(2!*(5-2)!)"));
}

TEST(AlgebraCommands, NumberCrunchingReplacesWhatHasAValue) {
  EXPECT_EQ(RunCode(kCrunch, "sqrt(-4)").formula, "2*i");
  EXPECT_EQ(RunCode(kCrunch, "e^x+e^2").formula, "e^x+7.3890560989306495");
  EXPECT_EQ(RunCode(kCrunch, "interval(1,2)+1").formula, Reparsed("interval(2,3)"));
  EXPECT_EQ(RunCode(kCrunch, "sum(k*x,k=1,3)").formula, Reparsed("sum(k*x,k=1,3)"));
}

}  // namespace

namespace {

// The one-shot evaluators against mpmath: the complex value, the real one
// where it is real, and an interval that holds it.
TEST(AlgebraCommands, OneShotEvaluatorsAgreeWithMpmath) {
  int32_t cases = 0;
  for (const std::string& line : DataLines("evaluators_reference.txt")) {
    std::istringstream fields(line);
    std::string text;
    double re = 0, im = 0;
    std::getline(fields, text, '\t');
    fields >> re >> im;
    Tree tree = Parse(text);
    ASSERT_TRUE(tree) << text;
    const Complex z = ComplexExprEval(tree.get(), nullptr);
    EXPECT_NEAR(z.re, re, 1e-12 * std::max(1.0, std::abs(re))) << text;
    EXPECT_NEAR(z.im, im, 1e-12 * std::max(1.0, std::abs(im))) << text;
    const double real = ScalarExprEval(tree.get(), nullptr);
    if (im != 0) {
      EXPECT_TRUE(std::isnan(real)) << text;
      continue;
    }
    EXPECT_NEAR(real, re, 1e-12 * std::max(1.0, std::abs(re))) << text;
    double lo = 0, hi = 0;
    IntervalExprEval(tree.get(), nullptr, &lo, &hi);
    EXPECT_LE(lo, re) << text;
    EXPECT_GE(hi, re) << text;
    EXPECT_LT(hi - lo, 1e-9) << text;
    ++cases;
  }
  EXPECT_EQ(cases, 2);
}

}  // namespace
