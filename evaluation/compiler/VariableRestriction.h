#pragma once

#include <array>
#include <cstdint>

#include "expression/ExpressionRecord.h"
#include "expression/NumericComputability.h"

class DocumentRecord;

// Stands for "no further variable" among the ids HasOnly allows.
inline constexpr int32_t kNoAllowedVariable = 32;

// Partial derivatives of variables, summation indices and parameters.
inline constexpr int32_t kHasOnlyFlags = kAllowPartialOfVariable | kAllowSummationIndices | kAllowParameters;

using AllowedVariables = std::array<int32_t, 4>;

// True when every node of the tree can be computed numerically (partial
// derivatives of variables, summation indices and parameters allowed),
// where the graphing variables x, y, z, w, t, u, v, r, theta and phi count
// only when they are among the four allowed ids.
bool HasOnly(ExpressionRecord* tree, DocumentRecord* document, int32_t id1, int32_t id2, int32_t id3, int32_t id4);
// The same under other computability flags; with passMatricesAndFunctions
// matrix and function-application nodes themselves are not tested (their
// operands are).
bool HasOnlyWithFlags(ExpressionRecord* tree, DocumentRecord* document, int32_t flags, const AllowedVariables& ids,
                      bool passMatricesAndFunctions);
