#include "evaluation/RealValueOps.h"

#include "evaluation/InterpreterCore.h"

template double RunPCode<double>(const AStackMachine*, double*, const MGridVariables*);
template double CallUserFunction<double>(const AStackMachine*, const double*, int32_t,
                                         const double&, int32_t);

double AStackMachine::Run(double* variables, MGridVariables* grid) const {
  return RunPCode<double>(this, variables, grid);
}
