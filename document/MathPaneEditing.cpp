#include "document/MathPaneEditing.h"

#include "CoreUtilities/text/OurTextEngine.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "document/BlockDefaults.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "document/InvalExprs.h"
#include "document/MathEditing.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneScrolling.h"
#include "expression/MathEditRecord.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/MathEditInterface.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint32_t kReturn = 13;
constexpr uint32_t kEnter = 3;
constexpr uint32_t kBackspace = 8;

MBlock* FocusedBlock(DocumentWindow* window) {
  DocumentRecord* document = Document(window);
  return document ? document->fContents.blocks.At(document->fFocusedBlock) : nullptr;
}

// Caret movement and copying leave the formula as it was.
bool ChangesFormula(int32_t code) {
  if (code >= kCodeFirstMove && code <= kCodeLastMove && code != kCodeBackspace) return false;
  return code != kCodeCopy;
}

void AddEquationAfter(DocumentWindow* window, int32_t index) {
  DocumentRecord* document = Document(window);
  FocusMathPaneBlock(window, -1);
  MBlock block{};
  SetEquationDefaults(block);
  block.equation = MENew(window);
  if (!block.equation || document->fContents.blocks.Insert(block, index + 1) != 0) {
    DisposeBlockContents(block);
    FocusMathPaneBlock(window, index);
    return;
  }
  FocusMathPaneBlock(window, index + 1);
  InvalExprs(document);
}

// The formula as it stood before the run of backspaces that emptied it, which
// the run's one undo snapshot holds, goes with the block into the undo step.
void TakeBackBackspacedFormula(DocumentRecord* document, int32_t index) {
  MathUndoState& undo = document->fMathUndo;
  MERecord* record = document->fContents.blocks[index].equation;
  if (gCurrentFunctionCode != kCodeBackspace || undo.kind != kUndoFormula || undo.block != index || !undo.tree ||
      !record) {
    return;
  }
  SwapWithUndoTree(record->root, undo);
  record->root->parent = nullptr;
  record->selected = record->root;
  record->caretType = kIPWholeNode;
  record->layoutValid = record->layoutValid2 = 0;
}

void SelectWholeFormula(DocumentWindow* window, MERecord* record) {
  MESetCurrentEqn(record, window);
  MOVE_SetIP(record->root, kIPWholeNode);
  UNDO_HasMoved();
}

// The empty space under the last block belongs to the last formula: a click
// there continues it, as the end of a page of writing does.
int32_t LastEquationBlock(const DocumentRecord* document) {
  const auto& blocks = document->fContents.blocks;
  for (int32_t i = blocks.Count() - 1; i >= 0; --i)
    if (blocks[i].kind == kEquationBlock && blocks[i].equation) return i;
  return -1;
}

void PutCaretAtEnd(DocumentWindow* window, MERecord* record) {
  MESetCurrentEqn(record, window);
  UNDO_HasMoved();
  MOVE_SetIP(record->root, kIPAfterNode);
}

bool IsBelowEveryBlock(const MathPaneLayout& layout, QPoint point) {
  return !layout.blocks.empty() && point.y() > layout.blocks.back().bottom();
}

}  // namespace

void DeleteMathPaneBlock(DocumentWindow* window, int32_t index) {
  DocumentRecord* document = Document(window);
  if (!document || !document->fContents.blocks.At(index) || document->fContents.blocks.Count() < 2) return;
  FocusMathPaneBlock(window, -1);
  MathUndoState& undo = document->fMathUndo;
  ForgetMathUndo(undo);
  undo.kind = kUndoBlockDeletion;
  undo.block = index;
  undo.deleted = document->fContents.blocks[index];
  document->fContents.blocks.Remove(index);
  FocusMathPaneBlock(window, index > 0 ? index - 1 : 0);
  InvalExprs(document);
}

bool UndoMathPaneEdit(DocumentWindow* window) {
  DocumentRecord* document = Document(window);
  if (!document) return false;
  MathUndoState& undo = document->fMathUndo;
  if (undo.kind != kUndoBlockDeletion) return UndoMathEdit(document);
  auto& blocks = document->fContents.blocks;
  const int32_t index = std::min(undo.block, blocks.Count());
  FocusMathPaneBlock(window, -1);
  if (blocks.Insert(undo.deleted, index) != 0) return false;
  undo.deleted = MBlock{};
  ForgetMathUndo(undo);
  FocusMathPaneBlock(window, index);
  if (MERecord* record = blocks[index].equation) SelectWholeFormula(window, record);
  InvalExprs(document);
  return true;
}

MERecord* FocusedEquation(DocumentWindow* window) {
  const MBlock* block = FocusedBlock(window);
  return block && block->kind == kEquationBlock ? block->equation : nullptr;
}

