#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// When the rewrites that join or split powers and logarithms keep a
// formula's value. Letters are real. In a formula without the letter i the
// numeric engine takes a negative base to a fraction of whole numbers with
// an odd denominator as the real root, and to any other exponent only when
// that is a whole number; in a formula holding i every power is on the
// principal branch, so only identities of that branch hold there.

// The exponent as n/d in lowest terms, d > 0: a whole number, or a
// quotient of whole numbers or its negation (which the engine takes as a
// root). False for anything else.
bool RationalExponent(const ExpressionRecord* exponent, int64_t* n, int64_t* d);

// (f0 f1 ...)^E may become f0^E f1^E ..., and (a/b)^E a^E/b^E.
bool ExponentSpreadsOverFactors(const ExpressionRecord* power);

// (-a)^E may become (-1)^E a^E.
bool ExponentSpreadsOverNegation(const ExpressionRecord* power);

// How (a^b)^E may join into one power.
enum class PowerJoin {
  kLeave,
  kJoin,            // a^(b E)
  kJoinOfAbsolute,  // |a|^(b E): a^b is |a|^b, and a^(b E) is not |a|^(b E)
};
PowerJoin JoinOfPowers(const ExpressionRecord* power);

// Like factors a and b (powers of one base, or the base itself) may
// combine by adding their exponents.
bool ExponentsAdd(const ExpressionRecord* a, const ExpressionRecord* b);

// log(f0 f1 ...) may become log f0 + log f1 + ...
bool LogSpreadsOverFactors(const ExpressionRecord* product);

// How log(a^b) may become b log a.
enum class LogOfPower {
  kLeave,
  kBring,          // b log a
  kBringAbsolute,  // b log |a|
};
LogOfPower BringingDownExponent(const ExpressionRecord* power);
