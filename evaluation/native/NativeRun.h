#pragma once

// A run of a real program's native form (NativeForm.h), with the
// translated run's constants and its cancellation test at the end.

#include "CoreUtilities/MathConstants.h"
#include "evaluation/runs/CancelWords.h"
#include "evaluation/native/NativeForm.h"
#include "evaluation/runs/TranslatedRun.h"
#include "platform/CheckedConvert.h"

namespace translated {

// Out of line: only a program that pushes constants pays for their copy.
[[gnu::noinline]] inline double RunNativeWithConstants(const ATranslation& translation, const AStackMachine& m,
                                                       double* variables, int32_t row) {
  Complex constants[kTranslatedConstants];
  CopyStepConstants(m, translation, constants);
  return translation.native->entry(variables, constants, &m, row);
}

[[gnu::always_inline]] inline double RunNative(const ATranslation& translation, const AStackMachine& m,
                                               double* variables) {
  const int32_t row = translation.readsRow ? DoubleToInt32(variables[kSlotTableRow]) : 0;
  const double value = translation.constantCount == 0 ? translation.native->entry(variables, nullptr, &m, row)
                                                      : RunNativeWithConstants(translation, m, variables, row);
  return CancelWords(m).Screen(value, gNaN);
}

}  // namespace translated
