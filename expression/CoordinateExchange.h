#pragma once

#include "expression/ExpressionRecord.h"

// The atom r (not r') standing as an entry of an (r, g, b) column that is a
// side of an equation: there r names the red channel, not a coordinate.
bool IsInRGBGraphRHS(const ExpressionRecord* node);

// Swaps every coordinate atom with its primed partner (x with x', y with
// y', z with z', r with r', theta with theta', phi with phi'), in place,
// leaving the red channel of a colour equation alone. Applying it twice
// restores the tree. Never call it on a tree another thread reads.
void ExchangeXYZwithXYZprime(ExpressionRecord* tree);
