#pragma once

#include "expression/ExpressionRecord.h"
#include "expression/MathEditRecord.h"

// Caret placement and the movements that need no layout, on the current
// record; each does nothing without one.

// Places the caret, normalised so that every place has one way of being
// held (the place before b in a*b is the place after a, and so on).
void MOVE_SetIP(ExpressionRecord* node, MathIPType type);
// Widens the selection: the parent of a selected node (the root stays),
// else the caret node itself.
void MOVE_GoUpExpr();
// Narrows the selection to the first (last) part.
void MOVE_DownArrowKey();
void MOVE_GoDownRight();
// Selects the next prompt in top-down order after the caret node, else the
// formula's first prompt.
void MOVE_GoToNextPrompt();

// Fills the editor's entries of the math-edit hook table.
void InstallCaretHooks();
