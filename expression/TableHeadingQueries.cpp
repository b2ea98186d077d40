#include "expression/TableHeadingQueries.h"

#include "document/DocumentRecord.h"

bool IsIDTableHeading(int32_t variableId, const DocumentRecord* document) {
  if (!document) return false;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    if (heading.variableId == variableId) return true;
  return false;
}

bool IsIDMatrixTableHeading(int32_t variableId, const DocumentRecord* document) {
  if (!document) return false;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    if (heading.variableId == variableId && heading.columnIndex == 0 && heading.matrixFlag != 0) return true;
  return false;
}
