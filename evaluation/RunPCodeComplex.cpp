#include "evaluation/ComplexValueOps.h"

#include "evaluation/InterpreterCore.h"

template Complex RunPCode<Complex>(const AStackMachine*, Complex*, const MGridVariables*);
template Complex CallUserFunction<Complex>(const AStackMachine*, const Complex*, int32_t,
                                           const Complex&, int32_t);

Complex AStackMachine::Run(Complex* variables, MGridVariables* grid) const {
  return RunPCode<Complex>(this, variables, grid);
}
