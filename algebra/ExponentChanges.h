#pragma once

#include "expression/ExpressionRecord.h"

// Changes to the exponent of a power node made when like factors combine
// or cancel; each simplifies the exponent and then the power. A number
// exponent changes its value in place.

// exponent + delta, for delta = 1 or -1.
void StepExponent(ExpressionRecord* power, double delta);
// other + exponent.
void AddToExponent(ExpressionRecord* power, const ExpressionRecord* other);
// (-other) + exponent.
void SubtractFromExponent(ExpressionRecord* power, const ExpressionRecord* other);
