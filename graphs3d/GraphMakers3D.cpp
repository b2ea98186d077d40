#include "graphs3d/GraphMakers3D.h"

#include <array>
#include <memory>
#include <utility>

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/curves/A3DPoint.h"
#include "graphs3d/curves/AData3DPlot.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/curves/ASpaceCurve4D.h"
#include "graphs3d/start/AStartOnGrid.h"
#include "graphs3d/start/AStartOnImplicit.h"
#include "graphs3d/start/AStartOnLattice.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "graphs3d/implicit/ATransformedImplicitSurface.h"
#include "graphs3d/implicit/AnImplicitSurface.h"

namespace {

std::unique_ptr<A3DGraph> MakeGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity,
                                          Colour colour, Compiled clip, PlottingMode mode, const double& uLow,
                                          const double& uHigh, const double& vLow, const double& vHigh,
                                          AGraphView& view) {
  return std::make_unique<AGridSurface>(std::move(x), std::move(y), std::move(z), grain, opacity, std::move(colour),
                                        std::move(clip), mode, uLow, uHigh, vLow, vHigh, view.Record().drawContext);
}

std::unique_ptr<A3DGraph> MakeSpaceCurve(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled clip,
                                         Colour colour, double grain, double opacity, AGraphView& view,
                                         const double& uLow, const double& uHigh) {
  return std::make_unique<ASpaceCurve>(std::move(x), std::move(y), std::move(z), std::move(radius), std::move(clip),
                                       std::move(colour), grain, opacity, view.Record().drawContext, uLow, uHigh);
}

std::unique_ptr<A3DGraph> MakePoint3D(Compiled x, Compiled y, Compiled z, Colour colour, double size, double opacity,
                                      AGraphView& view) {
  return std::make_unique<A3DPoint>(std::move(x), std::move(y), std::move(z), std::move(colour), size, opacity,
                                    view.Record().drawContext);
}

BoxRefs ViewBox(AGraphView& view) {
  const GraphViewRecord& record = view.Record();
  return {record.ranges[kCoordX][0], record.ranges[kCoordX][1], record.ranges[kCoordY][0],
          record.ranges[kCoordY][1], record.ranges[kCoordZ][0], record.ranges[kCoordZ][1]};
}

std::unique_ptr<A3DGraph> Generated(std::unique_ptr<AStartPointGenerator> generator, A3DGraph** solutions) {
  *solutions = generator->Solutions();
  return generator;
}

