#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The shown-parameter list: letters a graph uses that nothing defines, each
// with the value the user gives it.
inline constexpr int32_t kMostShownParameters = 100;

// Adds each free parameter letter of the tree (not the slider's, not one
// the document defines, not a summation index or table column) with the
// value 1, up to kMostShownParameters letters.
void AddToParameterList(const ExpressionRecord* tree, DocumentRecord* document);
// The letter's value, or NaN when it is not listed.
double GetValueFromParameterList(int32_t variableId, DocumentRecord* document);
// The letter is a point defined by a complex constant.
bool IsComplexParameter(ExpressionRecord* atom, DocumentRecord* document);
