#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Isolates the current record's selection on the left of its equation by
// undoing, one by one, the operations between them. 0 when nothing was
// done, 1 otherwise; a path through an operation without an inverse selects
// that operation instead and leaves the equation.
int32_t SolveOngMathIPExpr();
void CMD_SolveFor();
// The same for a node of any tree, outside the editor: the isolated copy of
// the node, the blocking operation, or the node itself when nothing was
// done. The current record is the same afterwards.
ExpressionRecord* SolveFor(ExpressionRecord* node);
