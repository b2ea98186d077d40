#include "graphs3d/GraphMakers3D.h"

#include <array>
#include <memory>

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/A3DPoint.h"
#include "graphs3d/AData3DPlot.h"
#include "graphs3d/AGridSurface.h"
#include "graphs3d/AGridSurface4D.h"
#include "graphs3d/A4DGraphView.h"
#include "graphs3d/ASpaceCurve.h"
#include "graphs3d/ASpaceCurve4D.h"
#include "graphs3d/AStartOnGrid.h"
#include "graphs3d/AStartOnImplicit.h"
#include "graphs3d/AStartOnLattice.h"
#include "graphs3d/AStartOnPoint.h"
#include "graphs3d/ATransformedDEPlot3D.h"
#include "graphs3d/ATransformedImplicitSurface.h"
#include "graphs3d/AnImplicitSurface.h"

namespace {

std::unique_ptr<A3DGraph> MakeGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity,
                                          Colour colour, Compiled clip, PlottingMode mode, const double& uLow,
                                          const double& uHigh, const double& vLow, const double& vHigh,
                                          AGraphView& view) {
  return std::make_unique<AGridSurface>(x.release(), y.release(), z.release(), grain, opacity, colour.release(),
                                        clip.release(), mode, uLow, uHigh, vLow, vHigh, view.Record().drawContext);
}

std::unique_ptr<A3DGraph> MakeSpaceCurve(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled clip,
                                         Colour colour, double grain, double opacity, AGraphView& view,
                                         const double& uLow, const double& uHigh) {
  return std::make_unique<ASpaceCurve>(x.release(), y.release(), z.release(), radius.release(), clip.release(),
                                       colour.release(), grain, opacity, view.Record().drawContext, uLow, uHigh);
}

std::unique_ptr<A3DGraph> MakePoint3D(Compiled x, Compiled y, Compiled z, Colour colour, double size, double opacity,
                                      AGraphView& view) {
  return std::make_unique<A3DPoint>(x.release(), y.release(), z.release(), colour.release(), size, opacity,
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
  return Generated(std::make_unique<AStartOnLattice>(f[0].release(), f[1].release(), f[2].release(), radius.release(),
                                                     clip.release(), grain, opacity, colour.release(),
                                                     view.Record().drawContext, ViewBox(view), fieldType),
                   solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnPoint(std::array<Compiled, 3> f, std::array<Compiled, 3> p, Compiled radius,
                                           Compiled clip, double opacity, Colour colour, int32_t fieldType,
                                           AGraphView& view, A3DGraph** solutions) {
  return Generated(
      std::make_unique<AStartOnPoint>(p[0].release(), p[1].release(), p[2].release(), f[0].release(), f[1].release(),
                                      f[2].release(), radius.release(), clip.release(), opacity, colour.release(),
                                      ViewBox(view), view.Record().drawContext, fieldType),
      solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnImplicit(std::array<Compiled, 3> f, Compiled radius, Compiled surface,
                                              Compiled clip, double grain, double opacity, Colour colour,
                                              int32_t fieldType, AGraphView& view, A3DGraph** solutions) {
  return Generated(
      std::make_unique<AStartOnImplicit>(f[0].release(), f[1].release(), f[2].release(), radius.release(),
                                         surface.release(), clip.release(), grain, opacity, colour.release(),
                                         ViewBox(view), view.Record().drawContext, fieldType),
      solutions);
}

std::unique_ptr<A3DGraph> MakeStartOnGrid(std::array<Compiled, 3> f, std::array<Compiled, 3> g, Compiled radius,
                                          Compiled clip, double grain, double opacity, Colour colour,
                                          const double& uLow, const double& uHigh, const double& vLow,
                                          const double& vHigh, int32_t fieldType, AGraphView& view,
                                          A3DGraph** solutions) {
  return Generated(
      std::make_unique<AStartOnGrid>(f[0].release(), f[1].release(), f[2].release(), g[0].release(), g[1].release(),
                                     g[2].release(), radius.release(), clip.release(), grain, opacity, colour.release(),
                                     uLow, uHigh, vLow, vHigh, ViewBox(view), view.Record().drawContext, fieldType),
      solutions);
}

// The source is the solutions a generator of the first view gave.
std::unique_ptr<A3DGraph> MakeTransformedDEPlot3D(std::array<Compiled, 3> t, A3DGraph* solutions, AGraphView& view) {
  auto* source = dynamic_cast<ADEPlot3D*>(solutions);
  if (source == nullptr) return nullptr;
  return std::make_unique<ATransformedDEPlot3D>(t[0].release(), t[1].release(), t[2].release(), source,
                                                view.Record().drawContext);
}

// 4-D graphs project through the 4-D view's transform; another view has none.
const MTransform4D* TransformOf(AGraphView& view) {
  auto* fourD = dynamic_cast<A4DGraphView*>(&view);
  return fourD != nullptr ? &fourD->Transform() : nullptr;
}

std::unique_ptr<A4DGraph> MakeSpaceCurve4D(Compiled x, Compiled y, Compiled z, Compiled w, Compiled clip, Colour colour,
                                           double grain, AGraphView& view, const double& tLow, const double& tHigh) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<ASpaceCurve4D>(x.release(), y.release(), z.release(), w.release(), clip.release(),
                                         colour.release(), grain, view.Record().drawContext, *transform, tLow, tHigh);
}

std::unique_ptr<A4DGraph> MakeVertexList4D(Compiled vertices, Colour colour, AGraphView& view) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<ASpaceCurve4D>(vertices.release(), colour.release(), view.Record().drawContext, *transform);
}

std::unique_ptr<A3DGraph> MakeImplicitSurface(Compiled f, double grain, double opacity, Colour colour, Compiled clip,
                                              PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                                              const double (&zRange)[2], AGraphView& view) {
  return std::make_unique<AnImplicitSurface>(f.release(), grain, opacity, colour.release(), clip.release(), mode,
                                             xRange[0], xRange[1], yRange[0], yRange[1], zRange[0], zRange[1],
                                             view.Record().drawContext);
}

// Only an implicit surface has a model to carry through the mapping.
std::unique_ptr<A3DGraph> MakeTransformedImplicitSurface(std::array<Compiled, 3> mapping, A3DGraph* surface,
                                                         AGraphView& view) {
  auto* source = dynamic_cast<AnImplicitSurface*>(surface);
  if (source == nullptr) return nullptr;
  return std::make_unique<ATransformedImplicitSurface>(mapping[0].release(), mapping[1].release(), mapping[2].release(),
                                                       source, view.Record().drawContext);
}

// The radius the style carries (style[1]) has no meaning for points in
// space: it goes with the style.
std::unique_ptr<A3DGraph> MakeData3D(Compiled x, Compiled y, Compiled z, std::array<Compiled, 5> style, Colour colour,
                                     AGraphView& view, DocumentRecord* document) {
  return std::make_unique<AData3DPlot>(x.release(), y.release(), z.release(), style[0].release(), style[2].release(),
                                       style[3].release(), style[4].release(), colour.release(),
                                       view.Record().drawContext, document);
}

std::unique_ptr<A4DGraph> MakeGridSurface4D(Compiled x, Compiled y, Compiled z, Compiled w, double grain,
                                            double opacity, Colour colour, Compiled clip, const double& uLow,
                                            const double& uHigh, const double& vLow, const double& vHigh,
                                            AGraphView& view) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return std::make_unique<AGridSurface4D>(x.release(), y.release(), z.release(), w.release(), grain, opacity,
                                          colour.release(), clip.release(), uLow, uHigh, vLow, vHigh,
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
