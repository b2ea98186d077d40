#include "graphs2d/GraphMakers2D.h"

#include "graphpane/AGraphColor.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/AColorPlot.h"
#include "graphs2d/AContourPlot.h"
#include "graphs2d/ADEPlot.h"
#include "graphs2d/AData2DPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/AParametricCurve.h"
#include "graphs2d/APointPlot.h"
#include "graphs2d/ATextureMapPlot.h"
#include "graphs2d/ATransformPlot.h"
#include "graphs2d/AnArrowPlot.h"

namespace {

// The graph transform of a 2-D view; null for a view of another kind, whose
// graph is then not made: the maker's arguments are freed as it returns.
const A2DTransform* TransformOf(AGraphView& view) {
  auto* view2D = dynamic_cast<A2DGraphView*>(&view);
  return view2D != nullptr ? &view2D->GraphTransform() : nullptr;
}

}  // namespace

void Install2DGraphMakers() {
  gGraphMakers.FunctionOfXorY = [](Compiled f, bool yOfX, Colour colour, PlottingMode mode,
                                   AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AFunctionOf_XorY(f.release(), yOfX, colour.release(), mode, *transform);
  };
  gGraphMakers.ParametricCurve = [](Compiled x, Compiled y, Colour colour, double grain, int32_t selectionType,
                                    AGraphView& view, const double& tLow, const double& tHigh) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AParametricCurve(x.release(), y.release(), colour.release(), grain, selectionType, *transform, tLow,
                                tHigh);
  };
  gGraphMakers.Inequality = [](Compiled relation, Compiled boundary, Colour colour, PlottingMode mode, bool equation,
                               AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new A2DInequality(relation.release(), boundary.release(), colour.release(), mode, equation, *transform);
  };
  gGraphMakers.DensityPlot = [](Compiled f, double grain, Colour colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new ADensityPlot(f.release(), grain, colour.release(), *transform);
  };
  gGraphMakers.ContourPlot = [](Compiled f, double grain, Colour colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AContourPlot(f.release(), grain, colour.release(), *transform);
  };
  gGraphMakers.Point = [](Compiled x, Compiled y, Compiled symbol, Compiled label, Compiled size, Colour colour,
                          bool draggable, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new APointPlot(x.release(), y.release(), symbol.release(), label.release(), size.release(), colour.release(),
                          draggable, *transform);
  };
  gGraphMakers.Data2D = [](Compiled x, Compiled y, Colour colour, Compiled condition, Compiled radius, Compiled symbol,
                           Compiled label, Compiled fontSize, AGraphView& view, DocumentRecord* document) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AData2DPlot(x.release(), y.release(), colour.release(), condition.release(), radius.release(),
                           symbol.release(), label.release(), fontSize.release(), *transform, document);
  };
  gGraphMakers.DEPlot = [](Compiled first, Compiled second, Compiled startX, Compiled startY, Colour colour,
                           double grain, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new ADEPlot(first.release(), second.release(), startX.release(), startY.release(), colour.release(), grain,
                       *transform);
  };
  gGraphMakers.VectorPlot = [](Compiled vx, Compiled vy, double grain, Colour colour, bool equalLength,
                               AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new A2DVectorPlot(vx.release(), vy.release(), grain, colour.release(), equalLength, *transform);
  };
  gGraphMakers.ColorPlot = [](Compiled first, Compiled second, Compiled third, Compiled complex, bool hsv,
                              Colour colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AColorPlot(first.release(), second.release(), third.release(), complex.release(), hsv, colour.release(),
                          *transform);
  };
  gGraphMakers.Arrow = [](Compiled x1, Compiled y1, Compiled x2, Compiled y2, Colour colour,
                          AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return new AnArrowPlot(x1.release(), y1.release(), x2.release(), y2.release(), colour.release(), *transform);
  };
  gGraphMakers.TransformPlot = [](Compiled f, Compiled g, Colour colour, AGraphView& view, AGraphView& source,
                                  const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return nullptr;
    return new ATransformPlot(f.release(), g.release(), colour.release(), *transform, *source2D, sources);
  };
  gGraphMakers.TextureMapPlot = [](Compiled f, Compiled g, Colour colour, double value, AGraphView& view,
                                   AGraphView& source, const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return nullptr;
    return new ATextureMapPlot(f.release(), g.release(), colour.release(), value, *transform, *source2D, sources);
  };
}
