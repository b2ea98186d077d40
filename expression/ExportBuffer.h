#pragma once

#include "CoreUtilities/text/UniChar.h"

// A stack of two growable byte buffers for text export: the document
// writer's and one expression's inside it.

// Pushes an empty buffer; false (nothing pushed) when both are in use or
// memory is short.
bool BeginExportTextFormat();
// Pops the top buffer and returns its bytes (array new, the caller frees
// them with delete[]); null, with message 36 queued, when some byte could
// not be appended.
char* EndExportTextFormat();
void PrintChr(char c);
void PrintStr(const char* bytes);
void PrintStr(const UniChar* text);  // as UTF-8; nothing for null
