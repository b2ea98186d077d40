#include "matheditor/FormulaClipboard.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/OwnedTree.h"
#include "expression/RangeCopying.h"
#include "expression/SelectionGrouping.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/Deletion.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

ExpressionRecord* gMathClipboard = nullptr;
int32_t gMathClipboardType = 0;

namespace {

constexpr int32_t kMostPastedDigits = 22;

void Fill(ExpressionRecord* subtree, int32_t type) {
  DisposExpr(gMathClipboard);
  gMathClipboard = subtree;
  gMathClipboardType = type;
}

// The selected block of a matrix: rows and columns, first and last.
struct Block {
  int32_t row0, row1, column0, column1;
};

bool SelectedBlock(const MERecord* r, Block& block) {
  const ExpressionRecord* matrix = r->selected;
  if (r->caretType != kIPMatrixBlock || matrix->opcode != kOpMatrix) return false;
  const int32_t columns = matrix->payload.shape.columns;
  const int32_t count = matrix->operandCount;
  if (columns <= 0 || r->rangeStart < 0 || r->rangeEnd >= count || r->rangeStart > r->rangeEnd) return false;
  block = {r->rangeStart / columns, r->rangeEnd / columns, r->rangeStart % columns, r->rangeEnd % columns};
  return block.column0 <= block.column1;
}

// The selected digits as a new number; null when they do not read as one.
ExpressionRecord* CopyDigits(const MERecord* r) {
  const UniChar* text = r->selected->payload.number->text;
  const int32_t length = TextLength(text);
  const int32_t lo = std::clamp(std::min(r->rangeStart, r->rangeEnd), 0, length);
  const int32_t hi = std::clamp(std::max(r->rangeStart, r->rangeEnd), 0, length);
  std::vector<UniChar> digits(text + lo, text + hi);
  digits.push_back(0);
  const double value = Str2D(digits.data());
  if (std::isnan(value)) return nullptr;
  ExpressionRecord* number = Number(value);
  if (number) std::copy(digits.begin(), digits.end(), number->payload.number->text);
  return number;
}

bool HasTextRange(const MERecord* r) { return r->rangeStart != r->rangeEnd; }

// A copy of the subtree; null when memory ran out part way, for the copy
// would then be the number NaN.
Tree CompleteCopy(const ExpressionRecord* subtree) {
  Tree copy(ExprCopyWithKern(subtree));
  if (gMathError.load() != 0) copy.reset();
  return copy;
}

void PasteDigits(MERecord* r) {
  ExpressionRecord* number = r->selected;
  UniChar* text = number->payload.number->text;
  const UniChar* pasted = gMathClipboard->payload.number->text;
  const int32_t length = TextLength(text);
  const int32_t add = TextLength(pasted);
  if (length + add > kMostPastedDigits) return;
  const int32_t at = std::clamp(r->rangeStart, 0, length);
  std::vector<UniChar> joined(text, text + at);
  joined.insert(joined.end(), pasted, pasted + add);
  joined.insert(joined.end(), text + at, text + length + 1);
  std::copy(joined.begin(), joined.end(), text);
  number->payload.number->value = Str2D(text);
  r->rangeStart = r->rangeEnd = at + add;
  if (r->rangeStart == length + add) MOVE_SetIP(number, kIPAfterNode);
}

// A cleared place goes only from a list (a term, a factor, an element, an
// index): from a template, removing it would move the other operand into
// the template's place, an exponent down to the baseline; from a relation,
// the sign would go with the side.
bool ClearRemovesPlace(const ExpressionRecord* prompt) {
  const ExpressionRecord* parent = prompt->parent;
  return parent && parent->operandCount > 1 && !IsRelation(parent) &&
         (SyntacticKindOf(parent) == kInfixList || parent->opcode == kOpIndexes || parent->opcode == kOpMatrix);
}

}  // namespace

void ClearMathClipboard() { Fill(nullptr, 0); }

ExpressionRecord* MATH_CopySubMatrix() {
  MERecord* r = gMathCurrentMEH;
  Block b;
  if (!r || !r->selected || !SelectedBlock(r, b)) return nullptr;
  const ExpressionRecord* matrix = r->selected;
  const int32_t columns = matrix->payload.shape.columns;
  std::vector<Tree> copies;
  for (int32_t row = b.row0; row <= b.row1; ++row)
    for (int32_t column = b.column0; column <= b.column1; ++column) {
      copies.emplace_back(Copy(matrix->operands[row * columns + column]));
      if (!copies.back()) return nullptr;
    }
  ExpressionRecord* made = NewExpression(kOpMatrix, int32_t(copies.size()));
  if (!made) return nullptr;
  for (size_t i = 0; i < copies.size(); ++i) {
    made->operands[i] = copies[i].release();
    made->operands[i]->parent = made;
  }
  made->payload.shape = {uint16_t(b.row1 - b.row0 + 1), uint16_t(b.column1 - b.column0 + 1)};
  return made;
}

