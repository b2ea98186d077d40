#pragma once

#include <cstdint>

#include "graphpane/GraphEnums.h"

class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraphColor;
class AGraphView;
class AnExpression;

// The graph constructors the pane's builders call, one entry each, filled
// at start-up by the layers that hold the graph classes (graphs2d, graphs3d).
// The view passed is the one the graph goes to: its maker reads from it
// what only that layer knows (a 2-D view's transform, a 3-D view's draw
// context, the 4-D view's transform). Ranges are the view's own doubles,
// so later edits reach the graph. A maker takes over every expression and
// the colour; it returns null only when it made nothing, having freed them.
// An empty entry makes no graph: the builder frees what it prepared.
struct GraphMakers {
  // graphs2d
  A2DGraph* (*FunctionOfXorY)(AnExpression* f, bool yOfX, AGraphColor* colour, PlottingMode mode,
                              AGraphView& view) = nullptr;
  A2DGraph* (*ParametricCurve)(AnExpression* x, AnExpression* y, AGraphColor* colour, double grain,
                               int32_t selectionType, AGraphView& view, const double& tLow,
                               const double& tHigh) = nullptr;
  A2DGraph* (*Inequality)(AnExpression* relation, AnExpression* boundary, AGraphColor* colour, PlottingMode mode,
                          bool equation, AGraphView& view) = nullptr;
  A2DGraph* (*DensityPlot)(AnExpression* f, double grain, AGraphColor* colour, AGraphView& view) = nullptr;
  A2DGraph* (*ContourPlot)(AnExpression* f, double grain, AGraphColor* colour, AGraphView& view) = nullptr;

  // graphs3d: surfaces and curves in u (and v), clip and radius optional.
  A3DGraph* (*GridSurface)(AnExpression* x, AnExpression* y, AnExpression* z, double grain, double opacity,
                           AGraphColor* colour, AnExpression* clip, PlottingMode mode, const double& uLow,
                           const double& uHigh, const double& vLow, const double& vHigh, AGraphView& view) = nullptr;
  A4DGraph* (*GridSurface4D)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, double grain,
                             double opacity, AGraphColor* colour, AnExpression* clip, const double& uLow,
                             const double& uHigh, const double& vLow, const double& vHigh,
                             AGraphView& view) = nullptr;
  A3DGraph* (*ImplicitSurface)(AnExpression* f, double grain, double opacity, AGraphColor* colour, AnExpression* clip,
                               PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                               const double (&zRange)[2],
                               AGraphView& view) = nullptr;
  A3DGraph* (*SpaceCurve)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* radius, AnExpression* clip,
                          AGraphColor* colour, double grain, double opacity, AGraphView& view, const double& uLow,
                          const double& uHigh) = nullptr;
  A4DGraph* (*SpaceCurve4D)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, AnExpression* clip,
                            AGraphColor* colour, double grain, AGraphView& view, const double& uLow,
                            const double& uHigh) = nullptr;

  // graphs3d: fields from start points. Each also gives the solution plot
  // it made (null for arrows of the field), which a space transformation
  // mirrors. field: the three components; type 0 arrows, 1 solutions.
  A3DGraph* (*StartOnLattice)(AnExpression* const (&field)[3], AnExpression* radius, AnExpression* clip,
                              double grain, double opacity, AGraphColor* colour, int32_t fieldType, AGraphView& view,
                              A3DGraph** solutions) = nullptr;
  A3DGraph* (*StartOnPoint)(AnExpression* const (&field)[3], AnExpression* const (&start)[3], AnExpression* radius,
                            AnExpression* clip, double opacity, AGraphColor* colour, AGraphView& view,
                            A3DGraph** solutions) = nullptr;
  A3DGraph* (*StartOnImplicit)(AnExpression* const (&field)[3], AnExpression* radius, AnExpression* surface,
                               AnExpression* clip, double grain, double opacity, AGraphColor* colour,
                               int32_t fieldType, AGraphView& view, A3DGraph** solutions) = nullptr;
  A3DGraph* (*StartOnGrid)(AnExpression* const (&field)[3], AnExpression* const (&start)[3], AnExpression* radius,
                           AnExpression* clip, double grain, double opacity, AGraphColor* colour, const double& uLow,
                           const double& uHigh, const double& vLow, const double& vHigh, int32_t fieldType,
                           AGraphView& view, A3DGraph** solutions) = nullptr;
};

extern GraphMakers gGraphMakers;
