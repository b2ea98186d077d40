#include "expression/TreeBuilding.h"

#include "expression/NodeContents.h"
#include "expression/NodeMemory.h"
#include "expression/TreeDisposal.h"

#include <cstring>
#include <initializer_list>

namespace {

void DisposeAll(std::initializer_list<ExpressionRecord*> trees) {
  for (ExpressionRecord* tree : trees) DisposExpr(tree);
}

ExpressionRecord* NewOver(OpCodeT kind, std::initializer_list<ExpressionRecord*> operands) {
  for (ExpressionRecord* operand : operands) {
    if (!operand) {
      DisposeAll(operands);
      return nullptr;
    }
  }
  ExpressionRecord* node = NewExpression(kind, static_cast<int32_t>(operands.size()));
  if (!node) {
    DisposeAll(operands);
    return nullptr;
  }
  int32_t place = 0;
  for (ExpressionRecord* operand : operands) node->operands[place++] = operand;
  AdoptOperands(node);
  return node;
}

// Moves the node's old contents into a new node that takes the given place
// among `count` operands of the node; the other places stay null.
bool PushContentsDown(ExpressionRecord* node, OpCodeT kind, int32_t count, int32_t place) {
  ExpressionRecord* moved = NewZeroedNode();
  ExpressionRecord** operands = moved ? MEM_FindBlockOf(count) : nullptr;
  if (!operands) {
    if (moved) ReportNodeMemoryExhausted();
    FreeNodeShell(moved);
    return false;
  }
  MoveContents(node, moved);
  moved->parent = node;
  // The old payload went with the contents; none is left behind.
  ClearContents(node);
  node->opcode = kind;
  node->operands = operands;
  node->operandCount = static_cast<uint16_t>(count);
  for (int32_t i = 0; i < count; ++i) operands[i] = nullptr;
  operands[place] = moved;
  return true;
}

bool AppendOperand(ExpressionRecord* node, ExpressionRecord* b, bool first) {
  const int32_t count = node->operandCount;
  if (!SizeNode(node, count + 1)) return false;
  if (first) MATH_ShiftUpOps(node, count);
  node->operands[first ? 0 : count] = b;
  b->parent = node;
  return true;
}

}  // namespace

ExpressionRecord* NewExpression(OpCodeT kind, int32_t n) {
  if (n < 0 || n > kMostOperands) return nullptr;
  ExpressionRecord* node = NewZeroedNode();
  if (!node) return nullptr;
  node->opcode = kind;
  if (!SizeNode(node, n)) {
    FreeNodeShell(node);
    return nullptr;
  }
  return node;
}

ExpressionRecord* NewUnop(OpCodeT kind, ExpressionRecord* a) { return NewOver(kind, {a}); }

ExpressionRecord* NewBinop(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b) { return NewOver(kind, {a, b}); }

ExpressionRecord* NewTrinop(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c) {
  return NewOver(kind, {a, b, c});
}

ExpressionRecord* Number(double x) {
  ExpressionRecord* node = NewZeroedNode();
  if (!node) return nullptr;
  auto* block = static_cast<NumberBlock*>(AllocateNodeBlock(kNumberBlockSlot));
  if (!block) {
    FreeNodeShell(node);
    ReportNodeMemoryExhausted();
    return nullptr;
  }
  std::memset(block, 0, sizeof(NumberBlock));
  block->value = x;
  node->opcode = kOpNumber;
  node->payload.number = block;
  return node;
}

ExpressionRecord* Atomic(int32_t variableId) {
  ExpressionRecord* node = NewZeroedNode();
  if (!node) return nullptr;
  node->opcode = kOpAtom;
  node->payload.id = variableId;
  node->AllocateEditDataIfNecessary();
  return node;
}

ExpressionRecord* NewPrompt() { return NewExpression(kOpPrompt, 0); }

bool DO_BinOpOn(ExpressionRecord* node, ExpressionRecord* other, int32_t side, OpCodeT kind) {
  if (!node || !other || node == other || (side != 0 && side != 1) || !PushContentsDown(node, kind, 2, 1 - side)) {
    if (other != node) DisposExpr(other);
    return false;
  }
  node->operands[side] = other;
  other->parent = node;
  return true;
}

bool DO_PlusOn(ExpressionRecord* node, ExpressionRecord* b) { return DO_BinOpOn(node, b, 1, kOpPlus); }

bool DO_PlusOnLeft(ExpressionRecord* node, ExpressionRecord* b) { return DO_BinOpOn(node, b, 0, kOpPlus); }

bool DO_ToTheOn(ExpressionRecord* node, ExpressionRecord* b) { return DO_BinOpOn(node, b, 1, kOpPower); }

bool DO_DivOn(ExpressionRecord* node, ExpressionRecord* b) { return DO_BinOpOn(node, b, 1, kOpOver); }

bool DO_Recipricate(ExpressionRecord* node) { return DO_BinOpOn(node, Number(1.0), 0, kOpOver); }

namespace {

// A node of the kind already takes b as one more operand on that side.
bool JoinOperand(ExpressionRecord* node, ExpressionRecord* b, OpCodeT kind, bool atLeft) {
  if (node && node->opcode == kind && b && b != node) {
    if (AppendOperand(node, b, atLeft)) return true;
    DisposExpr(b);
    return false;
  }
  return DO_BinOpOn(node, b, atLeft ? 0 : 1, kind);
}

}  // namespace

bool DO_NopOn(ExpressionRecord* node, ExpressionRecord* b, OpCodeT kind) { return JoinOperand(node, b, kind, false); }

bool DO_OpOnLeft(ExpressionRecord* node, ExpressionRecord* b, OpCodeT kind) { return JoinOperand(node, b, kind, true); }

bool DO_MultOn(ExpressionRecord* node, ExpressionRecord* b) { return DO_NopOn(node, b, kOpTimes); }

bool DO_MultOnLeft(ExpressionRecord* node, ExpressionRecord* b) { return DO_OpOnLeft(node, b, kOpTimes); }

bool DO_UnopOn(ExpressionRecord* node, OpCodeT kind) { return node && PushContentsDown(node, kind, 1, 0); }

bool DO_NegOn(ExpressionRecord* node) { return DO_UnopOn(node, kOpMinus); }

bool DO_SubstOn(ExpressionRecord* node, ExpressionRecord* lhs, ExpressionRecord* rhs) {
  return DO_BinOpOn(node, NewBinop(kOpEquals, lhs, rhs), 1, kOpSubstitution);
}
