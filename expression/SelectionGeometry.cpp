#include "expression/SelectionGeometry.h"

#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

#include <algorithm>
#include <string>

namespace {

const ExpressionRecord* OperandAt(const ExpressionRecord* node, int32_t i) {
  return i >= 0 && i < node->operandCount ? node->operands[i] : nullptr;
}

FRect BoundsOf(const ExpressionRecord* node) {
  FRect box = {};
  ME_GetScreenBounds(node, box);
  return box;
}

bool IsNamedFunctionOfOne(const ExpressionRecord* node) { return IsFxn(node->opcode) && node->operandCount == 1; }

// The power whose base the node is, or null.
const ExpressionRecord* PowerOfBase(const ExpressionRecord* node) {
  const ExpressionRecord* parent = node->parent;
  return parent && parent->opcode == kOpPower && parent->operandCount == 2 && OP_NUMeq(node, 0) ? parent : nullptr;
}

void OperandRangeBox(const MERecord* r, FRect& first) {
  const ExpressionRecord* node = r->selected;
  const ExpressionRecord* from = OperandAt(node, r->rangeStart);
  const ExpressionRecord* to = OperandAt(node, r->rangeEnd);
  if (!from || !to) return;
  if (node->opcode == kOpBranch) {
    first.top = BoundsOf(from).top;
    first.bottom = BoundsOf(to).bottom;
  } else {
    first.left = BoundsOf(from).left;
    first.right = BoundsOf(to).right;
  }
}

void MatrixBlockBox(const MERecord* r, FRect& first) {
  const ExpressionRecord* matrix = r->selected;
  const int32_t columns = matrix->payload.shape.columns;
  if (matrix->opcode != kOpMatrix || columns == 0) return;
  const int32_t count = matrix->operandCount;
  if (r->rangeStart < 0 || r->rangeEnd < 0 || r->rangeStart >= count || r->rangeEnd >= count) return;
  const int32_t rowLow = std::min(r->rangeStart / columns, r->rangeEnd / columns);
  const int32_t rowHigh = std::max(r->rangeStart / columns, r->rangeEnd / columns);
  const int32_t columnLow = std::min(r->rangeStart % columns, r->rangeEnd % columns);
  const int32_t columnHigh = std::max(r->rangeStart % columns, r->rangeEnd % columns);
  bool any = false;
  for (int32_t row = rowLow; row <= rowHigh; ++row)
    for (int32_t column = columnLow; column <= columnHigh; ++column) {
      const ExpressionRecord* element = OperandAt(matrix, row * columns + column);
      if (!element || !element->editData) continue;
      const FRect box = BoundsOf(element);
      if (!any) {
        first = box;
        any = true;
        continue;
      }
      first.top = std::min(first.top, box.top);
      first.left = std::min(first.left, box.left);
      first.bottom = std::max(first.bottom, box.bottom);
      first.right = std::max(first.right, box.right);
    }
}

float NumberTextPosition(const ExpressionRecord* number, int32_t offset, const MathEditorHooks& hooks) {
  float position = 0;
  for (int32_t i = 0; i < offset && i < kNumberTextLength && number->payload.number->text[i]; ++i)
    position += hooks.charWidth ? hooks.charWidth(number->payload.number->text[i]) : 0;
  return position;
}

// A string is shown between curly quotes.
std::u16string QuotedString(const char16_t* text) {
  std::u16string quoted(1, u'\u201C');
  if (text) quoted.append(text);
  quoted.push_back(u'\u201D');
  return quoted;
}

// The horizontal position of a text offset of the node; false when the node
// has no text of the caret's kind.
bool TextPosition(const ExpressionRecord* node, MathIPType type, int32_t offset, const MathEditorHooks& hooks,
                  float& position) {
  const auto positionIn = [&](const std::u16string& text, int32_t at) {
    at = std::clamp<int32_t>(at, 0, static_cast<int32_t>(text.size()));
    return hooks.offsetToPosition ? hooks.offsetToPosition(text.c_str(), at) : 0.0f;
  };
  switch (type) {
    case kIPNameText:
      if (node->opcode != kOpAtom) return false;
      position = positionIn(GetVariableStringFromID(node->payload.id), offset);
      return true;
    case kIPStringText:
      if (node->opcode != kOpString) return false;
      position = positionIn(QuotedString(node->text), offset + 1);
      return true;
    case kIPNumberText:
      if (node->opcode != kOpNumber || !node->payload.number) return false;
      position = NumberTextPosition(node, offset, hooks);
      return true;
    default: return false;
  }
}

void TextRangeBox(const MERecord* r, FRect& first) {
  ExpressionRecord* node = r->selected;
  const MathEditorHooks& hooks = CurrentMathEditorHooks();
  if (hooks.setTextStyle && node->editData && node->editData->sizeLevel < 6)
    hooks.setTextStyle(node, gMathScriptSize[node->editData->sizeLevel]);
  float low = 0, high = 0;
  if (!TextPosition(node, r->caretType, std::min(r->rangeStart, r->rangeEnd), hooks, low) ||
      !TextPosition(node, r->caretType, std::max(r->rangeStart, r->rangeEnd), hooks, high))
    return;
  const float nodeLeft = first.left;
  first.left = nodeLeft + low;
  first.right = nodeLeft + high;
}

void OperatorBox(const MERecord* r, FRect& first) {
  const ExpressionRecord* node = r->selected;
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  if (!info) return;
  if (info->syntacticKind == kPrefix) {
    const ExpressionRecord* operand = OperandAt(node, 0);
    if (!operand) return;
    first.right = BoundsOf(operand).left;
    if (const ExpressionRecord* power = IsNamedFunctionOfOne(node) ? PowerOfBase(node) : nullptr) {
      const FRect exponent = BoundsOf(power->operands[1]);
      first.right -= exponent.right - exponent.left;
    }
  } else if (node->opcode == kOpDot || node->opcode == kOpCross || info->syntacticKind == kInfixList) {
    const ExpressionRecord* before = OperandAt(node, r->rangeStart);
    const ExpressionRecord* after = OperandAt(node, r->rangeStart + 1);
    if (!before || !after) return;
    first.left = BoundsOf(before).right;
    first.right = BoundsOf(after).left;
  }
}

void CompanionBox(const ExpressionRecord* node, const FRect& first, FRect& second) {
  if (IsNamedFunctionOfOne(node)) {
    const ExpressionRecord* power = PowerOfBase(node);
    if (power && power->editData && power->editData->overflow == 0 && power->operands[1]->editData) {
      second = BoundsOf(power->operands[1]);
      second.top = std::max(second.top, first.top);
    }
    return;
  }
  if (node->opcode != kOpOpTotal && node->opcode != kOpOpPartial) return;
  const ExpressionRecord* application = node->parent;
  if (!application || application->opcode != kOpFunction) return;
  const ExpressionRecord* variable = OperandAt(application, 1);
  if (!variable || (variable->opcode != kOpAtom && variable->opcode != kOpIndexes) || !variable->editData) return;
  second = BoundsOf(variable);
  second.top = std::max(second.top, first.top);
  second.right = std::min(second.right, first.right);
}

}  // namespace

