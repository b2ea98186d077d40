#include "matheditor/OperandInsertion.h"

#include "expression/MathEditRecord.h"
#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/NodeQuestions.h"

namespace {

// A node of kind with two operands: the old node and a prompt in the
// order asked, in the old node's place.
ExpressionRecord* PairWithPrompt(ExpressionRecord* old, OpCodeT kind, bool promptFirst) {
  Tree made(NewPrompt());
  ExpressionRecord* pair = made ? NewExpression(kind, 2) : nullptr;
  if (!pair) return nullptr;
  ExpressionRecord* prompt = made.release();
  ReplaceInTree(old, pair);
  pair->operands[promptFirst ? 0 : 1] = prompt;
  pair->operands[promptFirst ? 1 : 0] = old;
  prompt->parent = pair;
  old->parent = pair;
  MOVE_SetIP(prompt, kIPWholeNode);
  return prompt;
}

ExpressionRecord* NOpBeside(OpCodeT kind, bool after) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return nullptr;
  ExpressionRecord* node = r->selected;
  if (node->opcode == kind && node->operandCount > 0) return KEY_AppendNOpTo(node, after ? node->operandCount : 0);
  if (node->parent && node->parent->opcode == kind)
    return KEY_AppendNOpTo(node->parent, IndexInParent(node) + (after ? 1 : 0));
  if (!after && kind == kOpTimes && node->parent && node->parent->opcode == kOpPower && IndexInParent(node) == 0)
    node = node->parent;
  return PairWithPrompt(node, kind, !after);
}

}  // namespace

void ReplaceInTree(ExpressionRecord* old, ExpressionRecord* replacement) {
  ExpressionRecord* parent = old->parent;
  replacement->parent = parent;
  if (parent) {
    parent->operands[IndexInParent(old)] = replacement;
  } else if (gMathCurrentMEH && gMathCurrentMEH->root == old) {
    gMathCurrentMEH->root = replacement;
  }
  old->parent = nullptr;
}

ExpressionRecord* KEY_AppendNOpTo(ExpressionRecord* node, int32_t index) {
  const int32_t count = node->operandCount;
  if (count >= kMostEditedOperands || index < 0 || index > count) return nullptr;
  Tree made(NewPrompt());
  if (!made || !SizeNode(node, count + 1)) return nullptr;
  ExpressionRecord* prompt = made.release();
  for (int32_t i = count; i > index; --i) node->operands[i] = node->operands[i - 1];
  node->operands[index] = prompt;
  prompt->parent = node;
  MOVE_SetIP(prompt, kIPWholeNode);
  return prompt;
}

ExpressionRecord* KEY_Generic(OpCodeT kind, int32_t n, int32_t i) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || n < 1 || n > 2 || i < 0 || i >= n) return nullptr;
  ExpressionRecord* old = r->selected;
  Tree owned(NewExpression(kind, n));
  if (!owned) return nullptr;
  for (int32_t place = 0; place < n; ++place) {
    if (place == i) continue;
    owned->operands[place] = NewPrompt();
    if (!owned->operands[place]) return nullptr;  // freed whole: the old node is not in it yet
    owned->operands[place]->parent = owned.get();
  }
  ExpressionRecord* made = owned.release();
  ReplaceInTree(old, made);
  made->operands[i] = old;
  old->parent = made;
  if (kind == kOpMatrix) made->payload.shape = {1, 1};
  if (n == 2) {
    MOVE_SetIP(made->operands[1 - i], kIPWholeNode);
  } else if (old->opcode == kOpPrompt) {
    MOVE_SetIP(old, kIPWholeNode);
  } else if (SyntacticKindOf(made) == kPostfix) {
    MOVE_SetIP(made, kIPAfterNode);
  } else {
    MOVE_SetIP(old, kIPBeforeNode);
  }
  return made;
}

ExpressionRecord* KEY_NOpAfterExpr(OpCodeT kind) { return NOpBeside(kind, true); }
ExpressionRecord* KEY_NOpBeforeExpr(OpCodeT kind) { return NOpBeside(kind, false); }
