#include "expression/OperatorTable.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>

// Logarithms, function applications, Bessel J, nabla operators, signs and
// postfix marks.

namespace {

constexpr uint32_t kNabla = 0x2207;

bool IsDerivativeOperator(const ExpressionRecord* node) {
  return node->opcode == kOpOpTotal || node->opcode == kOpOpPartial;
}

// d/dx applied to a name: the name goes into the numerator.
bool IsDyDxForm(const ExpressionRecord* node) {
  const ExpressionRecord* argument = node->operands[1];
  return IsDerivativeOperator(node->operands[0]) && (argument->opcode == kOpAtom || argument->opcode == kOpIndexes);
}

// A subscript-sized operand after a prefix of width x: the argument after
// it, the script hanging from the baseline by the superscript drop.
void PlaceWithSubscript(ExpressionRecord* node, ExpressionRecord* argument, ExpressionRecord* script, float x) {
  const Adjusted a = AdjustedExtent(argument);
  const float d = std::max(a.d, gMathFontDescent);
  const float sd = Sup_Drop(gMathFontAscent, HeightOf(script));
  const float d2 = std::max(d, HeightOf(script) - sd);
  Box(argument).bottomOffset = -(d2 - a.d);
  Box(script).leftOffset = x;
  Box(script).bottomOffset = -(sd + d2 - HeightOf(script));
  EditData& e = Box(node);
  e.descent = d2;
  e.ascent = std::max(a.a, gMathFontAscent);
  e.composed = 1;
}

void MeasureDyDx(ExpressionRecord* node) {
  ExpressionRecord* op = node->operands[0];
  ExpressionRecord* argument = node->operands[1];
  if (op->opcode == kOpOpTotal) UseItalics();
  float w = DIM_CharWidth(DisplayCharacterOf(op));
  if (op->operandCount > 1) w += WidthOf(op->operands[1]);
  float a = gMathFontAscent, d = 0;
  for (int32_t i = 0; i < op->operandCount; ++i) {
    if (i == 1) continue;
    const Adjusted v = AdjustedExtent(op->operands[i]);
    a = std::max(a, v.a);
    d = std::max(d, v.d);
  }
  EditData& o = Box(op);
  o.ascent += Box(argument).descent;
  o.leftOffset = o.bottomOffset = 0;
  Box(argument).leftOffset = w;
  Box(argument).bottomOffset = -(a + d + 0.2f * gMathFontSize + gMathLineWidth);
  EditData& e = Box(node);
  e.width = std::max(o.width, w + WidthOf(argument));
  e.ascent = std::max(o.ascent, HeightOf(argument) + gMathVS);
  e.descent = o.descent;
  e.composed = 0;
}

void MeasureApplication(ExpressionRecord* node) {
  const bool parentheses = !IsDerivativeOperator(node->operands[0]);
  float a = gMathFontAscent, d = gMathFontDescent, x = 0;
  for (int32_t i = 0; i < 2; ++i) {
    ExpressionRecord* operand = node->operands[i];
    const Adjusted o = AdjustedExtent(operand);
    Box(operand).leftOffset = x;
    a = std::max(a, o.a);
    d = std::max(d, o.d);
    x += WidthOf(operand);
    if (parentheses) x += DIM_CharWidth(i == 0 ? '(' : ')');
  }
  for (int32_t i = 0; i < 2; ++i) Box(node->operands[i]).bottomOffset = -(d - AdjustedExtent(node->operands[i]).d);
  EditData& e = Box(node);
  e.width = x;
  e.ascent = a;
  e.descent = d;
  e.composed = 1;
}

}  // namespace

void log_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  EditData& e = Box(node);
  if (mode == 1) {
    LB_MoveTo(e.left, e.bottom - e.descent, context);
    DIM_DrawString(info->name, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  const float l = DIM_StringWidth(info->name) + 0.1f * gMathFontSize;
  ExpressionRecord* argument = node->operands[0];
  if (node->operandCount < 2) {
    ORIGINS_Prefix(node, l);
    return;
  }
  ExpressionRecord* base = node->operands[1];
  PlaceWithSubscript(node, argument, base, l);
  Box(argument).leftOffset = l + WidthOf(base);
  e.width = l + WidthOf(base) + WidthOf(argument);
}

void fxn_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  if (mode == 0) {
    if (MeasureEmptyUnlessOperands(node, 2)) return;
    if (IsDyDxForm(node))
      MeasureDyDx(node);
    else
      MeasureApplication(node);
    return;
  }
  if (mode != 1 || node->operandCount < 2 || IsDerivativeOperator(node->operands[0])) return;
  const EditData& e = Box(node);
  const float baseline = e.bottom - e.descent;
  const float f = WidthOf(node->operands[0]);
  DrawCharAt('(', e.left + f, baseline, context);
  DrawCharAt(')', e.left + f + DIM_CharWidth('(') + WidthOf(node->operands[1]), baseline, context);
}

