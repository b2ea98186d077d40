#include "algebra/MatrixAlgebra.h"

#include "algebra/MatrixElements.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/WholeTreeSimplification.h"
#include "CoreUtilities/MatrixOperations.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/MathEditRecord.h"
#include "expression/OwnedTree.h"
#include "expression/SimplifierPasses.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"

#include <cstddef>
#include <vector>

namespace {

// Element (r, c) of a matrix of the given column count.
const ExpressionRecord* At(const ExpressionRecord* m, int32_t r, int32_t c) {
  return m->operands[r * m->payload.shape.columns + c];
}

// The node of the kind over copies of the terms; null when one is null.
ExpressionRecord* NodeOf(OpCodeT kind, const std::vector<ExpressionRecord*>& terms) {
  std::vector<Tree> owned(terms.begin(), terms.end());
  Tree node(NewExpression(kind, static_cast<int32_t>(terms.size())));
  if (!node) return nullptr;
  for (const Tree& term : owned)
    if (!term) return nullptr;
  for (std::size_t k = 0; k < owned.size(); ++k) SetOperand(node.get(), static_cast<int32_t>(k), owned[k].release());
  return node.release();
}

ExpressionRecord* ProductOfCopies(const ExpressionRecord* a, const ExpressionRecord* b) {
  return Times(Copy(a), Copy(b));
}

// Every element evaluates to a number.
bool AllNumeric(ExpressionRecord* m, DocumentRecord* doc) {
  for (int32_t k = 0; k < m->operandCount; ++k)
    if (!DIM_EvalsToNum(m->operands[k], doc)) return false;
  return true;
}

// Each element becomes the node the maker builds from it.
template <typename Make>
void EachElement(ExpressionRecord* m, Make make) {
  for (int32_t k = 0; k < m->operandCount; ++k) Become(m->operands[k], make(m->operands[k]));
}

template <typename T, typename Eval, typename Write>
bool InvertInPlace(ExpressionRecord* m, DocumentRecord* doc, Eval eval, Write write) {
  const int32_t n = m->payload.shape.rows;
  std::vector<T> values(static_cast<std::size_t>(m->operandCount));
  for (int32_t k = 0; k < m->operandCount; ++k) values[static_cast<std::size_t>(k)] = eval(m->operands[k], doc);
  if (!OurInvertMatrix(n, values.data())) return false;
  for (int32_t k = 0; k < m->operandCount; ++k) Become(m->operands[k], write(values[static_cast<std::size_t>(k)]));
  return true;
}

bool IsMinusOne(const ExpressionRecord* e) {
  double v = 0;
  if (NumberValue(e, &v)) return v == -1;
  return e->opcode == kOpMinus && e->operandCount == 1 && NumberValue(e->operands[0], &v) && v == 1;
}

void Inverse(ExpressionRecord* n, DocumentRecord* doc) {
  ExpressionRecord* m = n->operands[0];
  if (n->operandCount != 2 || !IsMinusOne(n->operands[1]) || !IsSquareMatrix(m) || !AllNumeric(m, doc)) return;
  const bool inverted =
      DIM_Complex(m, doc) ? InvertInPlace<Complex>(m, doc, ComplexExprEval, [](Complex c) { return ComplexNumber(c); })
                          : InvertInPlace<double>(m, doc, ScalarExprEval, [](double v) { return Number(v); });
  if (!inverted) return;
  SIMP_NegNumbersRecurse(m);
  ReplaceWithFirstOperand(n);
}

ExpressionRecord* SumOfSquares(const ExpressionRecord* m) {
  std::vector<ExpressionRecord*> squares;
  for (int32_t k = 0; k < m->operandCount; ++k) squares.push_back(Square(Copy(m->operands[k])));
  return Sqrt(NodeOf(kOpPlus, squares));
}

ExpressionRecord* SymbolicDeterminant(const ExpressionRecord* m, DocumentRecord* doc) {
  const ExpressionRecord* const* e = m->operands;
  auto p3 = [e](int a, int b, int c) { return Times3(Copy(e[a]), Copy(e[b]), Copy(e[c])); };
  switch (m->payload.shape.rows) {
    case 2: return Minus(ProductOfCopies(e[0], e[3]), ProductOfCopies(e[1], e[2]));
    case 3:
      return Minus(NodeOf(kOpPlus, {p3(0, 4, 8), p3(1, 5, 6), p3(2, 3, 7)}),
                   NodeOf(kOpPlus, {p3(0, 5, 7), p3(1, 3, 8), p3(2, 4, 6)}));
    case 4: {
      ExpressionRecord* d = Minus(NodeOf(kOpPlus, {Times(Copy(e[0]), Cofactor(m, {5, 6, 7, 9, 10, 11, 13, 14, 15})),
                                                   Times(Copy(e[2]), Cofactor(m, {4, 5, 7, 8, 9, 11, 12, 13, 15}))}),
                                  NodeOf(kOpPlus, {Times(Copy(e[1]), Cofactor(m, {4, 6, 7, 8, 10, 11, 12, 14, 15})),
                                                   Times(Copy(e[3]), Cofactor(m, {4, 5, 6, 8, 9, 10, 12, 13, 14}))}));
      if (d) MENU_MatrixAlgebraRecurse(d, doc);
      return d;
    }
    default: return nullptr;
  }
}

void LengthOrDeterminant(ExpressionRecord* n, DocumentRecord* doc) {
  const ExpressionRecord* m = n->operands[0];
  if (m->operandCount == 2 || m->operandCount == 3) {
    Become(n, SumOfSquares(m));
  } else if (IsSquareMatrix(m) && AllNumeric(n->operands[0], doc)) {
    EvalDeterminant(n, doc);
  } else if (IsSquareMatrix(m)) {
    Become(n, SymbolicDeterminant(m, doc));
  }
}

// Merges neighbouring matrices of one shape in a sum or branch node.
void ElementwiseSum(ExpressionRecord* n) {
  const OpCodeT kind = n->opcode;
  for (int32_t k = 1; n->opcode == kind && k < n->operandCount;) {
    ExpressionRecord* left = n->operands[k - 1];
    ExpressionRecord* right = n->operands[k];
    if (!IsMatrixNode(left) || !IsMatrixNode(right) || left->payload.shape.rows != right->payload.shape.rows ||
        left->payload.shape.columns != right->payload.shape.columns) {
      ++k;
      continue;
    }
    for (int32_t e = 0; e < right->operandCount; ++e) {
      ExpressionRecord* element = right->operands[e];
      Become(element, NewBinop(kind, Copy(left->operands[e]), Copy(element)));
      SIMP_RemoveParensOneLevel(element);
    }
    MATH_DeleteOperand(n, k - 1);
  }
}

void Dot(ExpressionRecord* n) {
  const ExpressionRecord* a = n->operands[0];
  const ExpressionRecord* b = n->operands[1];
  std::vector<ExpressionRecord*> products;
  if (a->operandCount == b->operandCount) {
    for (int32_t k = 0; k < a->operandCount; ++k) products.push_back(ProductOfCopies(a->operands[k], b->operands[k]));
  } else {
    const ExpressionRecord* longer = a->operandCount == 3 ? a : b;
    double third = 1;
    if (a->operandCount + b->operandCount != 5 || !NumberValue(longer->operands[2], &third) || third != 0) return;
    for (int32_t k = 0; k < 2; ++k) products.push_back(ProductOfCopies(a->operands[k], b->operands[k]));
  }
  Become(n, products.size() == 1 ? products[0] : NodeOf(kOpPlus, products));
}

void Cross(ExpressionRecord* n) {
  const ExpressionRecord* a = n->operands[0];
  const ExpressionRecord* b = n->operands[1];
  if (a->operandCount != 3 || b->operandCount != 3) return;
  auto term = [a, b](int i, int j) {
    return Minus(ProductOfCopies(a->operands[i], b->operands[j]), ProductOfCopies(a->operands[j], b->operands[i]));
  };
  ExpressionRecord* v = NodeOf(kOpMatrix, {term(1, 2), term(2, 0), term(0, 1)});
  if (v) v->payload.shape = b->payload.shape;
  Become(n, v);
}

void Trace(ExpressionRecord* n) {
  const ExpressionRecord* m = n->operands[0];
  std::vector<ExpressionRecord*> diagonal;
  for (int32_t k = 0; k < m->payload.shape.rows; ++k) diagonal.push_back(Copy(At(m, k, k)));
  Become(n, diagonal.size() == 1 ? diagonal[0] : NodeOf(kOpPlus, diagonal));
}

void MatrixRule(ExpressionRecord* n, DocumentRecord* doc) {
  const bool unary = n->operandCount == 1;
  const bool firstIsMatrix = n->operandCount >= 1 && IsMatrixNode(n->operands[0]);
  const bool twoMatrices = n->operandCount == 2 && firstIsMatrix && IsMatrixNode(n->operands[1]);
  switch (n->opcode) {
    case kOpTimes: return MatrixProductRule(n);
    case kOpPlus:
    case kOpBranch: return ElementwiseSum(n);
    case kOpSuperscriptT:
    case kOpTranspose:
      if (unary && firstIsMatrix) {
        MatrixTranspose(n->operands[0]);
        ReplaceWithFirstOperand(n);
      }
      return;
    case kOpMinus:
      if (unary && firstIsMatrix) {
        EachElement(n->operands[0], [](const ExpressionRecord* e) { return Neg(Copy(e)); });
        ReplaceWithFirstOperand(n);
      }
      return;
    case kOpId:
      if (unary) ReplaceWithFirstOperand(n);
      return;
    case kOpAbs:
      if (unary && firstIsMatrix) LengthOrDeterminant(n, doc);
      return;
    case kOpOver:
      if (n->operandCount == 2 && firstIsMatrix) {
        const ExpressionRecord* denominator = n->operands[1];
        EachElement(n->operands[0],
                    [denominator](const ExpressionRecord* e) { return Div(Copy(e), Copy(denominator)); });
        ReplaceWithFirstOperand(n);
      }
      return;
    case kOpPower:
      if (firstIsMatrix) Inverse(n, doc);
      return;
    case kOpDot:
      if (twoMatrices) Dot(n);
      return;
    case kOpCross:
      if (twoMatrices) Cross(n);
      return;
    case kOpIf:
      if (n->operandCount == 2 && firstIsMatrix) {
        const ExpressionRecord* condition = n->operands[1];
        EachElement(n->operands[0],
                    [condition](const ExpressionRecord* e) { return NewBinop(kOpIf, Copy(e), Copy(condition)); });
        ReplaceWithFirstOperand(n);
      }
      return;
    case kOpTrace:
      if (unary && IsSquareMatrix(n->operands[0])) Trace(n);
      return;
    case kOpDet:
      if (unary) EvalDeterminant(n, doc);
      return;
    default: return;
  }
}

}  // namespace

