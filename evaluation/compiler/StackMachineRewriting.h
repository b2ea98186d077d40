#pragma once

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Reshapes a formula tree in place into the form the compiler translates
// node by node: identity wrappers go, negated literals fold, argument lists
// become operands, standard deviations become means, mixed inequality
// chains become conjunctions, bounded sums and products put their bounds
// first, and piecewise definitions become numbered (condition, value)
// tables. The root keeps its identity.
void MungeExprForStackMachine(ExpressionRecord* root, DocumentRecord* document);

// Argument lists, standard deviation, table indexing and interpolation
// points only.
void MungeMinMaxModClamp(ExpressionRecord* root, DocumentRecord* document);
// False where MungeMinMaxModClamp certainly leaves the node as it is.
bool MinMaxModClampMayChange(const ExpressionRecord* node);

// Splits one chain such as a < b <= c at its first operand of the partner
// kind into a conjunction of plain chains.
void MungeInequality(ExpressionRecord* node, OpCodeT partner);

// The kinds whose arguments arrive as one comma-list operand.
bool IsMinMaxModClamp(OpCodeT kind);
// The table statistics Sum, Count, Mean, StdDev.
bool IsScalarDataOpcode(OpCodeT kind);
