#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Typing letters, digits, the decimal character and text into the current
// formula at its caret. Each takes a character (or code), works on the
// current record and marks its layout stale.

// An edit-data style flag: times was typed after this one-letter atom, so
// it takes no part in names spelled by later letters.
inline constexpr uint8_t kStopLetterScan = 4;

void KEY_AtomKey(uint32_t c);
// A one-letter atom in place of the caret node, then names recognised.
void KEY_ReplaceExprWithAtom(uint32_t c);
// The node's parent is a product, a minus, a named function, dot, cross or
// ln, or it is the first operand of a log, or a named function that is the
// base of a power.
bool IsAfterFunction(const ExpressionRecord* node);

void KEY_DigitKey(uint32_t c);
void KEY_DotKey();
// Splits the number at the caret offset into two factors; the caret goes
// after the first.
void KEY_SplitNumber();
// A non-empty digit range becomes a selected node: the whole number, or
// the digits split off as a factor of their own. False when the digits, or
// those left on either side, read as no number.
bool KEY_SelectDigitRange();

void KEY_InString(uint32_t c);
void KEY_InLongName(uint32_t c);
// The backslash key: starts or ends a long name.
void KEY_Backslash();

// Clears the selected characters of a string, name or number (caret types
// 6 to 8); a number left without readable text is deleted, its prompt
// selected. The caller redraws.
void ClearTextRange();
