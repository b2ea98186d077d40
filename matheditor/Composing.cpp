#include "matheditor/Composing.h"

#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
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

Adjusted AdjustedExtent(const ExpressionRecord* operand) {
  if (!operand) return {};
  const EditData& e = *operand->editData;
  const float t = AxisShift(operand);
  return {e.descent - t, e.ascent + t};
}

float WidthOf(const ExpressionRecord* operand) { return operand ? operand->editData->width : 0.0f; }

float HeightOf(const ExpressionRecord* operand) {
  return operand ? operand->editData->ascent + operand->editData->descent : 0.0f;
}

bool MeasureEmptyUnlessOperands(ExpressionRecord* node, int32_t needed) {
  if (node->operandCount >= needed) return false;
  EditData& e = *node->editData;
  e.width = 0;
  e.descent = gMathFontDescent;
  e.ascent = gMathFontAscent;
  e.composed = 1;
  for (int32_t i = 0; i < node->operandCount; ++i)
    node->operands[i]->editData->leftOffset = node->operands[i]->editData->bottomOffset = 0;
  return true;
}

void DrawCharAt(uint32_t c, float x, float y, MathGraphicsContext* context) {
  LB_MoveTo(x, y, context);
  DIM_DrawChar(c, context);
}

uint32_t DisplayCharacterOf(const ExpressionRecord* node) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return info ? info->displayCharacter : 0;
}

float NextLevelSize(const ExpressionRecord* node) {
  return gMathScriptSize[std::min<int32_t>(node->editData->sizeLevel + 1, 5)];
}
