#pragma once

#include "expression/OperatorKinds.h"

#include <cstdint>

// Name lookups of the expression syntax; names are UTF-8.

// The kind whose operator name equals the name, or 0.
OpCodeT ParseOp(const char* name);
// The id of a one-letter name (its code) or of a special symbol's name
// ("pi" 1 ... "ldots" 6), or 0.
int32_t ParseChar(const char* text);

// The primed coordinates have ids but no entry in the symbol table; they
// are written as the quoted names below, which older texts cannot hold.
const char* PrimedCoordinateName(int32_t variableId);  // null for other ids
// The id of a name read from a text: a primed coordinate's, else the
// symbol table's (0 when the name cannot be entered).
int32_t VariableIDOfParsedName(const char* name);
