#include "expression/DocumentHooks.h"

#include "expression/TableHeadingQueries.h"

#include <limits>
#include <utility>

namespace {

int32_t DefaultSliderVariable(DocumentRecord*) { return 'n'; }
int32_t NoFunction(const ExpressionRecord*, const DocumentRecord*) { return -1; }
int32_t NoArity(int32_t, const DocumentRecord*) { return -1; }
bool NoComplexParameter(ExpressionRecord*, const DocumentRecord*) { return false; }
int32_t NoRows(const DocumentRecord*, int32_t) { return 0; }
bool NoColumn(int32_t, const DocumentRecord*) { return false; }
double NoValue(int32_t, const DocumentRecord*) { return std::numeric_limits<double>::quiet_NaN(); }

constexpr DocumentNameHooks kEmptyDocument = {
    .sliderVariable = DefaultSliderVariable,
    .functionIndex = NoFunction,
    .functionArity = NoArity,
    .dependsOnComplexParameter = NoComplexParameter,
    .tableDataSize = NoRows,
    .isTextColumn = NoColumn,
    .isTableHeading = NoColumn,
    .isMatrixTableHeading = NoColumn,
    .isComplexParameter = NoColumn,
    .parameterListValue = NoValue,
};

DocumentNameHooks gHooks = kEmptyDocument;

}  // namespace

DocumentNameHooks InstallDocumentNameHooks(const DocumentNameHooks& hooks) { return std::exchange(gHooks, hooks); }

int32_t DocumentSliderVariable(DocumentRecord* document) { return gHooks.sliderVariable(document); }
int32_t DocumentFunctionNumber(const ExpressionRecord* name, const DocumentRecord* document) {
  return gHooks.functionIndex(name, document);
}
bool NamesDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document) {
  return DocumentFunctionNumber(name, document) >= 0;
}
int32_t DocumentFunctionParameterCount(int32_t number, const DocumentRecord* document) {
  return gHooks.functionArity(number, document);
}
bool UsesComplexParameter(ExpressionRecord* node, const DocumentRecord* document) {
  return gHooks.dependsOnComplexParameter(node, document);
}
bool IsComplexParameter(int32_t variableId, const DocumentRecord* document) {
  return gHooks.isComplexParameter(variableId, document);
}
double GetValueFromParameterList(int32_t variableId, const DocumentRecord* document) {
  return gHooks.parameterListValue(variableId, document);
}
int32_t TableColumnRows(const DocumentRecord* document, int32_t variableId) {
  return gHooks.tableDataSize(document, variableId);
}
bool IsTextColumnId(int32_t variableId, const DocumentRecord* document) {
  return gHooks.isTextColumn(variableId, document);
}
bool IsIDTableHeading(int32_t variableId, const DocumentRecord* document) {
  return gHooks.isTableHeading(variableId, document);
}
bool IsIDMatrixTableHeading(int32_t variableId, const DocumentRecord* document) {
  return gHooks.isMatrixTableHeading(variableId, document);
}
