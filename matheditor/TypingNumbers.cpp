#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/OwnedTree.h"
#include "expression/SelectionGrouping.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/Deletion.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"
#include "matheditor/TypingHelpers.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// Digits appended or put in front keep a number to this many characters;
// typed inside it, to one less than the text buffer.
constexpr int32_t kMostTypedAroundDigits = 18;
constexpr int32_t kMostTypedInsideDigits = kNumberTextLength - 1;
constexpr int32_t kMostDecimalTextLength = 20;

UniChar* DigitsOf(ExpressionRecord* number) { return number->payload.number->text; }

// A number the algebra computed has no text until the next layout writes
// it: digits typed against it need that text first.
void WriteTextOfComputedNumber(MERecord* r) {
  if (!IsNumber(r->selected) || r->caretType == kIPNumberText) return;
  const NumberBlock& number = *r->selected->payload.number;
  if (number.text[0] == 0 && !std::isnan(number.value)) ORIGINS_NumbersToStrings(r->selected);
}

void Reread(ExpressionRecord* number) { number->payload.number->value = Str2D(DigitsOf(number)); }

void InsertUnit(ExpressionRecord* number, int32_t at, UniChar unit) {
  UniChar* text = DigitsOf(number);
  const int32_t length = TextLength(text);
  for (int32_t i = length + 1; i > at; --i) text[i] = text[i - 1];
  text[at] = unit;
  Reread(number);
}

bool HoldsDecimal(const UniChar* text) {
  for (; *text; ++text)
    if (*text == UniChar(gDefaultDecimalTabChar)) return true;
  return false;
}

// A number of the text in the caret node's place, caret after it.
void ReplaceWithNumber(std::initializer_list<UniChar> units) {
  MERecord* r = gMathCurrentMEH;
  Tree number(Number(0));
  if (!number) return;
  int32_t i = 0;
  for (UniChar unit : units) DigitsOf(number.get())[i++] = unit;
  DigitsOf(number.get())[i] = 0;
  Reread(number.get());
  ExpressionRecord* place = r->selected;
  if (!DeleteOperandsTransferAndDispose(std::move(number), place)) return;
  MOVE_SetIP(place, kIPAfterNode);
}

// Climbs out of a parenthesised function argument, so a factor typed
// after it multiplies the whole application.
ExpressionRecord* AfterFunctionClimb(ExpressionRecord* node) {
  if (node->opcode != kOpId || !IsAfterFunction(node)) return node;
  while (node->parent && IsAfterFunction(node)) node = node->parent;
  return node;
}

// A new factor before the caret node (a new term before a negated one),
// selected.
bool NewFactorBefore() {
  return KEY_NOpBeforeExpr(gMathCurrentMEH->selected->opcode == kOpMinus ? kOpPlus : kOpTimes) != nullptr;
}

bool NewFactorAfter() {
  MERecord* r = gMathCurrentMEH;
  r->selected = AfterFunctionClimb(r->selected);
  return KEY_NOpAfterExpr(kOpTimes) != nullptr;
}

void ReplaceWithDigit(uint32_t c) { ReplaceWithNumber({UniChar(c)}); }

}  // namespace

void KEY_DigitKey(uint32_t c) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  WriteTextOfComputedNumber(r);
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  if (r->caretType == kIPOperator) DELETE_OperatorNoSetIp();
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode:
    case kIPOperandRange: ReplaceWithDigit(c); break;
    case kIPAfterNode:
      if (IsNumber(node)) {
        if (TextLength(DigitsOf(node)) < kMostTypedAroundDigits)
          InsertUnit(node, TextLength(DigitsOf(node)), UniChar(c));
      } else if (NewFactorAfter()) {
        ReplaceWithDigit(c);
      }
      break;
    case kIPBeforeNode:
      if (IsNumber(node)) {
        if (TextLength(DigitsOf(node)) < kMostTypedAroundDigits) {
          InsertUnit(node, 0, UniChar(c));
          r->caretType = kIPNumberText;
          r->rangeStart = r->rangeEnd = 1;
        }
      } else if (NewFactorBefore()) {
        ReplaceWithDigit(c);
      }
      break;
    case kIPNumberText:
      if (r->rangeStart != r->rangeEnd) ClearTextRange();
      if (r->caretType == kIPWholeNode) {
        ReplaceWithDigit(c);  // the whole number was cleared: its prompt takes the digit
      } else if (IsNumber(r->selected) && TextLength(DigitsOf(r->selected)) < kMostTypedInsideDigits) {
        InsertUnit(r->selected, r->rangeStart, UniChar(c));
        r->rangeEnd = ++r->rangeStart;
      }
      break;
    default: return;
  }
  EditorRecalculateAndDraw();
}

