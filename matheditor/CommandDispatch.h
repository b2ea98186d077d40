#pragma once

#include "expression/OperatorKinds.h"

#include <cstdint>

// The one entry every edit of the current formula goes through, and the
// bookkeeping of when an edit starts a new undo step.

extern int32_t gCurrentFunctionCode;  // 0x190C while a character is typed
extern int32_t gLastFunctionCode;
extern int32_t gMathUndoIPMovedFlag;  // the next typed change takes a snapshot

// Ranges and single codes of the command codes.
inline constexpr int32_t kCodeFirstMove = 0x1600;
inline constexpr int32_t kCodeLastMove = 0x1610;
inline constexpr int32_t kCodeBackspace = 0x1609;
inline constexpr int32_t kCodeForwardDelete = 0x1611;
inline constexpr int32_t kCodeFirstAlgebra = 0x2000;
inline constexpr int32_t kCodeLastAlgebra = 0x2205;
inline constexpr int32_t kCodeFirstTermMove = 0x2100;
inline constexpr int32_t kCodeLastTermMove = 0x2109;
inline constexpr int32_t kCodeCut = 0x2200;
inline constexpr int32_t kCodeCopy = 0x2201;
inline constexpr int32_t kCodePaste = 0x2202;
inline constexpr int32_t kCodeClear = 0x2203;
inline constexpr int32_t kCodeFirstTemplate = 0x1809;
inline constexpr int32_t kCodeLastTemplate = 0x190B;
inline constexpr int32_t kCodeUnicodeInput = 0x190C;

// The caret was moved from outside the dispatcher (mouse, select-all,
// undo): the next typed change starts a new undo step.
void UNDO_HasMoved();

// Executes one command code on the current formula.
void MATH_FunctionCode(OpCodeT code);
// Types one character the key map does not bind.
void MATH_UnicodeInput(uint32_t c);
// Runs the algebra commands of the code on the current selection.
void KEY_CommandKey(int32_t code);
