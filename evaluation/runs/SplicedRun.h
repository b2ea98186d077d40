#pragma once

// The run of a real program through its spliced form (SplicedCalls.h),
// falling back to taking its callees in where it has none.

#include <cstdint>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/runs/FunctionLookup.h"
#include "evaluation/native/NativeRun.h"
#include "evaluation/runs/SplicedCalls.h"
#include "evaluation/runs/TranslatedRun.h"

namespace translated {

template <typename T>
const ATranslation* TranslationFor(const AStackMachine& program) {
  return TranslationOf<T>(program);
}

// Out of line: the frame holds every callee's slots, which no other run
// should pay for. Real values only.
template <typename T>
[[gnu::noinline]] T RunWithCalls(const ATranslation& translation, const AStackMachine& m, T* variables) {
  const uint64_t generation = gFunctionsGeneration.load(std::memory_order_acquire);
  const ASplicedForm* form = m.fSplicedForm.load(std::memory_order_acquire);
  if (form == nullptr || form->generation != generation) [[unlikely]] {
    form = CurrentSplicedForm(m, generation, &TranslationFor<T>);
  }
  if (form == nullptr || form->translation == nullptr) {
    return RunTranslated<T, RunForm::kTakesCallsIn>(translation, m, variables);
  }
  T slots[kSplicedSlots];
  for (int32_t i = 0; i < form->slotCount; ++i) slots[form->slotsRead[i]] = variables[form->slotsRead[i]];
  const T value = form->translation->native != nullptr ? RunNative(*form->translation, m, slots)
                                                       : RunTranslated<T>(*form->translation, m, slots);
  for (int32_t i = 0; i < form->calleeCount; ++i) {
    if (form->calleeCancel[i]->load(std::memory_order_relaxed) != 0) return gNaN;
  }
  return value;
}

}  // namespace translated
