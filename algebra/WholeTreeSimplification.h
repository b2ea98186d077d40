#pragma once

#include "expression/ExpressionRecord.h"

// Walks that apply the rule set to whole trees, and the presentation pass
// that shows its internal forms the way a reader expects.

// SIMP_OneLevel on every node once, children first.
void SIMP_Recurse(ExpressionRecord* tree);
// SIMP_OneLevel on each operand of the node in order, then on the node.
void SIMP_TwoLevels(ExpressionRecord* node);
// Identity wrappers removed, SIMP_Recurse, then SIMP_NegNumbersRecurse.
void SimplifyExpr(ExpressionRecord* tree);
// Negative numbers become negations (a product holding one is negated as a
// whole), x^(1/2) becomes sqrt(x), (-a)/b becomes -(a/b).
void SIMP_NegNumbersRecurse(ExpressionRecord* tree);
