#pragma once

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
