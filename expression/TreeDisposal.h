#pragma once

#include "expression/ExpressionRecord.h"

// Frees every node of the tree. A root still linked in a parent's operand
// array stays there: the caller detaches it first.
void DisposExpr(ExpressionRecord* root);

// Frees one node with its operand storage and edit data, not its operands.
void DisposeNode(ExpressionRecord* node);
