#include "tests/algebra/AlgebraTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Matrix2 = std::array<double, 4>;

Matrix2 Times(const Matrix2& p, const Matrix2& q) {
  return {p[0] * q[0] + p[1] * q[2], p[0] * q[1] + p[1] * q[3], p[2] * q[0] + p[3] * q[2], p[2] * q[1] + p[3] * q[3]};
}

std::string Text(const Matrix2& m) {
  std::string text = "matrix(2,2";
  for (const double v : m) text += "," + std::to_string(static_cast<int>(v));
  return text + ")";
}

// A scalar, or a 2x2 matrix when isMatrix.
struct Value {
  bool isMatrix;
  double scalar;
  Matrix2 m;
};

Value Scaled(const Value& v, double c) {
  Value out = v;
  out.scalar *= c;
  for (double& e : out.m) e *= c;
  return out;
}

Value Multiplied(const Value& a, const Value& b) {
  if (a.isMatrix && b.isMatrix) return {true, 0, Times(a.m, b.m)};
  return a.isMatrix ? Scaled(a, b.scalar) : Scaled(b, a.scalar);
}

// The value of a product as written, at x and y; matrix powers by repeated
// products. Kinds a simplified product cannot hold fail the test.
Value Evaluated(const ExpressionRecord* e, double x, double y) {
  switch (e->opcode) {
    case kOpNumber: return {false, e->payload.number->value, {}};
    case kOpAtom: return {false, e->payload.id == 'x' ? x : y, {}};
    case kOpSin: return {false, std::sin(Evaluated(e->operands[0], x, y).scalar), {}};
    case kOpMinus: return Scaled(Evaluated(e->operands[0], x, y), -1);
    case kOpMatrix: {
      Value v{true, 0, {}};
      for (int k = 0; k < 4; ++k) v.m[k] = Evaluated(e->operands[k], x, y).scalar;
      return v;
    }
    case kOpTimes: {
      Value v{false, 1, {}};
      for (int k = 0; k < e->operandCount; ++k) v = Multiplied(v, Evaluated(e->operands[k], x, y));
      return v;
    }
    case kOpOver: return Scaled(Evaluated(e->operands[0], x, y), 1 / Evaluated(e->operands[1], x, y).scalar);
    case kOpPower: {
      const Value base = Evaluated(e->operands[0], x, y);
      const double n = Evaluated(e->operands[1], x, y).scalar;
      if (!base.isMatrix) return {false, std::pow(base.scalar, n), {}};
      Value v{true, 0, {1, 0, 0, 1}};
      for (int k = 0; k < n; ++k) v = Multiplied(v, base);
      return v;
    }
    default: ADD_FAILURE() << "unexpected node kind " << e->opcode; return {false, NAN, {}};
  }
}

struct Factor {
  std::string text;
  double scalar;  // its value at x = 0.7, y = -1.3, for a scalar factor
  int matrix;     // -1 for a scalar, else which of the two matrices
};

// Products of scalars with repeated bases and powers, and of two matrices
// each used more than once, shuffled: ordering and grouping must move and
// combine the scalars while the matrices keep their order among
// themselves. Oracle: the scalars' product times the matrices multiplied
// in their written order.
TEST(NormalForm, ShuffledProductsKeepTheirValueAndTheirMatrixOrder) {
  constexpr double x = 0.7, y = -1.3;
  const Matrix2 matrices[2] = {{1, 2, 3, 4}, {0, -1, 2, 5}};
  const std::vector<Factor> pool = {{"x", x, -1},
                                    {"y", y, -1},
                                    {"x^2", x * x, -1},
                                    {"sin(x)", std::sin(x), -1},
                                    {"sin(x)^3", std::pow(std::sin(x), 3), -1},
                                    {"3", 3, -1},
                                    {"y^(-1)", 1 / y, -1},
                                    {"(x*y)", x * y, -1},
                                    {Text(matrices[0]), 0, 0},
                                    {Text(matrices[1]), 0, 1}};
  std::mt19937 random(11);
  std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
  std::uniform_int_distribution<int> length(2, 9);
  for (int trial = 0; trial < 300; ++trial) {
    std::string text;
    double scalar = 1;
    Matrix2 product = {1, 0, 0, 1};
    bool anyMatrix = false;
    for (int k = length(random); k > 0; --k) {
      const Factor& factor = pool[pick(random)];
      text += (text.empty() ? "" : "*") + factor.text;
      if (factor.matrix < 0) {
        scalar *= factor.scalar;
      } else {
        product = Times(product, matrices[factor.matrix]);
        anyMatrix = true;
      }
    }
    Tree tree = Parse(text);
    SimplifyExpr(tree.get());
    const Value value = Evaluated(tree.get(), x, y);
    ASSERT_EQ(value.isMatrix, anyMatrix) << text << " -> " << Written(tree.get());
    if (!anyMatrix) {
      EXPECT_TRUE(Near(value.scalar, scalar, 1e-12)) << text << " -> " << Written(tree.get());
      continue;
    }
    for (int k = 0; k < 4; ++k)
      EXPECT_TRUE(Near(value.m[k], scalar * product[k], 1e-12)) << text << " -> " << Written(tree.get());
  }
}

// Long sums of a few monomials with random coefficients, shuffled: every
// monomial ends as one term (none when its coefficients cancel), and the
// value is kept. Oracle: the coefficients summed per monomial.
TEST(NormalForm, LongShuffledSumsGroupEachMonomialOnce) {
  constexpr double x = 0.7, y = -1.3;
  const std::vector<std::pair<std::string, double>> monomials = {
      {"x", x}, {"y", y}, {"x*y", x * y}, {"sin(x)", std::sin(x)}, {"x^2", x * x}, {"y*sin(x)", y * std::sin(x)}};
  std::mt19937 random(23);
  std::uniform_int_distribution<size_t> pick(0, monomials.size() - 1);
  std::uniform_int_distribution<int> coefficient(-3, 3), length(2, 400);
  for (int trial = 0; trial < 40; ++trial) {
    std::string text;
    std::vector<int> totals(monomials.size(), 0);
    for (int k = length(random); k > 0; --k) {
      const size_t m = pick(random);
      const int c = coefficient(random);
      totals[m] += c;
      text += (text.empty() ? "" : "+") + ("(" + std::to_string(c) + ")*" + monomials[m].first);
    }
    double value = 0;
    int32_t expectedTerms = 0;
    for (size_t m = 0; m < monomials.size(); ++m) {
      value += totals[m] * monomials[m].second;
      expectedTerms += totals[m] != 0 ? 1 : 0;
    }
    Tree tree = Parse(text);
    SimplifyExpr(tree.get());
    const bool zero = tree->opcode == kOpNumber && tree->payload.number->value == 0;
    const int32_t terms = tree->opcode == kOpPlus ? tree->operandCount : (zero ? 0 : 1);
    EXPECT_EQ(terms, expectedTerms) << Written(tree.get());
    EXPECT_TRUE(Near(ValueAt(tree.get(), x, y), value, 1e-12)) << Written(tree.get());
  }
}

}  // namespace
