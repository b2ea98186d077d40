#pragma once

#include "expression/ExpressionRecord.h"

// Symbolic differentiation, which the algebra above this layer supplies
// with one start-up call. Until then there is none and compiled
// expressions have no derivative expression.
struct DerivativeHooks {
  // Works out every derivative of the tree in place, without simplifying.
  void (*differentiateWithoutSimplifying)(ExpressionRecord* tree);
};

void InstallDerivativeHooks(const DerivativeHooks& hooks);
const DerivativeHooks& CurrentDerivativeHooks();
