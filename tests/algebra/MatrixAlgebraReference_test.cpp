#include "algebra/MatrixAlgebra.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "evaluation/ScalarExprEval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

namespace {

std::string ReferenceMatrixText(int n, const std::vector<std::string>& entries) {
  std::string text = "matrix(" + std::to_string(n) + "," + std::to_string(n);
  for (const std::string& e : entries) text += "," + e;
  return text + ")";
}

Tree WorkedTree(const std::string& text) {
  Tree tree = Parse(text);
  MENU_MatrixAlgebraRecurse(tree.get(), nullptr);
  return tree;
}

// GiNaC's exact inverses and determinants: ours within 1e-12 times the
// condition number; a singular matrix keeps its inverse written and has
// determinant 0.
TEST(MatrixReference, InversesAndDeterminantsOfRandomIntegerMatrices) {
  const std::vector<std::string> lines = DataLines("matrix_algebra_reference.txt");
  EXPECT_EQ(lines.size(), 300u);
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    int n = 0;
    std::string condText;
    fields >> n >> condText;
    std::vector<std::string> entries(static_cast<size_t>(n * n));
    for (std::string& e : entries) fields >> e;
    double det = 0;
    fields >> det;
    const std::string matrix = ReferenceMatrixText(n, entries);
    Tree determinant = WorkedTree("Det(" + matrix + ")");
    EXPECT_NEAR(ScalarExprEval(determinant.get(), nullptr), det, 1e-9 * std::max(1.0, std::abs(det))) << matrix;
    Tree inverse = WorkedTree(matrix + "^(-1)");
    if (condText == "inf") {
      EXPECT_EQ(Written(inverse.get()), Reparsed(matrix + "^(-1)"));
      EXPECT_EQ(ScalarExprEval(determinant.get(), nullptr), 0.0) << matrix;
    } else {
      const double tolerance = 1e-12 * std::stod(condText);
      ASSERT_EQ(inverse->opcode, kOpMatrix) << matrix;
      double largest = 0;
      std::vector<double> expected(entries.size());
      for (double& v : expected) {
        fields >> v;
        largest = std::max(largest, std::abs(v));
      }
      for (int32_t k = 0; k < n * n; ++k)
        EXPECT_NEAR(ScalarExprEval(inverse->operands[k], nullptr), expected[static_cast<size_t>(k)],
                    tolerance * largest)
            << matrix << " element " << k;
    }
  }
}

// Our symbolic determinant against GiNaC's expanded one at random points:
// two polynomials of this degree that agree at random reals are the same.
TEST(MatrixReference, SymbolicDeterminantsAgreeWithExpandedOnes) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> value(-2, 2);
  const std::vector<std::string> lines = DataLines("matrix_algebra_symbolic.txt");
  EXPECT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    int n = 0;
    std::string names, reference;
    fields >> n >> names >> reference;
    std::vector<std::string> entries;
    for (char c : names) entries.emplace_back(1, c);
    Tree ours = WorkedTree("abs(" + ReferenceMatrixText(n, entries) + ")");
    Tree theirs = Parse(reference);
    ASSERT_TRUE(ours && theirs);
    ASSERT_EQ(Written(ours.get()).find("matrix"), std::string::npos) << Written(ours.get());
    for (int trial = 0; trial < 5; ++trial) {
      std::vector<double> values;
      for (size_t k = 0; k < names.size(); ++k) values.push_back(value(random));
      auto at = [&](const ExpressionRecord* tree) {
        Tree copy(Copy(tree));
        PostOrder(copy.get(), [&](ExpressionRecord* node) {
          if (node->opcode != kOpAtom) return;
          const size_t k = names.find(static_cast<char>(node->payload.id));
          if (k != std::string::npos) Become(node, Number(values[k]));
        });
        return ScalarExprEval(copy.get(), nullptr);
      };
      EXPECT_NEAR(at(ours.get()), at(theirs.get()), 1e-9) << n;
    }
  }
}

}  // namespace
