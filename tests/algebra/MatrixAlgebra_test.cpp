#include "algebra/MatrixAlgebra.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kDifferentiate = 0x2000;

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
  EXPECT_EQ(Worked("k*matrix(2,2,a,b,c,d)^(-1)*matrix(2,1,p,q)"), Reparsed("matrix(2,2,a,b,c,d)^(-1)*matrix(2,1,k*p,k*q)"));
}

TEST(MatrixAlgebra, InverseDeterminantTraceLength) {
  EXPECT_EQ(RunCode(kDifferentiate, "matrix(2,2,1,2,3,4)^(-1)").formula, "matrix(2,2,-2,1,1.5,-0.5)");
  EXPECT_EQ(Worked("matrix(2,2,1,2,2,4)^(-1)"), Reparsed("matrix(2,2,1,2,2,4)^(-1)"));
  EXPECT_EQ(Worked("Det(matrix(2,2,1,2,2,4))"), "0");
  EXPECT_EQ(Worked("Det(matrix(3,3,2,0,0,0,3,0,0,0,4))"), "24");
  EXPECT_EQ(Worked("Det(matrix(2,2,a,b,c,d))"), Reparsed("Det(matrix(2,2,a,b,c,d))"));
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

}  // namespace
