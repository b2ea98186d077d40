#pragma once

// What each value type's interpreter defines before the shared interpreter
// is instantiated for it (see InterpreterCore.h).

#include <cstdint>

#include "CoreUtilities/Complex.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/PCodeOp.h"

template <typename T>
struct ValueOps;

inline constexpr double kMaxLoopIterations = 100000;

enum class LoopStep { kLeave, kEnter, kAbandon };
