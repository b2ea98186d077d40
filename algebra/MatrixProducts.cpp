#include "algebra/MatrixAlgebra.h"

#include "algebra/MatrixElements.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
#include "expression/OwnedTree.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"

namespace {

// Takes operand 0 out of the product (of three operands or more), puts the
// product of it and the next operand in that operand's place and returns
// that new two-operand product.
ExpressionRecord* FoldFirstIntoSecond(ExpressionRecord* p) {
  ExpressionRecord* first = p->operands[0];
  ExpressionRecord* second = p->operands[1];
  ExpressionRecord* pair = NewExpression(kOpTimes, 2);
  if (!pair) return nullptr;
  MATH_RemoveOperand(p, 0);
  p->operands[0] = pair;
  pair->parent = p;
  SetOperand(pair, 0, first);
  SetOperand(pair, 1, second);
  return pair;
}

bool InnerSizesAgree(const ExpressionRecord* a, const ExpressionRecord* b) {
  return IsMatrixNode(a) && IsMatrixNode(b) && b->payload.shape.rows == a->payload.shape.columns;
}

// Every element of the matrix gets a copy of the scalar in front.
void ScalarInFront(ExpressionRecord* matrix, const ExpressionRecord* scalar) {
  for (int32_t k = 0; k < matrix->operandCount; ++k) DO_MultOnLeft(matrix->operands[k], Copy(scalar));
}

// One step of the product rule; false when the rule stops.
bool ProductStep(ExpressionRecord* p) {
  if (p->opcode != kOpTimes || p->operandCount < 2) return false;
  ExpressionRecord* a = p->operands[0];
  ExpressionRecord* b = p->operands[1];
  const bool two = p->operandCount == 2;
  if (IsMatrixNode(a) && IsMatrixNode(b)) {
    if (!InnerSizesAgree(a, b)) return false;
    if (two) return MATRIX_Multiplication(p, 0, 1), false;
    if (ExpressionRecord* pair = FoldFirstIntoSecond(p)) return MATRIX_Multiplication(pair, 0, 1), true;
    return false;
  }
  if (IsMatrixNode(a) && !ContainsMatrix(b)) {
    if (two) return MATRIX_ScalarMult(p, 0, 1), false;
    if (ExpressionRecord* pair = FoldFirstIntoSecond(p)) return MATRIX_ScalarMult(pair, 0, 1), true;
    return false;
  }
  if (!ContainsMatrix(a) && IsMatrixNode(b)) {
    if (two) return MATRIX_ScalarMult(p, 1, 0), false;
    if (ExpressionRecord* pair = FoldFirstIntoSecond(p)) return MATRIX_ScalarMult(pair, 1, 0), true;
    return false;
  }
  // A leading scalar goes into the first later matrix; an operand that holds
  // a matrix is no scalar, so folding stops there.
  if (p->operandCount < 3 || ContainsMatrix(a)) return false;
  for (int32_t k = 2; k < p->operandCount; ++k) {
    if (!IsMatrixNode(p->operands[k])) continue;
    ScalarInFront(p->operands[k], a);
    MATH_DeleteOperand(p, 0);
    return true;
  }
  return false;
}

}  // namespace

void MatrixProductRule(ExpressionRecord* p) {
  while (ProductStep(p)) {
  }
}

void MATRIX_Multiplication(ExpressionRecord* p, int32_t i, int32_t j) {
  if (!p || i < 0 || j < 0 || i >= p->operandCount || j >= p->operandCount) return;
  ExpressionRecord* a = p->operands[i];
  ExpressionRecord* b = p->operands[j];
  if (!InnerSizesAgree(a, b)) return;
  const int32_t m = a->payload.shape.rows;
  const int32_t n = a->payload.shape.columns;
  const int32_t q = b->payload.shape.columns;
  Tree c(NewMatrix(m, q));
  if (!c) return;
  for (int32_t r = 0; r < m; ++r) {
    for (int32_t col = 0; col < q; ++col) {
      Tree sum(NewExpression(kOpPlus, n));
      if (!sum) return;
      for (int32_t k = 0; k < n; ++k) {
        ExpressionRecord* product = Times(Copy(a->operands[r * n + k]), Copy(b->operands[k * q + col]));
        if (!product) return;
        SetOperand(sum.get(), k, product);
        SIMP_OneLevel(product);
      }
      if (n == 1) ReplaceWithFirstOperand(sum.get());
      SetOperand(c.get(), r * q + col, sum.release());
    }
  }
  if (m == 1 && q == 1) ReplaceWithFirstOperand(c.get());
  Become(a, c.release());
  MATH_DeleteOperand(p, j);
  SIMP_Recurse(p);
  SIMP_NegNumbersRecurse(p);
}

void MATRIX_ScalarMult(ExpressionRecord* p, int32_t i, int32_t j) {
  if (!p || i < 0 || j < 0 || i >= p->operandCount || j >= p->operandCount || !IsMatrixNode(p->operands[i])) return;
  ExpressionRecord* matrix = p->operands[i];
  const ExpressionRecord* scalar = p->operands[j];
  for (int32_t k = 0; k < matrix->operandCount; ++k) {
    if (i < j)
      DO_MultOn(matrix->operands[k], Copy(scalar));
    else
      DO_MultOnLeft(matrix->operands[k], Copy(scalar));
  }
  MATH_DeleteOperand(p, j);
}

void MatrixTranspose(ExpressionRecord* m) {
  if (!IsMatrixNode(m)) return;
  const int32_t rows = m->payload.shape.rows;
  const int32_t columns = m->payload.shape.columns;
  ExpressionRecord* t = NewMatrix(columns, rows);
  if (!t) return;
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < columns; ++c) SetOperand(t, c * rows + r, m->operands[r * columns + c]);
  MATH_TransferAndDispose(t, m);
}
