#pragma once

#include "CoreUtilities/Complex.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/interval/Interval.h"

class AStackMachine;
struct MGridVariables;

// Runs the program once at the point the variable array holds and returns
// its value; NaN of the type when the run fails or is cancelled. Interval
// and ComplexInterval runs take no grid variables.
template <typename T>
T RunPCode(const AStackMachine* machine, T* variables, const MGridVariables* grid);

extern template double RunPCode<double>(const AStackMachine*, double*, const MGridVariables*);
extern template Complex RunPCode<Complex>(const AStackMachine*, Complex*, const MGridVariables*);
extern template Interval RunPCode<Interval>(const AStackMachine*, Interval*, const MGridVariables*);
extern template ComplexInterval RunPCode<ComplexInterval>(const AStackMachine*, ComplexInterval*,
                                                          const MGridVariables*);

// The call of a user-defined function: runs the callee on a fresh array
// sized for it, holding the arguments in slots 0 upward, the caller's
// slider value in kSlotSlider and the caller's current table row in
// kSlotTableRow unless arguments occupy them, and zero elsewhere. NaN when
// there is no callee, no stack left, no room for the array, or more
// arguments than the callee's fixed slots.
template <typename T>
T CallUserFunction(const AStackMachine* callee, const T* arguments, int32_t argumentCount, const T& sliderValue,
                   int32_t tableRow);

// The same run through the reference dispatch, one switch per instruction;
// RunPCode takes a faster dispatch for every program it can, and the
// tests hold the two against each other.
template <typename T>
T RunPCodeSwitched(const AStackMachine* machine, T* variables, const MGridVariables* grid);

extern template double RunPCodeSwitched<double>(const AStackMachine*, double*, const MGridVariables*);
extern template Complex RunPCodeSwitched<Complex>(const AStackMachine*, Complex*, const MGridVariables*);
extern template Interval RunPCodeSwitched<Interval>(const AStackMachine*, Interval*, const MGridVariables*);
extern template ComplexInterval RunPCodeSwitched<ComplexInterval>(const AStackMachine*, ComplexInterval*,
                                                                  const MGridVariables*);
