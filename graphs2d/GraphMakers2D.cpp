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
  gGraphMakers.Inequality = [](AnExpression* relation, AnExpression* boundary, AGraphColor* colour, PlottingMode mode,
                               bool equation, AGraphView& view) -> A2DGraph* {
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
  gGraphMakers.Point = [](AnExpression* x, AnExpression* y, AnExpression* symbol, AnExpression* label,
                          AnExpression* size, AGraphColor* colour, bool draggable, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, x, y, symbol, label, size);
    return new APointPlot(x, y, symbol, label, size, colour, draggable, *transform);
  };
  gGraphMakers.Data2D = [](AnExpression* x, AnExpression* y, AGraphColor* colour, AnExpression* condition,
                           AnExpression* radius, AnExpression* symbol, AnExpression* label, AnExpression* fontSize,
                           AGraphView& view, DocumentRecord* document) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, x, y, condition, radius, symbol, label, fontSize);
    return new AData2DPlot(x, y, colour, condition, radius, symbol, label, fontSize, *transform, document);
  };
  gGraphMakers.DEPlot = [](AnExpression* first, AnExpression* second, AnExpression* startX, AnExpression* startY,
                           AGraphColor* colour, double grain, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, first, second, startX, startY);
    return new ADEPlot(first, second, startX, startY, colour, grain, *transform);
  };
  gGraphMakers.VectorPlot = [](AnExpression* vx, AnExpression* vy, double grain, AGraphColor* colour, bool equalLength,
                               AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, vx, vy);
    return new A2DVectorPlot(vx, vy, grain, colour, equalLength, *transform);
  };
  gGraphMakers.ColorPlot = [](AnExpression* first, AnExpression* second, AnExpression* third, AnExpression* complex,
                              bool hsv, AGraphColor* colour, AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, first, second, third, complex);
    return new AColorPlot(first, second, third, complex, hsv, colour, *transform);
  };
  gGraphMakers.Arrow = [](AnExpression* x1, AnExpression* y1, AnExpression* x2, AnExpression* y2, AGraphColor* colour,
                          AGraphView& view) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    if (transform == nullptr) return Refuse(colour, x1, y1, x2, y2);
    return new AnArrowPlot(x1, y1, x2, y2, colour, *transform);
  };
  gGraphMakers.TransformPlot = [](AnExpression* f, AnExpression* g, AGraphColor* colour, AGraphView& view,
                                  AGraphView& source, const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return Refuse(colour, f, g);
    return new ATransformPlot(f, g, colour, *transform, *source2D, sources);
  };
  gGraphMakers.TextureMapPlot = [](AnExpression* f, AnExpression* g, AGraphColor* colour, double value,
                                   AGraphView& view, AGraphView& source,
                                   const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    const A2DTransform* transform = TransformOf(view);
    auto* source2D = dynamic_cast<A2DGraphView*>(&source);
    if (transform == nullptr || source2D == nullptr) return Refuse(colour, f, g);
    return new ATextureMapPlot(f, g, colour, value, *transform, *source2D, sources);
  };
}
