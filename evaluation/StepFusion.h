#pragma once

// Runs of steps of a translation that the run takes as one (see
// TranslatedRun.h).

#include <cstdint>

#include "evaluation/TranslatedSteps.h"

namespace translated {

// x + i y: a variable pushed, i times a variable pushed, the two added. The
// first step becomes one that does the work of all three and goes on after
// the third; the other two stay as they were, for a jump that lands on
// them. The cell the second parks the first value in lies above the stack
// once the third has added, and is left unwritten.
template <typename T>
void FuseSteps(Step<T>* steps, int32_t n) {
  for (int32_t i = 0; i + 2 < n; ++i) {
    Step<T>& push = steps[i];
    const Step<T>& timesUnit = steps[i + 1];
    const Step<T>& add = steps[i + 2];
    if (push.kind == Kind::kPushSlot && timesUnit.kind == Kind::kPushMulImaginaryUnitSlot &&
        add.kind == Kind::kAdd && timesUnit.cell == push.cell + 1 && add.cell == timesUnit.cell &&
        push.checkNaN && timesUnit.checkNaN && add.checkNaN) {
      push.kind = Kind::kPushSlotPlusImaginaryUnitSlot;
      push.b = timesUnit.b;
    }
  }
}

}  // namespace translated
