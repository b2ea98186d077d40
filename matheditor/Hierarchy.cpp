#include "expression/OperatorTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeWalking.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/TreeOrder.h"

namespace {

uint8_t KindOf(OpCodeT opcode) {
  const OperatorInfo* info = FindOperatorInfo(opcode);
  return info ? info->syntacticKind : 0xFF;
}

bool IsOneOf(OpCodeT opcode, std::initializer_list<OpCodeT> kinds) {
  for (OpCodeT k : kinds)
    if (opcode == k) return true;
  return false;
}

bool IsProduct(OpCodeT opcode) { return IsOneOf(opcode, {kOpTimes, kOpDot, kOpCross}); }
bool IsSign(OpCodeT opcode) { return IsOneOf(opcode, {kOpMinus, kOpPlusOrMinus, kOpMinusOrPlus}); }

bool ContainsNamedFunction(ExpressionRecord* tree) {
  for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree))
    if (IsFxn(n->opcode)) return true;
  return false;
}

// A negation beside an ellipsis reads as a continued list, not a factor.
bool IsNegationNextToEllipsis(const ExpressionRecord* p, int32_t i) {
  if (p->operands[i]->opcode != kOpMinus) return false;
  const int32_t neighbour = i == 0 ? 1 : i - 1;
  return neighbour < p->operandCount && IsEllipsis(p->operands[neighbour]);
}

bool ProductWraps(const ExpressionRecord* p, int32_t i) {
  const ExpressionRecord* c = p->operands[i];
  if (c->opcode == kOpPower || IsFxn(c->opcode) || IsNegationNextToEllipsis(p, i)) return false;
  if (p->opcode != kOpTimes && c->opcode == kOpTimes) return false;
  const uint8_t kind = KindOf(c->opcode);
  const bool last = i == p->operandCount - 1;
  if (kind == kPrefix && !IsOneOf(c->opcode, {kOpSqrt, kOpOpTotal, kOpOpPartial}) && !last) return true;
  if (p->opcode == kOpTimes && (c->opcode == kOpDot || c->opcode == kOpCross)) return true;
  return kind == kInfixList || IsSign(c->opcode);
}

bool NamedFunctionWrapsProduct(ExpressionRecord* p) {
  ExpressionRecord* first = p->operands[0];
  for (int32_t j = 0; j < first->operandCount; ++j) {
    ExpressionRecord* o = first->operands[j];
    if (o && (o->opcode == kOpOver || ContainsNamedFunction(o))) return true;
  }
  return false;
}

// The rules in order; the first that applies decides.
bool NeedsParentheses(ExpressionRecord* p, int32_t i) {
  const ExpressionRecord* c = p->operands[i];
  if (IsOneOf(c->opcode, {kOpAtom, kOpString, kOpDummy})) return false;
  if (IsOneOf(p->opcode, {kOpId, kOpSum, kOpProduct, kOpSubstitution})) return false;
  if (p->opcode == kOpPlus && c->opcode == kOpSum && i != p->operandCount - 1) return true;
  if (c->opcode == kOpEquals) return !IsOneOf(p->opcode, {kOpComma, kOpLParen, kOpBranch, kOpIf, kOpIndexes});
  if (c->opcode == kOpIf) return !IsOneOf(p->opcode, {kOpLParen, kOpBranch, kOpComma});
  if (IsProduct(p->opcode)) return ProductWraps(p, i);
  if (p->opcode == kOpEquals && c->opcode == kOpComma) return true;
  const uint8_t kind = KindOf(c->opcode);
  if (p->opcode == kOpPower) {
    if (i == 1) return false;
    return kind == kInfixList || IsProduct(c->opcode) || c->opcode == kOpPower || c->opcode == kOpOver ||
           IsSign(c->opcode);
  }
  const uint8_t parentKind = KindOf(p->opcode);
  if (parentKind == kInfixList) return c->opcode == p->opcode;
  if (IsFxn(p->opcode) && c->opcode == kOpTimes) return NamedFunctionWrapsProduct(p);
  if (parentKind == kPrefix && p->opcode != kOpLParen && p->opcode != kOpSqrt)
    return (kind == kInfixList && c->opcode != kOpTimes) || c->opcode == kOpDot || c->opcode == kOpCross;
  if (parentKind == kPostfix) return kind == kInfixList || kind == kPrefix;
  return false;
}

}  // namespace

bool HIER_ParenthesizeOperands(ExpressionRecord* p) {
  bool changed = false;
  for (int32_t i = 0; i < p->operandCount; ++i)
    if (p->operands[i] && NeedsParentheses(p, i)) changed = DO_UnopOn(p->operands[i], kOpId) || changed;
  return changed;
}

void HIER_ImplementHierarchy(ExpressionRecord* root) {
  if (!root) return;
  ForEachBottomUp(root, [](ExpressionRecord* p) { HIER_ParenthesizeOperands(p); });
}
