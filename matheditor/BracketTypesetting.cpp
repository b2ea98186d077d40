#include "expression/OperatorTable.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

constexpr uint32_t kParenUpper = 0x239B, kParenExtension = 0x239C, kParenLower = 0x239D;
constexpr uint32_t kRightParenUpper = 0x239E, kRightParenExtension = 0x239F, kRightParenLower = 0x23A0;
constexpr uint32_t kBraceUpper = 0x23A7, kBraceMiddle = 0x23A8, kBraceLower = 0x23A9, kBraceExtension = 0x23AA;

// Taller than this a bracket is stacked from pieces (two piece heights).
constexpr float kLargeBracket = 2.438f;
constexpr float kParenStep = 0.85f;
constexpr float kBraceStep = 0.8f;

// What is left over the last whole step, in (0, step] for a positive r:
// repeated subtraction would stall on a float far larger than the step.
float RemainderOverSteps(float r, float step) {
  if (!(r > step)) return r;
  const float m = std::fmod(r, step);
  return m > 0 ? m : step;
}

// How many pieces stand at k0, k0 + step, ... below limit; none for a
// height that is not a number of pieces a page could show.
int64_t PiecesBelow(float k0, float limit, float step) {
  constexpr double kMostPieces = 1e6;
  if (!(limit > k0) || !(step > 0)) return 0;
  const double n = std::ceil((static_cast<double>(limit) - k0) / step);
  return n <= kMostPieces ? static_cast<int64_t>(n) : 0;
}

// Draws a piece with its bottom at y; returns the baseline it used.
float DrawPiece(uint32_t piece, float x, float y, MathGraphicsContext* context) {
  const float baseline = y - DIM_CharDescent(piece);
  LB_MoveTo(x, baseline, context);
  DIM_DrawChar(piece, context);
  return baseline;
}

void DrawPiecePair(uint32_t left, uint32_t right, float xl, float xr, float y, MathGraphicsContext* context) {
  const float baseline = DrawPiece(left, xl, y, context);
  LB_MoveTo(xr, baseline, context);
  DIM_DrawChar(right, context);
}

void MeasureChoice(ExpressionRecord* node) {
  const float s = gMathFontSize;
  const ExpressionRecord* upper = node->operands[0];
  const ExpressionRecord* lower = node->operands[1];
  const float w = std::max(WidthOf(upper), WidthOf(lower));
  const float p = 0.167f * s + DIM_CharWidth('(') + 0.071f * s;
  Box(upper).leftOffset = p + (w - WidthOf(upper)) / 2 + 0.025f * s;
  Box(upper).bottomOffset = -(HeightOf(lower) + gMathVS);
  Box(lower).leftOffset = p + (w - WidthOf(lower)) / 2 + 0.025f * s;
  Box(lower).bottomOffset = 0;
  EditData& e = Box(node);
  e.width = 2 * p + w;
  e.ascent = e.descent = (HeightOf(upper) + HeightOf(lower) + gMathVS) / 2;
  e.composed = 0;
}

void MeasureDoubled(ExpressionRecord* node) {
  const float s = gMathFontSize;
  const ExpressionRecord* inner = node->operands[0];
  const float w = DIM_CharWidth('(');
  Box(inner).leftOffset = 0.167f * s + w + 0.071f * s;
  Box(inner).bottomOffset = 0;
  EditData& e = Box(node);
  e.width = 2 * w + WidthOf(inner) + 2 * 0.167f * s + 2 * 0.071f * s;
  e.ascent = Box(inner).ascent;
  e.descent = Box(inner).descent;
  e.composed = 1;
}

