#pragma once

#include <cstdint>

class DocumentRecord;

// Questions about a document's table-column headings by variable id, asked
// through DocumentNameHooks; false for a null document.

bool IsIDTableHeading(int32_t variableId, const DocumentRecord* document);
// The first column of a table that stands for a matrix.
bool IsIDMatrixTableHeading(int32_t variableId, const DocumentRecord* document);
