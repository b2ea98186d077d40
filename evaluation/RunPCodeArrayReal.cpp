#include "evaluation/RealValueOps.h"

#include "evaluation/GridInterpreter.h"

template void RunPCodeArray<double>(const AStackMachine*, MGridVariables*, double*);

void AStackMachine::RunArrayDouble(MGridVariables* grid, double* out) const {
  RunPCodeArray<double>(this, grid, out);
}
