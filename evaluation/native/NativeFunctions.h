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

// A chain of comparisons over its operands, the top last.
double CompareChain(const double* operands, int32_t a, int32_t opcode);

// What a program reads from its document, as a real value.
double ParameterValue(const AStackMachine* program, int32_t row, int32_t id);
double InterpolatedValue(const AStackMachine* program, double x, int32_t id);
double InterpolatedValue2(const AStackMachine* program, double second, double top, int32_t id);

// A raised cancellation flag concerns this run's thread.
bool CancelRaised(const AStackMachine* program);

}  // namespace native
