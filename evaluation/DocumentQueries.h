#pragma once

#include <cstdint>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/text/UniChar.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/interval/Interval.h"

class AStackMachine;
class DocumentRecord;

// What running programs read from their document, through the table the
// document fills at start-up (InstallDocumentHooks). Every query accepts a
// null document and then answers as for an empty one; so does every query
// before the table is filled.

// A parameter's value for the given table row: (1, 0) for an id nothing
// defines.
Complex GetParameter(int32_t variableId, int32_t tableRow, DocumentRecord* document);

// Table functions of one and two arguments; NaN where the column is
// unknown. The complex forms need real arguments, the complex-interval
// forms arguments whose imaginary interval is exactly [0, 0].
double GetInterpolation(int32_t columnId, double x, DocumentRecord* document);
double GetInterpolation(int32_t columnId, double x, double y, DocumentRecord* document);
Interval GetInterpolation(int32_t columnId, const Interval& x, DocumentRecord* document);
Interval GetInterpolation(int32_t columnId, const Interval& x, const Interval& y, DocumentRecord* document);
Complex GetInterpolation(int32_t columnId, const Complex& x, DocumentRecord* document);
Complex GetInterpolation(int32_t columnId, const Complex& x, const Complex& y, DocumentRecord* document);
ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x, DocumentRecord* document);
ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x, const ComplexInterval& y,
                                 DocumentRecord* document);

// The compiled program of the document's user-defined function of that
// number; null when there is none.
AStackMachine* GetMachineFromDocumentFunction(int32_t functionNumber, DocumentRecord* document);

// The text of a cell of a text column; null when no column has the id.
const UniChar* GetTableStringPtr(int32_t tableDataId, int32_t row, DocumentRecord* document);
// Data rows of the column whose heading has the id; 0 when none has it.
int32_t GetTableDataSize(DocumentRecord* document, int32_t variableId);

// The current value of the document's slider.
double SliderValue(DocumentRecord* document);

// The document's side of the queries: the real interpolations (the complex
// forms are built on them) and the rest one for one.
struct DocumentQueryHooks {
  Complex (*getParameter)(int32_t variableId, int32_t tableRow, const DocumentRecord* document);
  double (*interpolate)(int32_t columnId, double x, const DocumentRecord* document);
  double (*interpolate2)(int32_t columnId, double x, double y, const DocumentRecord* document);
  Interval (*interpolateInterval)(int32_t columnId, const Interval& x, const DocumentRecord* document);
  Interval (*interpolateInterval2)(int32_t columnId, const Interval& x, const Interval& y,
                                   const DocumentRecord* document);
  AStackMachine* (*functionMachine)(int32_t functionNumber, const DocumentRecord* document);
  const UniChar* (*tableString)(int32_t tableDataId, int32_t row, const DocumentRecord* document);
  int32_t (*tableDataSize)(const DocumentRecord* document, int32_t variableId);
  double (*sliderValue)(const DocumentRecord* document);
};

// Every entry must be filled.
void InstallDocumentQueryHooks(const DocumentQueryHooks& hooks);
const DocumentQueryHooks& InstalledDocumentQueryHooks();
