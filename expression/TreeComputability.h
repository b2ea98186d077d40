#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;

// Tree-wide questions before a formula is computed in the setting of a
// document (which may be null). Each is false for a null tree.

// Every node computes to a number, with nothing but constants.
bool DIM_EvalsToNum(ExpressionRecord* tree, DocumentRecord* document);
// The same with the document's parameters and conditions.
bool DIM_EvalsToNumAllowingParameters(ExpressionRecord* tree, DocumentRecord* document);
// With parameters, conditions, summations, intervals and the slider
// variable, but no attribute word (color, label, ...).
bool DIM_EvalsToNumWithoutExpansion(ExpressionRecord* tree, DocumentRecord* document);
// A subtree of enclosing that may be replaced by its value: summation
// indices count only when bound inside the subtree's reach below enclosing.
bool DIM_EvalsToNumForFloatReplace(ExpressionRecord* tree, ExpressionRecord* enclosing, DocumentRecord* document);

// The tree needs complex arithmetic: the imaginary unit (not as a
// summation index), a complex function, or a complex parameter of the
// document anywhere in it.
bool DIM_Complex(ExpressionRecord* tree, DocumentRecord* document);

// The most data rows of any table column the tree names; 0 when none.
int32_t GetTableDataSize(ExpressionRecord* tree, DocumentRecord* document);
