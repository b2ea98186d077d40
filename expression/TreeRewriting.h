#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Whole-tree rewrites in place; every node keeps its identity.

// Atoms with id `from` get id `to`, except the base name of a subscripted
// name (operand 0 of an indexes node).
void ReplaceAtoms(ExpressionRecord* tree, int32_t from, int32_t to);

// Replaces every identity wrapper ("id") of the tree, the root included,
// by its operand.
void MATH_RemoveIdentities(ExpressionRecord* tree);

// The prime of a coordinate atom becomes the primed coordinate (and the
// prime of a primed one the plain coordinate); other primes stay.
void RewritePrimedCoordinates(ExpressionRecord* tree);

// The partner of a coordinate id in the swap x <-> x', y <-> y', z <-> z',
// r <-> r', theta <-> theta', phi <-> phi'; 0 for other ids.
int32_t SwappedCoordinateID(int32_t variableId);
