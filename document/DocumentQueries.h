#pragma once

#include <cstdint>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/OurText/UniChar.h"
#include "evaluation/ComplexInterval.h"
#include "evaluation/Interval.h"

class AStackMachine;
class DocumentRecord;

// What running programs read from their document. Every query accepts a
// null document and then answers as for an empty one.

// A parameter's value for the given table row: (1, 0) for an id nothing
// defines.
Complex GetParameter(int32_t variableId, int32_t tableRow, DocumentRecord* document);

// Table functions of one and two arguments; NaN where the column is
// unknown. The complex forms need real arguments, the complex-interval
// forms arguments whose imaginary interval is exactly [0, 0].
double GetInterpolation(int32_t columnId, double x, DocumentRecord* document);
double GetInterpolation(int32_t columnId, double x, double y, DocumentRecord* document);
Interval GetInterpolation(int32_t columnId, const Interval& x, DocumentRecord* document);
Interval GetInterpolation(int32_t columnId, const Interval& x, const Interval& y,
                          DocumentRecord* document);
Complex GetInterpolation(int32_t columnId, const Complex& x, DocumentRecord* document);
Complex GetInterpolation(int32_t columnId, const Complex& x, const Complex& y,
                         DocumentRecord* document);
ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x,
                                 DocumentRecord* document);
ComplexInterval GetInterpolation(int32_t columnId, const ComplexInterval& x,
                                 const ComplexInterval& y, DocumentRecord* document);

// The compiled program of the document's user-defined function of that
// number; null when there is none.
AStackMachine* GetMachineFromDocumentFunction(int32_t functionNumber, DocumentRecord* document);

// The text of a cell of a text column; null when no column has the id.
const UniChar* GetTableStringPtr(int32_t tableDataId, int32_t row, DocumentRecord* document);
// Data rows of the column whose heading has the id; 0 when none has it.
int32_t GetTableDataSize(DocumentRecord* document, int32_t variableId);

// The current value of the document's slider.
double SliderValue(DocumentRecord* document);
