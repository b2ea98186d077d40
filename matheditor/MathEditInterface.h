#pragma once

#include "CoreUtilities/MRect.h"
#include "expression/MathEditRecord.h"
#include "matheditor/MathGraphicsContext.h"

#include <cstdint>

// The entry points the document drives a formula through. Each makes its
// record current (loading the window's document settings) first.

// A new record holding a prompt shown as a caret; null when memory is refused.
MERecord* MENew(DocumentWindow* window);
// Lays the record out and draws it into the context, or into the current
// port when the context is null.
void MEUpdate(MERecord* record, DocumentWindow* window, MathGraphicsContext* context);
// The unbroken formula's height and width, truncated; 0 when it cannot be
// laid out.
int32_t MEHeight(MERecord* record);
int32_t MEWidth(MERecord* record);
// Feeds one keystroke (modifier bits as in KeyMap.h) to the record, which
// is edited and laid out again; returns the command code it became, 0
// when the key is not handled.
int32_t MEKey(uint32_t unicode, uint8_t keyCharacter, int32_t modifiers, MERecord* record, DocumentWindow* window);
// A mouse-down at the window point: places the caret, then follows the
// mouse until the button is released. Shift-click extends the selection;
// with dragging allowed a press on a movable selection drags it; with the
// leaf flag a clicked leaf is selected whole.
void MEClick(MPoint where, bool extend, bool dragAllowed, bool selectLeaf, MERecord* record, DocumentWindow* window);
// Blinks the caret of an active record, once per caret interval; the
// interval is shared by every record.
void MEIdle(MERecord* record, DocumentWindow* window);
// Draws or erases the current record's caret bar by XOR into the current
// port, when the caret is a bar.
void XorIP(DocumentWindow* window);