bool IsMatrixNode(const ExpressionRecord* node) {
  return node && node->opcode == kOpMatrix && node->operandCount > 0 &&
         node->operandCount == node->payload.shape.rows * node->payload.shape.columns;
}

bool IsSquareMatrix(const ExpressionRecord* node) {
  return IsMatrixNode(node) && node->payload.shape.rows == node->payload.shape.columns;
}

ExpressionRecord* NewMatrix(int32_t rows, int32_t columns) {
  ExpressionRecord* m = NewExpression(kOpMatrix, rows * columns);
  if (m) m->payload.shape = MatrixShape{static_cast<uint16_t>(rows), static_cast<uint16_t>(columns)};
  return m;
}

void SetOperand(ExpressionRecord* node, int32_t k, ExpressionRecord* operand) {
  node->operands[k] = operand;
  operand->parent = node;
}

ExpressionRecord* Cofactor(const ExpressionRecord* m, const int32_t (&indexes)[9]) {
  std::vector<ExpressionRecord*> elements;
  for (int32_t k : indexes) elements.push_back(Copy(m->operands[k]));
  ExpressionRecord* minor = NodeOf(kOpMatrix, elements);
  if (!minor) return nullptr;
  minor->payload.shape = MatrixShape{3, 3};
  return NewUnop(kOpAbs, minor);
}

