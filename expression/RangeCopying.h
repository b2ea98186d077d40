#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// A new node of the list's kind holding copies of its operands first to
// last; null when the range does not lie in the list or memory runs out.
ExpressionRecord* MATH_CopyRange(const ExpressionRecord* list, int32_t first, int32_t last);
