#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <string>

#include "evaluation/ScalarExprEval.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"

// Constant formulas against values computed independently with mpmath.
TEST(ScalarExprEval, ConstantFormulasMatchIndependentValues) {
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/scalar_expr_reference.txt");
  ASSERT_TRUE(in.good());
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const std::string text = line.substr(0, tab);
    double expected = 0;
    std::from_chars(line.data() + tab + 1, line.data() + line.size(), expected);
    ExpressionRecord* tree = CoreParseExpr(text.data(), static_cast<int32_t>(text.size()));
    ASSERT_NE(tree, nullptr) << text;
    EXPECT_NEAR(ScalarExprEval(tree, nullptr), expected, 4e-15 * std::max(1.0, std::abs(expected))) << text;
    DisposExpr(tree);
    ++rows;
  }
  EXPECT_GE(rows, 20);
}

TEST(ScalarExprEval, NumbersAndNonRealResults) {
  ExpressionRecord* negated = Neg(Number(2.5));
  EXPECT_EQ(ScalarExprEval(negated, nullptr), -2.5);
  DisposExpr(negated);
  ExpressionRecord* complex = ParseExprFromString("sqrt(-4)");
  EXPECT_TRUE(std::isnan(ScalarExprEval(complex, nullptr)));
  DisposExpr(complex);
  EXPECT_TRUE(std::isnan(ScalarExprEval(nullptr, nullptr)));
}
