#include "document/DocumentQueries.h"

#include "document/DocumentRecord.h"

// The document keeps no equation analysis, table headings or compiled
// function list yet: those queries answer as for a document without them.

Complex GetParameter(int32_t, int32_t, DocumentRecord*) { return {1.0, 0.0}; }

double GetInterpolation(int32_t, double, DocumentRecord*) { return gNaN; }

double GetInterpolation(int32_t, double, double, DocumentRecord*) { return gNaN; }

Interval GetInterpolation(int32_t, const Interval&, DocumentRecord*) { return gNaNInterval; }

Interval GetInterpolation(int32_t, const Interval&, const Interval&, DocumentRecord*) {
  return gNaNInterval;
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

AStackMachine* GetMachineFromDocumentFunction(int32_t, DocumentRecord*) { return nullptr; }

const UniChar* GetTableStringPtr(int32_t, int32_t, DocumentRecord*) { return nullptr; }

int32_t GetTableDataSize(DocumentRecord*, int32_t) { return 0; }

double SliderValue(DocumentRecord* document) {
  if (document == nullptr) return 0.0;
  const DocumentContents& contents = document->fContents;
  if (contents.sliderSteps <= 0) return contents.sliderMinimum;
  return contents.sliderMinimum + (contents.sliderMaximum - contents.sliderMinimum) *
                                      contents.sliderControlValue / contents.sliderSteps;
}
