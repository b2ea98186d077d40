#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/MathEditRecord.h"
#include "expression/SelectionGrouping.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"
#include "matheditor/TypingHelpers.h"
#include "matheditor/TypingOperators.h"

#include <initializer_list>

namespace {

bool IsAmong(OpCodeT kind, std::initializer_list<OpCodeT> kinds) {
  for (OpCodeT k : kinds)
    if (k == kind) return true;
  return false;
}

// No parent, a parent list without a parent, or the right side of a
// definition f(x) = ...
bool AtTopLevel(const ExpressionRecord* node) {
  const ExpressionRecord* parent = node->parent;
  if (!parent) return true;
  if (parent->opcode == kOpComma && !parent->parent) return true;
  return parent->opcode == kOpFunction && parent->operandCount > 0 && parent->operands[0]->opcode == kOpAtom;
}

bool IsLogicalKind(OpCodeT kind) { return IsAmong(kind, {kOpRotate, kOpInterpolate, kOpAnd, kOpOr, kOpNot}); }

// A comparison climbs no higher than this.
bool StopsComparisonClimb(const ExpressionRecord* node, OpCodeT kind) {
  const ExpressionRecord* parent = node->parent;
  const OpCodeT p = parent->opcode;
  if (IsAmong(p, {kOpBranch, kOpIf, kOpComma}) || IsLogicalKind(p)) return true;
  if (p == kOpId && parent->parent && IsLogicalKind(parent->parent->opcode)) return true;
  // "k = 0" becomes the bound of a sum.
  return kind == kOpEquals && IsAmong(p, {kOpSubstitution, kOpSum, kOpProduct}) && IndexInParent(node) == 1;
}

// A root product of a letter and a parenthesised leaf: f(x) typed before
// "=" starts a definition.
void MakeFunctionHead(ExpressionRecord* node) {
  if (node->parent || !IsProductNode(node) || node->operandCount != 2) return;
  ExpressionRecord* group = node->operands[1];
  if (!IsAtomicOrSubscriptedLetter(node->operands[0]) || group->opcode != kOpId || group->operandCount != 1 ||
      SyntacticKindOf(group->operands[0]) != kLeaf)
    return;
  if (ReplaceWithFirstOperand(group)) node->opcode = kOpFunction;
}

// A list element climbs no higher than this.
bool StopsListClimb(const ExpressionRecord* node) {
  const ExpressionRecord* parent = node->parent;
  const OpCodeT p = parent->opcode;
  if (p == kOpBranch || p == kOpSet || IsMinMaxModClamp(p)) return true;
  if (p != kOpFunction || IndexInParent(node) != 1) return false;
  const OpCodeT applied = parent->operands[0]->opcode;
  return applied != kOpOpTotal && applied != kOpOpPartial;
}

// f(x typed with f unknown is a product of f and a group: it becomes an
// application before a list element joins its argument.
void ApplyLetterToGroupAround(ExpressionRecord* node) {
  for (ExpressionRecord* at = node; at->parent; at = at->parent) {
    ExpressionRecord* product = at->parent;
    if (at->opcode == kOpId && !product->parent && IsProductNode(product) && product->operandCount == 2 &&
        IndexInParent(at) == 1 && IsAtomicOrSubscriptedLetter(product->operands[0])) {
      const bool heldInside = gMathCurrentMEH->selected == at->operands[0];
      if (!ReplaceWithFirstOperand(at)) return;
      product->opcode = kOpFunction;
      if (heldInside) gMathCurrentMEH->selected = at;
      return;
    }
  }
}

}  // namespace

void KEY_Comparison(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (r->caretType == kIPOperator) {
    ExpressionRecord* sum = node->parent;
    if (IsComparisonKind(node->opcode) && node->operandCount == 2 && AtTopLevel(node)) {
      node->opcode = kind;
      return;
    }
    if (node->opcode == kOpMinus && sum && sum->opcode == kOpPlus && sum->operandCount == 2 &&
        IndexInParent(node) == 1 && AtTopLevel(sum)) {
      if (!ReplaceWithFirstOperand(node)) return;
      sum->opcode = kind;
      r->selected = sum;
      r->rangeStart = r->rangeEnd = 0;
      return;
    }
    r->caretType = kIPWholeNode;
  }
  switch (r->caretType) {
    case kIPNumberText: KEY_SplitNumber(); break;
    case kIPOperandRange:
      if (!MATH_IPisRange()) return;
      break;
    case kIPWholeNode:
    case kIPAfterNode:
    case kIPBeforeNode: break;
    default: return;
  }
  node = NodeTheCaretEnds(r->selected);
  if (r->caretType == kIPAfterNode && IsInnerFactor(node) && AtTopLevel(node->parent)) {
    r->selected = node;
    KEY_InfixBetween(kind);
    return;
  }
  while (node->parent && !StopsComparisonClimb(node, kind)) node = node->parent;
  if (kind == kOpEquals) MakeFunctionHead(node);
  r->selected = node;
  KEY_NOpAfterExpr(kind);
}

// The list key: a new element after the caret node's list.
void KEY_ListElement() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  if (r->caretType == kIPNumberText) KEY_SplitNumber();
  if (r->caretType == kIPStringText || r->caretType == kIPNameText || r->caretType == kIPMatrixBlock) return;
  ApplyLetterToGroupAround(r->selected);
  ExpressionRecord* node = r->selected;
  while (node->parent && !StopsListClimb(node)) node = node->parent;
  r->selected = node;
  KEY_NOpAfterExpr(kOpComma);
}
