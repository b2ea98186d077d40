#include "algebra/Substitution.h"
#include "evaluation/ScalarExprEval.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

// The random formulas of the derivative reference with x replaced by
// y/2 + a: the substituted formula's value is the formula's at that x.
TEST(SubstitutionValues, SubstitutingAgreesWithEvaluating) {
  const std::vector<std::string> lines = DataLines("derivatives_reference.txt");
  int32_t compared = 0;
  for (size_t row = 0; row < 1000 && row < lines.size(); ++row) {
    std::istringstream fields(lines[row]);
    std::string text;
    double x = 0, y = 0, a = 0, derivative = 0;
    std::getline(fields, text, '\t');
    fields >> x >> y >> a >> derivative;
    Tree substituted = Parse("substitution(" + text + ",x=y/2+a)");
    Tree plain = Parse(text);
    ASSERT_TRUE(substituted && plain) << text;
    TAYLOR_SubstRecurse(substituted.get());
    const double at = y / 2 + a;
    const double expected = CompiledWithA(plain.get(), a)->Evaluate(at, y);
    // Where the rule set's formal steps change the value (sqrt(u^2) as u
    // for u < 0) the simplified result is another function.
    Tree tidied(Copy(plain.get()));
    SimplifyExpr(tidied.get());
    if (std::isnan(expected) || !Near(CompiledWithA(tidied.get(), a)->Evaluate(at, y), expected)) continue;
    EXPECT_TRUE(Near(CompiledWithA(substituted.get(), a)->Evaluate(0.0, y), expected))
        << text << " -> " << Written(substituted.get());
    ++compared;
  }
  EXPECT_GT(compared, 700);
}

// A nested sum written out term by term leaves empty inner sums behind
// (their bounds became numbers after the inner one was written out once);
// they stay, and the value stays.
TEST(SubstitutionValues, WritingOutEveryTermKeepsTheValue) {
  for (const char* text : {"sum(k^2+1/k,k=1,6)", "product(1+1/k,k=2,7)", "sum(sum(j*k,j=1,k),k=1,4)"}) {
    Tree tree = Parse(text);
    const double value = ScalarExprEval(tree.get(), nullptr);
    MERecord record{};
    record.root = record.selected = tree.get();
    gMathCurrentMEH = &record;
    for (int32_t i = 0; i < 12; ++i) CMD_ExpandOne();
    gMathCurrentMEH = nullptr;
    EXPECT_NEAR(ScalarExprEval(tree.get(), nullptr), value, 1e-12 * std::abs(value)) << text;
  }
}

}  // namespace
