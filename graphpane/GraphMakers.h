#pragma once

#include <cstdint>

#include "graphpane/GraphEnums.h"

class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraphColor;
class AGraphView;
class AnExpression;
class DocumentRecord;
template <typename T>
class AListGenericSmall;

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
  // Style expressions (symbol, label, size) optional; draggable for a
  // complex parameter.
  A2DGraph* (*Point)(AnExpression* x, AnExpression* y, AnExpression* symbol, AnExpression* label, AnExpression* size,
                     AGraphColor* colour, bool draggable, AGraphView& view) = nullptr;
  // Table columns x and y; condition, radius, symbol, label and font size
  // optional.
  A2DGraph* (*Data2D)(AnExpression* x, AnExpression* y, AGraphColor* colour, AnExpression* condition,
                      AnExpression* radius, AnExpression* symbol, AnExpression* label, AnExpression* fontSize,
                      AGraphView& view, DocumentRecord* document) = nullptr;
  // A slope (second null) or a plane system; start point optional.
  A2DGraph* (*DEPlot)(AnExpression* first, AnExpression* second, AnExpression* startX, AnExpression* startY,
                      AGraphColor* colour, double grain, AGraphView& view) = nullptr;
  A2DGraph* (*VectorPlot)(AnExpression* vx, AnExpression* vy, double grain, AGraphColor* colour, bool equalLength,
                          AGraphView& view) = nullptr;
  // Components in u and v; complex optional.
  A2DGraph* (*ColorPlot)(AnExpression* first, AnExpression* second, AnExpression* third, AnExpression* complex,
                         bool hsv, AGraphColor* colour, AGraphView& view) = nullptr;
  A2DGraph* (*Arrow)(AnExpression* x1, AnExpression* y1, AnExpression* x2, AnExpression* y2, AGraphColor* colour,
                     AGraphView& view) = nullptr;
  // The second 2-D view's whole-picture plots of the source view's graphs
  // listed by index: through the inverse (transform) or forward (texture
  // map) plane transformation.
  A2DGraph* (*TransformPlot)(AnExpression* f, AnExpression* g, AGraphColor* colour, AGraphView& view,
                             AGraphView& source, const AListGenericSmall<int32_t>* sources) = nullptr;
  A2DGraph* (*TextureMapPlot)(AnExpression* f, AnExpression* g, AGraphColor* colour, double value, AGraphView& view,
                              AGraphView& source, const AListGenericSmall<int32_t>* sources) = nullptr;

  // graphs3d: surfaces and curves in u (and v), clip and radius optional.
  A3DGraph* (*GridSurface)(AnExpression* x, AnExpression* y, AnExpression* z, double grain, double opacity,
                           AGraphColor* colour, AnExpression* clip, PlottingMode mode, const double& uLow,
                           const double& uHigh, const double& vLow, const double& vHigh, AGraphView& view) = nullptr;
  A4DGraph* (*GridSurface4D)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, double grain,
                             double opacity, AGraphColor* colour, AnExpression* clip, const double& uLow,
                             const double& uHigh, const double& vLow, const double& vHigh, AGraphView& view) = nullptr;
  A3DGraph* (*ImplicitSurface)(AnExpression* f, double grain, double opacity, AGraphColor* colour, AnExpression* clip,
                               PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                               const double (&zRange)[2], AGraphView& view) = nullptr;
  A3DGraph* (*SpaceCurve)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* radius, AnExpression* clip,
                          AGraphColor* colour, double grain, double opacity, AGraphView& view, const double& uLow,
                          const double& uHigh) = nullptr;
  A4DGraph* (*SpaceCurve4D)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, AnExpression* clip,
                            AGraphColor* colour, double grain, AGraphView& view, const double& uLow,
                            const double& uHigh) = nullptr;

  A3DGraph* (*Point3D)(AnExpression* x, AnExpression* y, AnExpression* z, AGraphColor* colour, double grain,
                       double opacity, AGraphView& view) = nullptr;
  // style: condition, radius, symbol, label, font size; each optional.
  A3DGraph* (*Data3D)(AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* const (&style)[5],
                      AGraphColor* colour, AGraphView& view, DocumentRecord* document) = nullptr;
  // A polyline through a list of 4-rows.
  A4DGraph* (*VertexList4D)(AnExpression* vertices, AGraphColor* colour, AGraphView& view) = nullptr;

  // graphs3d: fields from start points. Each also gives the solution plot
  // it made (null for arrows of the field), which a space transformation
  // mirrors. field: the three components; type 0 arrows, 1 solutions.
  A3DGraph* (*StartOnLattice)(AnExpression* const (&field)[3], AnExpression* radius, AnExpression* clip, double grain,
                              double opacity, AGraphColor* colour, int32_t fieldType, AGraphView& view,
                              A3DGraph** solutions) = nullptr;
  // Type 0: one arrow of the field at the start point, at scale 1.
  A3DGraph* (*StartOnPoint)(AnExpression* const (&field)[3], AnExpression* const (&start)[3], AnExpression* radius,
                            AnExpression* clip, double opacity, AGraphColor* colour, int32_t fieldType,
                            AGraphView& view, A3DGraph** solutions) = nullptr;
  A3DGraph* (*StartOnImplicit)(AnExpression* const (&field)[3], AnExpression* radius, AnExpression* surface,
                               AnExpression* clip, double grain, double opacity, AGraphColor* colour, int32_t fieldType,
                               AGraphView& view, A3DGraph** solutions) = nullptr;
  A3DGraph* (*StartOnGrid)(AnExpression* const (&field)[3], AnExpression* const (&start)[3], AnExpression* radius,
                           AnExpression* clip, double grain, double opacity, AGraphColor* colour, const double& uLow,
                           const double& uHigh, const double& vLow, const double& vHigh, int32_t fieldType,
                           AGraphView& view, A3DGraph** solutions) = nullptr;
  // A solution plot of the first 3-D view seen through the space
  // transformation (x', y', z' in x, y, z) in the second; the plot stays
  // its own view's.
  A3DGraph* (*TransformedDEPlot3D)(AnExpression* const (&transformation)[3], A3DGraph* solutions,
                                   AGraphView& view) = nullptr;
  // An implicit surface of the first 3-D view, the same way.
  A3DGraph* (*TransformedImplicitSurface)(AnExpression* const (&transformation)[3], A3DGraph* surface,
                                          AGraphView& view) = nullptr;
};

extern GraphMakers gGraphMakers;
