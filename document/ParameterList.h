#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The shown-parameter list: letters a graph uses that nothing defines, each
// with the value the user gives it (read through GetValueFromParameterList,
// expression/DocumentHooks.h).
inline constexpr int32_t kMostShownParameters = 100;

// Adds each free parameter letter of the tree (not the slider's, not one
// the document defines, not a summation index or table column) with the
// value 1, up to kMostShownParameters letters; every listed letter of the
// tree is shown in the coordinate display.
void AddToParameterList(const ExpressionRecord* tree, DocumentRecord* document);