namespace {

bool TakesDecimal(ExpressionRecord* number) {
  const UniChar* text = DigitsOf(number);
  return TextLength(text) <= kMostDecimalTextLength && !HoldsDecimal(text) &&
         !std::isinf(number->payload.number->value);
}

void DotKey(bool nested) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  WriteTextOfComputedNumber(r);
  ExpressionRecord* node = r->selected;
  const UniChar decimal = UniChar(gDefaultDecimalTabChar);
  if (r->caretType == kIPNumberText && IsNumber(node)) {
    if (r->rangeStart != r->rangeEnd) ClearTextRange();
    if (r->caretType == kIPWholeNode) {
      ReplaceWithNumber({u'0', decimal});
    } else if (TakesDecimal(r->selected)) {
      InsertUnit(r->selected, r->rangeStart, decimal);
      r->rangeEnd = ++r->rangeStart;
    }
  } else if (r->caretType == kIPAfterNode && IsNumber(node)) {
    if (TakesDecimal(node)) InsertUnit(node, TextLength(DigitsOf(node)), decimal);
  } else if (r->caretType == kIPBeforeNode && IsNumber(node)) {
    if (TakesDecimal(node)) {
      InsertUnit(node, 0, decimal);
      r->caretType = kIPNumberText;
      r->rangeStart = r->rangeEnd = 1;
    }
  } else if (node->opcode == kOpPrompt) {
    ReplaceWithNumber({u'0', decimal});
  } else if (r->caretType <= kIPBeforeNode && !nested) {
    MATH_FunctionCode('0');
    DotKey(true);
    return;
  }
  EditorRecalculateAndDraw();
}

}  // namespace

void KEY_DotKey() { DotKey(false); }

// The selected digits become a node of their own and are selected: the
// whole number, or a factor split off between the digits around it.
bool KEY_SelectDigitRange() {
  MERecord* r = gMathCurrentMEH;
  if (!r || r->caretType != kIPNumberText || !IsNumber(r->selected) || r->rangeStart == r->rangeEnd) return false;
  ExpressionRecord* number = r->selected;
  const UniChar* text = DigitsOf(number);
  const int32_t length = TextLength(text);
  const int32_t from = std::clamp(std::min(r->rangeStart, r->rangeEnd), 0, length);
  const int32_t to = std::clamp(std::max(r->rangeStart, r->rangeEnd), 0, length);
  const auto reads = [text](int32_t begin, int32_t end) {
    std::vector<UniChar> part(text + begin, text + end);
    part.push_back(0);
    return begin < end && !std::isnan(Str2D(part.data()));
  };
  if (!reads(from, to) || (from > 0 && !reads(0, from)) || (to < length && !reads(to, length))) return false;
  const auto splitAt = [r, number](int32_t at) {
    r->selected = number;
    r->caretType = kIPNumberText;
    r->rangeStart = r->rangeEnd = at;
    KEY_SplitNumber();
    return r->selected == number && r->caretType == kIPAfterNode && IsInnerFactor(number);
  };
  if (to < length && !splitAt(to)) return false;
  if (from == 0) {
    MOVE_SetIP(number, kIPWholeNode);
    return true;
  }
  if (!splitAt(from)) return false;
  MOVE_SetIP(number->parent->operands[IndexInParent(number) + 1], kIPWholeNode);
  return true;
}

void KEY_SplitNumber() {
  MERecord* r = gMathCurrentMEH;
  if (!r || r->caretType != kIPNumberText || !IsNumber(r->selected)) return;
  if (r->rangeStart != r->rangeEnd) ClearTextRange();
  if (r->caretType != kIPNumberText) return;
  ExpressionRecord* number = r->selected;
  UniChar* text = DigitsOf(number);
  const int32_t length = TextLength(text);
  const int32_t at = r->rangeStart;
  // A split that would leave a part without a readable number (at either
  // end, or the decimal character alone) leaves the number on that side.
  std::vector<UniChar> head(text, text + std::max(at, 0));
  head.push_back(0);
  const bool headReads = at > 0 && !std::isnan(Str2D(head.data()));
  if (!headReads || at >= length || std::isnan(Str2D(text + at))) {
    MOVE_SetIP(number, headReads ? kIPAfterNode : kIPBeforeNode);
    return;
  }
  Tree tail(Number(0));
  if (!tail) return;
  for (int32_t i = at; i <= length; ++i) DigitsOf(tail.get())[i - at] = text[i];
  r->selected = number;
  ExpressionRecord* place = KEY_NOpAfterExpr(kOpTimes);
  if (!place) return;
  text[at] = 0;
  Reread(number);
  Reread(tail.get());
  DeleteOperandsTransferAndDispose(std::move(tail), place);
  MOVE_SetIP(number, kIPAfterNode);
}
