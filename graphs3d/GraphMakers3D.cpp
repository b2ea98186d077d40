#include "graphs3d/GraphMakers3D.h"

#include <array>

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/A3DPoint.h"
#include "graphs3d/AGridSurface.h"
#include "graphs3d/ASpaceCurve.h"
#include "graphs3d/ATransformedImplicitSurface.h"
#include "graphs3d/AnImplicitSurface.h"

namespace {

A3DGraph* MakeGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity, Colour colour,
                          Compiled clip, PlottingMode mode, const double& uLow, const double& uHigh,
                          const double& vLow, const double& vHigh, AGraphView& view) {
  return new AGridSurface(x.release(), y.release(), z.release(), grain, opacity, colour.release(), clip.release(),
                          mode, uLow, uHigh, vLow, vHigh, view.Record().drawContext);
}

A3DGraph* MakeSpaceCurve(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled clip, Colour colour,
                          double grain, double opacity, AGraphView& view, const double& uLow, const double& uHigh) {
  return new ASpaceCurve(x.release(), y.release(), z.release(), radius.release(), clip.release(), colour.release(),
                         grain, opacity, view.Record().drawContext, uLow, uHigh);
}

A3DGraph* MakePoint3D(Compiled x, Compiled y, Compiled z, Colour colour, double size, double opacity,
                      AGraphView& view) {
  return new A3DPoint(x.release(), y.release(), z.release(), colour.release(), size, opacity,
                      view.Record().drawContext);
}

A3DGraph* MakeImplicitSurface(Compiled f, double grain, double opacity, Colour colour, Compiled clip,
                              PlottingMode mode, const double (&xRange)[2], const double (&yRange)[2],
                              const double (&zRange)[2], AGraphView& view) {
  return new AnImplicitSurface(f.release(), grain, opacity, colour.release(), clip.release(), mode, xRange[0],
                               xRange[1], yRange[0], yRange[1], zRange[0], zRange[1], view.Record().drawContext);
}

// Only an implicit surface has a model to carry through the mapping.
A3DGraph* MakeTransformedImplicitSurface(std::array<Compiled, 3> mapping, A3DGraph* surface, AGraphView& view) {
  auto* source = dynamic_cast<AnImplicitSurface*>(surface);
  if (source == nullptr) return nullptr;
  return new ATransformedImplicitSurface(mapping[0].release(), mapping[1].release(), mapping[2].release(), source,
                                         view.Record().drawContext);
}

}  // namespace

void Install3DGraphMakers() {
  gGraphMakers.GridSurface = MakeGridSurface;
  gGraphMakers.SpaceCurve = MakeSpaceCurve;
  gGraphMakers.Point3D = MakePoint3D;
  gGraphMakers.ImplicitSurface = MakeImplicitSurface;
  gGraphMakers.TransformedImplicitSurface = MakeTransformedImplicitSurface;
}
