#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>

namespace {

constexpr uint32_t kIntegralSign = 0x222B;
constexpr uint32_t kNablaSign = 0x2207;

const UniChar* NameOf(const ExpressionRecord* node) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  static const UniChar kEmpty[1] = {0};
  return info && info->name ? info->name : kEmpty;
}

// An operand's descent and ascent moved so its middle sits on the axis of
// the given size when it is not on a text baseline.
Adjusted AdjustedAt(const ExpressionRecord* operand, float size) {
  if (!operand) return {};
  const EditData& e = Box(operand);
  const float t = e.composed ? 0.0f : kMathAxis * size;
  return {e.descent - t, e.ascent + t};
}

// The big symbol's measures at its own size.
struct Symbol {
  float size;
  float cd, ca, cw, m;
};

Symbol MeasureSymbol(uint32_t c, float size) {
  MathTextSize(size);
  Symbol symbol{size, DIM_CharDescent(c), DIM_CharAscent(c), DIM_CharWidth(c), 0};
  symbol.m = (symbol.cd + symbol.ca) / 2;
  return symbol;
}

void Centre(const ExpressionRecord* limit, float w, float bottomOffset) {
  if (!limit) return;
  Box(limit).leftOffset = (w - Box(limit).width) / 2;
  Box(limit).bottomOffset = bottomOffset;
}

}  // namespace

void sin_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  EditData& e = Box(node);
  if (mode == 1) {
    LB_MoveTo(e.left + 0.154f * s, e.bottom - e.descent, context);
    DIM_DrawString(NameOf(node), context);
    return;
  }
  const ExpressionRecord* argument = OperandOrNull(node, 0);
  float x = 0.077f * s + 0.077f * s + DIM_StringWidth(NameOf(node));
  if (!argument || argument->opcode != kOpId) x += 0.1f * s;
  const float minimumDescent = node->opcode == kOpSgn || node->opcode == kOpLog ? gMathFontDescent : 0.0f;
  const Adjusted arg = AdjustedAt(argument, s);
  e.descent = std::max(minimumDescent, arg.d);
  e.ascent = std::max(gMathFontAscent, arg.a);
  e.width = x + WidthOf(argument);
  e.composed = 1;
  if (!argument) return;
  Box(argument).leftOffset = x;
  Box(argument).bottomOffset = -(e.descent - arg.d);
}

void extended_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const uint32_t c = DisplayCharacterOf(node);
  const Symbol symbol = MeasureSymbol(c, gMathScriptSize[0]);
  const Adjusted body = AdjustedAt(OperandOrNull(node, 0), symbol.size);
  MathTextSize(s);
  const float up = kMathAxis * s + symbol.m;
  const float dn = (symbol.cd + symbol.ca - symbol.m) - kMathAxis * s;
  const ExpressionRecord* lower = OperandOrNull(node, 1);
  const ExpressionRecord* upper = OperandOrNull(node, 2);
  const float w = std::max({symbol.cw, WidthOf(lower), WidthOf(upper)});
  EditData& e = Box(node);
  if (mode == 1) {
    MathTextSize(symbol.size);
    LB_MoveTo(e.left + (w - symbol.cw) / 2, e.bottom - (symbol.cd + e.descent - dn), context);
    DIM_DrawChar(c, context);
    return;
  }
  const int32_t n = node->operandCount;
  const float g1 = n >= 2 ? 0.05f * s : 0.0f;
  const float g2 = n >= 3 ? 0.05f * s : 0.0f;
  float descent = std::max(body.d, g2 + dn);
  float ascent = std::max(body.a, g1 + up);
  if (lower) {
    descent = std::max(body.d, g2 + dn + HeightOf(lower));
  }
  if (upper) {
    ascent = std::max(body.a, g1 + up + HeightOf(upper));
  }
  // Both limits are centred over the final column width.
  Centre(lower, w, -(descent - (g2 + dn + HeightOf(lower) + gMathVS)));
  Centre(upper, w, -(g1 + descent + up));
  if (const ExpressionRecord* b = OperandOrNull(node, 0)) {
    Box(b).leftOffset = w + gMathHS;
    Box(b).bottomOffset = -(descent - body.d);
  }
  e.width = w + gMathHS + WidthOf(OperandOrNull(node, 0));
  e.descent = descent;
  e.ascent = ascent;
  e.composed = 1;
}

void integral2_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const ExpressionRecord* integrand = OperandOrNull(node, 0);
  const ExpressionRecord* variable = OperandOrNull(node, 1);
  const ExpressionRecord* lower = OperandOrNull(node, 2);
  const ExpressionRecord* upper = OperandOrNull(node, 3);
  const Symbol symbol = MeasureSymbol(kIntegralSign, gMathScriptSize[1]);
  const Adjusted body = AdjustedAt(integrand, symbol.size);
  const Adjusted var = AdjustedAt(variable, symbol.size);
  const float w = std::max({symbol.cw, WidthOf(lower), WidthOf(upper)});
  MathTextSize(s);
  const float up = kMathAxis * s + symbol.m;
  const float dn = (symbol.cd + symbol.ca - symbol.m) - kMathAxis * s;
  EditData& e = Box(node);
  if (mode == 1) {
    const float baseline = e.bottom - e.descent;
    MathTextSize(symbol.size);
    LB_MoveTo(e.left + (w - symbol.cw) / 2, baseline, context);
    DIM_DrawChar(kIntegralSign, context);
    MathTextSize(s);
    LB_MoveTo(e.left + w + gMathHS + WidthOf(integrand), baseline, context);
    DIM_DrawChar('d', context);
    return;
  }
  float ascent = std::max({body.a, up, var.a});
  float descent = std::max({body.d, dn, var.d});
  if (lower) descent = std::max(descent, 0.05f * s + dn + HeightOf(lower));
  if (upper) ascent = std::max(ascent, 0.05f * s + up + HeightOf(upper));
  const float dw = DIM_CharWidth('d');
  if (integrand) {
    Box(integrand).leftOffset = w + gMathHS;
    Box(integrand).bottomOffset = -(descent - body.d);
  }
  if (variable) {
    Box(variable).leftOffset = dw + w + gMathHS + WidthOf(integrand);
    Box(variable).bottomOffset = -(descent - var.d);
  }
  Centre(lower, w, -(descent - (0.05f * s + dn + HeightOf(lower) + gMathVS)));
  Centre(upper, w, -(0.05f * s + descent + up));
  e.width = dw + w + gMathHS + WidthOf(integrand) + WidthOf(variable);
  e.descent = descent;
  e.ascent = ascent;
  e.composed = 1;
}

void prefix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const uint32_t c = DisplayCharacterOf(node);
  EditData& e = Box(node);
  if (mode == 1) {
    LB_MoveTo(e.left, e.bottom - e.descent, context);
    DIM_DrawChar(kNablaSign, context);
    DIM_DrawChar(c, context);
    return;
  }
  const float p = DIM_CharWidth(kNablaSign) + DIM_CharWidth(c);
  const ExpressionRecord* operand = OperandOrNull(node, 0);
  const Adjusted o = AdjustedAt(operand, gMathFontSize);
  e.width = p + WidthOf(operand);
  e.descent = std::max(gMathFontDescent, o.d);
  e.ascent = std::max(gMathFontAscent, o.a);
  e.composed = 1;
  if (!operand) return;
  Box(operand).leftOffset = p;
  Box(operand).bottomOffset = -(e.descent - o.d);
}
