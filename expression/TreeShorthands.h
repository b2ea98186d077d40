#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// One-call makers of the small trees the parser and the algebra build.
// Each takes over the trees it is given and returns a new tree without a
// parent; null when memory ran out or an argument was null, the arguments
// then freed (see TreeBuilding.h).

ExpressionRecord* Plus(ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* Minus(ExpressionRecord* a, ExpressionRecord* b);  // a + (-b)
ExpressionRecord* Times(ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* Div(ExpressionRecord* numerator, ExpressionRecord* denominator);
ExpressionRecord* Neg(ExpressionRecord* a);
ExpressionRecord* Tothe(ExpressionRecord* base, ExpressionRecord* exponent);
ExpressionRecord* Sqrt(ExpressionRecord* a);
ExpressionRecord* Square(ExpressionRecord* a);  // a ^ 2
// A subscripted name: the indexes node with its shape fields 0 and 1.
ExpressionRecord* Sub(ExpressionRecord* base, ExpressionRecord* index);
// The partial-derivative pair of an expression and a variable node.
ExpressionRecord* Partial(ExpressionRecord* expression, ExpressionRecord* variable);
// A pattern placeholder holding an integer id.
ExpressionRecord* Dummy(int32_t id);
