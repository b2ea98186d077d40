#pragma once

#include <cmath>
#include <cstdint>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/runs/ValueOps.h"

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

// The same choice over real values, where found is a flag: with only 1.0
// true, a second condition that holds short of 1.0 gives NaN.
template <>
inline double ChooseBranch<double>(const double* pairs, int32_t pairCount) {
  double result = gNaN;
  bool found = false;
  for (int32_t k = pairCount - 1; k >= 0; --k) {
    const double condition = pairs[2 * k];
    if (std::isnan(condition) || condition == 0.0) continue;
    result = !found || condition == 1.0 ? pairs[2 * k + 1] : gNaN;
    found = found || condition == 1.0;
  }
  return result;
}