void MeasureBracket(ExpressionRecord* node) {
  const float s = gMathFontSize;
  const bool brace = node->opcode == kOpLParen;
  const ExpressionRecord* operand = node->operands[0];
  float w = DIM_CharWidth(brace ? '{' : '(');
  const Adjusted o = AdjustedExtent(operand);
  const float d = std::max(o.d, gMathFontDescent);
  const float a = std::max(o.a, gMathFontAscent);
  // Keep the bracket balanced about the axis within half a size.
  const float above = a - kMathAxis * s, below = d + kMathAxis * s;
  float extraDescent = 0, extraAscent = 0;
  if (above > below + 0.5f * s)
    extraDescent = above - (below + 0.5f * s);
  else if (below > above + 0.5f * s)
    extraAscent = below - (above + 0.5f * s);
  if (brace) {
    // Between one and two brace pieces the brace would look cramped.
    const float t = a + d + extraAscent + extraDescent;
    if (t > 1.275f * s && t < 2.4f * s) {
      extraAscent += 2.4f * s - t;
      extraDescent += 2.4f * s - t;
    }
  }
  EditData& e = Box(node);
  e.descent = d + extraDescent;
  e.ascent = a + extraAscent;
  if (e.ascent + e.descent - 0.2f * s > kLargeBracket * s) w = DIM_CharWidth(kParenLower);
  Box(operand).leftOffset = w + 0.167f * s + 0.071f * s + 0.025f * s;
  Box(operand).bottomOffset = -(e.descent - o.d);
  e.width = (brace ? w : 2 * w) + WidthOf(operand) + 0.334f * s + 0.142f * s;
  e.composed = 1;
}

void DrawLargeParentheses(const ExpressionRecord* node, float h, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const EditData& e = Box(node);
  const float e2 = RemainderOverSteps(h - 1.8f * s, kParenStep * s) / 2;
  const float limit = h - 0.9f * s - e2;
  float w = 0, m = 0;
  if (node->opcode == kOpChoice) {
    w = DIM_CharWidth('(');
    m = std::max(WidthOf(node->operands[0]), WidthOf(node->operands[1]));
  } else {
    w = DIM_CharWidth(kRightParenLower);
    m = WidthOf(node->operands[0]);
  }
  const float xl = e.left + 0.167f * s;
  const float xr = xl + w + m + 0.142f * s + 0.167f * s - 2 * gMathHS;
  const float y0 = e.bottom - gMathVS;
  DrawPiecePair(kParenLower, kRightParenLower, xl, xr, y0 - e2, context);
  const float k0 = e2 + 0.9f * s;
  const int64_t n = h > kLargeBracket * s ? PiecesBelow(k0, limit - gMathVS, kParenStep * s) : 0;
  for (int64_t i = 0; i < n; ++i)
    DrawPiecePair(kParenExtension, kRightParenExtension, xl, xr, y0 - (k0 + static_cast<float>(i) * kParenStep * s),
                  context);
  DrawPiecePair(kParenUpper, kRightParenUpper, xl, xr, y0 - (k0 + static_cast<float>(n) * kParenStep * s), context);
}

// An opening brace from its hooks: extensions below `limit`, the middle
// piece at the first slot whose top, moved by middleBias, reaches h/2.
void DrawStackedBrace(float x0, float yb, float h, float e2, float limit, float middleBias,
                      MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const float xl = x0 + 0.167f * s;
  const float y0 = yb - gMathVS;
  DrawPiece(kBraceLower, xl, y0 - e2, context);
  const float k0 = e2 + kBraceStep * s;
  const int64_t n = PiecesBelow(k0, limit, kBraceStep * s);
  bool middle = false;
  for (int64_t i = 0; i < n; ++i) {
    const float k = k0 + static_cast<float>(i) * kBraceStep * s;
    const bool here = !middle && 0.4f * s + k + middleBias >= h / 2;
    middle = middle || here;
    DrawPiece(here ? kBraceMiddle : kBraceExtension, xl, y0 - k, context);
  }
  DrawPiece(kBraceUpper, xl, y0 - (k0 + static_cast<float>(n) * kBraceStep * s), context);
}

