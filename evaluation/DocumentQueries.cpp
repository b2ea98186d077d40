#include "evaluation/DocumentQueries.h"

#include "evaluation/runs/FunctionLookup.h"

namespace {

Complex NoParameter(int32_t, int32_t, const DocumentRecord*) { return {1.0, 0.0}; }
double NoColumn(int32_t, double, const DocumentRecord*) { return gNaN; }
double NoColumn(int32_t, double, double, const DocumentRecord*) { return gNaN; }
Interval NoColumn(int32_t, const Interval&, const DocumentRecord*) { return gNaNInterval; }
Interval NoColumn(int32_t, const Interval&, const Interval&, const DocumentRecord*) { return gNaNInterval; }
AStackMachine* NoFunction(int32_t, const DocumentRecord*) { return nullptr; }
const UniChar* NoText(int32_t, int32_t, const DocumentRecord*) { return nullptr; }
int32_t NoRows(const DocumentRecord*, int32_t) { return 0; }
double SliderAtZero(const DocumentRecord*) { return 0; }

constexpr DocumentQueryHooks kEmptyDocument = {
    .getParameter = NoParameter,
    .interpolate = NoColumn,
    .interpolate2 = NoColumn,
    .interpolateInterval = NoColumn,
    .interpolateInterval2 = NoColumn,
    .functionMachine = NoFunction,
    .tableString = NoText,
    .tableDataSize = NoRows,
    .sliderValue = SliderAtZero,
};

DocumentQueryHooks gQueryHooks = kEmptyDocument;

}  // namespace

std::atomic<uint64_t> gFunctionsGeneration{1};
constinit thread_local RememberedFunction gRememberedFunctions[kRememberedFunctions]{};

void DocumentFunctionsChanged() { gFunctionsGeneration.fetch_add(1, std::memory_order_acq_rel); }

AStackMachine* RememberFunction(int32_t index, DocumentRecord* document, uint64_t generation) {
  AStackMachine* program = gQueryHooks.functionMachine(index, document);
  gRememberedFunctions[static_cast<uint32_t>(index) % kRememberedFunctions] = {document, index, generation, program};
  return program;
}

void InstallDocumentQueryHooks(const DocumentQueryHooks& hooks) { gQueryHooks = hooks; }

const DocumentQueryHooks& InstalledDocumentQueryHooks() { return gQueryHooks; }

Complex GetParameter(int32_t variableId, int32_t tableRow, DocumentRecord* document) {
  return gQueryHooks.getParameter(variableId, tableRow, document);
}

double GetInterpolation(int32_t columnId, double x, DocumentRecord* document) {
  return gQueryHooks.interpolate(columnId, x, document);
}

double GetInterpolation(int32_t columnId, double x, double y, DocumentRecord* document) {
  return gQueryHooks.interpolate2(columnId, x, y, document);
}

Interval GetInterpolation(int32_t columnId, const Interval& x, DocumentRecord* document) {
  return gQueryHooks.interpolateInterval(columnId, x, document);
}

Interval GetInterpolation(int32_t columnId, const Interval& x, const Interval& y, DocumentRecord* document) {
  return gQueryHooks.interpolateInterval2(columnId, x, y, document);
}

Complex GetInterpolation(int32_t columnId, const Complex& x, DocumentRecord* document) {
  if (x.im != 0) return gNaNComplex;
  return {GetInterpolation(columnId, x.re, document), 0.0};
}

Complex GetInterpolation(int32_t columnId, const Complex& x, const Complex& y, DocumentRecord* document) {
  if (x.im != 0 || y.im != 0) return gNaNComplex;
  return {GetInterpolation(columnId, x.re, y.re, document), 0.0};
}

ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x, DocumentRecord* document) {
  if (!IsReal(x)) return gNaNComplexInterval;
  return {GetInterpolation(columnId, x.re, document), {0.0, 0.0}};
}

ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x, const ComplexInterval& y,
                                 DocumentRecord* document) {
  if (!IsReal(x) || !IsReal(y)) return gNaNComplexInterval;
  return {GetInterpolation(columnId, x.re, y.re, document), {0.0, 0.0}};
}

AStackMachine* GetMachineFromDocumentFunction(int32_t index, DocumentRecord* document) {
  return DocumentFunctionProgram(index, document);
}

const UniChar* GetTableStringPtr(int32_t tableDataId, int32_t row, DocumentRecord* document) {
  return gQueryHooks.tableString(tableDataId, row, document);
}

int32_t GetTableDataSize(DocumentRecord* document, int32_t variableId) {
  return gQueryHooks.tableDataSize(document, variableId);
}

// Published by the interface thread whenever the slider settings change.
double SliderValue(DocumentRecord* document) { return gQueryHooks.sliderValue(document); }
