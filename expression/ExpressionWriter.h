#pragma once

#include "expression/ExpressionRecord.h"

// The plain-text expression syntax, written so that the parser reads the
// same tree back (after its normalisations): parentheses wherever the
// grammar needs them, numbers that read back bit for bit, names and strings
// quoted so that any text survives. With the brackets flag, grouping nodes
// are written [ ] and read back as grouping nodes.

// Appends the text to the top export buffer (ExportBuffer.h).
void WriteTextExpr(const ExpressionRecord* expr, bool brackets);
// The whole text, zero-terminated (delete[]); null, with message 36 queued,
// when memory or stack ran out.
char* ExportTextFormatOfExpr(const ExpressionRecord* expr, bool brackets);
