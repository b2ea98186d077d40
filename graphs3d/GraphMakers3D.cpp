#include "graphs3d/GraphMakers3D.h"

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/A3DPoint.h"
#include "graphs3d/AGridSurface.h"
#include "graphs3d/A4DGraphView.h"
#include "graphs3d/ASpaceCurve.h"
#include "graphs3d/ASpaceCurve4D.h"

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

// 4-D graphs project through the 4-D view's transform; another view has none.
const MTransform4D* TransformOf(AGraphView& view) {
  auto* fourD = dynamic_cast<A4DGraphView*>(&view);
  return fourD != nullptr ? &fourD->Transform() : nullptr;
}

A4DGraph* MakeSpaceCurve4D(Compiled x, Compiled y, Compiled z, Compiled w, Compiled clip, Colour colour,
                           double grain, AGraphView& view, const double& tLow, const double& tHigh) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return new ASpaceCurve4D(x.release(), y.release(), z.release(), w.release(), clip.release(), colour.release(),
                           grain, view.Record().drawContext, *transform, tLow, tHigh);
}

A4DGraph* MakeVertexList4D(Compiled vertices, Colour colour, AGraphView& view) {
  const MTransform4D* transform = TransformOf(view);
  if (transform == nullptr) return nullptr;
  return new ASpaceCurve4D(vertices.release(), colour.release(), view.Record().drawContext, *transform);
}

}  // namespace

void Install3DGraphMakers() {
  gGraphMakers.GridSurface = MakeGridSurface;
  gGraphMakers.SpaceCurve = MakeSpaceCurve;
  gGraphMakers.Point3D = MakePoint3D;
  gGraphMakers.SpaceCurve4D = MakeSpaceCurve4D;
  gGraphMakers.VertexList4D = MakeVertexList4D;
}
