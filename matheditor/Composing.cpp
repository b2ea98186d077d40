#include "matheditor/Composing.h"

#include "matheditor/MathTypesetState.h"

#include <algorithm>

namespace {

void Prefix(ExpressionRecord* node, float x, float minimumDescent, float minimumAscent) {
  const ExpressionRecord* c = node->operands[0];
  const EditData& ce = *c->editData;
  EditData& e = *node->editData;
  const float shift = AxisShift(c);
  const float d = ce.descent - shift;
  const float a = ce.ascent + shift;
  e.width = x + ce.width;
  e.descent = std::max(d, minimumDescent);
  e.ascent = std::max(a, minimumAscent);
  e.composed = 1;
  c->editData->leftOffset = x;
  c->editData->bottomOffset = -(e.descent - d);
}

}  // namespace

float AxisShift(const ExpressionRecord* operand) {
  return operand->editData->composed ? 0.0f : kMathAxis * gMathFontSize;
}

void ORIGINS_Generic(ExpressionRecord* node, float left, float top, float right, float bottom) {
  EditData& ce = *node->operands[0]->editData;
  EditData& e = *node->editData;
  ce.leftOffset = left;
  ce.bottomOffset = -bottom;
  e.width = left + ce.width + right;
  e.descent = ce.descent + bottom;
  e.ascent = std::max(ce.ascent + top, gMathFontAscent);
  e.composed = 1;
}

void ORIGINS_Prefix(ExpressionRecord* node, float x) { Prefix(node, x, gMathFontDescent, gMathFontAscent); }

void ORIGINS_PrefixNoAscentNoDescent(ExpressionRecord* node, float x) { Prefix(node, x, 0, 0); }

float Exponent_Drop(float a, float b) { return std::min(0.75f * a - 0.5f * gMathVS, 0.85f * b); }

float Sup_Drop(float a, float b) { return std::min(0.5f * a - 0.5f * gMathVS, 0.75f * b); }