void besselj_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  if (mode == 1) {
    if (node->operandCount < 2) return;
    LB_MoveTo(e.left, e.bottom - e.descent, context);
    DIM_DrawChar('J', context);
    DIM_Move(WidthOf(node->operands[1]), 0, context);
    DIM_DrawChar('(', context);
    DIM_Move(WidthOf(node->operands[0]), 0, context);
    DIM_DrawChar(')', context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 2)) return;
  ExpressionRecord* argument = node->operands[0];
  ExpressionRecord* order = node->operands[1];
  const float wj = DIM_CharWidth('J');
  PlaceWithSubscript(node, argument, order, wj);
  Box(argument).leftOffset = wj + WidthOf(order) + DIM_CharWidth('(');
  e.width = wj + WidthOf(order) + WidthOf(argument) + DIM_CharWidth('(') + DIM_CharWidth(')');
}

void del_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  if (mode == 1) {
    DrawCharAt(kNabla, e.left, e.bottom - e.descent, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  const float wn = DIM_CharWidth(kNabla);
  if (node->operandCount < 2) {
    ORIGINS_Prefix(node, wn);
    return;
  }
  ExpressionRecord* operand = node->operands[0];
  ExpressionRecord* subscript = node->operands[1];
  PlaceWithSubscript(node, operand, subscript, wn);
  Box(operand).leftOffset = wn + WidthOf(subscript);
  e.width = wn + WidthOf(subscript) + WidthOf(operand);
}

void lap_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  EditData& e = Box(node);
  const float s0 = gMathFontAscent;
  if (mode == 1) {
    DrawCharAt(kNabla, e.left, e.bottom - e.descent, context);
    const float s1 = NextLevelSize(node);
    MathTextSize(s1);
    DIM_Move(0, -(s0 + 3.0f / 16 * s1 - s1), context);
    DIM_DrawChar('2', context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  const float wn = DIM_CharWidth(kNabla);
  const float s1 = NextLevelSize(node);
  MathTextSize(s1);
  const float w2 = DIM_CharWidth('2');
  ExpressionRecord* operand = node->operands[0];
  Box(operand).leftOffset = wn + w2;
  Box(operand).bottomOffset = 0;
  e.width = wn + w2 + WidthOf(operand);
  e.ascent = std::max(s0 + 3.0f / 16 * s1, Box(operand).ascent);
  e.descent = Box(operand).descent;
  e.composed = 1;
}

void negate_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const uint32_t sign = DisplayCharacterOf(node);
  const EditData& e = Box(node);
  if (mode == 1) {
    DrawCharAt(sign, e.left, e.bottom - e.descent, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  // Under a plus the sign stands for the plus and takes its spacing.
  const float gap = (node->parent && node->parent->opcode == kOpPlus ? 0.25f : 0.15f) * gMathFontSize;
  ORIGINS_PrefixNoAscentNoDescent(node, gap + DIM_CharWidth(sign));
}

void fact_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const uint32_t c = DisplayCharacterOf(node);
  const EditData& e = Box(node);
  if (mode == 1) {
    if (node->operandCount < 1) return;
    DrawCharAt(c, e.left + WidthOf(node->operands[0]), e.bottom - e.descent, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  ORIGINS_Generic(node, 0, 0, DIM_CharWidth(c), 0);
}

void dagger_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s1 = NextLevelSize(node);
  MathTextSize(s1);
  const EditData& e = Box(node);
  if (mode == 1) {
    if (node->operandCount < 1) return;
    const ExpressionRecord* operand = node->operands[0];
    DrawCharAt('T', e.left + WidthOf(operand), e.bottom - HeightOf(operand) + 13.0f / 16 * s1, context);
    return;
  }
  if (mode != 0 || MeasureEmptyUnlessOperands(node, 1)) return;
  ORIGINS_Generic(node, 0, 3.0f / 16 * s1, DIM_CharWidth('T'), 0);
}
