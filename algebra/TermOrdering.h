#pragma once

#include "algebra/FactorSummaries.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <vector>

// The canonical order of factors: numbers first, then by node kind, atoms
// by name with special symbols first, e and the degree sign last. Factors
// that hold a matrix keep their places.

// ORDR_Generic(e, null, true), its factors' summaries (SummariseFactors)
// moved along with them.
void ORDR_OnMult(ExpressionRecord* e, std::vector<FactorSummary>* summaries);
// A stable sort of e's operands: by ORDR_MultLessThan when byFactor, else
// by the whole power of x in each (ORDR_Power), highest first while
// Order_By_Increasing is non-zero, lowest first otherwise.
void ORDR_Generic(ExpressionRecord* e, const ExpressionRecord* x, bool byFactor);
// True when factor a goes before factor b.
bool ORDR_MultLessThan(const ExpressionRecord* a, const ExpressionRecord* b);
// The power of x in a term: its first factor with a non-zero power, after
// a leading negation and through a quotient's numerator.
int32_t ORDR_Power(const ExpressionRecord* term, const ExpressionRecord* x);
// The power of x in one factor: a number exponent (or its negation) of a
// power of x, 1 for x itself, else 0.
int32_t ORDR_Power1(const ExpressionRecord* factor, const ExpressionRecord* x);
