#pragma once

#include <cstdint>

#include "graphpane/GraphEnums.h"
#include "graphpane/PassTrees.h"

class A2DGraph;
class EquationPass;

// Steps the builders of several files share. Each reads the view, colour,
// transformation and block numbers of the build it is given; trees passed
// as ExpressionRecord* or Tree are taken over, the colour is taken by the
// first graph made, and what no graph takes is freed on return.

// A plane curve in u over the view's range; its mirror samples the first
// 2-D view's range.
void AddPlaneCurve(EquationPass& pass, EquationBuild& b, Tree x, Tree y, int32_t selectionType,
                   CoordDisplayParam range);
// Null when no graph was made.
std::unique_ptr<A2DGraph> MakeRegion(EquationPass& pass, Tree relation, Tree zero, Colour colour, PlottingMode mode,
                                     bool equation, int32_t view);
// The surface (x, y, z) over two of the view's ranges, in the 3-D view;
// false when no graph was made.
bool AddGridSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, CoordDisplayParam uRange, CoordDisplayParam vRange);
// The same over ranges given, the mirror sampling the first ones.
bool AddGridSurface(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                    Tree clip, const double (&u)[2], const double (&v)[2], const double (&firstU)[2],
                    const double (&firstV)[2]);
// A space curve; parameter: the variable it runs in, renamed u.
void AddSpaceCurve(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                   Tree radius, Tree clip, double opacity, int32_t parameter, CoordDisplayParam range);
// A curve (x, y) in t: a space curve in z = 0 in a 3-D view, else a plane
// curve of the selection type given.
void AddCurveInT(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, int32_t selectionType);
// d/dt (x, y, z) = F (the head) started on the surface (x, y, z) in u and
// v, with the build's clip and radius; false when no graph was made.
bool AddStartOnGrid(EquationPass& pass, EquationBuild& b, const ExpressionRecord* head, ExpressionRecord* x,
                    ExpressionRecord* y, ExpressionRecord* z, CoordDisplayParam uRange, CoordDisplayParam vRange);
// Differential equations and vector fields are only ever resampled in the
// second view of a plane transformation.
void ListForResampling(EquationPass& pass, int32_t view, const CoordinateTransformation& ct);
