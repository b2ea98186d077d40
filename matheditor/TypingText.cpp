#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The UTF-16 units of a character: a surrogate pair above 0xFFFF.
std::vector<UniChar> Units(uint32_t c) {
  if (c <= 0xFFFF) return {UniChar(c)};
  c -= 0x10000;
  return {UniChar(0xD800 + (c >> 10)), UniChar(0xDC00 + (c & 0x3FF))};
}

bool IsLowSurrogate(UniChar unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The caret's range, ordered, within the text and widened to whole
// characters: an edit never splits a surrogate pair.
std::pair<int32_t, int32_t> ClampedRange(const MERecord* r, const UniChar* text) {
  const int32_t length = TextLength(text);
  int32_t lo = std::clamp(std::min(r->rangeStart, r->rangeEnd), 0, length);
  int32_t hi = std::clamp(std::max(r->rangeStart, r->rangeEnd), 0, length);
  if (lo > 0 && lo < length && IsLowSurrogate(text[lo])) --lo;
  if (hi > 0 && hi < length && IsLowSurrogate(text[hi])) ++hi;
  return {lo, hi};
}

// text with [lo, hi) replaced by the units.
std::vector<UniChar> Spliced(const UniChar* text, int32_t lo, int32_t hi, const std::vector<UniChar>& units) {
  const int32_t length = TextLength(text);
  std::vector<UniChar> out(text, text + lo);
  out.insert(out.end(), units.begin(), units.end());
  out.insert(out.end(), text + hi, text + length);
  out.push_back(0);
  return out;
}

void ReplaceWithPrompt(ExpressionRecord* node) {
  if (!DeleteOperandsTransferAndDispose(Tree(NewPrompt()), node)) return;
  MOVE_SetIP(node, kIPWholeNode);
}

bool IsAtomNode(const ExpressionRecord* node) { return node && node->opcode == kOpAtom; }
bool IsString(const ExpressionRecord* node) { return node && node->opcode == kOpString; }
void SetStringText(ExpressionRecord* string, const std::vector<UniChar>& text) {
  UniChar* made = new UniChar[text.size()];
  std::copy(text.begin(), text.end(), made);
  delete[] string->text;
  string->text = made;
}

// The atom takes the name; false when no id could be had for it.
bool Rename(ExpressionRecord* atom, const std::vector<UniChar>& name) {
  const int32_t id = GetVariableIDFromString(name.data());
  if (id == kNoVariableID) return false;
  atom->payload.id = id;
  return true;
}

}  // namespace

void ClearTextRange() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (r->caretType == kIPStringText && IsString(node)) {
    const auto [lo, hi] = ClampedRange(r, node->text);
    SetStringText(node, Spliced(node->text, lo, hi, {}));
    r->rangeStart = r->rangeEnd = lo;
  } else if (r->caretType == kIPNumberText && IsNumber(node)) {
    NumberBlock& block = *node->payload.number;
    const auto [lo, hi] = ClampedRange(r, block.text);
    const std::vector<UniChar> text = Spliced(block.text, lo, hi, {});
    std::copy(text.begin(), text.end(), block.text);
    block.value = Str2D(block.text);
    r->rangeStart = r->rangeEnd = lo;
    // "" or a lone decimal character: a number that reads as nothing.
    if (std::isnan(block.value)) ReplaceWithPrompt(node);
  } else if (r->caretType == kIPNameText && IsAtomNode(node)) {
    const UniChar* name = AtomName(node);
    const auto [lo, hi] = ClampedRange(r, name);
    const std::vector<UniChar> left = Spliced(name, lo, hi, {});
    r->rangeStart = r->rangeEnd = lo;
    if (left.size() == 1) {
      ReplaceWithPrompt(node);
    } else {
      Rename(node, left);
    }
  }
}

void KEY_InString(uint32_t c) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !IsString(r->selected)) return;
  if (r->rangeStart != r->rangeEnd) ClearTextRange();
  ExpressionRecord* string = r->selected;
  const std::vector<UniChar> units = Units(c);
  const auto [at, unused] = ClampedRange(r, string->text);
  SetStringText(string, Spliced(string->text, at, at, units));
  r->rangeStart = r->rangeEnd = at + int32_t(units.size());
  EditorRecalculateAndDraw();
}

void KEY_InLongName(uint32_t c) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !IsAtomNode(r->selected)) return;
  if (r->rangeStart != r->rangeEnd) ClearTextRange();
  if (r->caretType != kIPNameText) return;
  ExpressionRecord* atom = r->selected;
  const std::vector<UniChar> units = Units(c);
  const UniChar* name = AtomName(atom);
  const auto [at, unused] = ClampedRange(r, name);
  if (Rename(atom, Spliced(name, at, at, units))) r->rangeStart = r->rangeEnd = at + int32_t(units.size());
  EditorRecalculateAndDraw();
}

void KEY_Backslash() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (r->caretType == kIPNameText && IsAtomNode(node)) {
    const UniChar* name = AtomName(node);
    if (name[0] == u'\\' && name[1] == 0) {
      ReplaceWithPrompt(node);
    } else if (name[0] == u'\\') {
      const std::vector<UniChar> rest(name + 1, name + TextLength(name) + 1);
      Rename(node, rest);
    }
    r->caretType = kIPWholeNode;
  } else {
    if (node->opcode != kOpPrompt && !KEY_NOpAfterExpr(kOpTimes)) return;
    // Not typed as a letter: a backslash joined into a known name would put
    // the caret inside the wrong name.
    const UniChar backslash[2] = {u'\\', 0};
    const int32_t id = GetVariableIDFromString(backslash);
    if (!DeleteOperandsTransferAndDispose(Tree(id == kNoVariableID ? nullptr : Atomic(id)), r->selected)) return;
    r->caretType = kIPNameText;
    r->rangeStart = r->rangeEnd = 1;
  }
  EditorRecalculateAndDraw();
}
