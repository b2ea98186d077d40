#include "graphs3d/GraphMakers3D.h"

#include "graphpane/AGraphView.h"
#include "graphpane/GraphMakers.h"
#include "graphs3d/AGridSurface.h"

namespace {

A3DGraph* MakeGridSurface(AnExpression* x, AnExpression* y, AnExpression* z, double grain, double opacity,
                          AGraphColor* colour, AnExpression* clip, PlottingMode mode, const double& uLow,
                          const double& uHigh, const double& vLow, const double& vHigh, AGraphView& view) {
  return new AGridSurface(x, y, z, grain, opacity, colour, clip, mode, uLow, uHigh, vLow, vHigh,
                          view.Record().drawContext);
}

}  // namespace

void Install3DGraphMakers() { gGraphMakers.GridSurface = MakeGridSurface; }
