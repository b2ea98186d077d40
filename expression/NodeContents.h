#pragma once

#include "expression/ExpressionRecord.h"

// A node's contents are its kind, payload, operand array and count. Edit
// data and the parent link never move with them.

inline void AdoptOperands(ExpressionRecord* node) {
  if (!node->operands) return;
  for (int32_t i = 0; i < node->operandCount; ++i)
    if (node->operands[i]) node->operands[i]->parent = node;
}

// Overwrites into's contents without releasing them; from keeps a stale
// copy that its owner must not release again.
inline void MoveContents(ExpressionRecord* from, ExpressionRecord* into) {
  into->opcode = from->opcode;
  into->payload = from->payload;
  into->operands = from->operands;
  into->operandCount = from->operandCount;
  AdoptOperands(into);
}

// Leaves a node owning nothing, ready to be given new contents.
inline void ClearContents(ExpressionRecord* node) {
  node->payload = ExpressionPayload{};
  node->operands = nullptr;
  node->operandCount = 0;
}
