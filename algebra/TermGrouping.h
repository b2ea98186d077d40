#pragma once

#include "algebra/FactorSummaries.h"
#include "expression/ExpressionRecord.h"

#include <vector>

// Like terms of sums and like factors of products and quotients combine
// (3x + 5x = 8x, x x^2 = x^3, x^3/x = x^2). Each works in place on the node
// it is given and simplifies what it changes.

// True when two factors combine by adding exponents: their bases (a
// power's base, else the factor) are structurally equal, two numbers only
// when not 0, and the sum of their exponents keeps the value.
bool GRP_MultSimilar(const ExpressionRecord* a, const ExpressionRecord* b);
// summaries: one per factor of e (SummariseFactors), kept in step as
// factors combine.
void GRP_OnMult(ExpressionRecord* e, std::vector<FactorSummary>* summaries);
void GRP_OnPlus(ExpressionRecord* e);
// Cancels like factors between the numerator and the denominator.
void GRP_OnDiv(ExpressionRecord* e);
