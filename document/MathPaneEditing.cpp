#include "document/MathPaneEditing.h"

#include "CoreUtilities/OurTextEngine.h"
#include "CoreUtilities/ScopedSavers.h"
#include "document/BlockDefaults.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "document/InvalExprs.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneScrolling.h"
#include "expression/MathEditRecord.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/MathEditInterface.h"

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

void RemoveBlock(DocumentWindow* window, int32_t index) {
  DocumentRecord* document = Document(window);
  FocusMathPaneBlock(window, -1);
  DisposeBlockContents(document->fContents.blocks[index]);
  document->fContents.blocks.Remove(index);
  FocusMathPaneBlock(window, index > 0 ? index - 1 : 0);
  InvalExprs(document);
}

}  // namespace

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
    RemoveBlock(window, index);
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
