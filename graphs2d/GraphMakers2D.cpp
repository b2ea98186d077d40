#include "graphs2d/GraphMakers2D.h"

#include <memory>
#include <utility>

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
                                   AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AFunctionOf_XorY>(std::move(f), yOfX, std::move(colour), mode, *transform);
  };
  gGraphMakers.ParametricCurve = [](Compiled x, Compiled y, Colour colour, double grain, int32_t selectionType,
                                    AGraphView& view, const double& tLow,
                                    const double& tHigh) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AParametricCurve>(std::move(x), std::move(y), std::move(colour), grain, selectionType,
                                              *transform, tLow, tHigh);
  };
  gGraphMakers.Inequality = [](Compiled relation, Compiled boundary, Colour colour, PlottingMode mode, bool equation,
                               AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<A2DInequality>(std::move(relation), std::move(boundary), std::move(colour), mode, equation,
                                           *transform);
  };
  gGraphMakers.DensityPlot = [](Compiled f, double grain, Colour colour,
                                AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<ADensityPlot>(std::move(f), grain, std::move(colour), *transform);
  };
  gGraphMakers.ContourPlot = [](Compiled f, double grain, Colour colour,
                                AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AContourPlot>(std::move(f), grain, std::move(colour), *transform);
  };
  gGraphMakers.Point = [](Compiled x, Compiled y, Compiled symbol, Compiled label, Compiled size, Colour colour,
                          bool draggable, AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<APointPlot>(std::move(x), std::move(y), std::move(symbol), std::move(label),
                                        std::move(size), std::move(colour), draggable, *transform);
  };
  gGraphMakers.Data2D = [](Compiled x, Compiled y, Colour colour, Compiled condition, Compiled radius, Compiled symbol,
                           Compiled label, Compiled fontSize, AGraphView& view,
                           DocumentRecord* document) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AData2DPlot>(std::move(x), std::move(y), std::move(colour), std::move(condition),
                                         std::move(radius), std::move(symbol), std::move(label), std::move(fontSize),
                                         *transform, document);
  };
  gGraphMakers.DEPlot = [](Compiled first, Compiled second, Compiled startX, Compiled startY, Colour colour,
                           double grain, AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<ADEPlot>(std::move(first), std::move(second), std::move(startX), std::move(startY),
                                     std::move(colour), grain, *transform);
  };
  gGraphMakers.VectorPlot = [](Compiled vx, Compiled vy, double grain, Colour colour, bool equalLength,
                               AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<A2DVectorPlot>(std::move(vx), std::move(vy), grain, std::move(colour), equalLength,
                                           *transform);
  };
  gGraphMakers.ColorPlot = [](Compiled first, Compiled second, Compiled third, Compiled complex, bool hsv,
                              Colour colour, AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AColorPlot>(std::move(first), std::move(second), std::move(third), std::move(complex), hsv,
                                        std::move(colour), *transform);
  };
  gGraphMakers.Arrow = [](Compiled x1, Compiled y1, Compiled x2, Compiled y2, Colour colour,
                          AGraphView& view) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return nullptr;
    return std::make_unique<AnArrowPlot>(std::move(x1), std::move(y1), std::move(x2), std::move(y2), std::move(colour),
                                         *transform);
  };
  gGraphMakers.TransformPlot = [](Compiled f, Compiled g, Colour colour, AGraphView& view, AGraphView& source,
                                  const AListGenericSmall<int32_t>* sources) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return nullptr;
    return std::make_unique<ATransformPlot>(std::move(f), std::move(g), std::move(colour), *transform, *source2D,
                                            sources);
  };
  gGraphMakers.TextureMapPlot = [](Compiled f, Compiled g, Colour colour, double value, AGraphView& view,
                                   AGraphView& source,
                                   const AListGenericSmall<int32_t>* sources) -> std::unique_ptr<A2DGraph> {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return nullptr;
    return std::make_unique<ATextureMapPlot>(std::move(f), std::move(g), std::move(colour), value, *transform,
                                             *source2D, sources);
  };
}
