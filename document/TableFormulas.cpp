#include "document/TableFormulas.h"

#include <cmath>
#include <string>

#include "CoreUtilities/text/NumberText.h"
#include "algebra/AlgebraSwitches.h"
#include "algebra/RewriteHelpers.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "document/EquationExpansion.h"
#include "document/TableHeadings.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"

namespace {

// The formula's value in one row: every other column it names by that
// row's number.
double RowValue(const ExpressionRecord* formula, int32_t ownId, int32_t row, DocumentRecord* document) {
  const Tree tree(Copy(formula));
  if (!tree) return NAN;
  PostOrder(tree.get(), [&](ExpressionRecord* n) {
    if (n->opcode != kOpAtom || n->payload.id == ownId || !FindTableHeading(document, n->payload.id)) return;
    Become(n, Number(GetTableData(n->payload.id, row, document)));
  });
  return ScalarExprEval(tree.get(), document);
}

void FillColumn(DocumentRecord* document, int32_t block, size_t column, const DefinitionRules& rules, int32_t digits) {
  TableColumn& data = document->fContents.blocks[block].table->columns[column];
  const ExpressionRecord* heading = data.HeadingFormula();
  if (!heading || heading->opcode != kOpEquals || heading->operandCount != 2 || data.HeadingId() == 0) return;
  const Tree formula(Copy(heading->operands[1]));
  if (!formula) return;
  gMathOrderTerms = 0;
  ApplyDefinitions(formula.get(), rules);
  gMathOrderTerms = 1;
  const int32_t rows = GetTableDataSize(formula.get(), document);
  for (int32_t row = 1; row <= rows; ++row) {
    const double value = RowValue(formula.get(), data.HeadingId(), row, document);
    UniChar text[kNumberTextCapacity + 4] = {};
    if (!std::isnan(value)) PrefixDoubleToString(text, nullptr, value, digits);
    data.SetCell(row, std::u16string(reinterpret_cast<const char16_t*>(text)));
  }
  for (TableHeading& h : document->fContents.tableHeadings)
    if (h.blockIndex == block && h.columnIndex == static_cast<int32_t>(column)) h.dataRows = data.DataRows();
}

}  // namespace

void ComputeTableFormulaColumns(DocumentRecord* document, const DefinitionRules& rules, int32_t digits) {
  auto& blocks = document->fContents.blocks;
  for (int32_t block = 0; block < blocks.Count(); ++block) {
    if (blocks[block].kind != kTableBlock || !blocks[block].table) continue;
    for (size_t column = 0; column < blocks[block].table->columns.size(); ++column)
      FillColumn(document, block, column, rules, digits);
  }
}
