#pragma once

// The arrow, tab and ")" keys on the current record; the tree never
// changes. Each does nothing without a caret.

void MOVE_RightArrowKey();
void MOVE_LeftArrowKey();
// Right arrow with the caret after a node.
void MOVE_RightFromAfter();
// Inside a string or long name, the range grows by one character.
void MOVE_ShiftRightArrowKey();
void MOVE_ShiftLeftArrowKey();
void MOVE_CycleForward();
void MOVE_CycleBackward();
void MOVE_CloseParen();
