#pragma once

#include <cstdint>

class DocumentMainWindow;
class TextBlock;
struct MERecord;

// The edit and formula commands of the menus, on the window's focused
// block: a formula through the editor's command codes, a text block
// through its own editing.

// The focused block's formula, made current; null when the focused block
// is no formula.
MERecord* FocusedFormula(DocumentMainWindow* window);
TextBlock* FocusedText(DocumentMainWindow* window);

// Runs a command code (an algebra command, a template, or cut, copy,
// paste and clear, which trade with the system clipboard) on the focused
// formula; a change invalidates the document's expressions and redraws.
void RunFormulaCode(DocumentMainWindow* window, int32_t code);

void EditUndo(DocumentMainWindow* window);
void EditCut(DocumentMainWindow* window);
void EditCopy(DocumentMainWindow* window);
void EditPaste(DocumentMainWindow* window);
void EditClear(DocumentMainWindow* window);
void EditSelectAll(DocumentMainWindow* window);

// Whether the Edit items apply now.
struct EditAvailability {
  bool undo = false;
  bool cutCopyClear = false;
  bool paste = false;
  bool selectAll = false;
  bool formula = false;  // the Math and Insert items
};
EditAvailability CurrentEditAvailability(DocumentMainWindow* window);
