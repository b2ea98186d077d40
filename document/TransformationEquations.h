#pragma once

#include "expression/ExpressionRecord.h"
#include "graphpane/CoordinateTransformation.h"

// The coordinate transformation an expanded equation states: (x, y) =
// F(x', y') or z = f(z') (the source in the transformed coordinates),
// (x', y') = F(x, y) or z' = f(z) (the transformed in the source), or
// (x', y', z') = F(x, y, z), F naming some of those coordinates. Kind
// kNone for any other equation, (x, y) = (1, 2) among them. The
// formulas point into the equation; colour, plot value and block are the
// caller's to fill.
CoordinateTransformation TransformationOf(ExpressionRecord* equation);
