#include "expression/OperatorTable.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>

// Sets, floor and ceiling, absolute value, overbar, substitution bars,
// derivative operators, intervals and hats.

namespace {

float Baseline(const EditData& e) { return e.bottom - e.descent; }

// Floor and ceiling: the operand between half brackets, vs inside the box.
void MeasureHalfBrackets(ExpressionRecord* node) {
  const float m = 2 * gMathHS + 0.3f * gMathFontSize + gMathLineWidth;
  ORIGINS_Generic(node, m, 0, m, 0);
}

void DrawHalfBrackets(const ExpressionRecord* node, bool ceiling, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const EditData& e = Box(node);
  const float h = HeightOf(node->operands[0]) - 2 * gMathVS;
  const float y = ceiling ? e.bottom - gMathVS - h : e.bottom - gMathVS;
  const float height = ceiling ? -h : h;
  DrawHalfBracket(e.left + gMathHS, y, 0.3f * s, height, context);
  DrawHalfBracket(e.left + WidthOf(node->operands[0]) + 0.6f * s + 4 * gMathHS, y, -0.3f * s, height, context);
}

// The derivative operator set as a fraction inside f(x) writes f into its
// numerator: dy/dx.
bool InDyDxContext(const ExpressionRecord* node) {
  const ExpressionRecord* p = node->parent;
  if (!p || p->opcode != kOpFunction || p->operandCount < 2 || p->operands[0] != node) return false;
  const OpCodeT argument = p->operands[1]->opcode;
  return argument == kOpAtom || argument == kOpIndexes;
}

// The variables are every operand but the order (operand 1).
bool IsVariable(int32_t i) { return i != 1; }

struct Denominator {
  float g, a, d;
};

Denominator MeasureDenominator(const ExpressionRecord* node, uint32_t c) {
  Denominator r{DIM_CharWidth(c) + 0.062f * gMathFontSize, gMathFontAscent, 0};
  for (int32_t i = 0; i < node->operandCount; ++i) {
    if (!IsVariable(i)) continue;
    const Adjusted v = AdjustedExtent(node->operands[i]);
    r.a = std::max(r.a, v.a);
    r.d = std::max(r.d, v.d);
  }
  return r;
}

void MeasureDerivative(ExpressionRecord* node, uint32_t c) {
  const float s = gMathFontSize;
  const int32_t n = node->operandCount;
  const Denominator den = MeasureDenominator(node, c);
  float x = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (!IsVariable(i)) continue;
    ExpressionRecord* v = node->operands[i];
    Box(v).leftOffset = x + den.g;
    Box(v).bottomOffset = -(den.d - AdjustedExtent(v).d);
    x += den.g + WidthOf(v) + (i + 1 < n ? gMathHS : 0.0f);
  }
  EditData& e = Box(node);
  e.width = x;
  e.ascent = 3 * gMathVS + gMathFontAscent;
  e.descent = den.a + den.d + gMathVS;
  e.composed = 0;
  if (n < 2) return;
  ExpressionRecord* order = node->operands[1];
  const float c2 = (den.g + x) / 2;
  const float m = std::min(gMathFontAscent / 2, HeightOf(order) / 2);
  Box(order).leftOffset = 0.062f * s + c2;
  Box(order).bottomOffset = -(e.ascent + e.descent - m);
  e.width = std::max(e.width, 0.062f * s + c2 + WidthOf(order));
  e.ascent += HeightOf(order) - m;
  if (!InDyDxContext(node)) return;
  Box(order).bottomOffset -= gMathFontDescent;
  e.ascent += gMathFontDescent;
  if (n == 2) Box(order).leftOffset = 0.062f * s + den.g;
}

void DrawDerivative(const ExpressionRecord* node, uint32_t c, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const int32_t n = node->operandCount;
  const EditData& e = Box(node);
  const Denominator den = MeasureDenominator(node, c);
  float p = 0;
  for (int32_t i = 0; i < n; ++i)
    if (IsVariable(i)) p += den.g + WidthOf(node->operands[i]) + gMathHS;
  float nx = p / 2 - den.g / 2 - gMathHS / 2;
  float ny = den.a + den.d + 0.2f * s + gMathLineWidth;
  if (InDyDxContext(node)) {
    ny += Box(node->parent->operands[1]).descent;
    if (n < 2) nx = 0;
  }
  LB_MoveTo(e.left, e.bottom - den.d, context);
  for (int32_t i = 0; i < n; ++i) {
    if (!IsVariable(i)) continue;
    DIM_DrawChar(c, context);
    DIM_Move(0.062f * s + WidthOf(node->operands[i]) + gMathHS, 0, context);
  }
  DrawCharAt(c, e.left + nx, e.bottom - ny, context);
  LB_MoveTo(e.left, Baseline(e), context);
  DIM_Line(e.width - gMathHS, 0, context);
}

}  // namespace

void set_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0) {
    if (!MeasureEmptyUnlessOperands(node, 1)) ORIGINS_Generic(node, DIM_CharWidth('{'), 0, DIM_CharWidth('}'), 0);
    return;
  }
  if (mode != 1 || node->operandCount < 1) return;
  const EditData& e = Box(node);
  DrawCharAt('{', e.left, Baseline(e), context);
  DrawCharAt('}', e.left + DIM_CharWidth('{') + WidthOf(node->operands[0]), Baseline(e), context);
}

void floor_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0 && !MeasureEmptyUnlessOperands(node, 1)) MeasureHalfBrackets(node);
  if (mode == 1 && node->operandCount >= 1) DrawHalfBrackets(node, false, context);
}