void EvalDeterminant(ExpressionRecord* e, DocumentRecord* doc) {
  if (!e || (e->opcode != kOpAbs && e->opcode != kOpDet) || e->operandCount != 1) return;
  ExpressionRecord* m = e->operands[0];
  if (!IsSquareMatrix(m) || !AllNumeric(m, doc)) return;
  const int32_t n = m->payload.shape.rows;
  ExpressionRecord* value = nullptr;
  if (DIM_Complex(m, doc)) {
    std::vector<Complex> values;
    for (int32_t k = 0; k < m->operandCount; ++k) values.push_back(ComplexExprEval(m->operands[k], doc));
    Complex det{};
    if (OurMatrixDeterminant(n, values.data(), &det)) value = ComplexNumber(det);
  } else {
    std::vector<double> values;
    for (int32_t k = 0; k < m->operandCount; ++k) values.push_back(ScalarExprEval(m->operands[k], doc));
    double det = 0;
    if (OurMatrixDeterminant(n, values.data(), &det)) value = Number(det);
  }
  if (!Become(m, value)) return;
  SIMP_NegNumbersRecurse(m);
  ReplaceWithFirstOperand(e);
}

void MENU_MatrixAlgebraRecurse(ExpressionRecord* e, DocumentRecord* doc) {
  if (e) PostOrder(e, [doc](ExpressionRecord* n) { MatrixRule(n, doc); });
}

void CMD_MatrixAlgebra() {
  if (gMathCurrentMEH) MENU_MatrixAlgebraRecurse(gMathCurrentMEH->selected, gMathCurrentMEH->document);
}
