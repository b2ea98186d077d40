#pragma once

#include "expression/ExpressionRecord.h"
#include "graphpane/CoordinateTransformation.h"

class AGraphColor;

// Rewrites of formulas through the document's coordinate transformation,
// for the graphs mirrored into the second view.

// The point (x, y) carried through a transformation given in the source
// coordinates: *outX and *outY become new trees f(x, y) and g(x, y) of the
// formulas. False, both outputs null, when a formula is missing or memory
// ran out.
bool TransformXY(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                 ExpressionRecord** outX, ExpressionRecord** outY);
// For a transformation given in the transformed coordinates only: rewrites
// e, a formula in x, y, r and theta, into the transformed coordinates (named
// x and y again). False, e unchanged, for any other kind or when memory ran
// out.
bool TransformExpr(ExpressionRecord* e, const CoordinateTransformation& ct);
// Each colour equation, read in primed coordinates, gets the definitions
// (equations x' = X and the like; null ones skipped) applied in one pass.
// The rewritten equations replace the colour's own, compiled again when
// they were. False when memory ran out (equations not yet rewritten stay).
bool TransformColor(AGraphColor* colour, const ExpressionRecord* a, const ExpressionRecord* b,
                    const ExpressionRecord* c);
