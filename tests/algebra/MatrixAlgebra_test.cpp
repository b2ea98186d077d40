#include "algebra/MatrixAlgebra.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "evaluation/ScalarExprEval.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr int32_t kDifferentiateCommand = 0x2000;

std::string Worked(const std::string& text) {
  Tree tree = Parse(text);
  MENU_MatrixAlgebraRecurse(tree.get(), nullptr);
  return Written(tree.get());
}

std::string Simplified(const std::string& text) {
  Tree tree = Parse(text);
  MENU_MatrixAlgebraRecurse(tree.get(), nullptr);
  SimplifyExpr(tree.get());
  return Written(tree.get());
}

TEST(MatrixAlgebra, ProductsOfMatricesAndScalars) {
  EXPECT_EQ(Simplified("matrix(2,2,1,2,3,4)*matrix(2,1,5,6)"), Reparsed("matrix(2,1,17,39)"));
  EXPECT_EQ(Simplified("matrix(1,2,1,2)*matrix(2,1,3,4)"), "11");
  EXPECT_EQ(Simplified("2*matrix(1,2,1,2)"), Reparsed("matrix(1,2,2,4)"));
  EXPECT_EQ(Worked("matrix(1,2,a,b)*k"), Reparsed("matrix(1,2,a*k,b*k)"));
  // Mismatched inner sizes stay written.
  EXPECT_EQ(Worked("matrix(1,2,1,2)*matrix(1,2,3,4)"), Reparsed("matrix(1,2,1,2)*matrix(1,2,3,4)"));
  // A chain with scalars between: 2 * A * 3 * B with A B = [[19,22],[43,50]].
  EXPECT_EQ(Simplified("2*matrix(2,2,1,2,3,4)*3*matrix(2,2,5,6,7,8)"), Reparsed("matrix(2,2,114,132,258,300)"));
}

TEST(MatrixAlgebra, ALeadingMatrixIsNeverFoldedInAsAScalar) {
  // N stays symbolic (its inverse is not worked out): M must not go into
  // every element of P.
  const std::string text = "matrix(1,1,m)*matrix(2,2,a,b,c,d)^(-1)*matrix(2,1,p,q)";
  const std::string out = Worked(text);
  EXPECT_EQ(out.find("m*p"), std::string::npos) << out;
  EXPECT_EQ(Worked("k*matrix(2,2,a,b,c,d)^(-1)*matrix(2,1,p,q)"),
            Reparsed("matrix(2,2,a,b,c,d)^(-1)*matrix(2,1,k*p,k*q)"));
}

// Numeric inverses and determinants are checked against the reference;
// here the command path, complex singular matrices and symbolic entries.
TEST(MatrixAlgebra, InverseDeterminantTraceLength) {
  EXPECT_EQ(RunCode(kDifferentiateCommand, "matrix(2,2,1,2,3,4)^(-1)").formula, "matrix(2,2,-2,1,1.5,-0.5)");
  EXPECT_EQ(Worked("Det(matrix(2,2,a,b,c,d))"), Reparsed("Det(matrix(2,2,a,b,c,d))"));
  // Singular over the complex numbers: i*i - 1*(-1) = 0.
  EXPECT_EQ(Worked("Det(matrix(2,2,i,1,-1,i))"), "0");
  EXPECT_EQ(Worked("matrix(2,2,i,1,-1,i)^(-1)"), Reparsed("matrix(2,2,i,1,-1,i)^(-1)"));
  EXPECT_EQ(Worked("Det(matrix(2,2,i,0,0,i))"), "-1");
  EXPECT_EQ(Simplified("abs(matrix(2,1,3,4))"), "5");
  EXPECT_EQ(Worked("abs(matrix(2,2,a,b,c,d))"), Reparsed("a*d+-(b*c)"));
  EXPECT_EQ(Worked("Trace(matrix(2,2,a,b,c,d))"), Reparsed("a+d"));
}

TEST(MatrixAlgebra, SumsTransposesDotAndCross) {
  EXPECT_EQ(Simplified("matrix(1,2,1,2)+matrix(1,2,3,4)"), Reparsed("matrix(1,2,4,6)"));
  EXPECT_EQ(Worked("matrix(1,2,1,2)+matrix(2,1,3,4)"), Reparsed("matrix(1,2,1,2)+matrix(2,1,3,4)"));
  EXPECT_EQ(Worked("Transpose(matrix(2,3,1,2,3,4,5,6))"), Reparsed("matrix(3,2,1,4,2,5,3,6)"));
  EXPECT_EQ(Simplified("dot(matrix(3,1,1,2,0),matrix(2,1,3,4))"), "11");
  EXPECT_EQ(Simplified("cross(matrix(3,1,1,0,0),matrix(3,1,0,1,0))"), Reparsed("matrix(3,1,0,0,1)"));
}

using Dense = std::vector<std::vector<double>>;

std::string MatrixText(const Dense& m) {
  std::string text = "matrix(" + std::to_string(m.size()) + "," + std::to_string(m[0].size());
  for (const auto& row : m)
    for (double v : row) text += "," + std::to_string(static_cast<int>(v));
  return text + ")";
}

// Chains s1 * A * s2 * B * C of random shapes with scalars between, against
// the product multiplied out here.
TEST(MatrixAlgebra, ChainsOfProductsInRandomShapes) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> size(1, 4), entry(-5, 5);
  for (int trial = 0; trial < 60; ++trial) {
    const int dims[4] = {size(random), size(random), size(random), size(random)};
    std::vector<Dense> factors;
    for (int f = 0; f < 3; ++f) {
      Dense m(static_cast<size_t>(dims[f]), std::vector<double>(static_cast<size_t>(dims[f + 1])));
      for (auto& row : m)
        for (double& v : row) v = entry(random);
      factors.push_back(m);
    }
    const double s1 = entry(random), s2 = entry(random);
    Dense product = factors[0];
    for (int f = 1; f < 3; ++f) {
      Dense next(product.size(), std::vector<double>(factors[f][0].size(), 0.0));
      for (size_t r = 0; r < next.size(); ++r)
        for (size_t c = 0; c < next[0].size(); ++c)
          for (size_t k = 0; k < factors[f].size(); ++k) next[r][c] += product[r][k] * factors[f][k][c];
      product = next;
    }
    const std::string text = "(" + std::to_string(static_cast<int>(s1)) + ")*" + MatrixText(factors[0]) + "*(" +
                             std::to_string(static_cast<int>(s2)) + ")*" + MatrixText(factors[1]) + "*" +
                             MatrixText(factors[2]);
    Tree tree = Parse(text);
    MENU_MatrixAlgebraRecurse(tree.get(), nullptr);
    const bool single = product.size() == 1 && product[0].size() == 1;
    if (!single) {
      ASSERT_EQ(tree->opcode, kOpMatrix) << text << " -> " << Written(tree.get());
    }
    for (size_t r = 0; r < product.size(); ++r)
      for (size_t c = 0; c < product[0].size(); ++c) {
        const ExpressionRecord* e = single ? tree.get() : tree->operands[r * product[0].size() + c];
        EXPECT_DOUBLE_EQ(ScalarExprEval(e, nullptr), s1 * s2 * product[r][c]) << text;
      }
  }
}

}  // namespace