float BraceRemainder(float h, float s) { return h > 2.4f * s ? RemainderOverSteps(h - 2.4f * s, 1.6f * s) / 2 : 0.0f; }

void DrawBrackets(const ExpressionRecord* node, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const EditData& e = Box(node);
  LB_MoveTo(e.left, e.bottom, context);
  const float h = e.ascent + e.descent - 0.2f * s;
  const bool large = h > kLargeBracket * s || node->opcode == kOpChoice;
  if (!large) {
    const float baseline = e.bottom - e.descent;
    LB_MoveTo(e.left + 0.167f * s, baseline, context);
    if (node->opcode == kOpLParen) {
      DIM_DrawChar('{', context);
      return;
    }
    const float w = DIM_CharWidth('(');
    DIM_DrawChar('(', context);
    LB_MoveTo(e.left + 0.167f * s + w + WidthOf(node->operands[0]) + 0.142f * s, baseline, context);
    DIM_DrawChar(')', context);
    return;
  }
  if (node->opcode != kOpLParen) {
    DrawLargeParentheses(node, h, context);
    return;
  }
  // The brace's own height measures from its stretch; the middle piece
  // sits where the stretch is halved.
  const float e2 = BraceRemainder(h, s);
  DrawStackedBrace(e.left, e.bottom, h - 2 * e2, e2, h - 2 * e2 - kBraceStep * s, -e2, context);
}

}  // namespace

float MATH_FindTab(const ExpressionRecord* row) { return row ? Box(row).width / 2 : 0.0f; }

void parens_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  assert(gMathFontSize >= 1.0f);
  const int32_t needed = node->opcode == kOpChoice ? 2 : 1;
  if (mode == 0) {
    if (MeasureEmptyUnlessOperands(node, needed)) return;
    if (node->opcode == kOpChoice)
      MeasureChoice(node);
    else if (node->opcode == kOpId && node->operands[0]->opcode == kOpId)
      MeasureDoubled(node);
    else
      MeasureBracket(node);
  } else if (mode == 1 && node->operandCount >= needed) {
    DrawBrackets(node, context);
  }
}

void branch_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  assert(gMathFontSize >= 1.0f);
  const float s = gMathFontSize;
  EditData& e = Box(node);
  if (mode == 1) {
    LB_MoveTo(e.left, e.bottom, context);
    const float h = e.ascent + e.descent;
    const float e2 = BraceRemainder(h, s);
    DrawStackedBrace(e.left, e.bottom, h, e2, h - e2 - kBraceStep * s - 3 * gMathVS, 3 * gMathVS, context);
    return;
  }
  if (mode != 0) return;
  const int32_t n = node->operandCount;
  const float w = DIM_CharWidth('{');
  float tab = 0, right = 0, stack = 0;
  for (int32_t i = 0; i < n; ++i) {
    const ExpressionRecord* row = node->operands[i];
    tab = std::max(tab, MATH_FindTab(row));
    right = std::max(right, WidthOf(row) - MATH_FindTab(row));
    stack += HeightOf(row) + (i > 0 ? 0.5f * s : 0.0f);
  }
  // A short stack is padded to the height of a full brace.
  const float pad = stack < 2.4f * s ? 2.4f * s - stack + gMathVS : 0.0f;
  float y = stack;
  for (int32_t i = 0; i < n; ++i) {
    ExpressionRecord* row = node->operands[i];
    y -= HeightOf(row) + (i > 0 ? 0.5f * s : 0.0f);
    Box(row).bottomOffset = -y - pad;
    Box(row).leftOffset = w + 0.167f * s + (tab - MATH_FindTab(row)) + 0.071f * s;
  }
  e.width = w + tab + right + 0.334f * s + 0.142f * s;
  e.descent = stack / 2 + pad - kMathAxis * s;
  e.ascent = stack / 2 + pad + kMathAxis * s;
  e.composed = 1;
}
