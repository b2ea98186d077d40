#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "CoreUtilities/text/OurString.h"
#include "matheditor/Composing.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/Typesetters.h"

#include <algorithm>

namespace {

constexpr uint32_t kPlusSign = 0x002B;
constexpr uint32_t kMultiplyDot = 0x00B7;
constexpr int32_t kFirstNameId = 256;

uint8_t KindOfNode(const ExpressionRecord* node) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return info ? info->syntacticKind : 0xFF;
}

bool IsSignNode(const ExpressionRecord* node) {
  return node->opcode == kOpMinus || node->opcode == kOpPlusOrMinus || node->opcode == kOpMinusOrPlus;
}

bool IsMultiLetterName(const ExpressionRecord* node) {
  return node->opcode == kOpAtom && node->payload.id >= kFirstNameId &&
         OurStringLength(GetVariableStringFromID(node->payload.id)) > 1;
}

// Space before and after the sign of a list, and the sign itself.
struct Spacing {
  float before;
  float after;
  uint32_t character;   // 0 for times and if
  const UniChar* name;  // if only
};

Spacing SpacingOf(const ExpressionRecord* node, float s) {
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  const uint32_t c = info ? info->displayCharacter : 0;
  switch (node->opcode) {
    case kOpTimes: return {0, 0, 0, nullptr};
    case kOpIf: return {0.25f * s, 0.25f * s, 0, info ? info->name : nullptr};
    case kOpEquals: {
      const float side = node->parent ? 0.333f * s : 0.5f * s;
      return {side, side, c, nullptr};
    }
    case kOpComma: return {0, 0.25f * s, c, nullptr};
    default: return {0.25f * s, 0.25f * s, c, nullptr};
  }
}

float SignWidth(const Spacing& spacing) {
  if (spacing.name) return DIM_StringWidth(spacing.name);
  return spacing.character ? DIM_CharWidth(spacing.character) : 0.0f;
}

// The plus sign before a negation gives way to the negation's own sign.
bool SignGivesWay(const ExpressionRecord* node, int32_t next) {
  return node->opcode == kOpPlus && next > 0 && IsSignNode(node->operands[next]);
}

bool ShowsDot(const ExpressionRecord* node, int32_t i) {
  return node->opcode == kOpTimes && i + 1 < node->operandCount &&
         DrawDotBetweenTermsInMultiply(node->operands[i], node->operands[i + 1]);
}

void Measure(ExpressionRecord* node, float s) {
  const Spacing spacing = SpacingOf(node, s);
  const float gap = node->opcode == kOpTimes ? 0.077f * s : SignWidth(spacing) + spacing.before + spacing.after;
  const int32_t n = node->operandCount;
  float x = 0, descent = 0, ascent = gMathFontAscent;
  for (int32_t i = 0; i < n; ++i) {
    EditData& o = Box(node->operands[i]);
    const float t = o.composed ? 0.0f : kMathAxis * s;
    descent = std::max(descent, o.descent - t);
    ascent = std::max(ascent, o.ascent + t);
    if (SignGivesWay(node, i)) x -= DIM_CharWidth(kPlusSign) + 0.25f * s;
    o.leftOffset = x;
    x += o.width;
    if (i == n - 1) continue;
    x += gap;
    if (ShowsDot(node, i)) x += DIM_CharWidth(kMultiplyDot);
  }
  for (int32_t i = 0; i < n; ++i) {
    EditData& o = Box(node->operands[i]);
    const float t = o.composed ? 0.0f : kMathAxis * s;
    o.bottomOffset = (o.descent - t) - descent;
  }
  EditData& e = Box(node);
  e.width = x;
  e.descent = descent;
  e.ascent = ascent;
  e.composed = 1;
}

void Draw(ExpressionRecord* node, float s, MathGraphicsContext* context) {
  const Spacing spacing = SpacingOf(node, s);
  const EditData& e = Box(node);
  const float y = e.bottom - e.descent;
  float x = e.left;
  for (int32_t i = 0; i + 1 < node->operandCount; ++i) {
    x += spacing.before + Box(node->operands[i]).width;
    if (node->opcode == kOpTimes) {
      if (ShowsDot(node, i)) {
        LB_MoveTo(x + 0.077f * s, y, context);
        DIM_DrawChar(kMultiplyDot, context);
        x += 0.077f * s + DIM_CharWidth(kMultiplyDot);
      } else {
        x += 0.077f * s;
      }
      continue;
    }
    if (SignGivesWay(node, i + 1)) continue;
    LB_MoveTo(x, y, context);
    if (spacing.name)
      DIM_DrawString(spacing.name, context);
    else
      DIM_DrawChar(spacing.character, context);
    x += spacing.after + SignWidth(spacing);
  }
}

}  // namespace

bool DrawDotBetweenTermsInMultiply(const ExpressionRecord* left, const ExpressionRecord* right) {
  if (KindOfNode(left) == kPrefix) return !IsEllipsis(right);
  if (left->opcode == kOpPower && left->operandCount >= 1 && KindOfNode(left->operands[0]) == kPrefix)
    return !IsEllipsis(right);
  if (left->opcode == kOpPrompt || right->opcode == kOpPrompt) return true;
  if (left->opcode == kOpNumber)
    return right->opcode == kOpNumber || right->opcode == kOpMinus ||
           (right->opcode == kOpPower && right->operandCount >= 1 && right->operands[0]->opcode == kOpNumber);
  return IsMultiLetterName(left) && IsMultiLetterName(right);
}

void infix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  if (mode == 0)
    Measure(node, s);
  else
    Draw(node, s, context);
}
