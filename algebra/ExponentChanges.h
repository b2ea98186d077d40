#pragma once

#include "expression/ExpressionRecord.h"

// Changes to the exponent of a power node made when like factors combine
// or cancel; each simplifies the exponent and then the power. A number
// exponent changes its value in place; two finite number exponents whose
// sum or difference is not finite are refused (false, nothing changed).

// exponent + delta, for delta = 1 or -1.
void StepExponent(ExpressionRecord* power, double delta);
// other + exponent.
bool AddToExponent(ExpressionRecord* power, const ExpressionRecord* other);
// (-other) + exponent.
bool SubtractFromExponent(ExpressionRecord* power, const ExpressionRecord* other);
