#include "evaluation/ComplexValueOps.h"

#include "evaluation/GridInterpreter.h"

template void RunPCodeArray<Complex>(const AStackMachine*, MGridVariables*, double*);

void AStackMachine::RunArrayComplex(MGridVariables* grid, double* out) const {
  RunPCodeArray<Complex>(this, grid, out);
}
