#pragma once

// What native code calls for the work it does not write out: the very
// operations the interpreter runs, behind plain signatures.

#include <cstdint>

class AStackMachine;

namespace native {

using UnaryFunction = double (*)(double);
using BinaryFunction = double (*)(double second, double top);
using TernaryFunction = double (*)(double third, double second, double top);

// Null for an opcode that is no such operation.
UnaryFunction UnaryOperation(int32_t opcode);
BinaryFunction BinaryOperation(int32_t opcode);
TernaryFunction TernaryOperation(int32_t opcode);  // pcPowFrac and pcClamp

double ChooseRealBranch(const double* pairs, int32_t pairCount);

// A raised cancellation flag concerns this run's thread.
bool CancelRaised(const AStackMachine* program);

}  // namespace native
