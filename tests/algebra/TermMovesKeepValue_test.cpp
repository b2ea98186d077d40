#include "algebra/TermMoves.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "evaluation/ScalarExprEval.h"
#include "expression/MoveQuestions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Random formulas in x and y over positive numbers; sums and products over
// an index with fixed bounds among them.
std::string RandomFormula(std::mt19937& random, int depth) {
  std::uniform_int_distribution<int> pick(0, depth <= 0 ? 2 : 9);
  const char* leaves[] = {"x", "y", "2", "3", "1.5"};
  switch (pick(random)) {
    case 0:
    case 1:
    case 2: return leaves[std::uniform_int_distribution<int>(0, 4)(random)];
    case 3:
    case 4: return RandomFormula(random, depth - 1) + "+" + RandomFormula(random, depth - 1);
    case 5:
    case 6: return "(" + RandomFormula(random, depth - 1) + ")*(" + RandomFormula(random, depth - 1) + ")";
    case 7: return "(" + RandomFormula(random, depth - 1) + ")/(" + RandomFormula(random, depth - 1) + ")";
    case 8: return "(" + RandomFormula(random, depth - 1) + ")^2";
    default: {
      const char* op = std::uniform_int_distribution<int>(0, 2)(random) == 0 ? "product" : "sum";
      // k, not i: the simplifier reads i as the imaginary unit.
      return std::string(op) + "(k*" + RandomFormula(random, depth - 1) + "*" + RandomFormula(random, depth - 1) +
             ",k=1,3)";
    }
  }
}

// left - right of an equation of two sides.
double Residual(const ExpressionRecord* equation, double x, double y) {
  return ValueAt(equation->operands[0], x, y) - ValueAt(equation->operands[1], x, y);
}

// The node at the pre-order place k of the tree.
ExpressionRecord* NodeAt(ExpressionRecord* root, int k) {
  ExpressionRecord* n = root;
  for (int j = 0; n && j < k; ++j) n = NextTopDownWithin(n, root);
  return n;
}

// The move with the node at place k selected, on a copy; null when the
// node cannot be moved.
Tree Moved(const ExpressionRecord* tree, int k, int32_t code) {
  Tree copy(Copy(tree));
  MERecord record{};
  record.root = copy.get();
  record.selected = NodeAt(copy.get(), k);
  gMathCurrentMEH = &record;
  const bool movable = FACTOR_CanMove();
  gMathCurrentMEH = nullptr;
  if (!movable) return nullptr;
  RunAlgebraCommand(&record, code);
  return copy;
}

TEST(MovesKeepValue, RandomFormulasAndEquations) {
  std::mt19937 random(2026);
  std::uniform_real_distribution<double> coordinate(0.2, 3);
  int32_t checked = 0;
  for (int f = 0; f < 2000; ++f) {
    const bool equation = f % 2 == 1;
    const std::string text =
        equation ? RandomFormula(random, 2) + "=" + RandomFormula(random, 2) : RandomFormula(random, 3);
    Tree tree = Parse(text);
    ASSERT_TRUE(tree) << text;
    const double x = coordinate(random), y = coordinate(random);
    // A point of the equation's zero set along x, by bisection.
    double root = NAN;
    if (equation) {
      double lo = 0.05, hi = 6;
      double flo = Residual(tree.get(), lo, y), fhi = Residual(tree.get(), hi, y);
      if (std::isfinite(flo) && std::isfinite(fhi) && flo * fhi < 0) {
        for (int step = 0; step < 200; ++step) {
          const double mid = (lo + hi) / 2;
          const double fm = Residual(tree.get(), mid, y);
          if ((fm < 0) == (flo < 0))
            lo = mid, flo = fm;
          else
            hi = mid;
        }
        root = (lo + hi) / 2;
      }
      if (std::isnan(root)) continue;
    }
    const double before = equation ? 0 : ValueAt(tree.get(), x, y);
    if (!std::isfinite(before)) continue;
    const int nodes = MATH_NodeCount(tree.get());
    for (int k = 0; k < nodes; ++k) {
      for (int32_t code = 0x2100; code <= 0x2107; ++code) {
        Tree moved = Moved(tree.get(), k, code);
        if (!moved) break;
        if (equation) {
          ASSERT_EQ(moved->opcode, kOpEquals) << text;
          // The moved residual vanishes where the original's does, on the
          // scale of the sides.
          const double scale = std::abs(ValueAt(tree->operands[0], root, y)) + 1;
          EXPECT_LE(std::abs(Residual(moved.get(), root, y)), 1e-6 * scale)
              << text << " -> " << Written(moved.get()) << " node " << k << " code " << code;
        } else {
          EXPECT_TRUE(Near(ValueAt(moved.get(), x, y), before, 1e-8))
              << text << " -> " << Written(moved.get()) << " node " << k << " code " << code;
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

}  // namespace
