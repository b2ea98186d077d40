#include "document/DocumentHooks.h"

#include "document/ComplexParameters.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRendererHooks.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/DocumentStatements.h"
#include "document/MathEditing.h"
#include "document/MathPaneDrawing.h"
#include "document/TableHeadings.h"
#include "document/TableInterpolation.h"
#include "evaluation/DocumentQueries.h"
#include "expression/DocumentHooks.h"

namespace {

bool HasTableHeading(int32_t variableId, const DocumentRecord* document) {
  if (!document) return false;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    if (heading.variableId == variableId) return true;
  return false;
}

bool HasMatrixTableHeading(int32_t variableId, const DocumentRecord* document) {
  if (!document) return false;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    if (heading.variableId == variableId && heading.columnIndex == 0 && heading.matrixFlag != 0) return true;
  return false;
}

}  // namespace

void InstallDocumentHooks() {
  InstallMathEditingHooks();
  InstallDocumentPaneHooks();
  InstallDocumentRendererHooks();
  InstallMathPaneDrawing();
  InstallDocumentStatementHooks(DocumentStatementHandlers());
  InstallDocumentNameHooks({
      .sliderVariable = SliderVariable,
      .functionIndex = DocumentFunctionIndex,
      .functionArity = DocumentFunctionArity,
      .dependsOnComplexParameter = DependsOnComplexParameter,
      .tableDataSize = TableDataSizeForId,
      .isTextColumn = DoesIDRepresentString,
      .isTableHeading = HasTableHeading,
      .isMatrixTableHeading = HasMatrixTableHeading,
      .isComplexParameter = DefinesComplexParameter,
      .parameterListValue = ShownParameterValue,
  });
  InstallDocumentQueryHooks({
      .getParameter = LookUpParameter,
      .interpolate = GetInterpolatedTableData,
      .interpolate2 = GetInterpolatedTableData,
      .interpolateInterval = GetInterpolatedTableData,
      .interpolateInterval2 = GetInterpolatedTableData,
      .functionMachine = CompiledDocumentFunction,
      .tableString = TableStringForId,
      .tableDataSize = TableDataSizeForId,
      .sliderValue = DocumentSliderValue,
  });
}