void ME_GetScreenBounds(const ExpressionRecord* node, FRect& box) {
  if (!node || !node->editData) return;
  const EditData& e = *node->editData;
  box = {e.bottom - (e.ascent + e.descent), e.left, e.bottom, e.left + e.width};
}

void ME_GetIPRect(FRect& first, FRect& second) {
  if (const auto layOut = CurrentMathEditorHooks().layOutCurrentFormula) layOut();
  first = {};
  second = {};
  const MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ME_GetScreenBounds(r->selected, first);
  switch (r->caretType) {
    case kIPOperandRange: OperandRangeBox(r, first); break;
    case kIPMatrixBlock: MatrixBlockBox(r, first); break;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText: TextRangeBox(r, first); break;
    case kIPOperator: OperatorBox(r, first); break;
    case kIPWholeNode: CompanionBox(r->selected, first, second); break;
    default: break;
  }
}

void ME_InvertRange(MathGraphicsContext* context) {
  const MERecord* r = gMathCurrentMEH;
  if (!r || !r->active || !r->layoutValid) return;
  switch (r->caretType) {
    case kIPWholeNode:
      if (gShowPromptAsIP && r->selected && r->selected->opcode == kOpPrompt) return;
      break;
    case kIPOperandRange:
    case kIPOperator:
    case kIPMatrixBlock: break;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText:
      if (r->rangeStart == r->rangeEnd) return;
      break;
    default: return;
  }
  gMathGlobalOffset_y = r->drawRect[kDrawTop];
  gMathGlobalOffset_x = r->drawRect[kDrawLeft];
  FRect first, second;
  ME_GetIPRect(first, second);
  const auto invert = CurrentMathEditorHooks().invertRect;
  if (!invert) return;
  invert(first, 0, context);
  if (second.left != second.right) {
    second.top = first.top;
    invert(second, 1, context);
  }
}
