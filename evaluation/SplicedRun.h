#pragma once

// The run of a real program through its spliced form (SplicedCalls.h),
// falling back to taking its callees in where it has none.

#include <bit>
#include <cstdint>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/FunctionLookup.h"
#include "evaluation/SplicedCalls.h"
#include "evaluation/TranslatedRun.h"

namespace translated {

template <typename T>
bool IsStraightCallee(const AStackMachine& callee) {
  const ATranslation* translation = TranslationOf<T>(callee);
  return translation != nullptr && translation->straight && !translation->callsFunctions && !translation->readsRow &&
         translation->constantCount == 0;
}

// Out of line: the frame holds every callee's slots, which no other run
// should pay for. Real values only.
template <typename T>
[[gnu::noinline]] T RunWithCalls(const ATranslation& translation, const AStackMachine& m, T* variables) {
  const uint64_t generation = gFunctionsGeneration.load(std::memory_order_acquire);
  const ASplicedForm* form = m.fSplicedForm.load(std::memory_order_acquire);
  if (form == nullptr || form->generation != generation) [[unlikely]] {
    form = CurrentSplicedForm(m, generation, &IsStraightCallee<T>);
  }
  const ATranslation* spliced =
      form != nullptr && form->program != nullptr ? TranslationOf<T>(*form->program) : nullptr;
  if (spliced == nullptr || spliced->callsFunctions) {
    return RunTranslated<T, RunForm::kTakesCallsIn>(translation, m, variables);
  }
  T slots[kSplicedSlots];
  for (uint64_t read = form->slotsRead; read != 0; read &= read - 1) {
    const int32_t slot = std::countr_zero(read);
    slots[slot] = variables[slot];
  }
  if (spliced->readsRow) slots[kSlotTableRow] = variables[kSlotTableRow];
  const T value = RunTranslated<T>(*spliced, m, slots);
  for (int32_t i = 0; i < form->calleeCount; ++i) {
    if (form->calleeCancel[i]->load(std::memory_order_relaxed) != 0) return gNaN;
  }
  return value;
}

}  // namespace translated
