#pragma once

#include "CoreUtilities/MathConstants.h"

// Plain record shared by the matrix routines and the complex evaluator.
struct Complex {
  double re;
  double im;
};

inline constexpr Complex gNaNComplex = {gNaN, gNaN};
