#include "matheditor/CaretPlacement.h"

#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/TreeOrder.h"

#include <cassert>

namespace {

// Each normalising step moves the caret along the tree, so a real caret
// settles long before this.
constexpr int32_t kMostNormalisingSteps = 1 << 20;

bool HasAnyOperand(const ExpressionRecord* node) { return SyntacticKindOf(node) != kLeaf && node->operandCount > 0; }

bool IsPromptNode(const ExpressionRecord* node) { return node->opcode == kOpPrompt; }

int32_t LengthOfName(const UniChar* name) {
  int32_t length = 0;
  while (name[length]) ++length;
  return length;
}

struct Caret {
  ExpressionRecord* node;
  MathIPType type;
};

// One step of the normalisation; the same caret back when it has settled.
Caret NormalisedOnce(Caret c) {
  ExpressionRecord* node = c.node;
  if (IsPromptNode(node)) return {node, kIPWholeNode};
  const uint8_t kind = SyntacticKindOf(node);
  if (c.type == kIPAfterNode && HasAnyOperand(node) &&
      (kind == kInfixList || (kind == kPrefix && node->opcode != kOpSqrt)))
    return {node->operands[node->operandCount - 1], kIPAfterNode};
  if (c.type == kIPBeforeNode && HasAnyOperand(node) &&
      (kind == kInfixList || (kind == kPostfix && node->opcode != kOpPrime && node->opcode != kOpHat)))
    return {node->operands[0], kIPBeforeNode};
  ExpressionRecord* parent = node->parent;
  if (parent) {
    const int32_t index = IndexInParent(node);
    if (c.type == kIPBeforeNode && index > 0) {
      ExpressionRecord* previous = parent->operands[index - 1];
      const bool splitFactors =
          parent->opcode == kOpTimes && (node->opcode != kOpNumber || previous->opcode != kOpNumber);
      const bool negatedTerm = parent->opcode == kOpPlus && node->opcode == kOpMinus;
      if (splitFactors || negatedTerm) return {previous, kIPAfterNode};
    }
    if (c.type == kIPBeforeNode && index == 0 && (parent->opcode == kOpFunction || IsExprSubscriptedLetter(parent)))
      return {parent, kIPBeforeNode};
    if ((c.type == kIPAfterNode || c.type == kIPBeforeNode) && parent->opcode == kOpHat) return {parent, c.type};
    if (c.type == kIPBeforeNode && node->opcode == kOpAtom && parent->opcode == kOpPrime)
      return {parent, kIPBeforeNode};
  }
  return c;
}

}  // namespace

void MOVE_SetIP(ExpressionRecord* node, MathIPType type) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !node) return;
  Caret caret{node, IsPromptNode(node) ? kIPWholeNode : type};
  int32_t steps = 0;
  for (;; ++steps) {
    const Caret next = NormalisedOnce(caret);
    if (next.node == caret.node && next.type == caret.type) break;
    caret = next;
    if (steps == kMostNormalisingSteps) {
      assert(!"caret normalisation does not settle");
      break;
    }
  }
  r->selected = caret.node;
  r->caretType = caret.type;
  const UniChar* name = caret.node->opcode == kOpAtom ? AtomName(caret.node) : nullptr;
  if (caret.type == kIPAfterNode && name && name[0] == u'\\') {
    r->caretType = kIPNameText;
    r->rangeStart = r->rangeEnd = LengthOfName(name);
  }
}

void MOVE_GoUpExpr() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPWholeNode && r->selected->parent)
    MOVE_SetIP(r->selected->parent, kIPWholeNode);
  else
    MOVE_SetIP(r->selected, kIPWholeNode);
}

namespace {

bool IndexWithin(const ExpressionRecord* node, int32_t index) { return index >= 0 && index < node->operandCount; }

// The operand the down keys narrow to: range start (end) of a selected run
// or block, else the first (last) operand.
void NarrowTo(bool last) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (HasAnyOperand(node)) {
    if (r->caretType == kIPOperator) return;
    if (r->caretType == kIPOperandRange || r->caretType == kIPMatrixBlock) {
      const int32_t index = last ? r->rangeEnd : r->rangeStart;
      if (IndexWithin(node, index)) MOVE_SetIP(node->operands[index], kIPWholeNode);
      return;
    }
    MOVE_SetIP(node->operands[last ? node->operandCount - 1 : 0], r->caretType);
    return;
  }
  if (last) return;
  if (r->caretType == kIPWholeNode) {
    MOVE_SetIP(node, kIPAfterNode);
  } else if (r->caretType == kIPAfterNode) {
    ExpressionRecord* ancestor = node->parent;
    while (ancestor && (SyntacticKindOf(ancestor) == kPrefix || SyntacticKindOf(ancestor) == kInfixList))
      ancestor = ancestor->parent;
    if (ancestor) MOVE_SetIP(ancestor, kIPAfterNode);
  }
}

}  // namespace

void MOVE_DownArrowKey() { NarrowTo(false); }
void MOVE_GoDownRight() { NarrowTo(true); }

void MOVE_GoToNextPrompt() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root) return;
  ExpressionRecord* first = nullptr;
  ExpressionRecord* next = nullptr;
  bool passedCaret = false;
  ForEachTopDown(r->root, [&](ExpressionRecord* node) {
    if (IsPromptNode(node)) {
      if (!first) first = node;
      if (passedCaret && !next) next = node;
    }
    if (node == r->selected) passedCaret = true;
  });
  if (first) MOVE_SetIP(next ? next : first, kIPWholeNode);
}

void InstallCaretHooks() {
  MathEditorHooks hooks = CurrentMathEditorHooks();
  hooks.setIP = MOVE_SetIP;
  hooks.goUpExpr = MOVE_GoUpExpr;
  InstallMathEditorHooks(hooks);
}