void MATH_DeleteSubMatrix() {
  MERecord* r = gMathCurrentMEH;
  Block b;
  if (!r || !r->selected || !SelectedBlock(r, b)) return;
  ExpressionRecord* matrix = r->selected;
  const int32_t rows = matrix->payload.shape.rows;
  const int32_t columns = matrix->payload.shape.columns;
  const bool allRows = b.row0 == 0 && b.row1 == rows - 1;
  const bool allColumns = b.column0 == 0 && b.column1 == columns - 1;
  if (allRows == allColumns || rows * columns != matrix->operandCount) return;
  std::vector<ExpressionRecord*> kept;
  for (int32_t row = 0; row < rows; ++row)
    for (int32_t column = 0; column < columns; ++column) {
      ExpressionRecord* element = matrix->operands[row * columns + column];
      const bool inBlock = row >= b.row0 && row <= b.row1 && column >= b.column0 && column <= b.column1;
      if (inBlock) {
        DisposExpr(element);
      } else {
        kept.push_back(element);
      }
    }
  std::copy(kept.begin(), kept.end(), matrix->operands);
  // Shrinking keeps the first operands; it cannot be refused for memory.
  SizeNode(matrix, int32_t(kept.size()));
  if (allRows) {
    matrix->payload.shape.columns = uint16_t(columns - (b.column1 - b.column0 + 1));
  } else {
    matrix->payload.shape.rows = uint16_t(rows - (b.row1 - b.row0 + 1));
  }
  MOVE_SetIP(matrix, kIPWholeNode);
}

void CMD_EqnSelectAll() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root) return;
  UNDO_HasMoved();
  MOVE_SetIP(r->root, kIPWholeNode);
}

void CMD_EqnCopy() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPNumberText:
      // Digits that read as no number ("." alone) leave the clipboard alone.
      if (IsNumber(node) && HasTextRange(r))
        if (ExpressionRecord* digits = CopyDigits(r)) Fill(digits, 0);
      break;
    case kIPMatrixBlock:
      if (ExpressionRecord* block = MATH_CopySubMatrix()) Fill(block, 0);
      break;
    case kIPOperator: Fill(nullptr, node->opcode); break;
    case kIPOperandRange:
      if (ExpressionRecord* range = MATH_CopyRange(node, r->rangeStart, r->rangeEnd)) Fill(range, 0);
      break;
    case kIPWholeNode:
      if (Tree copy = CompleteCopy(node)) Fill(copy.release(), 0);
      break;
    default: break;
  }
}

void CMD_EqnCut() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  const bool digits = r->caretType == kIPNumberText && IsNumber(r->selected) && HasTextRange(r);
  if (digits || r->caretType == kIPWholeNode || r->caretType == kIPOperator) {
    CMD_EqnCopy();
    if (gMathError.load() != 0) return;  // the copy is incomplete: keep the original
    CMD_Clear();
  }
  EditorRecalculateAndDraw();
}

void CMD_Clear() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  SelectWholeTextAsNode();
  switch (r->caretType) {
    case kIPMatrixBlock: MATH_DeleteSubMatrix(); break;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText:
      if (HasTextRange(r)) ClearTextRange();
      break;
    // A selected sign goes as under Backspace, not its whole expression.
    case kIPOperator: DELETE_Operator(); break;
    case kIPWholeNode:
      if (r->selected->opcode != kOpPrompt) DELETE_Expr();
      if (r->selected->opcode == kOpPrompt && ClearRemovesPlace(r->selected)) DELETE_Prompt();
      break;
    default: break;
  }
  EditorRecalculateAndDraw();
}

void CMD_EqnPaste() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !gMathClipboard || gMathClipboardType != 0) return;
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  if (r->caretType == kIPNumberText && !IsNumber(gMathClipboard)) KEY_SplitNumber();
  if (r->caretType == kIPNumberText && HasTextRange(r)) ClearTextRange();
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode:
      // The copy takes the selected node's place, which keeps its identity.
      if (DeleteOperandsTransferAndDispose(CompleteCopy(gMathClipboard), node)) MOVE_SetIP(node, kIPWholeNode);
      break;
    case kIPAfterNode:
    case kIPBeforeNode: {
      const bool after = r->caretType == kIPAfterNode;
      // Copied first: a copy refused for memory leaves no new factor.
      Tree copy = CompleteCopy(gMathClipboard);
      ExpressionRecord* place = !copy ? nullptr : after ? KEY_NOpAfterExpr(kOpTimes) : KEY_NOpBeforeExpr(kOpTimes);
      if (!DeleteOperandsTransferAndDispose(std::move(copy), place)) break;
      const bool sameList =
          after && place->parent && place->parent->opcode == place->opcode && SyntacticKindOf(place) == kInfixList;
      MOVE_SetIP(place, sameList ? kIPWholeNode : kIPAfterNode);
      break;
    }
    case kIPNumberText:
      if (IsNumber(node) && IsNumber(gMathClipboard)) PasteDigits(r);
      break;
    default: break;
  }
  EditorRecalculateAndDraw();
}
