#include "algebra/RectangularForm.h"

#include "algebra/Differentiation.h"
#include "algebra/RewriteHelpers.h"
#include "expression/MathEditRecord.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

namespace {

// The derivative pair of a copy of f and the coordinate.
ExpressionRecord* D(const ExpressionRecord* f, int32_t coordinate) { return Partial(Copy(f), Atomic(coordinate)); }

bool IsVectorOf(const ExpressionRecord* node, int32_t count) {
  return node->operandCount == 1 && node->operands[0]->opcode == kOpMatrix && node->operands[0]->operandCount == count;
}

bool RewriteOne(ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpGrad: DEL_GradRect(node); return true;
    case kOpDiv: DEL_DivRect(node); return true;
    case kOpCurl: DEL_CurlRect(node); return true;
    default: return false;
  }
}

}  // namespace

void DEL_GradRect(ExpressionRecord* grad) {
  if (!grad || grad->opcode != kOpGrad || grad->operandCount != 1) return;
  const ExpressionRecord* f = grad->operands[0];
  Become(grad, Vector(D(f, kIdX), D(f, kIdY), D(f, kIdZ)));
}

void DEL_DivRect(ExpressionRecord* div) {
  if (!div || div->opcode != kOpDiv) return;
  if (IsVectorOf(div, 3)) {
    const ExpressionRecord* const* v = div->operands[0]->operands;
    ExpressionRecord* sum = NewTrinop(kOpPlus, D(v[0], kIdX), D(v[1], kIdY), D(v[2], kIdZ));
    Become(div, sum);
  } else if (IsVectorOf(div, 2)) {
    const ExpressionRecord* const* v = div->operands[0]->operands;
    Become(div, Plus(D(v[0], kIdX), D(v[1], kIdY)));
  }
}

void DEL_CurlRect(ExpressionRecord* curl) {
  if (!curl || curl->opcode != kOpCurl || !IsVectorOf(curl, 3)) return;
  const ExpressionRecord* const* v = curl->operands[0]->operands;
  Become(curl, Vector(Minus(D(v[2], kIdY), D(v[1], kIdZ)), Minus(D(v[0], kIdZ), D(v[2], kIdX)),
                      Minus(D(v[1], kIdX), D(v[0], kIdY))));
}

void Transform_RectangularRecurse(ExpressionRecord* tree) {
  if (!tree) return;
  PostOrder(tree, [](ExpressionRecord* n) { RewriteOne(n); });
  DIFF_ConvertFromDerivs(tree);
}

void CMD_Rectangular() {
  if (!gMathCurrentMEH || !gMathCurrentMEH->selected) return;
  ExpressionRecord* selected = gMathCurrentMEH->selected;
  if (RewriteOne(selected)) DIFF_ConvertFromDerivs(selected);
}
