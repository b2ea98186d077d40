// The point and grid interpreters over real and complex values. The
// interval types have their own files: their value operations are long.
#include "evaluation/runs/ComplexValueOps.h"
#include "evaluation/runs/RealValueOps.h"

#include "evaluation/grid/GridInterpreter.h"
#include "evaluation/runs/InterpreterCore.h"

template double RunPCode<double>(const AStackMachine*, double*, const MGridVariables*);
template double RunPCodeSwitched<double>(const AStackMachine*, double*, const MGridVariables*);
template double CallUserFunction<double>(const AStackMachine*, const double*, int32_t, const double&, int32_t);
template void RunPCodeArray<double>(const AStackMachine*, MGridVariables*, double*);

template Complex RunPCode<Complex>(const AStackMachine*, Complex*, const MGridVariables*);
template Complex RunPCodeSwitched<Complex>(const AStackMachine*, Complex*, const MGridVariables*);
template Complex CallUserFunction<Complex>(const AStackMachine*, const Complex*, int32_t, const Complex&, int32_t);
template void RunPCodeArray<Complex>(const AStackMachine*, MGridVariables*, double*);

double AStackMachine::Run(double* variables, MGridVariables* grid) const {
  return RunPCode<double>(this, variables, grid);
}

Complex AStackMachine::Run(Complex* variables, MGridVariables* grid) const {
  return RunPCode<Complex>(this, variables, grid);
}

void AStackMachine::RunArrayDouble(MGridVariables* grid, double* out) const { RunPCodeArray<double>(this, grid, out); }

void AStackMachine::RunArrayComplex(MGridVariables* grid, double* out) const {
  RunPCodeArray<Complex>(this, grid, out);
}
