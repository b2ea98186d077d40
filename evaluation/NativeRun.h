#pragma once

// A run of a real program's native form (NativeForm.h), with the
// translated run's constants and its cancellation test at the end.

#include "CoreUtilities/MathConstants.h"
#include "evaluation/CancelWords.h"
#include "evaluation/NativeForm.h"
#include "evaluation/TranslatedRun.h"
#include "platform/CheckedConvert.h"

namespace translated {

inline double RunNative(const ATranslation& translation, const AStackMachine& m, double* variables) {
  Complex constants[kTranslatedConstants];
  CopyStepConstants(m, translation, constants);
  const int32_t row = translation.readsRow ? DoubleToInt32(variables[kSlotTableRow]) : 0;
  const double value = translation.native->entry(variables, constants, &m, row);
  return CancelWords(m).Screen(value, gNaN);
}

}  // namespace translated
