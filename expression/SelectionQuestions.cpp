#include "expression/SelectionQuestions.h"

#include "expression/MoveQuestions.h"
#include "expression/TreeWalking.h"

namespace {

bool IsPromptNode(const ExpressionRecord* node) { return node && node->opcode == kOpPrompt; }
bool IsAtomNode(const ExpressionRecord* node) { return node && node->opcode == kOpAtom; }
bool IsTextCaret(MathIPType type) { return type == kIPStringText || type == kIPNumberText || type == kIPNameText; }

bool RangeIsValid(const MERecord* record) {
  const ExpressionRecord* node = record->selected;
  return node && record->rangeStart >= 0 && record->rangeStart <= record->rangeEnd &&
         record->rangeEnd < node->operandCount;
}

bool OperandsAreAtoms(const ExpressionRecord* node, int32_t first, int32_t last) {
  for (int32_t i = first; i <= last; ++i)
    if (!IsAtomNode(node->operands[i])) return false;
  return true;
}

}  // namespace

bool IsTypingInString() { return gMathCurrentMEH && gMathCurrentMEH->caretType == kIPStringText; }

bool DIM_CanSelectAll() { return gMathCurrentMEH && !IsPrompt(gMathCurrentMEH); }

bool DIM_SelectionIsSimplifyable() {
  const MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || IsPromptNode(r->selected)) return false;
  return r->caretType == kIPWholeNode || r->caretType == kIPOperandRange || r->caretType == kIPMatrixBlock;
}

bool DIM_CanCutCopyOrClear() {
  const MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || IsPromptNode(r->selected)) return false;
  switch (r->caretType) {
    case kIPWholeNode:
    case kIPOperandRange:
    case kIPOperator:
    case kIPMatrixBlock: return true;
    default: return IsTextCaret(r->caretType) && r->rangeStart != r->rangeEnd;
  }
}

bool DIM_SelectionIsGrabbable() {
  const MERecord* r = gMathCurrentMEH;
  if (!r || (r->caretType != kIPWholeNode && r->caretType != kIPOperandRange)) return false;
  return FACTOR_CanMove();
}

bool DIM_SelectionCanBeTurnedIntoAnAtomicString() {
  const MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return false;
  const ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode: return node->opcode == kOpTimes && OperandsAreAtoms(node, 0, node->operandCount - 1);
    case kIPOperandRange:
      return node->opcode == kOpTimes && RangeIsValid(r) && OperandsAreAtoms(node, r->rangeStart, r->rangeEnd);
    case kIPAfterNode: {
      if (!IsAtomNode(node) || !node->parent || node->parent->opcode != kOpTimes) return false;
      const int32_t place = OP_NUM(node);
      return place > 0 && IsAtomNode(node->parent->operands[place - 1]);
    }
    default: return false;
  }
}

bool IsBlinkingCaret(const MERecord* record) {
  if (!record) return false;
  if (IsPromptNode(record->selected)) return true;
  const MathIPType type = record->caretType;
  if (type > kIPNameText || type == kIPAfterNode || type == kIPBeforeNode) return true;
  return IsTextCaret(type) && record->rangeStart == record->rangeEnd;
}
