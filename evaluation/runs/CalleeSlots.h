#pragma once

// The variable slots a called document function starts with.

#include <algorithm>
#include <bit>
#include <cstdint>

#include "evaluation/StackMachine.h"
#include "evaluation/runs/ValueOps.h"

// Arguments a call copies into slots of its own frame; a callee with more
// slots gets an array from the heap.
inline constexpr int32_t kFrameArgumentSlots = 32;

// The callee's slot count (at least the fixed slots).
inline int32_t CalleeSlotCount(const AStackMachine& callee) {
  return std::max(callee.VariableSlotCount(), kTemporariesBase);
}

// The arguments first, then zeros where the callee may look (a slot none
// of its instructions names is never read), then the caller's slider and
// table row unless arguments took their slots.
template <typename T>
[[gnu::always_inline]] inline void FillCalleeSlots(const AStackMachine& callee, T* slots, int32_t slotCount,
                                                   const T* arguments, int32_t argumentCount, const T& sliderValue,
                                                   int32_t tableRow) {
  using Ops = ValueOps<T>;
  for (int32_t slot = 0; slot < argumentCount; ++slot) {
    // Hidden from the optimiser, which would call memcpy for the few
    // arguments a call has.
    asm("" : "+r"(slot));
    slots[slot] = arguments[slot];
  }
  uint64_t zeros = callee.SlotsTouched() & ~((uint64_t{1} << argumentCount) - 1);
  if ((zeros >> AStackMachine::kSlotsTouchedTop & 1) != 0) {
    for (int32_t slot = std::max(argumentCount, AStackMachine::kSlotsTouchedTop); slot < slotCount; ++slot) {
      slots[slot] = Ops::Zero();
    }
  }
  for (; zeros != 0; zeros &= zeros - 1) {
    const int32_t slot = std::countr_zero(zeros);
    if (slot < slotCount) slots[slot] = Ops::Zero();
  }
  if (argumentCount <= kSlotSlider) slots[kSlotSlider] = sliderValue;
  if (argumentCount <= kSlotTableRow) slots[kSlotTableRow] = Ops::FromReal(tableRow);
}
