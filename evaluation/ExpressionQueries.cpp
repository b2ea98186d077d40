#include "evaluation/ExpressionQueries.h"

#include <algorithm>

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/DerivativeHooks.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

bool HasNoVariablePart(const A4Vector& v) { return v.a == 0 && v.b == 0 && v.c == 0; }

A4Vector Scaled(const A4Vector& v, double k) { return {v.a * k, v.b * k, v.c * k, v.d * k}; }

bool IsLinearProduct(ExpressionRecord* e, DocumentRecord* document, A4Vector* out) {
  A4Vector r{0, 0, 0, 1};
  for (int32_t i = 0; i < e->operandCount; ++i) {
    A4Vector v{};
    if (!IsLinear(e->operands[i], document, &v)) return false;
    if (HasNoVariablePart(v)) {
      r = Scaled(r, v.d);
    } else if (!HasNoVariablePart(r)) {
      return false;
    } else {
      r = {v.a * r.d, v.b * r.d, v.c * r.d, r.d * v.d};
    }
  }
  *out = r;
  return true;
}

// Kinds the symbolic differentiator has no rule for.
bool HasNoDerivativeRule(OpCodeT kind) {
  switch (kind) {
    case kOpFact:
    case kOpChoice:
    case kOpBesselJ:
    case kOpMin:
    case kOpMax:
    case kOpArg:
    case kOpMod:
    case kOpClamp:
    case kOpProduct:
    case kOpPreparedProduct:
    case kOpOverline:
    case kOpFunction:
    case kOpInf:
    case kOpSup:
    case kOpInterpolate: return true;
    default: return false;
  }
}

bool IsInequality(OpCodeT kind) { return kind >= kOpLess && kind <= kOpGeq; }

}  // namespace

bool ContainsOpcode(ExpressionRecord* tree, OpCodeT op) {
  if (tree == nullptr) return false;
  for (ExpressionRecord* n = LeftMost(tree); n != nullptr; n = NextBottomUp(n)) {
    if (n->opcode == op) return true;
    if (n == tree) break;
  }
  return false;
}

bool IsLinear(ExpressionRecord* e, DocumentRecord* document, A4Vector* out) {
  if (e == nullptr || out == nullptr) return false;
  if (MATH_MemCheckInRecursion() != 0) return false;
  if (DIM_EvalsToNumWithoutExpansion(e, document)) {
    *out = {0, 0, 0, ScalarExprEval(e, document)};
    return true;
  }
  switch (e->opcode) {
    case kOpPlus: {
      A4Vector sum{0, 0, 0, 0};
      for (int32_t i = 0; i < e->operandCount; ++i) {
        A4Vector v{};
        if (!IsLinear(e->operands[i], document, &v)) return false;
        sum = {sum.a + v.a, sum.b + v.b, sum.c + v.c, sum.d + v.d};
      }
      *out = sum;
      return true;
    }
    case kOpMinus: {
      A4Vector v{};
      if (e->operandCount != 1 || !IsLinear(e->operands[0], document, &v)) return false;
      *out = Scaled(v, -1.0);
      return true;
    }
    case kOpOver: {
      A4Vector numerator{};
      A4Vector denominator{};
      if (e->operandCount != 2 || !IsLinear(e->operands[0], document, &numerator) ||
          !IsLinear(e->operands[1], document, &denominator))
        return false;
      if (!HasNoVariablePart(denominator) || denominator.d == 0) return false;
      *out = Scaled(numerator, 1.0 / denominator.d);
      return true;
    }
    case kOpAtom:
      switch (e->payload.id) {
        case kIdX: *out = {1, 0, 0, 0}; return true;
        case kIdY: *out = {0, 1, 0, 0}; return true;
        case kIdZ: *out = {0, 0, 1, 0}; return true;
        default: return false;
      }
    case kOpTimes: return IsLinearProduct(e, document, out);
    default: return false;
  }
}

