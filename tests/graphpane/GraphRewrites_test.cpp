#include <gtest/gtest.h>

#include "expression/TreeComparison.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/GraphRewrites.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

bool SolveText(const char* text, int32_t id, std::string* result) {
  ExpressionRecord* e = Parse(text).release();
  const Tree before(Copy(e));
  const bool solved = SolveFor(e, id);
  if (!solved) {
    EXPECT_TRUE(MATH_Equal(e, before.get())) << text;
  }
  *result = Written(e);
  DisposExpr(e);
  return solved;
}

TEST(GraphRewrites, SolveForIsolatesTheVariable) {
  std::string result;
  ASSERT_TRUE(SolveText("y - 2*x = 1", kIdY, &result));
  EXPECT_EQ(result, "2*x+1");
  ASSERT_TRUE(SolveText("3*x = y", kIdX, &result));
  EXPECT_EQ(result.find('x'), std::string::npos) << result;
  EXPECT_FALSE(SolveText("x = 2", kIdY, &result));
}

// x + x = 4 must not come back as x = 4 - x, a formula in x taken for free
// of it.
TEST(GraphRewrites, SolveForRefusesAnAnswerStillHoldingTheVariable) {
  std::string result;
  EXPECT_FALSE(SolveText("x + sin(x) = 4", kIdX, &result));
}

TEST(GraphRewrites, ReplaceAtomSplitsAComplexVariable) {
  Tree tree = Parse("z^2 + z");
  ASSERT_TRUE(ReplaceAtom(tree.get(), kIdZ, kIdX, kIdY));
  auto split = [] { return Plus(Atomic(kIdX), Times(Atomic(kIdI), Atomic(kIdY))); };
  const Tree expected(Plus(Tothe(split(), Number(2)), split()));
  EXPECT_TRUE(MATH_Equal(tree.get(), expected.get())) << Written(tree.get());
  Tree alone = Parse("x");
  ASSERT_TRUE(ReplaceAtom(alone.get(), kIdX, Parse("x + 1").get()));
  EXPECT_TRUE(MATH_Equal(alone.get(), Parse("x + 1").get()));
}

TEST(GraphRewrites, SubstituteNumbersWithoutParametersChangesNothing) {
  Tree tree = Parse("a*x + function(optotal(x), y)");
  const Tree before(Copy(tree.get()));
  SubstituteNumbers(tree.get(), nullptr);
  EXPECT_TRUE(MATH_Equal(tree.get(), before.get()));
}

}  // namespace