void ceiling_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0 && !MeasureEmptyUnlessOperands(node, 1)) MeasureHalfBrackets(node);
  if (mode == 1 && node->operandCount >= 1) DrawHalfBrackets(node, true, context);
}

void abs_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0) {
    const float m = 2 * gMathHS + gMathLineWidth;
    if (!MeasureEmptyUnlessOperands(node, 1)) ORIGINS_Generic(node, m, 0, m, 0);
    return;
  }
  if (mode != 1 || node->operandCount < 1) return;
  const EditData& e = Box(node);
  const float h = HeightOf(node->operands[0]) - gMathVS;
  for (const float x : {e.left + gMathHS, e.left + WidthOf(node->operands[0]) + 3 * gMathHS + gMathLineWidth}) {
    LB_MoveTo(x, e.bottom - gMathVS, context);
    DIM_Line(0, -h, context);
  }
}

void overbar_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  if (mode == 1) {
    LB_MoveTo(e.left + 0.1f * gMathFontSize, e.bottom - (e.ascent + e.descent) + gMathVS, context);
    DIM_Line(e.width - 0.2f * gMathFontSize, 0, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  EditData& o = Box(node->operands[0]);
  o.leftOffset = o.bottomOffset = 0;
  e.width = o.width;
  e.descent = o.descent;
  e.ascent = o.ascent + 2 * gMathVS + gMathLineWidth;
  e.composed = o.composed;
}

void subst_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  const ExpressionRecord* expression = OperandOrNull(node, 0);
  const ExpressionRecord* lower = OperandOrNull(node, 1);
  const ExpressionRecord* upper = OperandOrNull(node, 2);
  const float half = gMathFontAscent / 2;
  const float bar = 3 * gMathHS + gMathLineWidth;
  if (mode == 1) {
    if (!expression) return;
    const float f = lower ? Box(lower).descent : 0.0f;
    const float rise = lower ? Box(lower).ascent - half - gMathVS : 0.0f;
    LB_MoveTo(e.left + WidthOf(expression) + 2 * gMathHS, e.bottom - gMathVS - f, context);
    DIM_Line(0, -(rise + HeightOf(expression) - gMathVS), context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  if (!lower) {
    ORIGINS_Generic(node, 0, 0, bar, gMathVS);
    return;
  }
  const EditData& x = Box(expression);
  const float h0 = HeightOf(expression), h1 = HeightOf(lower);
  Box(expression).leftOffset = 0;
  Box(expression).bottomOffset = -(h1 - half);
  Box(lower).leftOffset = x.width + bar;
  Box(lower).bottomOffset = 0;
  e.width = x.width + WidthOf(lower) + bar;
  e.descent = h1 + x.descent - half;
  e.ascent = x.ascent;
  e.composed = x.composed;
  if (!upper) return;
  Box(upper).leftOffset = x.width + bar;
  Box(upper).bottomOffset = -((h1 - half) + h0 - half);
  e.width = std::max(WidthOf(lower), WidthOf(upper)) + x.width + bar;
  e.ascent = HeightOf(upper) + x.ascent - half;
}

void derivs_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (node->opcode == kOpOpTotal) UseItalics();
  const uint32_t c = DisplayCharacterOf(node);
  if (mode == 0) {
    if (!MeasureEmptyUnlessOperands(node, 1)) MeasureDerivative(node, c);
  } else if (mode == 1 && node->operandCount >= 1) {
    DrawDerivative(node, c, context);
  }
}

void inner_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  if (mode == 1) {
    if (node->operandCount < 2) return;
    const float y = Baseline(e) - gMathVS;
    const float comma = e.left + DIM_CharWidth('[') + WidthOf(node->operands[0]);
    DrawCharAt('[', e.left, y, context);
    DrawCharAt(',', comma, y, context);
    DrawCharAt(']', comma + DIM_CharWidth(',') + WidthOf(node->operands[1]), y, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 2)) return;
  float x = DIM_CharWidth('['), a = gMathFontAscent, d = gMathFontDescent;
  for (int32_t i = 0; i < 2; ++i) {
    const Adjusted o = AdjustedExtent(node->operands[i]);
    Box(node->operands[i]).leftOffset = x;
    a = std::max(a, o.a);
    d = std::max(d, o.d);
    x += WidthOf(node->operands[i]) + DIM_CharWidth(i == 0 ? ',' : ']');
  }
  for (int32_t i = 0; i < 2; ++i) Box(node->operands[i]).bottomOffset = -(d - AdjustedExtent(node->operands[i]).d);
  e.width = x;
  e.ascent = a;
  e.descent = d;
  e.composed = 1;
}

void hat_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  if (mode == 1) {
    const float top = e.bottom - (e.ascent + e.descent);
    DrawCharAt('^', e.left + e.width / 2 - DIM_CharWidth('^') / 2, top + 9 * gMathVS + DIM_CharDescent('^'), context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  ExpressionRecord* operand = node->operands[0];
  EditData& o = Box(operand);
  if (operand->opcode == kOpAtom || operand->opcode == kOpDummy) {
    // Over a letter the hat follows the letter's own height.
    const float vs = gMathVS;
    set_font_for_atomic(operand);
    const float ga = DIM_CharAscent(GetSpecialSymbolUnicode(operand->payload.id));
    e.ascent = std::max(ga + 8 * vs, o.ascent);
    o.ascent = ga;
  } else {
    e.ascent = o.ascent + 6 * gMathVS;
  }
  o.leftOffset = o.bottomOffset = 0;
  e.width = o.width;
  e.descent = o.descent;
  e.composed = o.composed;
}
