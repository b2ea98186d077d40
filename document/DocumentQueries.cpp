#include "document/DocumentQueries.h"

#include "document/DocumentFunctionList.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/TableHeadings.h"
#include "document/TableInterpolation.h"

Complex GetParameter(int32_t variableId, int32_t tableRow, DocumentRecord* document) {
  return LookUpParameter(variableId, tableRow, document);
}

double GetInterpolation(int32_t columnId, double x, DocumentRecord* document) {
  return GetInterpolatedTableData(columnId, x, document);
}

double GetInterpolation(int32_t columnId, double x, double y, DocumentRecord* document) {
  return GetInterpolatedTableData(columnId, x, y, document);
}

Interval GetInterpolation(int32_t columnId, const Interval& x, DocumentRecord* document) {
  return GetInterpolatedTableData(columnId, x, document);
}

Interval GetInterpolation(int32_t columnId, const Interval& x, const Interval& y, DocumentRecord* document) {
  return GetInterpolatedTableData(columnId, x, y, document);
}

Complex GetInterpolation(int32_t columnId, const Complex& x, DocumentRecord* document) {
  if (x.im != 0) return gNaNComplex;
  return {GetInterpolation(columnId, x.re, document), 0.0};
}

Complex GetInterpolation(int32_t columnId, const Complex& x, const Complex& y,
                         DocumentRecord* document) {
  if (x.im != 0 || y.im != 0) return gNaNComplex;
  return {GetInterpolation(columnId, x.re, y.re, document), 0.0};
}

ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x,
                                 DocumentRecord* document) {
  if (!IsReal(x)) return gNaNComplexInterval;
  return {GetInterpolation(columnId, x.re, document), {0.0, 0.0}};
}

ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x,
                                 const ComplexInterval& y, DocumentRecord* document) {
  if (!IsReal(x) || !IsReal(y)) return gNaNComplexInterval;
  return {GetInterpolation(columnId, x.re, y.re, document), {0.0, 0.0}};
}

AStackMachine* GetMachineFromDocumentFunction(int32_t index, DocumentRecord* document) {
  return CompiledDocumentFunction(index, document);
}

const UniChar* GetTableStringPtr(int32_t tableDataId, int32_t row, DocumentRecord* document) {
  return TableStringForId(tableDataId, row, document);
}

int32_t GetTableDataSize(DocumentRecord* document, int32_t variableId) {
  return TableDataSizeForId(document, variableId);
}

// Published by the interface thread whenever the slider settings change.
double SliderValue(DocumentRecord* document) { return DocumentSliderValue(document); }
