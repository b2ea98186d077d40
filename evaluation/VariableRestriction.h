#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Stands for "no further variable" among the ids HasOnly allows.
inline constexpr int32_t kNoAllowedVariable = 32;

// True when every node of the tree can be computed numerically (partial
// derivatives of variables, summation indices and parameters allowed),
// where the graphing variables x, y, z, w, t, u, v, r, theta and phi count
// only when they are among the four allowed ids.
bool HasOnly(ExpressionRecord* tree, DocumentRecord* document, int32_t id1, int32_t id2, int32_t id3,
             int32_t id4);
