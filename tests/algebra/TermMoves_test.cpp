#include "algebra/TermMoves.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kRight = 0x2100, kRightInto = 0x2101, kRightAll = 0x2102, kLeft = 0x2103;
constexpr int32_t kUp = 0x2106, kDown = 0x2107, kRightSwap = 0x2109;

// The code run on the formula with `select` selected: the formula and the
// selection after it.
struct Move {
  int32_t code;
  const char *text, *select, *formula, *selected;
};

constexpr Move kMoves[] = {
    // past neighbours and to the end
    {kRight, "a*b", "a", "b*a", "a"},
    {kRight, "b*a", "a", "b*a", "a"},
    {kRightAll, "a+b+c", "a", "b+c+a", "a"},
    {kRightSwap, "a^b", "a", "b^a", "a"},
    // across an equation
    {kRight, "x+2=5", "2", "x=-2+5", "-2"},
    {kRight, "x+2=5", "x", "2+x=5", "x"},
    {kRight, "x*2=6", "2", "x=1/2*6", "1/2"},
    // into neighbours
    {kRightInto, "a*(b+c)", "a", "a*b+a*c", "a"},
    {kRightInto, "x*x^2", "x", "x^3", "x"},
    {kRightInto, "3*sqrt(x)", "3", "sqrt(9*x)", "9"},
    // out of fractions, powers and sums
    {kRight, "x^3", "x", "x^2*x", "x"},
    {kRight, "x^3", "3", "x^3", "3"},
    {kUp, "a/b", "b", "a*b^(-1)", "b^(-1)"},
    {kDown, "a/b", "a", "1/(a^(-1)*b)", "a^(-1)"},
    {kLeft, "a+a*b", "a", "a*(1+b)", "a"},
    // The index i of a sum moves neither out of the summand nor in, nor do
    // the sides of its equation; a product over an index lets nothing across.
    {kLeft, "sum(i*x,i=1,n)", "i", "sum(i*x,i=1,n)", "i"},
    {kRight, "sum(x*i,i=1,n)", "x", "sum(i*x,i=1,n)", "x"},
    {kLeft, "sum(c*x,i=1,n)", "c", "c*sum(x,i=1,n)", "c"},
    {kRight, "sum(x,i=1,n)", "i", "sum(x,i=1,n)", "i"},
    {kLeft, "product(c*x,i=1,n)", "c", "product(c*x,i=1,n)", "c"},
    {kRightInto, "c*product(x,i=1,n)", "c", "c*product(x,i=1,n)", "c"},
};

TEST(TermMoves, EachMoveGivesItsFormulaAndSelection) {
  for (const Move& m : kMoves) {
    const CommandRun run = RunCode(m.code, m.text, Reparsed(m.select));
    EXPECT_EQ(run.formula, Reparsed(m.formula)) << m.text << " code " << m.code;
    EXPECT_EQ(run.selected, Reparsed(m.selected)) << m.text << " code " << m.code;
  }
}

}  // namespace
