#pragma once

#include "expression/ExpressionRecord.h"

// Shared placement of the typesetting handlers, at the current size s.

// The raise that puts the middle of a box not on a text baseline onto the
// math axis: 0 for a composed operand.
float AxisShift(const ExpressionRecord* operand);

// Operand 0 inside margins; bottom lifts it off the node's bottom edge.
void ORIGINS_Generic(ExpressionRecord* node, float left, float top, float right, float bottom);
// Operand 0 after a prefix of width x, its baseline on the node's; the node
// is at least as deep and tall as the font.
void ORIGINS_Prefix(ExpressionRecord* node, float x);
void ORIGINS_PrefixNoAscentNoDescent(ExpressionRecord* node, float x);

float Exponent_Drop(float a, float b);
float Sup_Drop(float a, float b);

// The edit data of a node the pipeline has given one.
inline EditData& Box(const ExpressionRecord* node) { return *node->editData; }
inline const ExpressionRecord* OperandOrNull(const ExpressionRecord* node, int32_t i) {
  return i >= 0 && i < node->operandCount ? node->operands[i] : nullptr;
}
