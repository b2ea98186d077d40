#include "evaluation/native/NativeFunctions.h"

#include "evaluation/runs/BranchChoice.h"
#include "evaluation/runs/CancelWords.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/runs/RealValueOps.h"
#include "evaluation/StackEffect.h"
#include "evaluation/runs/TranslatedSteps.h"

namespace native {

namespace {

template <int32_t kOpcode>
double RunUnary(double x) {
  return translated::Unary<double, kOpcode>::Run(x);
}

template <int32_t kOpcode>
double RunBinary(double second, double top) {
  return translated::Binary<double, kOpcode>::Run(second, top);
}

double RunPowFrac(double third, double second, double top) { return ValueOps<double>::PowFrac(third, second, top); }
double RunClamp(double third, double second, double top) { return ValueOps<double>::Clamp(third, second, top); }

}  // namespace

UnaryFunction UnaryOperation(int32_t opcode) {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &RunUnary<name>;
    ZL_UNARY_OPCODES(ZL_CASE)
#undef ZL_CASE
    default: return nullptr;
  }
}

BinaryFunction BinaryOperation(int32_t opcode) {
  switch (opcode) {
#define ZL_CASE(name, ...) \
  case name: return &RunBinary<name>;
    ZL_BINARY_OPCODES(ZL_CASE)
    ZL_CASE(pcIf)
#undef ZL_CASE
    default: return nullptr;
  }
}

TernaryFunction TernaryOperation(int32_t opcode) {
  if (opcode == pcPowFrac) return &RunPowFrac;
  if (opcode == pcClamp) return &RunClamp;
  return nullptr;
}

double ChooseRealBranch(const double* pairs, int32_t pairCount) { return ChooseBranch(pairs, pairCount); }

double CompareChain(const double* operands, int32_t a, int32_t opcode) {
  using Ops = ValueOps<double>;
  const int32_t pairs = ChainShapeOf(opcode, a).pairs;
  double result = Ops::True();
  double right = operands[pairs];
  for (int32_t k = 0; k < pairs; ++k) {
    const double left = operands[pairs - 1 - k];
    result = Ops::ChainAnd(result, Ops::Compare(opcode, left, right));
    right = left;
  }
  return result;
}

double ParameterValue(const AStackMachine* program, int32_t row, int32_t id) {
  return ValueOps<double>::FromParameter(GetParameter(id, row, program->fDocument));
}

double InterpolatedValue(const AStackMachine* program, double x, int32_t id) {
  return ValueOps<double>::Interpolate(id, x, program->fDocument);
}

double InterpolatedValue2(const AStackMachine* program, double second, double top, int32_t id) {
  return ValueOps<double>::Interpolate(id, top, second, program->fDocument);
}

bool CancelRaised(const AStackMachine* program) { return CancelWords(*program).Raised(); }

}  // namespace native
