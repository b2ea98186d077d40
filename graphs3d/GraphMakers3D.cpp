#include "graphs3d/GraphMakers3D.h"

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/AGridSurface.h"

namespace {

A3DGraph* MakeGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity, Colour colour,
                          Compiled clip, PlottingMode mode, const double& uLow, const double& uHigh,
                          const double& vLow, const double& vHigh, AGraphView& view) {
  return new AGridSurface(x.release(), y.release(), z.release(), grain, opacity, colour.release(), clip.release(),
                          mode, uLow, uHigh, vLow, vHigh, view.Record().drawContext);
}

}  // namespace

void Install3DGraphMakers() { gGraphMakers.GridSurface = MakeGridSurface; }