void FocusMathPaneBlock(DocumentWindow* window, int32_t index) {
  DocumentRecord* document = Document(window);
  if (!document) return;
  if (MBlock* old = FocusedBlock(window)) {
    if (old->equation) old->equation->active = 0;
    if (old->text) OurTextDeactivate(old->text);
  }
  MBlock* block = document->fContents.blocks.At(index);
  document->fFocusedBlock = block ? index : -1;
  document->fFocusedColumn = -1;
  document->fFocusedRow = -1;
  if (!block) return;
  if (block->kind == kEquationBlock && block->equation) MEActivate(block->equation, window);
  if (block->kind == kTextBlock && block->text) OurTextActivate(block->text);
}

void MathPaneClick(DocumentWindow* window, MPoint where, int32_t modifiers, int32_t clickCount) {
  DocumentRecord* document = Document(window);
  if (!document || !window->mathPanePort) return;
  const APushPort port(window->mathPanePort);
  const QPoint point(where.h, where.v);
  const MathPaneLayout layout = LayOutScrolledPane(window);
  const int32_t index = MathPaneBlockAt(layout, point);
  const int32_t last = LastEquationBlock(document);
  if (index < 0 && last >= 0 && IsBelowEveryBlock(layout, point)) {
    if (last != document->fFocusedBlock) FocusMathPaneBlock(window, last);
    PutCaretAtEnd(window, document->fContents.blocks[last].equation);
    ScrollFocusIntoView(window);
    RedrawMathPane(window);
    return;
  }
  if (index != document->fFocusedBlock) {
    FocusMathPaneBlock(window, index);
    RedrawMathPane(window);
  }
  MBlock* block = FocusedBlock(window);
  if (!block) return;
  if (block->kind == kEquationBlock && block->equation) {
    MEClick(where, (modifiers & kOurShiftKey) != 0, true, clickCount >= 2, block->equation, window);
  } else if (block->kind == kTextBlock && block->text) {
    OurTextClick(where, modifiers, clickCount, block->text);
  } else if (block->kind == kTableBlock) {
    const QPoint cell = MathPaneTableCellAt(window, layout, index, point);
    document->fFocusedColumn = cell.x();
    document->fFocusedRow = cell.y();
  }
  ScrollFocusIntoView(window);
  RedrawMathPane(window);
}

bool MathPaneKey(DocumentWindow* window, uint32_t unicode, uint8_t keyCharacter, int32_t modifiers) {
  DocumentRecord* document = Document(window);
  MBlock* block = FocusedBlock(window);
  if (!document || !block || !window->mathPanePort) return false;
  const APushPort port(window->mathPanePort);
  const int32_t index = document->fFocusedBlock;
  if (block->kind == kTextBlock && block->text) {
    OurTextKey(static_cast<int>(unicode), modifiers, block->text);
    document->fModified = true;
    ScrollFocusIntoView(window);
    RedrawMathPane(window);
    return true;
  }
  MERecord* record = FocusedEquation(window);
  if (!record) return false;
  if (unicode == kReturn || unicode == kEnter) {
    AddEquationAfter(window, index);
  } else if (unicode == kBackspace && modifiers == 0 && IsPrompt(record) && document->fContents.blocks.Count() > 1) {
    TakeBackBackspacedFormula(document, index);
    DeleteMathPaneBlock(window, index);
  } else {
    const int32_t code = MEKey(unicode, keyCharacter, modifiers, record, window);
    if (code == 0) return false;
    if (ChangesFormula(code)) InvalExprs(document);
  }
  ScrollFocusIntoView(window);
  RedrawMathPane(window);
  return true;
}

void ClearMathPane(DocumentWindow* window) {
  DocumentRecord* document = Document(window);
  if (!document || !window->mathPanePort) return;
  const APushPort port(window->mathPanePort);
  FocusMathPaneBlock(window, -1);
  // The blocks change only while nothing reads them.
  StopDocumentComputations(document);
  auto& blocks = document->fContents.blocks;
  while (blocks.Count() > 0) {
    DisposeBlockContents(blocks[blocks.Count() - 1]);
    blocks.Remove(blocks.Count() - 1);
  }
  AddEquationAfter(window, -1);
  ScrollFocusIntoView(window);
  RedrawMathPane(window);
}

void MathPaneIdle(DocumentWindow* window) {
  MBlock* block = FocusedBlock(window);
  if (!block || !window->mathPanePort) return;
  const APushPort port(window->mathPanePort);
  if (block->kind == kTextBlock && block->text) OurTextIdle(block->text);
  MERecord* record = FocusedEquation(window);
  if (!record) return;
  const uint8_t wasDrawn = record->caretDrawn;
  MEIdle(record, window);
  if (record->caretDrawn != wasDrawn) NotifyMathPaneChanged(window);
}
