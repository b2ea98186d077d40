#pragma once

#include <type_traits>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/MathConstants.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/interval/Interval.h"

// A real number as a value of each type the interpreters run.
template <typename T>
T FromReal(double value) {
  if constexpr (std::is_same_v<T, Complex>) {
    return {value, 0.0};
  } else if constexpr (std::is_same_v<T, Interval>) {
    return {value, value};
  } else if constexpr (std::is_same_v<T, ComplexInterval>) {
    return {{value, value}, {0.0, 0.0}};
  } else {
    return value;
  }
}

// A run's result as the real number callers get: NaN off the real line.
inline double RealResult(double x) { return x; }
inline double RealResult(const Complex& z) { return z.im == 0 ? z.re : gNaN; }
