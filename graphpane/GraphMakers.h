#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphpane/GraphEnums.h"
#include "graphpane/OwnedHandles.h"

class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraphView;
class DocumentRecord;
template <typename T>
class AListGenericSmall;

// The graph constructors the pane's builders call, one entry each, filled
// at start-up by the layers that hold the graph classes (graphs2d, graphs3d).
// The view passed is the one the graph goes to: its maker reads from it
// what only that layer knows (a 2-D view's transform, a 3-D view's draw
// context, the 4-D view's transform). Ranges are the view's own doubles,
// so later edits reach the graph. A maker owns every expression and the
// colour it is handed; it returns null only when it made nothing, which
// frees them. An empty entry makes no graph: the builder frees what it
// prepared.
struct GraphMakers {
  // graphs2d
  std::unique_ptr<A2DGraph> (*FunctionOfXorY)(Compiled f, bool yOfX, Colour colour, PlottingMode mode,
                                              AGraphView& view) = nullptr;
  std::unique_ptr<A2DGraph> (*ParametricCurve)(Compiled x, Compiled y, Colour colour, double grain,
                                               int32_t selectionType, AGraphView& view, const double& tLow,
                                               const double& tHigh) = nullptr;
  std::unique_ptr<A2DGraph> (*Inequality)(Compiled relation, Compiled boundary, Colour colour, PlottingMode mode,
                                          bool equation, AGraphView& view) = nullptr;
  std::unique_ptr<A2DGraph> (*DensityPlot)(Compiled f, double grain, Colour colour, AGraphView& view) = nullptr;
  std::unique_ptr<A2DGraph> (*ContourPlot)(Compiled f, double grain, Colour colour, AGraphView& view) = nullptr;
  // Style expressions (symbol, label, size) optional; draggable for a
  // complex parameter.
  std::unique_ptr<A2DGraph> (*Point)(Compiled x, Compiled y, Compiled symbol, Compiled label, Compiled size,
                                     Colour colour, bool draggable, AGraphView& view) = nullptr;
  // Table columns x and y; condition, radius, symbol, label and font size
  // optional.
  std::unique_ptr<A2DGraph> (*Data2D)(Compiled x, Compiled y, Colour colour, Compiled condition, Compiled radius,
                                      Compiled symbol, Compiled label, Compiled fontSize, AGraphView& view,
                                      DocumentRecord* document) = nullptr;
  // A slope (second null) or a plane system; start point optional.
  std::unique_ptr<A2DGraph> (*DEPlot)(Compiled first, Compiled second, Compiled startX, Compiled startY, Colour colour,
                                      double grain, AGraphView& view) = nullptr;
  std::unique_ptr<A2DGraph> (*VectorPlot)(Compiled vx, Compiled vy, double grain, Colour colour, bool equalLength,
                                          AGraphView& view) = nullptr;
  // Components in u and v; complex optional.
  std::unique_ptr<A2DGraph> (*ColorPlot)(Compiled first, Compiled second, Compiled third, Compiled complex, bool hsv,
                                         Colour colour, AGraphView& view) = nullptr;
  std::unique_ptr<A2DGraph> (*Arrow)(Compiled x1, Compiled y1, Compiled x2, Compiled y2, Colour colour,
                                     AGraphView& view) = nullptr;
  // The second 2-D view's whole-picture plots of the source view's graphs
  // listed by index: through the inverse (transform) or forward (texture
  // map) plane transformation.
  std::unique_ptr<A2DGraph> (*TransformPlot)(Compiled f, Compiled g, Colour colour, AGraphView& view,
                                             AGraphView& source, const AListGenericSmall<int32_t>* sources) = nullptr;
  std::unique_ptr<A2DGraph> (*TextureMapPlot)(Compiled f, Compiled g, Colour colour, double value, AGraphView& view,
                                              AGraphView& source, const AListGenericSmall<int32_t>* sources) = nullptr;

