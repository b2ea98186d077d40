#pragma once

#include <cstdint>

#include "CoreUtilities/MathConstants.h"

class AnExpression;

// Evaluations of a function graph's expressions, counted per thread so that
// the graph can say what a column cost.
extern thread_local int64_t tFunctionEvaluations;
double EvaluateAt(AnExpression* e, double u);
// The enclosure of e over [a, b].
void EncloseOver(AnExpression* e, double a, double b, double* lo, double* hi);

// Sample fractions of a span shared by the pixel tests of function graphs:
// the same 21 values, ascending and in a scattered order that tries the
// far end first.
extern const double gRandom2[21];
extern const double gRandom[21];

// The smallest meaningful step near a span [a, b].
double PrecisionScale(double a, double b);

// Whether f moves in one direction over [a, b] at the sample points and
// fprime (when given) keeps one sign there.
bool IsPixelMonotonic(AnExpression* f, AnExpression* fprime, double a, double b);