bool IsLinear(ExpressionRecord* e, DocumentRecord* document) {
  A4Vector scratch{};
  return IsLinear(e, document, &scratch);
}

bool AnExpression::Contains(int32_t id) const { return DIM_Contains(fTree, id >= 65536 ? (id & 0xFFFF) : id); }

void AnExpression::ReplaceAtoms(int32_t from, int32_t to) { ::ReplaceAtoms(fTree, from, to); }

bool AnExpression::HasAnalyticDerivative() const {
  for (ExpressionRecord* n = fTree; n != nullptr; n = NextTopDownWithin(n, fTree)) {
    if (HasNoDerivativeRule(n->opcode)) return false;
  }
  return true;
}

bool AnExpression::DoesExprDefinePlane(A4Vector* out) const {
  if (fTree == nullptr || out == nullptr || !IsInequality(fTree->opcode) || fTree->operandCount != 2) return false;
  A4Vector left{};
  A4Vector right{};
  if (!IsLinear(fTree->operands[0], fDocument, &left) || !IsLinear(fTree->operands[1], fDocument, &right)) {
    return false;
  }
  const bool lessThan = fTree->opcode == kOpLess || fTree->opcode == kOpLeq;
  const A4Vector& high = lessThan ? right : left;
  const A4Vector& low = lessThan ? left : right;
  *out = {high.a - low.a, high.b - low.b, high.c - low.c, high.d - low.d};
  return true;
}

AnExpression* AnExpression::CreateDerivativeExpr(int32_t id) const {
  const auto differentiate = CurrentDerivativeHooks().differentiateWithoutSimplifying;
  if (differentiate == nullptr || fTree == nullptr) return nullptr;
  ExpressionRecord* derivative = nullptr;
  if (MATH_MemCheckInRecursion() != 0) {
    derivative = Number(gNaN);
  } else {
    derivative = Partial(Copy(fTree), Atomic(id));
    if (derivative) differentiate(derivative);
  }
  return derivative ? new AnExpression(derivative, fDocument) : nullptr;
}

AnExpression* AnExpression::CreateCopy() const {
  auto* copy = new AnExpression(Copy(fTree), fDocument);
  // The copied tree is already rewritten, so the scan for sums whose range
  // moves along a row no longer sees them; keep what the original found.
  copy->fArrayFlag = std::min(copy->fArrayFlag, fArrayFlag);
  return copy;
}

const UniChar* AnExpression::EvaluateAsString(int32_t row) const {
  if (fTree == nullptr) return nullptr;
  if (fTree->opcode == kOpString) return fTree->text;
  if (fTree->opcode == kOpAtom && IsIDTableHeading(fTree->payload.id, fDocument)) {
    return GetTableStringPtr(fTree->payload.id, row, fDocument);
  }
  return nullptr;
}

void AnExpression::ExtractVertexListVectorComponents(AnExpression*** list, int32_t* count) const {
  if (list == nullptr || count == nullptr) return;
  *list = nullptr;
  *count = 0;
  if (fTree == nullptr) return;
  const bool isList = fTree->opcode == kOpComma;
  const int32_t n = isList ? fTree->operandCount : 1;
  for (int32_t v = 0; v < n; ++v) {
    const ExpressionRecord* vector = isList ? fTree->operands[v] : fTree;
    // A short vector would leave its vertex without coordinates.
    if (vector == nullptr || vector->opcode != kOpMatrix || vector->operandCount < 4) return;
  }
  auto** components = new AnExpression*[static_cast<size_t>(4) * n];
  for (int32_t v = 0; v < n; ++v) {
    const ExpressionRecord* vector = isList ? fTree->operands[v] : fTree;
    AnExpression** vertex = components + static_cast<size_t>(4) * v;
    for (int32_t c = 0; c < 4; ++c) vertex[c] = new AnExpression(Copy(vector->operands[c]), fDocument);
    Compile(vertex[0], vertex[1], vertex[2], vertex[3]);
  }
  *list = components;
  *count = n;
}
