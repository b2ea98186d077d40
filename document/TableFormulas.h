#pragma once

#include <cstdint>

class DefinitionRules;
class DocumentRecord;

// Fills every formula column (a heading such as "b = 2*a + c") row by row
// from the columns its formula names, the document's definitions applied
// first with the terms left in their written order. As many rows as the
// longest column the formula reads; a row without a value is left empty.
// For the expansion, before it first yields: it writes the tables.
void ComputeTableFormulaColumns(DocumentRecord* document, const DefinitionRules& rules, int32_t digits);
