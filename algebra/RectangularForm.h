#pragma once

#include "expression/ExpressionRecord.h"

// grad, div and curl written out in components in x, y and z as written
// partial derivatives. Each rewrite keeps the operator node in its place;
// an operand of the wrong shape leaves the node as it is.

void DEL_GradRect(ExpressionRecord* grad);
void DEL_DivRect(ExpressionRecord* div);
void DEL_CurlRect(ExpressionRecord* curl);
// Every grad, div and curl of the tree, children first.
void Transform_RectangularRecurse(ExpressionRecord* tree);
// Only the selected node, when it is one of the three operators.
void CMD_Rectangular();
