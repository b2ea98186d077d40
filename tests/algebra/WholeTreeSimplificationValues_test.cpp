#include "AlgebraTestSupport.h"
#include "evaluation/AnExpression.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Random formulas over x, y, z, u taking values in (0.5, 2). Non-whole
// powers, roots and logarithms are only taken of positive-valued subtrees
// (negative arguments are the concern of PowerConditionsReference_test).
class RandomFormulas {
 public:
  explicit RandomFormulas(unsigned seed) : fRandom(seed) {}

  ExpressionRecord* Any(int depth) {
    if (depth <= 0 || Pick(0, 5) == 0) return Pick(0, 2) == 0 ? AnyNumber() : Variable();
    // Products and powers of sums only near the leaves, so that multiplying
    // out stays within some hundred terms.
    switch (Pick(0, depth <= 2 ? 13 : 11)) {
      case 0: return Sum(depth, false);
      case 1: return Minus(Any(depth - 1), Any(depth - 1));
      case 2: return ProductOf(depth, false);
      case 3: return Div(Any(depth - 1), Positive(depth - 1));
      case 4: return Neg(Any(depth - 1));
      case 5: return Tothe(Any(depth - 1), Number(Pick(0, 3)));
      case 6: return Tothe(Positive(depth - 1), Exponent(depth - 1));
      case 7: return Ln(Positive(depth - 1));
      case 8: return Sin(Any(depth - 1));
      case 9: return Cos(Any(depth - 1));
      case 10: return Times(Number(Pick(-3, 3)), Any(depth - 1));
      case 11: return Times(Sum(depth, false), Sum(depth, false));
      case 12: return Tothe(Sum(depth, false), Number(Pick(2, 3)));
      default: return Positive(depth);
    }
  }

  ExpressionRecord* Positive(int depth) {
    if (depth <= 0 || Pick(0, 5) == 0) return Pick(0, 2) == 0 ? PositiveNumber() : Variable();
    switch (Pick(0, 6)) {
      case 0: return Sum(depth, true);
      case 1: return ProductOf(depth, true);
      case 2: return Div(Positive(depth - 1), Positive(depth - 1));
      case 3: return Tothe(Positive(depth - 1), Exponent(depth - 1));
      case 4: return Sqrt(Positive(depth - 1));
      case 5: return NewBinop(kOpSqrt, Positive(depth - 1), Number(Pick(2, 5)));
      default: return NewUnop(kOpExp, Sin(Any(depth - 1)));
    }
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(fRandom); }

  ExpressionRecord* Variable() {
    static constexpr int32_t kIds[] = {'x', 'y', 'z', 'u'};
    return Atomic(kIds[Pick(0, 3)]);
  }
  ExpressionRecord* PositiveNumber() {
    static constexpr double kValues[] = {1, 2, 3, 4, 0.5, 1.5, 2.25};
    return Number(kValues[Pick(0, 6)]);
  }
  ExpressionRecord* AnyNumber() {
    static constexpr double kValues[] = {0, 1, -1, 2, -2, 3, 0.5, -1.5};
    return Number(kValues[Pick(0, 7)]);
  }
  ExpressionRecord* Exponent(int depth) {
    switch (Pick(0, 4)) {
      case 0: return Number(Pick(-3, 4));
      case 1: return Number(Pick(0, 1) ? 0.5 : -1.5);
      case 2: return Div(Number(1), Number(Pick(2, 4)));
      case 3: return Variable();
      default: return Sin(Any(depth));
    }
  }
  ExpressionRecord* Sum(int depth, bool positive) {
    ExpressionRecord* sum = positive ? Positive(depth - 1) : Any(depth - 1);
    for (int k = Pick(1, 2); k > 0; --k) sum = Plus(sum, positive ? Positive(depth - 1) : Any(depth - 1));
    return sum;
  }
  ExpressionRecord* ProductOf(int depth, bool positive) {
    ExpressionRecord* product = positive ? Positive(depth - 1) : Any(depth - 1);
    for (int k = Pick(1, 2); k > 0; --k) product = Times(product, positive ? Positive(depth - 1) : Any(depth - 1));
    return product;
  }

  std::mt19937 fRandom;
};

// The formula with every sign made positive, sin(a), cos(a), ln(a) made
// a + 1 and a/b made a (b + 1): its value bounds the sizes of the terms
// that cancel in the formula and in its arguments, which bound the
// rounding error of any rearrangement of it.
ExpressionRecord* SignFree(const ExpressionRecord* tree) {
  ExpressionRecord* twin = Copy(tree);
  for (ExpressionRecord* node = LeftMost(twin);;) {
    ExpressionRecord* next = node == twin ? nullptr : NextBottomUp(node);
    if (node->opcode == kOpNumber) node->payload.number->value = std::fabs(node->payload.number->value);
    if (node->opcode == kOpMinus) ReplaceWithFirstOperand(node);
    if ((node->opcode == kOpSin || node->opcode == kOpCos || node->opcode == kOpLn) && SizeNode(node, 2)) {
      node->opcode = kOpPlus;
      node->operands[1] = Number(1.0);
      node->operands[1]->parent = node;
    }
    if (node->opcode == kOpOver && DO_PlusOn(node->operands[1], Number(1.0))) node->opcode = kOpTimes;
    if (!next) return twin;
    node = next;
  }
}

struct SamplePoint {
  double x, y, z, u;
};

double ValueAt(AnExpression& e, const SamplePoint& p) { return e.Evaluate(p.u, 0.0, p.x, p.y, p.z, 0.0); }

bool Agree(double a, double b, double scale) {
  return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b), scale});
}

TEST(ValuePreservation, RewrittenFormulasKeepTheirValues) {
  RandomFormulas formulas(20261206);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(0.5, 2.0);
  // Re-armed per formula: a cycle of restarts fails, naming the formula, instead of hanging.
  Watchdog watchdog("value preservation");
  int compared = 0;
  for (int n = 0; n < 20000; ++n) {
    Tree original(formulas.Any(2 + n % 3));
    const std::string text = Written(original.get());
    Tree simplified(Copy(original.get()));
    Tree multiplied(Copy(original.get()));
    watchdog.Arm("the rewrite of " + text);
    RunRewrite(simplified.get(), Rewrite::kSimplify);
    RunRewrite(multiplied.get(), Rewrite::kMultiplyOut);
    ASSERT_EQ(gMathError.load(), 0) << text;

    AnExpression scale(SignFree(original.get()), nullptr);
    AnExpression before(original.release(), nullptr);
    AnExpression after(simplified.release(), nullptr);
    AnExpression expanded(multiplied.release(), nullptr);
    AnExpression::Compile(&before, &after, &expanded, &scale);
    for (int k = 0; k < 5; ++k) {
      const SamplePoint p{coordinate(random), coordinate(random), coordinate(random), coordinate(random)};
      const double expected = ValueAt(before, p);
      const double size = std::fabs(ValueAt(scale, p));
      if (!std::isfinite(expected) || !std::isfinite(size)) continue;
      ++compared;
      const double simplifiedValue = ValueAt(after, p);
      const double expandedValue = ValueAt(expanded, p);
      ASSERT_TRUE(Agree(simplifiedValue, expected, size))
          << text << " simplified: " << simplifiedValue << " for " << expected;
      ASSERT_TRUE(Agree(expandedValue, expected, size))
          << text << " multiplied out: " << expandedValue << " for " << expected;
    }
  }
  EXPECT_GT(compared, 85000);
}

}  // namespace
