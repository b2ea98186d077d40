#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "document/DocumentContents.h"

#include <cstdint>

class DocumentRecord;
class Table;
class TableColumn;

// The document's table columns by the ids of their headings. Worker
// threads read them through the queries below while the document keeps
// them unchanged (AssertNoDocumentComputation).

// Parses every column heading of every table into its formula.
void ParseTableHeadings(DocumentRecord* document);
// Rebuilds the table-heading list from the tables, marks the name list
// stale and rebuilds the global names from the document's formulas.
void UpdateListOfTableDataUIDs(DocumentRecord* document);
// Rebuilds the document's own name list from its headings.
void AddTableHeadingsToDocumentNameList(DocumentRecord* document);

// The first heading with the id (linear search); null when none has it.
const TableHeading* FindTableHeading(const DocumentRecord* document, int32_t variableId);
const TableColumn* FindTableColumn(const DocumentRecord* document, const TableHeading& heading);
const Table* FindHeadingTable(const DocumentRecord* document, const TableHeading& heading);

// The column's data rows; 0 when no heading has the id.
int32_t TableDataSizeForId(const DocumentRecord* document, int32_t variableId);
// Programs number a column's data rows from 1 (row 0 is outside).
// A cell's text; null when no heading has the id or the row is outside.
const UniChar* TableStringForId(int32_t variableId, int32_t row, const DocumentRecord* document);
// A cell's number; NaN for text, an empty cell, a row outside or an
// unknown id.
double GetTableData(int32_t variableId, int32_t row, const DocumentRecord* document);
// True when the id names a text column; false for unknown ids.
bool DoesIDRepresentString(int32_t variableId, const DocumentRecord* document);
