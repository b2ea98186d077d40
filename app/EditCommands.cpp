#include "app/EditCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextDocumentFragment>

#include "app/ClipboardExchange.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "document/MathEditing.h"
#include "document/MathPaneEditing.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"
#include "platform/TextBlock.h"
#include "window/DocumentMainWindow.h"
#include "window/MathPaneWidget.h"
#include "window/WindowDialogs.h"

namespace {

const MBlock* FocusedBlock(DocumentMainWindow* window) {
  DocumentRecord* document = window ? window->Document() : nullptr;
  if (!document) return nullptr;
  const int32_t i = document->fFocusedBlock;
  auto& blocks = document->fContents.blocks;
  return i >= 0 && i < blocks.Count() ? &blocks[i] : nullptr;
}

void Changed(DocumentMainWindow* window) {
  InvalExprs(window->Document());
  window->UpdateModifiedMark();
  window->MathPane()->RedrawMathShowingFocus();
  window->WakeIdle();
}

bool HasSelection(const MERecord* r) {
  if (!r || !r->selected) return false;
  switch (r->caretType) {
    case kIPWholeNode: return r->selected->opcode != kOpPrompt;
    case kIPOperandRange:
    case kIPOperator:
    case kIPMatrixBlock: return true;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText: return r->rangeStart != r->rangeEnd;
    default: return false;
  }
}

bool ClipboardHasFormula() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return (data && (data->hasFormat(kFormulaMimeType) || data->hasText())) || gMathClipboard || gMathClipboardType != 0;
}

void EditText(DocumentMainWindow* window, TextBlock* text, const std::function<void(QTextCursor&)>& change) {
  text->Edit(change);
  window->Document()->fModified = true;
  window->UpdateModifiedMark();
  window->MathPane()->RedrawMathShowingFocus();
}

}  // namespace

MERecord* FocusedFormula(DocumentMainWindow* window) {
  MERecord* record = window ? FocusedEquation(window->WindowRecord()) : nullptr;
  if (record) MESetCurrentEqn(record, window->WindowRecord());
  return record;
}

TextBlock* FocusedText(DocumentMainWindow* window) {
  const MBlock* block = FocusedBlock(window);
  return block && block->kind == kTextBlock ? block->text : nullptr;
}

// Clearing or cutting a whole formula takes its block away, as one undo
// step that brings back the block with its settings; the pane's only block
// stays, emptied.
bool DeletesBlock(DocumentMainWindow* window, const MERecord* record, int32_t code) {
  return (code == kCodeClear || code == kCodeCut) && record->selected == record->root &&
         record->caretType == kIPWholeNode && record->root->opcode != kOpPrompt &&
         window->Document()->fContents.blocks.Count() > 1;
}

void RunFormulaCode(DocumentMainWindow* window, int32_t code) {
  MERecord* record = FocusedFormula(window);
  if (!record) return;
  if (DeletesBlock(window, record, code)) {
    if (code == kCodeCut) RunFormulaCode(window, kCodeCopy);
    DeleteMathPaneBlock(window->WindowRecord(), window->Document()->fFocusedBlock);
    Changed(window);
    return;
  }
  QString refusal;
  if (code == kCodePaste && !ImportMathClipboard(QGuiApplication::clipboard()->mimeData(), &refusal)) {
    if (!refusal.isEmpty()) ShowNote(QObject::tr("The clipboard's text cannot be read as a formula: %1.").arg(refusal));
    return;
  }
  ExpressionRecord* before = code == kCodeCopy ? nullptr : Copy(record->root);
  MATH_FunctionCode(static_cast<OpCodeT>(code));
  if (code == kCodeCopy || code == kCodeCut) ExportMathClipboard(window->WindowRecord());
  // A command that found nothing to do leaves the document unchanged.
  const bool changed = code != kCodeCopy && (!before || !MATH_Equal(before, record->root));
  DisposExpr(before);
  if (changed) {
    Changed(window);
  } else {
    window->MathPane()->RedrawMath();
  }
}

// A text's own edits come first; a deleted block is undone from anywhere.
void EditUndo(DocumentMainWindow* window) {
  TextBlock* text = FocusedText(window);
  if (text && text->document.isUndoAvailable()) {
    OurTextUndo(text);
    window->Document()->fModified = true;
    window->UpdateModifiedMark();
    window->MathPane()->RedrawMath();
  } else if ((!text || window->Document()->fMathUndo.kind == kUndoBlockDeletion) &&
             UndoMathPaneEdit(window->WindowRecord())) {
    Changed(window);
  }
}

void EditCut(DocumentMainWindow* window) {
  if (TextBlock* text = FocusedText(window)) {
    if (!text->cursor.hasSelection()) return;
    QGuiApplication::clipboard()->setText(text->cursor.selection().toPlainText());
    EditText(window, text, [](QTextCursor& c) { c.removeSelectedText(); });
  } else {
    RunFormulaCode(window, kCodeCut);
  }
}

void EditCopy(DocumentMainWindow* window) {
  if (TextBlock* text = FocusedText(window)) {
    if (text->cursor.hasSelection()) QGuiApplication::clipboard()->setText(text->cursor.selection().toPlainText());
  } else {
    RunFormulaCode(window, kCodeCopy);
  }
}

void EditPaste(DocumentMainWindow* window) {
  if (TextBlock* text = FocusedText(window)) {
    const QString pasted = QGuiApplication::clipboard()->text();
    if (!pasted.isEmpty()) EditText(window, text, [&pasted](QTextCursor& c) { c.insertText(pasted); });
  } else {
    RunFormulaCode(window, kCodePaste);
  }
}

void EditClear(DocumentMainWindow* window) {
  if (TextBlock* text = FocusedText(window)) {
    if (text->cursor.hasSelection()) EditText(window, text, [](QTextCursor& c) { c.removeSelectedText(); });
  } else {
    RunFormulaCode(window, kCodeClear);
  }
}

void EditSelectAll(DocumentMainWindow* window) {
  if (TextBlock* text = FocusedText(window)) {
    OurTextSelectAll(text);
  } else if (FocusedFormula(window)) {
    CMD_EqnSelectAll();
  }
  window->MathPane()->RedrawMath();
}

EditAvailability CurrentEditAvailability(DocumentMainWindow* window) {
  EditAvailability a;
  if (TextBlock* text = FocusedText(window)) {
    a.undo = text->document.isUndoAvailable() || window->Document()->fMathUndo.kind == kUndoBlockDeletion;
    a.cutCopyClear = text->cursor.hasSelection();
    a.paste = QGuiApplication::clipboard()->mimeData() && QGuiApplication::clipboard()->mimeData()->hasText();
    a.selectAll = true;
  } else if (MERecord* record = FocusedFormula(window)) {
    a.undo = window->Document()->fMathUndo.kind != kUndoNothing;
    a.cutCopyClear = HasSelection(record);
    a.paste = ClipboardHasFormula();
    a.selectAll = true;
    a.formula = true;
  }
  return a;
}
