#include "expression/OperatorTable.h"
#include "expression/TreeWalking.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>

// Roots, powers, scientific notation and fractions.

namespace {

constexpr uint32_t kTimesSign = 0x00D7;
constexpr UniChar kTimesTen[4] = {0x00D7, '1', '0', 0};

bool TakesNamedFunctionPower(const ExpressionRecord* base) {
  return (IsFxn(base->opcode) || base->opcode == kOpLog) && base->operandCount == 1;
}

// A name with exactly one subscript: the exponent stands above it.
float SubscriptWidthUnderExponent(const ExpressionRecord* base) {
  const bool one = base->opcode == kOpIndexes && base->operandCount == 2 && base->payload.shape.columns == 1;
  return one ? WidthOf(base->operands[1]) : 0.0f;
}

void MeasurePower(ExpressionRecord* node) {
  ExpressionRecord* base = node->operands[0];
  ExpressionRecord* exponent = node->operands[1];
  EditData& b = Box(base);
  EditData& e = Box(node);
  if (TakesNamedFunctionPower(base)) {
    // sin² x: the exponent goes between the name and the argument.
    ExpressionRecord* argument = base->operands[0];
    const float q = gMathFontAscent / 4;
    float x = b.width - WidthOf(argument);
    if (argument->opcode != kOpId) x -= 0.1f * gMathFontSize;
    Box(exponent).leftOffset = x;
    Box(exponent).bottomOffset = -(q + b.descent);
    Box(argument).leftOffset += WidthOf(exponent);
    b.width += WidthOf(exponent);
    b.leftOffset = b.bottomOffset = 0;
    e.width = b.width;
    e.descent = b.descent;
    e.ascent = std::max(b.ascent, q + HeightOf(exponent));
    e.composed = 1;
    return;
  }
  const float drop = Exponent_Drop(b.ascent, HeightOf(exponent));
  const float k = SubscriptWidthUnderExponent(base);
  b.leftOffset = b.bottomOffset = 0;
  Box(exponent).leftOffset = b.width - k;
  Box(exponent).bottomOffset = -(HeightOf(base) - drop);
  e.width = std::max(k, WidthOf(exponent)) + b.width - k;
  e.descent = b.descent;
  e.ascent = b.ascent - drop + HeightOf(exponent);
  e.composed = b.composed;
}

// Both leaves, in an exponent or under a minus there: a/b on one line.
bool IsSlashFraction(const ExpressionRecord* node) {
  if (node->operands[0]->operandCount != 0 || node->operands[1]->operandCount != 0) return false;
  const ExpressionRecord* p = node->parent;
  if (p && p->opcode == kOpMinus) {
    node = p;
    p = p->parent;
  }
  return p && p->opcode == kOpPower && OP_NUM(node) == 1;
}

void MeasureSlashFraction(ExpressionRecord* node) {
  const float s = gMathFontSize;
  const EditData& n = Box(node->operands[0]);
  const EditData& d = Box(node->operands[1]);
  const float m = std::max(n.descent, d.descent);
  Box(node->operands[0]).leftOffset = 0;
  Box(node->operands[0]).bottomOffset = -(m - n.descent);
  Box(node->operands[1]).leftOffset = n.width + DIM_CharWidth('/') + 2 * 0.111f * s;
  Box(node->operands[1]).bottomOffset = -(m - d.descent);
  EditData& e = Box(node);
  e.width = n.width + d.width + DIM_CharWidth('/') + 0.222f * s;
  e.ascent = std::max(n.ascent, d.ascent);
  e.descent = m;
  e.composed = 1;
}

void MeasureStackedFraction(ExpressionRecord* node) {
  const float s = gMathFontSize;
  ExpressionRecord* numerator = node->operands[0];
  ExpressionRecord* denominator = node->operands[1];
  const float w = std::max(WidthOf(numerator), WidthOf(denominator));
  Box(numerator).leftOffset = 0.083f * s + (w - WidthOf(numerator)) / 2;
  Box(numerator).bottomOffset = -(HeightOf(denominator) + 0.2f * s + gMathLineWidth);
  Box(denominator).leftOffset = 0.083f * s + (w - WidthOf(denominator)) / 2;
  Box(denominator).bottomOffset = 0;
  EditData& e = Box(node);
  e.width = w + 2 * 0.083f * s;
  e.ascent = gMathLineWidth / 2 + 0.1f * s + HeightOf(numerator);
  e.descent = gMathLineWidth / 2 + 0.1f * s + HeightOf(denominator);
  e.composed = 0;
}

}  // namespace

