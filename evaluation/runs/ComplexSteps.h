#pragma once

// The steps only a complex run writes out in its loop (see TranslatedRun.h
// and ZL_INLINE_COMPLEX_STEPS): what a complex formula writes most. Other
// value types call their step functions for them, as before they existed,
// so that their runs keep the code they were measured with.

#include <cstdint>
#include <type_traits>

#include "CoreUtilities/Complex.h"
#include "evaluation/runs/TranslatedSteps.h"

namespace translated {

constexpr bool IsComplexOnly(Kind kind) {
  switch (kind) {
#define ZL_COMPLEX_KIND(name, ...) case Kind::name:
    ZL_INLINE_COMPLEX_STEPS(ZL_COMPLEX_KIND)
#undef ZL_COMPLEX_KIND
    return true;
    default: return false;
  }
}

// x + i y: a variable pushed, i times a variable pushed, the two added. The
// first step becomes one that does the work of all three and goes on after
// the third; the other two stay as they were, for a jump that lands on
// them. The cell the second parks the first value in lies above the stack
// once the third has added, and is left unwritten. All three make the NaN
// stop, so the one after the sum can stand for the others.
template <typename T>
void SettleComplexSteps(Step<T>* steps, int32_t n) {
  if constexpr (!std::is_same_v<T, Complex>) {
    for (int32_t i = 0; i < n; ++i) {
      if (IsComplexOnly(steps[i].kind)) steps[i].kind = Kind::kCall;
    }
  } else {
    // A power of a number makes no NaN stop for its number: a NaN exponent
    // makes a NaN part of the power, which the stop after the step meets.
    // Without that stop, the step calls out.
    for (int32_t i = 0; i < n; ++i) {
      if (steps[i].kind == Kind::kPowNumber && !steps[i].checkNaN) steps[i].kind = Kind::kCall;
    }
    for (int32_t i = 0; i + 2 < n; ++i) {
      Step<T>& push = steps[i];
      const Step<T>& timesUnit = steps[i + 1];
      const Step<T>& add = steps[i + 2];
      if (push.kind == Kind::kPushSlot && timesUnit.kind == Kind::kPushMulImaginaryUnitSlot && add.kind == Kind::kAdd &&
          timesUnit.cell == push.cell + 1 && add.cell == timesUnit.cell && push.checkNaN && timesUnit.checkNaN &&
          add.checkNaN) {
        push.kind = Kind::kPushSlotPlusImaginaryUnitSlot;
        push.b = timesUnit.b;
      }
    }
  }
}

}  // namespace translated
