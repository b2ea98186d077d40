#pragma once

#include <cstdint>

#include "graphpane/CoordinateTransformation.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/OwnedHandles.h"

class A3DGraph;
class EquationPass;
class AGraphView;
class DocumentRecord;

// Mirrors into the second view (view index 0 only): rebuilt there from
// transformed copies of the formulas, or listed by index for the
// whole-picture plot. Formulas are read, never taken; each mirror gets the
// colour copy handed (null when nothing mirrors).
void Add_transformed_Inequality(EquationPass& pass, const ExpressionRecord* relation, int32_t view, Colour colour,
                                const CoordinateTransformation& ct, PlottingMode mode, const ExpressionRecord* zero,
                                int32_t finer);
void Add_transformed_FunctionOfXorY(EquationPass& pass, const ExpressionRecord* f, int32_t view, Colour colour,
                                    const CoordinateTransformation& ct, PlottingMode mode, int32_t which);
void Add_transformed_ParametricCurve(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                     const ExpressionRecord* x, const ExpressionRecord* y, Colour colour, double grain,
                                     const double& tLow, const double& tHigh);
void Add_transformed_Point(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                           const ExpressionRecord* x, const ExpressionRecord* y, Colour colour,
                           const ExpressionRecord* symbol, const ExpressionRecord* label, const ExpressionRecord* size);
void Add_transformed_Data2D(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                            const ExpressionRecord* x, const ExpressionRecord* y,
                            const ExpressionRecord* const (&style)[5], Colour colour, DocumentRecord* document);
void Add_transformed_Arrow(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                           const ExpressionRecord* x1, const ExpressionRecord* y1, const ExpressionRecord* x2,
                           const ExpressionRecord* y2, Colour colour);
void Add_transformed_DensityPlot(EquationPass& pass, const ExpressionRecord* f, int32_t view, Colour colour,
                                 const CoordinateTransformation& ct, double grain);
void Add_transformed_SpaceCurve(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                const ExpressionRecord* x, const ExpressionRecord* y, const ExpressionRecord* z,
                                const ExpressionRecord* clip, const ExpressionRecord* radius, double opacity,
                                Colour colour, double grain, const double& tLow, const double& tHigh);
void Add_transformed_GridSurface(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                 const ExpressionRecord* x, const ExpressionRecord* y, const ExpressionRecord* z,
                                 const ExpressionRecord* clip, PlottingMode mode, Colour colour, double grain,
                                 double opacity, const double& uLow, const double& uHigh, const double& vLow,
                                 const double& vHigh);
void Add_transformed_ODEPlot3D(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                               A3DGraph* solutions);

// A graph of the first 3-D view shown in the second through the space
// transformation, by the maker given.
using SpaceMirrorMaker = decltype(GraphMakers::TransformedDEPlot3D);
void ShowThroughSpace(EquationPass& pass, const CoordinateTransformation& ct, SpaceMirrorMaker maker, A3DGraph* source);
// For a graph of the first 2-D view: a graph drawn in transformed
// coordinates joins the transform sources; true when the graph is a source
// whose mirror, with the colour given, is to be built.
bool BuildsPlaneMirror(EquationPass& pass, const CoordinateTransformation& ct, int32_t view, bool coloured);
// A copy of the colour for the mirror, made before the colour is handed to
// its graph; null when view and transformation mirror nothing.
Colour MirrorColour(const EquationPass& pass, int32_t view, const CoordinateTransformation& ct,
                    const AGraphColor* colour);
// The whole-picture plot of the second 2-D view for a plane transformation.
void MakeTransformPlot(EquationPass& pass, const CoordinateTransformation& ct);

// The three formulas of a space transformation composed with (x, y, z):
// new trees, plus one of extra when given; a colour with equations gets
// them composed too. False, nothing made, when a formula is missing or
// memory ran out.
bool TransformXYZ(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                  const ExpressionRecord* z, const ExpressionRecord* extra, AGraphColor* colour, Tree (&out)[3],
                  Tree* outExtra);
