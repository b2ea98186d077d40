#include "algebra/TermMoves.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kRight = 0x2100, kRightInto = 0x2101, kRightAll = 0x2102, kLeft = 0x2103;
constexpr int32_t kUp = 0x2106, kDown = 0x2107, kRightSwap = 0x2109;

void ExpectMove(int32_t code, const std::string& text, const std::string& select, const std::string& formula,
                const std::string& selected) {
  const CommandRun run = RunCode(code, text, Reparsed(select));
  EXPECT_EQ(run.formula, Reparsed(formula)) << text << " code " << code;
  EXPECT_EQ(run.selected, Reparsed(selected)) << text << " code " << code;
}

TEST(TermMoves, PastNeighboursAndToTheEnd) {
  ExpectMove(kRight, "a*b", "a", "b*a", "a");
  ExpectMove(kRight, "b*a", "a", "b*a", "a");
  ExpectMove(kRightAll, "a+b+c", "a", "b+c+a", "a");
  ExpectMove(kRightSwap, "a^b", "a", "b^a", "a");
}

TEST(TermMoves, AcrossAnEquation) {
  ExpectMove(kRight, "x+2=5", "2", "x=-2+5", "-2");
  ExpectMove(kRight, "x+2=5", "x", "2+x=5", "x");
  ExpectMove(kRight, "x*2=6", "2", "x=1/2*6", "1/2");
}

TEST(TermMoves, IntoNeighbours) {
  ExpectMove(kRightInto, "a*(b+c)", "a", "a*b+a*c", "a");
  ExpectMove(kRightInto, "x*x^2", "x", "x^3", "x");
  ExpectMove(kRightInto, "3*sqrt(x)", "3", "sqrt(9*x)", "9");
}

TEST(TermMoves, OutOfFractionsPowersAndSums) {
  ExpectMove(kRight, "x^3", "x", "x^2*x", "x");
  ExpectMove(kRight, "x^3", "3", "x^3", "3");
  ExpectMove(kUp, "a/b", "b", "a*b^(-1)", "b^(-1)");
  ExpectMove(kDown, "a/b", "a", "1/(a^(-1)*b)", "a^(-1)");
  ExpectMove(kLeft, "a+a*b", "a", "a*(1+b)", "a");
}

// The index i of a sum moves neither out of the summand nor in; a product
// over an index lets nothing across.
TEST(TermMoves, SumsAndProductsOverAnIndex) {
  ExpectMove(kLeft, "sum(i*x,i=1,n)", "i", "sum(i*x,i=1,n)", "i");
  ExpectMove(kRight, "sum(x*i,i=1,n)", "x", "sum(i*x,i=1,n)", "x");
  ExpectMove(kLeft, "sum(c*x,i=1,n)", "c", "c*sum(x,i=1,n)", "c");
  ExpectMove(kLeft, "product(c*x,i=1,n)", "c", "product(c*x,i=1,n)", "c");
  ExpectMove(kRightInto, "c*product(x,i=1,n)", "c", "c*product(x,i=1,n)", "c");
  // The sides of the index equation stay where they are.
  ExpectMove(kRight, "sum(x,i=1,n)", "i", "sum(x,i=1,n)", "i");
}

}  // namespace
