#pragma once

#include <cstdint>

// The algebra's switches, read on every call. Each thread has its own set,
// starting at the values below, so a rewrite on one thread never sees a
// setting made on another: the simplifier is safe on any thread that works
// on its own trees. Change one only through ScopedAlgebraSwitch.

// 1 while the expansion differentiates a formula into which it has just
// substituted the definitions (start 0).
extern thread_local int32_t gMathExpandingDefinitions;
// Like terms of a sum are grouped (start 1).
extern thread_local int32_t gMathGroupTermsInSum;
// Factors of a product are ordered (start 1).
extern thread_local int32_t gMathOrderTerms;
// Exponents distribute over products, quotients, powers and negations
// (start 1).
extern thread_local int32_t gSimplifyPowers;
// Products distribute over sums and powers of sums expand (start 0).
extern thread_local int32_t Math_Multiply_Out;
// +1 or -1: the direction of the current term move (start +1).
extern thread_local int32_t gMathMoveLR;
// Ordering by powers of a variable puts higher powers first while non-zero
// (start 1).
extern thread_local int32_t Order_By_Increasing;
// The chain rule places each new factor into the sorted product it builds
// on, while 1 (start 1); 0 simplifies the whole product again, the result
// the placing must equal.
extern thread_local int32_t gPlaceChainRuleFactors;

// Sets a switch for its own lifetime and puts the old value back on every
// way out.
class ScopedAlgebraSwitch {
 public:
  ScopedAlgebraSwitch(int32_t& algebraSwitch, int32_t value) : fSwitch(algebraSwitch), fOld(algebraSwitch) {
    fSwitch = value;
  }
  ~ScopedAlgebraSwitch() { fSwitch = fOld; }
  ScopedAlgebraSwitch(const ScopedAlgebraSwitch&) = delete;
  ScopedAlgebraSwitch& operator=(const ScopedAlgebraSwitch&) = delete;

 private:
  int32_t& fSwitch;
  const int32_t fOld;
};