void sqrt_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  EditData& e = Box(node);
  const ExpressionRecord* radicand = OperandOrNull(node, 0);
  const ExpressionRecord* index = OperandOrNull(node, 1);
  if (mode == 0) {
    if (MeasureEmptyUnlessOperands(node, 1)) return;
    const Adjusted r = AdjustedExtent(radicand);
    const float d = std::max(r.d, gMathFontDescent);
    const float a = std::max(r.a, gMathFontAscent);
    const float t = a + 2 * gMathVS + gMathLineWidth;
    float indent = 0, extra = 0;
    if (index) {
      const float q = (d + t) / 4;
      indent = WidthOf(index) - 0.3f * s;
      extra = std::max(gMathVS + HeightOf(index) + q - t, 0.0f);
      Box(index).leftOffset = 0;
      Box(index).bottomOffset = -(q + gMathVS);
    }
    Box(radicand).leftOffset = indent + 0.6f * s + gMathHS;
    Box(radicand).bottomOffset = -(d - r.d);
    e.width = indent + 0.6f * s + gMathHS + WidthOf(radicand);
    e.descent = d;
    e.ascent = t + extra;
    e.composed = 1;
    return;
  }
  if (mode != 1 || !radicand) return;
  const float bar = WidthOf(radicand) - gMathHS;
  const float xs = index ? e.left - 0.3f * s + WidthOf(index) : e.left;
  const float h = index ? HeightOf(radicand) + gMathVS + gMathLineWidth : e.ascent + e.descent - gMathVS;
  LB_MoveTo(xs + bar + 0.6f * s + gMathHS, e.bottom - h, context);
  const FPoint steps[4] = {
      {0, -bar}, {h - gMathVS - gMathLineWidth, -0.3f * s}, {-0.25f * h, -0.2f * s}, {0.125f * h, -0.1f * s}};
  DIM_DrawPolyLine(4, steps, context);
}

void tothe_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (node->editData->overflow) {
    infix_(node, mode, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 2)) return;
  MeasurePower(node);
}

void tentothe_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  EditData& e = Box(node);
  const bool eForm = e.overflow != 0;
  if (mode == 1) {
    if (node->operandCount < 2) return;
    LB_MoveTo(e.left + WidthOf(node->operands[0]) + 0.077f * s, e.bottom - e.descent, context);
    if (eForm)
      DIM_DrawChar('E', context);
    else
      DIM_DrawString(kTimesTen, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 2)) return;
  ExpressionRecord* mantissa = node->operands[0];
  ExpressionRecord* exponent = node->operands[1];
  const EditData& m = Box(mantissa);
  const EditData& x = Box(exponent);
  Box(mantissa).leftOffset = Box(mantissa).bottomOffset = 0;
  const float g = eForm ? gMathHS + DIM_CharWidth('E') + gMathHS
                        : DIM_CharWidth('1') + DIM_CharWidth('0') + DIM_CharWidth(kTimesSign) + 0.077f * s;
  Box(exponent).leftOffset = g + m.width;
  e.width = g + m.width + x.width;
  if (eForm) {
    Box(exponent).bottomOffset = 0;
    e.descent = std::max(m.descent, x.descent);
    e.ascent = std::max(m.ascent, x.ascent);
    e.composed = 1;
    return;
  }
  Box(exponent).bottomOffset = -(0.5f * gMathFontAscent + m.descent);
  e.descent = m.descent;
  e.ascent = m.ascent - 0.5f * gMathFontAscent + HeightOf(exponent);
  e.composed = m.composed;
}

void div_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (node->editData->overflow) {
    infix_(node, mode, context);
    return;
  }
  const float s = gMathFontSize;
  if (mode == 0) {
    if (MeasureEmptyUnlessOperands(node, 2)) return;
    if (IsSlashFraction(node))
      MeasureSlashFraction(node);
    else
      MeasureStackedFraction(node);
    return;
  }
  if (mode != 1 || node->operandCount < 2) return;
  const EditData& e = Box(node);
  if (IsSlashFraction(node)) {
    DrawCharAt('/', e.left + WidthOf(node->operands[0]) + 0.111f * s, e.bottom - e.descent, context);
    return;
  }
  LB_MoveTo(e.left + 0.083f * s, e.bottom - e.descent, context);
  DIM_Line(e.width - 2 * 0.083f * s - gMathHS, 0, context);
}
