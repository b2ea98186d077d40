#include "algebra/Differentiation.h"
#include "algebra/SimpsonsRule.h"
#include "algebra/Substitution.h"
#include "expression/TreeComparison.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace {

constexpr const char* kFormulas[] = {
    "function(oppartial(x),sin(x*y)^2/(1+x^2))",
    "function(optotal(x),ln(x)*exp(a*x)+atan(y/x))",
    "function(oppartial(x),y*x^3+function(oppartial(y),x*y))",
    "substitution((x*y)^2+sqrt(x),x=a+1)",
    "integral(integral(x*t,t,0,x),x,0,2)+integral(sin(x),x,0,1)",
};

// Every formula rewritten the way the expansion does, on its own copies.
// The parser and the writer run on one thread only.
std::vector<Tree> RewriteAll(const std::vector<Tree>& formulas, int32_t expanding) {
  ScopedAlgebraSwitch mode(gMathExpandingDefinitions, expanding);
  std::vector<Tree> out;
  for (const Tree& formula : formulas) {
    Tree tree(Copy(formula.get()));
    MATH_DifferentiateExprWithoutSimplifying(tree.get());
    TAYLOR_SubstRecurse(tree.get());
    RewriteDefiniteIntegralsUsingSimpsonsRule(tree.get());
    out.push_back(std::move(tree));
    Tree simplified(Copy(formula.get()));
    DifferentiateAndSimplify(simplified.get());
    out.push_back(std::move(simplified));
  }
  return out;
}

bool SameTrees(const std::vector<Tree>& a, const std::vector<Tree>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!MATH_Equal(a[i].get(), b[i].get())) return false;
  return true;
}

TEST(AlgebraThreads, EightThreadsGiveTheSingleThreadAnswers) {
  std::vector<Tree> formulas;
  for (const char* text : kFormulas) formulas.push_back(Parse(text));
  const std::array<std::vector<Tree>, 2> expected = {RewriteAll(formulas, 0), RewriteAll(formulas, 1)};
  ASSERT_FALSE(SameTrees(expected[0], expected[1]));
  std::array<bool, 8> same{};
  std::vector<std::thread> threads;
  for (int32_t t = 0; t < 8; ++t) {
    threads.emplace_back([t, &same, &formulas, &expected] {
      same[t] = true;
      for (int32_t round = 0; round < 20; ++round)
        same[t] = SameTrees(RewriteAll(formulas, t == 0 ? 1 : 0), expected[t == 0 ? 1 : 0]) && same[t];
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int32_t t = 0; t < 8; ++t) EXPECT_TRUE(same[t]) << "thread " << t;
}

}  // namespace