std::unique_ptr<A3DGraph> MakeStartOnLattice(std::array<Compiled, 3> f, Compiled radius, Compiled clip, double grain,
                                             double opacity, Colour colour, int32_t fieldType, AGraphView& view,
                                             A3DGraph** solutions) {
  return Generated(std::make_unique<AStartOnLattice>(
                       std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(radius), std::move(clip), grain,
                       opacity, std::move(colour), view.Record().drawContext, ViewBox(view), fieldType),
                   solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnPoint(std::array<Compiled, 3> f, std::array<Compiled, 3> p, Compiled radius,
                                           Compiled clip, double opacity, Colour colour, int32_t fieldType,
                                           AGraphView& view, A3DGraph** solutions) {
  return Generated(
      std::make_unique<AStartOnPoint>(std::move(p[0]), std::move(p[1]), std::move(p[2]), std::move(f[0]),
                                      std::move(f[1]), std::move(f[2]), std::move(radius), std::move(clip), opacity,
                                      std::move(colour), ViewBox(view), view.Record().drawContext, fieldType),
      solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnImplicit(std::array<Compiled, 3> f, Compiled radius, Compiled surface,
                                              Compiled clip, double grain, double opacity, Colour colour,
                                              int32_t fieldType, AGraphView& view, A3DGraph** solutions) {
  return Generated(
      std::make_unique<AStartOnImplicit>(std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(radius),
                                         std::move(surface), std::move(clip), grain, opacity, std::move(colour),
                                         ViewBox(view), view.Record().drawContext, fieldType),
      solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnGrid(std::array<Compiled, 3> f, std::array<Compiled, 3> g, Compiled radius,
                                          Compiled clip, double grain, double opacity, Colour colour,
                                          const double& uLow, const double& uHigh, const double& vLow,
                                          const double& vHigh, int32_t fieldType, AGraphView& view,
                                          A3DGraph** solutions) {
  return Generated(std::make_unique<AStartOnGrid>(std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(g[0]),
                                                  std::move(g[1]), std::move(g[2]), std::move(radius), std::move(clip),
                                                  grain, opacity, std::move(colour), uLow, uHigh, vLow, vHigh,
                                                  ViewBox(view), view.Record().drawContext, fieldType),
                   solutions);
}

// The source is the solutions a generator of the first view gave.
std::unique_ptr<A3DGraph> MakeTransformedDEPlot3D(std::array<Compiled, 3> t, A3DGraph* solutions, AGraphView& view) {
  auto* source = dynamic_cast<ADEPlot3D*>(solutions);
  if (source == nullptr) return nullptr;
  return std::make_unique<ATransformedDEPlot3D>(std::move(t[0]), std::move(t[1]), std::move(t[2]), source,
                                                view.Record().drawContext);
}

// 4-D graphs project through the 4-D view's transform; another view has none.
const MTransform4D* TransformOf(AGraphView& view) {
  auto* fourD = dynamic_cast<A4DGraphView*>(&view);
  return fourD != nullptr ? &fourD->TransformForNewGraph() : nullptr;
}

std::unique_ptr<A4DGraph> MakeSpaceCurve4D(Compiled x, Compiled y, Compiled z, Compiled w, Compiled clip, Colour colour,
                                           double grain, AGraphView& view, const double& tLow, const double& tHigh) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<ASpaceCurve4D>(std::move(x), std::move(y), std::move(z), std::move(w), std::move(clip),
                                         std::move(colour), grain, view.Record().drawContext, *transform, tLow, tHigh);
}

std::unique_ptr<A4DGraph> MakeVertexList4D(Compiled vertices, Colour colour, AGraphView& view) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<ASpaceCurve4D>(std::move(vertices), std::move(colour), view.Record().drawContext, *transform);
}

std::unique_ptr<A3DGraph> MakeImplicitSurface(Compiled f, double grain, double opacity, Colour colour, Compiled clip,
                                              PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                                              const double (&zRange)[2], AGraphView& view) {
  return std::make_unique<AnImplicitSurface>(std::move(f), grain, opacity, std::move(colour), std::move(clip), mode,
                                             xRange[0], xRange[1], yRange[0], yRange[1], zRange[0], zRange[1],
                                             view.Record().drawContext);
}

// Only an implicit surface has a model to carry through the mapping.
std::unique_ptr<A3DGraph> MakeTransformedImplicitSurface(std::array<Compiled, 3> mapping, A3DGraph* surface,
                                                         AGraphView& view) {
  auto* source = dynamic_cast<AnImplicitSurface*>(surface);
  if (source == nullptr) return nullptr;
  return std::make_unique<ATransformedImplicitSurface>(std::move(mapping[0]), std::move(mapping[1]),
                                                       std::move(mapping[2]), source, view.Record().drawContext);
}

// The radius the style carries (style[1]) has no meaning for points in
// space: it goes with the style.
std::unique_ptr<A3DGraph> MakeData3D(Compiled x, Compiled y, Compiled z, std::array<Compiled, 5> style, Colour colour,
                                     AGraphView& view, DocumentRecord* document) {
  return std::make_unique<AData3DPlot>(std::move(x), std::move(y), std::move(z), std::move(style[0]),
                                       std::move(style[2]), std::move(style[3]), std::move(style[4]), std::move(colour),
                                       view.Record().drawContext, document);
}

std::unique_ptr<A4DGraph> MakeGridSurface4D(Compiled x, Compiled y, Compiled z, Compiled w, double grain,
                                            double opacity, Colour colour, Compiled clip, const double& uLow,
                                            const double& uHigh, const double& vLow, const double& vHigh,
                                            AGraphView& view) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<AGridSurface4D>(std::move(x), std::move(y), std::move(z), std::move(w), grain, opacity,
                                          std::move(colour), std::move(clip), uLow, uHigh, vLow, vHigh,
                                          view.Record().drawContext, *transform);
}

}  // namespace

void Install3DGraphMakers() {
  gGraphMakers.GridSurface = MakeGridSurface;
  gGraphMakers.SpaceCurve = MakeSpaceCurve;
  gGraphMakers.Point3D = MakePoint3D;
  gGraphMakers.StartOnLattice = MakeStartOnLattice;
  gGraphMakers.StartOnPoint = MakeStartOnPoint;
  gGraphMakers.StartOnImplicit = MakeStartOnImplicit;
  gGraphMakers.StartOnGrid = MakeStartOnGrid;
  gGraphMakers.TransformedDEPlot3D = MakeTransformedDEPlot3D;
  gGraphMakers.SpaceCurve4D = MakeSpaceCurve4D;
  gGraphMakers.VertexList4D = MakeVertexList4D;
  gGraphMakers.ImplicitSurface = MakeImplicitSurface;
  gGraphMakers.TransformedImplicitSurface = MakeTransformedImplicitSurface;
  gGraphMakers.Data3D = MakeData3D;
  gGraphMakers.GridSurface4D = MakeGridSurface4D;
}
