#pragma once

#include "expression/ExpressionRecord.h"
#include "expression/OperatorTable.h"
#include "matheditor/NodeQuestions.h"

// Small questions the operator and template typing share.

inline uint8_t ClassOfKind(OpCodeT kind) {
  const OperatorInfo* info = FindOperatorInfo(kind);
  return info ? info->syntacticKind : uint8_t{kLeaf};
}

inline bool IsSignKind(OpCodeT kind) { return kind == kOpMinus || kind == kOpPlusOrMinus || kind == kOpMinusOrPlus; }

inline bool IsComparisonKind(OpCodeT kind) {
  return kind == kOpEquals || kind == kOpLess || kind == kOpGreater || kind == kOpLeq || kind == kOpGeq ||
         kind == kOpNotEqual;
}

inline bool IsProductNode(const ExpressionRecord* node) { return node && node->opcode == kOpTimes; }

// A factor of a product that is not its last.
inline bool IsInnerFactor(const ExpressionRecord* node) {
  return IsProductNode(node->parent) && IndexInParent(node) < node->parent->operandCount - 1;
}

// The caret node climbs out of prefix operators it is the first operand of
// and out of products it ends; a climb that stops inside a product moves
// the caret node there.
inline ExpressionRecord* NodeTheCaretEnds(ExpressionRecord* node) {
  ExpressionRecord* at = node;
  while (at->parent) {
    ExpressionRecord* parent = at->parent;
    const int32_t index = IndexInParent(at);
    const bool firstOfPrefix = SyntacticKindOf(parent) == kPrefix && index == 0;
    const bool lastFactor = IsProductNode(parent) && index == parent->operandCount - 1;
    if (!firstOfPrefix && !lastFactor) break;
    at = parent;
  }
  return IsProductNode(at->parent) ? at : node;
}
