#pragma once

#include <cstdint>

#include "evaluation/ValueOps.h"

// The value of a piecewise definition from its (condition, value) pairs, the
// last pair first: a true condition wins; an undecided one mixes its value
// with what is found so far.
template <typename T>
T ChooseBranch(const T* pairs, int32_t pairCount) {
  using Ops = ValueOps<T>;
  T result = Ops::NaN();
  T found = Ops::False();
  for (int32_t k = pairCount - 1; k >= 0; --k) {
    const T& condition = pairs[2 * k];
    const T& value = pairs[2 * k + 1];
    if (Ops::HasNaN(condition) || Ops::IsFalse(condition)) continue;
    if (Ops::IsFalse(found) || Ops::IsTrue(condition)) {
      result = value;
    } else {
      result = Ops::Undecided(result, value);
    }
    found = Ops::FoundOr(found, condition);
  }
  return result;
}
