#pragma once

// A real program's native form: machine code made once from its
// instructions, next to its translation (ProgramTranslation.h), on x86-64
// Linux only. It keeps the top of the stack in a register, the stack cells
// in its own frame, and the arithmetic, choices and loops written out;
// every other operation is a call of the interpreter's own function, so
// its values are the interpreter's to the bit. It skips the values of a
// choice the translation skips, and tests cancellation where the
// translated run does: before each store but a first instruction, after a
// loop's backward jump and, by its caller, at the end. Programs with an
// instruction it does not make (calls of document functions, table rows,
// statistics, guards) keep the translated run.

#include "CoreUtilities/Complex.h"
#include "evaluation/StackMachine.h"
#include "platform/ExecutableMemory.h"

// `row`: the table row parameters are read at, fixed at the start of a run.
using NativeEntry = double (*)(double* variables, const Complex* constants, const AStackMachine* program, int32_t row);

// At the start of its read-only pages, before the literals the code reads;
// the code on the executable pages after them.
struct NativeForm {
  CodePages pages;
  NativeEntry entry;
};

// Null where the program has no native form or the pages are refused.
NativeForm* MakeNativeForm(const AStackMachine& program, const ATranslation& translation);

void ReleaseNativeForm(NativeForm* form);