  // graphs3d: surfaces and curves in u (and v), clip and radius optional.
  std::unique_ptr<A3DGraph> (*GridSurface)(Compiled x, Compiled y, Compiled z, double grain, double opacity,
                                           Colour colour, Compiled clip, PlottingMode mode, const double& uLow,
                                           const double& uHigh, const double& vLow, const double& vHigh,
                                           AGraphView& view) = nullptr;
  std::unique_ptr<A4DGraph> (*GridSurface4D)(Compiled x, Compiled y, Compiled z, Compiled w, double grain,
                                             double opacity, Colour colour, Compiled clip, const double& uLow,
                                             const double& uHigh, const double& vLow, const double& vHigh,
                                             AGraphView& view) = nullptr;
  std::unique_ptr<A3DGraph> (*ImplicitSurface)(Compiled f, double grain, double opacity, Colour colour, Compiled clip,
                                               PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                                               const double (&zRange)[2], AGraphView& view) = nullptr;
  std::unique_ptr<A3DGraph> (*SpaceCurve)(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled clip,
                                          Colour colour, double grain, double opacity, AGraphView& view,
                                          const double& uLow, const double& uHigh) = nullptr;
  std::unique_ptr<A4DGraph> (*SpaceCurve4D)(Compiled x, Compiled y, Compiled z, Compiled w, Compiled clip,
                                            Colour colour, double grain, AGraphView& view, const double& uLow,
                                            const double& uHigh) = nullptr;

  std::unique_ptr<A3DGraph> (*Point3D)(Compiled x, Compiled y, Compiled z, Colour colour, double grain, double opacity,
                                       AGraphView& view) = nullptr;
  // style: condition, radius, symbol, label, font size; each optional.
  std::unique_ptr<A3DGraph> (*Data3D)(Compiled x, Compiled y, Compiled z, std::array<Compiled, 5> style, Colour colour,
                                      AGraphView& view, DocumentRecord* document) = nullptr;
  // A polyline through a list of 4-rows.
  std::unique_ptr<A4DGraph> (*VertexList4D)(Compiled vertices, Colour colour, AGraphView& view) = nullptr;

  // graphs3d: fields from start points. Each also gives the solution plot
  // it made (null for arrows of the field), which a space transformation
  // mirrors. field: the three components; type 0 arrows, 1 solutions.
  std::unique_ptr<A3DGraph> (*StartOnLattice)(std::array<Compiled, 3> field, Compiled radius, Compiled clip,
                                              double grain, double opacity, Colour colour, int32_t fieldType,
                                              AGraphView& view, A3DGraph** solutions) = nullptr;
  // Type 0: one arrow of the field at the start point, at scale 1.
  std::unique_ptr<A3DGraph> (*StartOnPoint)(std::array<Compiled, 3> field, std::array<Compiled, 3> start,
                                            Compiled radius, Compiled clip, double opacity, Colour colour,
                                            int32_t fieldType, AGraphView& view, A3DGraph** solutions) = nullptr;
  std::unique_ptr<A3DGraph> (*StartOnImplicit)(std::array<Compiled, 3> field, Compiled radius, Compiled surface,
                                               Compiled clip, double grain, double opacity, Colour colour,
                                               int32_t fieldType, AGraphView& view, A3DGraph** solutions) = nullptr;
  std::unique_ptr<A3DGraph> (*StartOnGrid)(std::array<Compiled, 3> field, std::array<Compiled, 3> start,
                                           Compiled radius, Compiled clip, double grain, double opacity, Colour colour,
                                           const double& uLow, const double& uHigh, const double& vLow,
                                           const double& vHigh, int32_t fieldType, AGraphView& view,
                                           A3DGraph** solutions) = nullptr;
  // A solution plot of the first 3-D view seen through the space
  // transformation (x', y', z' in x, y, z) in the second; the plot stays
  // its own view's.
  std::unique_ptr<A3DGraph> (*TransformedDEPlot3D)(std::array<Compiled, 3> transformation, A3DGraph* solutions,
                                                   AGraphView& view) = nullptr;
  // An implicit surface of the first 3-D view, the same way.
  std::unique_ptr<A3DGraph> (*TransformedImplicitSurface)(std::array<Compiled, 3> transformation, A3DGraph* surface,
                                                          AGraphView& view) = nullptr;
};

extern GraphMakers gGraphMakers;
