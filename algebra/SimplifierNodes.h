#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Shape tests and number access shared by the simplifier's rules. A node
// "of kind k with n operands" has every operand slot filled, so rules never
// read past or through a damaged node.

inline bool HasFilledOperands(const ExpressionRecord* node) {
  if (!node || (node->operandCount > 0 && !node->operands)) return false;
  for (int32_t i = 0; i < node->operandCount; ++i)
    if (!node->operands[i]) return false;
  return true;
}

inline bool IsKind(const ExpressionRecord* node, OpCodeT kind) { return node && node->opcode == kind; }

inline bool IsKindWith(const ExpressionRecord* node, OpCodeT kind, int32_t operandCount) {
  return IsKind(node, kind) && node->operandCount == operandCount && HasFilledOperands(node);
}

inline bool IsNumberNode(const ExpressionRecord* node) {
  return IsKind(node, kOpNumber) && node->operandCount == 0 && node->payload.number;
}

inline double NumberValue(const ExpressionRecord* node) { return node->payload.number->value; }

inline bool IsNumberEqualTo(const ExpressionRecord* node, double value) {
  return IsNumberNode(node) && NumberValue(node) == value;
}

inline bool IsAtomWithId(const ExpressionRecord* node, int32_t id) {
  return IsKind(node, kOpAtom) && node->payload.id == id;
}

// The editor regenerates a number's text from an empty one.
inline void SetNumberValue(ExpressionRecord* node, double value) {
  node->payload.number->value = value;
  node->payload.number->text[0] = 0;
}

inline bool IsPower(const ExpressionRecord* node) { return IsKindWith(node, kOpPower, 2); }
inline bool IsQuotient(const ExpressionRecord* node) { return IsKindWith(node, kOpOver, 2); }
inline bool IsNegation(const ExpressionRecord* node) { return IsKindWith(node, kOpMinus, 1); }
inline bool IsProduct(const ExpressionRecord* node) {
  return IsKind(node, kOpTimes) && node->operandCount >= 1 && HasFilledOperands(node);
}
inline bool IsSum(const ExpressionRecord* node) {
  return IsKind(node, kOpPlus) && node->operandCount >= 1 && HasFilledOperands(node);
}
inline bool IsQuotientOfNumbers(const ExpressionRecord* node) {
  return IsQuotient(node) && IsNumberNode(node->operands[0]) && IsNumberNode(node->operands[1]);
}
// A product whose first factor is a number.
inline bool HasLeadingNumber(const ExpressionRecord* node) {
  return IsProduct(node) && IsNumberNode(node->operands[0]);
}
