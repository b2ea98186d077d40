#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Structural equality: the same kinds and operand counts everywhere,
// numbers equal as doubles (NaN never equal, 0 equal to -0), atoms and
// placeholders by id, strings by text. Matrix shapes and edit data are not
// compared. False when either is null.
bool MATH_Equal(const ExpressionRecord* a, const ExpressionRecord* b);

// True when some atom of the tree has the variable id.
bool DIM_Contains(const ExpressionRecord* tree, int32_t variableId);
