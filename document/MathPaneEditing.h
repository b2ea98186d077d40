#pragma once

#include "CoreUtilities/MRect.h"

#include <cstdint>

struct DocumentWindow;
struct MERecord;

// Editing in a window's math pane: the focused block takes the keys, a
// click focuses the block under it, and the focused formula's caret
// blinks. Each works on the window's pane port, which it redraws when the
// pane changed; nothing for a window without a document.

// The focused block's formula; null when the focus is elsewhere or nowhere.
MERecord* FocusedEquation(DocumentWindow* window);
// Gives the block (-1: none) the focus; the block that had it lets go.
void FocusMathPaneBlock(DocumentWindow* window, int32_t block);
// A press at the pane point (modifier bits as for MEKey): focuses the block
// under it and hands it the click, which follows the mouse until release;
// in a table it selects the cell; under every block it puts the caret at
// the end of the last formula. The block is then scrolled into view.
void MathPaneClick(DocumentWindow* window, MPoint where, int32_t modifiers, int32_t clickCount);
// One keystroke for the focused block; true when it was handled. Return
// after a formula adds an empty formula below it; backspace on a focused
// lone prompt removes its block, unless it is the pane's only block, and
// undo then brings it back as the run of backspaces found it. The
// focused block is scrolled into view afterwards.
bool MathPaneKey(DocumentWindow* window, uint32_t unicode, uint8_t keyCharacter, int32_t modifiers);
// Deletes the block (not the pane's only one) as the document's undo step
// and focuses the block above it.
void DeleteMathPaneBlock(DocumentWindow* window, int32_t block);
// Undoes the document's undo step: a deleted block goes back where it
// stood, focused; a formula edit is swapped back. False when there was
// nothing to undo.
bool UndoMathPaneEdit(DocumentWindow* window);
// Every block goes; one empty formula takes their place and the focus.
void ClearMathPane(DocumentWindow* window);
// Blinks the focused formula's caret.
void MathPaneIdle(DocumentWindow* window);
