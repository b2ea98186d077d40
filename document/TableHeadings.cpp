#include "document/TableHeadings.h"

#include "CoreUtilities/MathConstants.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "expression/OperatorKinds.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

namespace {

void AddAtomNames(ExpressionRecord* tree) {
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree))
    if (node->opcode == kOpAtom) AddToGlobalNames(node->payload.id);
}

}  // namespace

void ParseTableHeadings(DocumentRecord* document) {
  AssertNoDocumentComputation(document);
  for (MBlock& block : document->fContents.blocks)
    if (block.kind == kTableBlock && block.table)
      for (TableColumn& column : block.table->columns) column.ParseHeading();
}

void UpdateListOfTableDataUIDs(DocumentRecord* document) {
  AssertNoDocumentComputation(document);
  DocumentContents& contents = document->fContents;
  contents.tableHeadings.clear();
  ClearGlobalNames();
  for (int32_t index = 0; index < contents.blocks.Count(); ++index) {
    MBlock& block = contents.blocks[index];
    if (block.kind == kEquationBlock) AddAtomNames(EquationTree(block));
    if (block.kind != kTableBlock || !block.table) continue;
    const bool matrix = block.table->StandsForMatrix();
    for (size_t column = 0; column < block.table->columns.size(); ++column) {
      const TableColumn& data = block.table->columns[column];
      if (data.HeadingId() == 0) continue;
      contents.tableHeadings.push_back(TableHeading{data.HeadingId(), index, static_cast<int32_t>(column),
                                                    data.DataRows(), matrix && column == 0 ? 1 : 0});
      AddToGlobalNames(data.HeadingId());
    }
  }
  AddSpecialConstantsToGlobalNames();
  contents.names.stale = true;
}

void AddTableHeadingsToDocumentNameList(DocumentRecord* document) {
  DocumentNameList& names = document->fContents.names;
  names.names.clear();
  for (const TableHeading& heading : document->fContents.tableHeadings)
    names.names.push_back(GetVariableStringFromID(heading.variableId));
  names.stale = false;
}

const TableHeading* FindTableHeading(const DocumentRecord* document, int32_t variableId) {
  if (!document) return nullptr;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    if (heading.variableId == variableId) return &heading;
  return nullptr;
}

const Table* FindHeadingTable(const DocumentRecord* document, const TableHeading& heading) {
  const MBlock* block = document->fContents.blocks.At(heading.blockIndex);
  return block && block->kind == kTableBlock ? block->table : nullptr;
}

const TableColumn* FindTableColumn(const DocumentRecord* document, const TableHeading& heading) {
  const Table* table = FindHeadingTable(document, heading);
  if (!table || heading.columnIndex < 0 || size_t(heading.columnIndex) >= table->columns.size()) return nullptr;
  return &table->columns[size_t(heading.columnIndex)];
}

int32_t TableDataSizeForId(const DocumentRecord* document, int32_t variableId) {
  const TableHeading* heading = FindTableHeading(document, variableId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  return column ? column->DataRows() : 0;
}

const UniChar* TableStringForId(int32_t variableId, int32_t row, const DocumentRecord* document) {
  const TableHeading* heading = FindTableHeading(document, variableId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  return column ? column->GetTableStringPtr(row - 1) : nullptr;
}

double GetTableData(int32_t variableId, int32_t row, const DocumentRecord* document) {
  const TableHeading* heading = FindTableHeading(document, variableId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  return column ? column->NumberAt(row - 1) : gNaN;
}

bool DoesIDRepresentString(int32_t variableId, const DocumentRecord* document) {
  const TableHeading* heading = FindTableHeading(document, variableId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  return column && column->GetDataType() == kTextTableData;
}
