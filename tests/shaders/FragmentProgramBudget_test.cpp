#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "algebra/AlgebraSwitches.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/NodeMemory.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "shaders/ARBStrings.h"
#include "tests/CoreUtilities/BudgetRoom.h"

namespace {

struct Formula {
  explicit Formula(const std::string& text)
      : expression(ParseExprFromString(text.c_str()), nullptr), before(Copy(expression.Tree())) {}
  ~Formula() { DisposExpr(before); }
  Formula(const Formula&) = delete;
  Formula& operator=(const Formula&) = delete;
  AnExpression expression;
  ExpressionRecord* before;
};

// Long enough that copying and rewriting it takes new chunks of nodes.
std::string LongComplexFormula() {
  std::string text = "Re((x+i*y)^(0.5+i))";
  for (int k = 1; k <= 60; ++k) text += "+Re(exp(i*" + std::to_string(k) + "*x))*tanh(y)";
  return text;
}

// Counted memory with no freed node kept for reuse.
int64_t CountedMemory() {
  MEM_FlushExprCaches();
  return gApproximateTotalMemoryUsed.load();
}

// Generation runs out of memory at one step after another: each time it
// gives the whole text or none, hands back every counted byte, and leaves the
// caller's formulas and the simplifier's power switch as they were.
TEST(FragmentProgramBudget, RunningOutAnywhereLeavesNothingBehind) {
  Formula hue(LongComplexFormula()), saturation("acosh(y+2)/2"), value("Im(asin(x-i*y))"), mask("x^2+y^2<1");
  // As the graphing pass does, each generation starts with no error left.
  const auto generate = [&] {
    gMathError = 0;
    std::vector<ExpressionRecord*> uniforms;
    const std::string text = OurGetARBString(&hue.expression, &saturation.expression, &value.expression,
                                             &mask.expression, true, &uniforms, false, nullptr);
    EXPECT_TRUE(uniforms.empty());
    return text;
  };
  const std::string whole = generate();
  ASSERT_FALSE(whole.empty());
  int refused = 0, made = 0;
  // Nodes are counted by chunks of 255: the first pass settles the chunks
  // that stay; over the second, nodes left behind by any round would pile
  // up and take more.
  // The sweep reaches rooms where generation succeeds again; no round lives
  // on nodes the whole generation above left cached.
  std::vector<int64_t> counted[2];
  CountedMemory();
  for (std::vector<int64_t>& pass : counted) {
    for (int64_t room = 0; room < 8000000; room = room < 4096 ? room + 512 : room * 5 / 4) {
      std::string text;
      {
        BudgetRoom budget(room);
        text = generate();
      }
      refused += text.empty();
      made += !text.empty();
      EXPECT_TRUE(text.empty() || text == whole) << "room " << room;
      pass.push_back(CountedMemory());
      EXPECT_EQ(gSimplifyPowers, 1);
      for (const Formula* f : {&hue, &saturation, &value, &mask})
        EXPECT_TRUE(MATH_Equal(f->expression.Tree(), f->before)) << "room " << room;
    }
  }
  EXPECT_EQ(counted[1], std::vector<int64_t>(counted[1].size(), counted[0].back()));
  EXPECT_GT(refused, 0);
  EXPECT_GT(made, 0);
  EXPECT_EQ(generate(), whole);
}

}  // namespace
