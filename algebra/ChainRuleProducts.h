#pragma once

#include "expression/ExpressionRecord.h"

// The chain rule multiplies a derivative it has just simplified by one new
// factor, level after level of a nested function. Simplifying that whole
// product again at each level walks every factor to the bottom each time:
// a nest n deep would cost n^3. Where every factor is a chain of
// one-operand nodes down to the same variable, or such a chain to a
// number's power (the sec^2 of tan), the order of factors is a
// strict weak order, so the product the last derivative left is kept
// sorted with factors of distinct hashes, and the new factor is placed by
// a binary search: the tree the full simplification gives, in time near
// the size of the new factor. The signs that cos and its like bring are
// moved out as the product's rules move them.

// Forgets the product the last derivative left. A derivative calls it as
// it starts, so that product is only ever seen by the derivative that
// called for it, before anything else could write to it.
void ForgetSortedChainProduct();

// SIMP_TwoLevels(e) for the tree a derivative ends with.
void SimplifyDerivativeResult(ExpressionRecord* e);
