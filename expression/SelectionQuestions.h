#pragma once

#include "expression/MathEditRecord.h"

// What the menus and keys ask of the current record's selection; each is
// false when there is no current record.

bool IsTypingInString();
bool DIM_CanSelectAll();
bool DIM_SelectionIsSimplifyable();
bool DIM_CanCutCopyOrClear();
bool DIM_SelectionIsGrabbable();
// A product of atoms (or a run of them) that could be typed as one name.
bool DIM_SelectionCanBeTurnedIntoAnAtomicString();

// The selection shows as a blinking caret rather than a highlight; false
// for null.
bool IsBlinkingCaret(const MERecord* record);
