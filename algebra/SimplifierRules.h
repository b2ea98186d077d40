#pragma once

#include "expression/ExpressionRecord.h"

// The simplifier's local rules. Each rewrites the node it is given in
// place (the node keeps its identity and its place in its parent), on the
// assumption that the node's operands are already simplified. A node of
// the wrong shape for its kind (operand count, empty slots) is left alone.

// Drives the node to a form on which no rule fires: numbers fold, sums and
// products flatten, fractions reduce, signs, powers and roots normalise,
// special values fold, like terms and factors group and factors sort; with
// Math_Multiply_Out, products distribute over sums and powers of sums
// expand. Stops, leaving a well-formed tree, when MathRewriteMustStop().
// A fold whose result would be NaN or infinite from finite operands is not
// made.
void SIMP_OneLevel(ExpressionRecord* node);

// Multiplying out leaves a product of sums or a power of a sum as it is
// when its expansion would have more terms than this before like terms
// combine (for an m-term sum to the n, C(n+m-1, m-1)): grouping is
// quadratic in the terms, and a larger expansion would hold the interface
// for minutes and take gigabytes.
inline constexpr double kMostMultipliedOutTerms = 10000.0;

// The sine and cosine values at multiples of pi and half pi.
void SIMP_OnTrig(ExpressionRecord* node);

// (a + rest)^n for a whole n from 2 to 23 becomes its binomial sum, each
// term simplified; false, the node unchanged, when the expansion would pass
// kMostMultipliedOutTerms or a check failed on the way.
bool BINOMIAL_EXPANSION(ExpressionRecord* node);
