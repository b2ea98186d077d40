#pragma once

#include "expression/ExpressionRecord.h"
#include "matheditor/MathGraphicsContext.h"

#include <cstdint>

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

// An operand's descent and ascent with its middle moved onto the math axis
// when it is not on a text baseline; zeros for a missing operand.
struct Adjusted {
  float d = 0;
  float a = 0;
};
Adjusted AdjustedExtent(const ExpressionRecord* operand);

float WidthOf(const ExpressionRecord* operand);   // 0 for a missing operand
float HeightOf(const ExpressionRecord* operand);  // ascent + descent

// A handler's node without the operands it needs measures as an empty box.
bool MeasureEmptyUnlessOperands(ExpressionRecord* node, int32_t needed);

// One character with its pen at a point of the one-line layout.
void DrawCharAt(uint32_t c, float x, float y, MathGraphicsContext* context);
// The row's display character of the node's kind; 0 when none.
uint32_t DisplayCharacterOf(const ExpressionRecord* node);
// The size of the level below the node's, for scripts drawn inside it.
float NextLevelSize(const ExpressionRecord* node);

// The edit data of a node the pipeline has given one.
inline EditData& Box(const ExpressionRecord* node) { return *node->editData; }
inline const ExpressionRecord* OperandOrNull(const ExpressionRecord* node, int32_t i) {
  return i >= 0 && i < node->operandCount ? node->operands[i] : nullptr;
}
