#include "algebra/AlgebraStartup.h"
#include "algebra/Differentiation.h"
#include "expression/TreeShorthands.h"
#include "tests/algebra/AlgebraTestSupport.h"
#include "tests/algebra/Derivatives.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <utility>

namespace {

// The three derivatives a formula is taken through: the command's
// simplified one, the compiled expression's, and the unsimplified one.
std::string Derivatives(const std::string& text) {
  Tree simplified = SimplifiedDerivative(text);
  Tree plain = Parse(text);
  if (!simplified || !plain) return "<unreadable>";
  Tree unsimplified = UnsimplifiedDerivative(plain.get());
  std::unique_ptr<AnExpression> compiled = CompiledDerivative(plain.get());
  return Written(simplified.get(), true) + "\n" + Written(unsimplified.get(), true) + "\n" +
         (compiled ? Written(compiled->Tree(), true) : "<none>");
}

// Placing each new factor into the sorted product must give the tree that
// simplifying the whole product again gives.
void ExpectPlacingChangesNothing(const std::string& text) {
  const std::string placed = Derivatives(text);
  ScopedAlgebraSwitch wholeProduct(gPlaceChainRuleFactors, 0);
  EXPECT_EQ(placed, Derivatives(text)) << text;
}

// Nested one-argument functions, mostly of x and mostly those whose
// derivative is a product with the inner derivative, now and then negated,
// raised, multiplied or taken from a pool of earlier subformulas, so that
// levels repeat factors and chains meet products, numbers and other
// variables.
class ChainMaker {
 public:
  // One level in about `breakOneIn` is something other than a function.
  ChainMaker(uint32_t seed, size_t breakOneIn) : fRandom(seed), fBreakOneIn(breakOneIn) {}

  std::string Make(int depth) {
    if (depth <= 0) return Leaf();
    if (!fPool.empty() && Below(3 * fBreakOneIn) == 0) return fPool[Below(fPool.size())];
    std::string made;
    switch (Below(fBreakOneIn) == 0 ? Below(5) : 5 + Below(9)) {
      case 0: made = "-(" + Make(depth - 1) + ")"; break;
      case 1: made = "(" + Make(depth - 1) + ")^" + Pick({"2", "3", "(-1)", "0.5", "x"}); break;
      case 2: made = "(" + Make(depth / 2) + ")*(" + Make(depth / 2) + ")"; break;
      case 3: made = Pick({"2", "x", "y", "(-3)"}) + "*(" + Make(depth - 1) + ")"; break;
      case 4: made = "(" + Make(depth / 2) + ")+(" + Make(depth / 2) + ")"; break;
      case 5:
      case 6:
      case 7:
      case 8:
      case 9:
      case 10:
      case 11: made = Pick({"sin", "cos", "sinh", "cosh", "exp"}) + "(" + Make(depth - 1) + ")"; break;
      default:
        made = Pick({"sin", "cos", "tan", "cot", "sec", "csc", "sinh", "cosh", "tanh", "sech", "exp", "ln", "sqrt",
                     "abs", "atan", "asin", "log"}) +
               "(" + Make(depth - 1) + ")";
    }
    if (Below(6) == 0) fPool.push_back(made);
    return made;
  }

 private:
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(fRandom); }
  std::string Pick(std::initializer_list<const char*> choices) { return *(choices.begin() + Below(choices.size())); }
  std::string Leaf() { return Below(8) == 0 ? Pick({"y", "2", "pi", "(x*y)"}) : "x"; }

  std::mt19937 fRandom;
  size_t fBreakOneIn;
  std::vector<std::string> fPool;
};

TEST(ChainRuleProducts, ReferenceFormulasDeriveAsByWholeProducts) {
  InstallAlgebra();
  for (const char* file : {"derivatives_reference.txt", "nest_derivatives_reference.txt"}) {
    for (const std::string& line : DataLines(file)) ExpectPlacingChangesNothing(line.substr(0, line.find('\t')));
  }
}

TEST(ChainRuleProducts, RandomNestsDeriveAsByWholeProducts) {
  InstallAlgebra();
  ChainMaker mixed(55, 3);
  for (int i = 0; i < 3000; ++i) ExpectPlacingChangesNothing(mixed.Make(2 + i % 14));
  // Long chains: the search runs over products of up to a hundred factors.
  ChainMaker longer(56, 30);
  for (int i = 0; i < 60; ++i) ExpectPlacingChangesNothing(longer.Make(20 + i * 3 % 100));
}

// Chain-rule factors that are powers (sec^2 of tan, csch^2 of coth), the
// three-factor products of sec and csc, factors raised by the formula, and
// x^2 held at every level so the product rule makes a sum there.
TEST(ChainRuleProducts, NestsWithPowerFactorsDeriveAsByWholeProducts) {
  InstallAlgebra();
  // Each level is an opening and its closing, taken in turn.
  using Level = std::pair<std::string, std::string>;
  const auto nest = [](const std::vector<Level>& levels, int depth) {
    std::string text = "x";
    for (int i = depth - 1; i >= 0; --i) {
      const Level& level = levels[size_t(i) % levels.size()];
      text = level.first + text + level.second;
    }
    return text;
  };
  const std::vector<std::vector<Level>> kinds = {{{"tan(", ")"}},
                                                 {{"sec(", ")"}},
                                                 {{"csc(", ")"}},
                                                 {{"cot(", ")"}},
                                                 {{"tanh(", ")"}},
                                                 {{"coth(", ")"}},
                                                 {{"sech(", ")"}},
                                                 {{"csch(", ")"}},
                                                 {{"tan(", ")"}, {"sin(", ")"}},
                                                 {{"sec(", ")"}, {"cos(", ")"}},
                                                 {{"csc(", ")"}, {"tan(", ")"}},
                                                 {{"cot(", ")"}, {"tanh(", ")"}, {"exp(", ")"}},
                                                 {{"tan(", ")"}, {"sin(", ")^2"}},
                                                 {{"sin((", ")^3)"}},
                                                 {{"tan(2*", ")"}},
                                                 {{"sin(x^2*", ")"}},
                                                 {{"tan(x^2*", ")"}},
                                                 {{"exp(-", ")"}},
                                                 {{"sin(x*", ")"}},
                                                 {{"tan(y*", ")"}}};
  for (const std::vector<Level>& levels : kinds)
    for (int depth : {1, 2, 3, 5, 9, 17, 40}) ExpectPlacingChangesNothing(nest(levels, depth));
  // Powers of chains, raised by the formula itself, at every level and
  // multiplied together.
  for (const char* power : {"2", "3", "(-1)", "(-2)", "0.5", "x"}) {
    std::string raised = "x";
    for (int i = 0; i < 12; ++i) {
      raised = std::string(i % 2 ? "tan(" : "sin(") + "(" + raised + ")^" + power + ")";
      ExpectPlacingChangesNothing(raised);
      ExpectPlacingChangesNothing("(" + raised + ")*tan(" + raised + ")");
      ExpectPlacingChangesNothing("sec(" + raised + ")^2*sec(" + raised + ")");
    }
  }
}

}  // namespace
