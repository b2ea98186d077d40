#pragma once

#include "expression/ExpressionRecord.h"

// Substitution nodes performed, sum and product operators written out one
// term at a time, and the multiply-out command.

// The node takes a copy of replacement when it equals pattern; the base
// name of a subscripted name is left alone.
void TAYLOR_SubstOne(ExpressionRecord* node, const ExpressionRecord* pattern, const ExpressionRecord* replacement);
void TAYLOR_Subst(ExpressionRecord* substitution);
void TAYLOR_SubstRecurse(ExpressionRecord* tree);
// isSum: 1 for a sum operator, 0 for a product operator.
void TAYLOR_ExpandOne(ExpressionRecord* node, int32_t isSum);

void CMD_Substitute();
void CMD_ExpandOne();
void CMD_MultiplyOut();
