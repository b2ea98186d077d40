#pragma once

#include "CoreUtilities/Complex.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;

// What running programs read of the document's slider and parameters.

// Recomputes the window slider's value from the document's slider
// settings and publishes it to the running programs.
void UpdateSliderValue(DocumentRecord* document);
// The published value; 0 for a null document.
double DocumentSliderValue(const DocumentRecord* document);
// The letter the window slider drives (default n).
int32_t SliderVariable(DocumentRecord* document);

// The letter's value in the shown-parameter list; NaN when not listed.
double ShownParameterValue(int32_t variableId, const DocumentRecord* document);

// Rebuilds the names the equations define (point plots of complex
// constants, math-pane sliders with constant bounds, names set to a
// formula) while no computation reads them.
void RebuildParameterDefinitions(DocumentRecord* document);
// On the expansion thread: a name the block sets to a formula takes the
// value its expanded equation folded the formula to, when it did.
void TakeExpandedParameterValue(DocumentRecord* document, int32_t block, const ExpressionRecord* expanded);
// A parameter's value: a point plot's point, a math-pane slider's value,
// a formula's folded value, else a table column's cell in the row, else
// (1, 0). Never fails.
Complex LookUpParameter(int32_t variableId, int32_t tableRow, const DocumentRecord* document);
