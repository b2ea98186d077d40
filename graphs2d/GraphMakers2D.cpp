#include "graphs2d/GraphMakers2D.h"

#include "graphpane/AGraphColor.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/AParametricCurve.h"

namespace {

// The graph transform of a 2-D view; null for a view of another kind, whose
// graph is then not made and the arguments freed.
const A2DTransform* TransformOf(AGraphView& view) {
  auto* view2D = dynamic_cast<A2DGraphView*>(&view);
  return view2D != nullptr ? &view2D->GraphTransform() : nullptr;
}

template <typename... Owned>
A2DGraph* Refuse(AGraphColor* colour, Owned*... expressions) {
  delete colour;
  (delete expressions, ...);
  return nullptr;
}

}  // namespace

void Install2DGraphMakers() {
  gGraphMakers.FunctionOfXorY = [](AnExpression* f, bool yOfX, AGraphColor* colour, PlottingMode mode,
                                   AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, f);
    return new AFunctionOf_XorY(f, yOfX, colour, mode, *transform);
  };
  gGraphMakers.ParametricCurve = [](AnExpression* x, AnExpression* y, AGraphColor* colour, double grain,
                                    int32_t selectionType, AGraphView& view, const double& tLow,
                                    const double& tHigh) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, x, y);
    return new AParametricCurve(x, y, colour, grain, selectionType, *transform, tLow, tHigh);
  };
  gGraphMakers.Inequality = [](AnExpression* relation, AnExpression* boundary, AGraphColor* colour,
                               PlottingMode mode, bool equation, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, relation, boundary);
    return new A2DInequality(relation, boundary, colour, mode, equation, *transform);
  };
  gGraphMakers.DensityPlot = [](AnExpression* f, double grain, AGraphColor* colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, f);
    return new ADensityPlot(f, grain, colour, *transform);
  };
  gGraphMakers.ContourPlot = [](AnExpression* f, double grain, AGraphColor* colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, f);
    return new AContourPlot(f, grain, colour, *transform);
  };
}
