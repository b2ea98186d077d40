#pragma once

// Graph makers that record what the pane's builders hand them, and a pane
// over the real views; one recording per made graph, in order.

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "expression/CoordinateExchange.h"
#include "expression/DocumentHooks.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphabilityDiagnostics.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/GraphMakers2D.h"
#include "graphs3d/A3DGraphView.h"
#include "graphs3d/A4DGraphView.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

// What one maker was handed.
struct Made {
  std::string maker;
  std::vector<std::unique_ptr<AnExpression>> formulas;  // in the order handed; null kept
  int32_t number = -1;                                  // orientation, selection or field type
  PlottingMode mode = kPlotSampling;
  double grain = -1, opacity = -1;
  const double* range = nullptr;  // low end of the u (or t) range
  const double* vRange = nullptr;
  AGraphView* view = nullptr;
  uint32_t solid = 0;
  GraphColorType colourType = 0;
  double colourValues[3] = {NAN, NAN, NAN};
  const AGraphColor* colour = nullptr;  // owned by the stub graph
  A3DGraph* source = nullptr;           // the graph a space mirror shows
  const void* list = nullptr;           // the transform sources handed
};
std::vector<Made> gMade;

template <typename Base>
class Stub : public Base {
 public:
  explicit Stub(AGraphColor* colour) : fColour(colour) {}
  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override {}
  void Draw() override {}

 private:
  std::unique_ptr<AGraphColor> fColour;
};
struct Stub2D : Stub<A2DGraph> {
  using Stub::Stub;
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection(); }
  void PauseComputing() override {}
};
struct Stub3D : Stub<A3DGraph> {
  using Stub::Stub;
  double MaximumModelSpaceRadius() override { return 1; }
  bool UsingShader() override { return false; }
  bool UsingShaderHSV() override { return false; }
  void GetDataBounds(double*, double*, double*, double*, double*, double*) override {}
};
struct Stub4D : Stub<A4DGraph> {
  using Stub::Stub;
  double MaximumModelSpaceRadius() override { return 1; }
};

Made& Record(const char* maker, AGraphColor* colour, AGraphView& view, std::initializer_list<AnExpression*> formulas) {
  Made& made = gMade.emplace_back();
  made.maker = maker;
  made.view = &view;
  for (AnExpression* f : formulas) {
    if (f != nullptr) AnExpression::Compile(f);
    made.formulas.emplace_back(f);
  }
  made.colour = colour;
  made.solid = colour->fSolidColor;
  made.colourType = colour->fType;
  for (int i = 0; i < 3; ++i) {
    if (AnExpression* c = colour->fColorExpressions[i]) made.colourValues[i] = c->Evaluate(0.0);
  }
  return made;
}

// Every maker records; the graphs are stubs that free their colour.
void InstallRecordingMakers() {
  GraphMakers& m = gGraphMakers;
  m.FunctionOfXorY = [](AnExpression* f, bool yOfX, AGraphColor* c, PlottingMode mode, AGraphView& view) -> A2DGraph* {
    Made& made = Record("FunctionOfXorY", c, view, {f});
    made.number = yOfX, made.mode = mode;
    return new Stub2D(c);
  };
  m.ParametricCurve = [](AnExpression* x, AnExpression* y, AGraphColor* c, double grain, int32_t type, AGraphView& view,
                         const double& low, const double&) -> A2DGraph* {
    Made& made = Record("ParametricCurve", c, view, {x, y});
    made.number = type, made.grain = grain, made.range = &low;
    return new Stub2D(c);
  };
  m.Inequality = [](AnExpression* relation, AnExpression* zero, AGraphColor* c, PlottingMode mode, bool equation,
                    AGraphView& view) -> A2DGraph* {
    Made& made = Record("Inequality", c, view, {relation, zero});
    made.number = equation, made.mode = mode;
    return new Stub2D(c);
  };
  m.DensityPlot = [](AnExpression* f, double grain, AGraphColor* c, AGraphView& view) -> A2DGraph* {
    Record("DensityPlot", c, view, {f}).grain = grain;
    return new Stub2D(c);
  };
  m.ContourPlot = [](AnExpression* f, double grain, AGraphColor* c, AGraphView& view) -> A2DGraph* {
    Record("ContourPlot", c, view, {f}).grain = grain;
    return new Stub2D(c);
  };
  m.GridSurface = [](AnExpression* x, AnExpression* y, AnExpression* z, double grain, double opacity, AGraphColor* c,
                     AnExpression* clip, PlottingMode mode, const double& uLow, const double&, const double& vLow,
                     const double&, AGraphView& view) -> A3DGraph* {
    Made& made = Record("GridSurface", c, view, {x, y, z, clip});
    made.grain = grain, made.opacity = opacity, made.mode = mode, made.range = &uLow, made.vRange = &vLow;
    return new Stub3D(c);
  };
  m.GridSurface4D = [](AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, double, double,
                       AGraphColor* c, AnExpression* clip, const double& uLow, const double&, const double& vLow,
                       const double&, AGraphView& view) -> A4DGraph* {
    Made& made = Record("GridSurface4D", c, view, {x, y, z, w, clip});
    made.range = &uLow, made.vRange = &vLow;
    return new Stub4D(c);
  };
  m.ImplicitSurface = [](AnExpression* f, double, double, AGraphColor* c, AnExpression* clip, PlottingMode mode,
                         const double(&x)[2], const double(&)[2], const double(&)[2], AGraphView& view) -> A3DGraph* {
    Made& made = Record("ImplicitSurface", c, view, {f, clip});
    made.mode = mode, made.range = &x[0];
    return new Stub3D(c);
  };
  m.SpaceCurve = [](AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* radius, AnExpression* clip,
                    AGraphColor* c, double grain, double opacity, AGraphView& view, const double& low,
                    const double&) -> A3DGraph* {
    Made& made = Record("SpaceCurve", c, view, {x, y, z, radius, clip});
    made.grain = grain, made.opacity = opacity, made.range = &low;
    return new Stub3D(c);
  };
  m.SpaceCurve4D = [](AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* w, AnExpression* clip,
                      AGraphColor* c, double, AGraphView& view, const double& low, const double&) -> A4DGraph* {
    Record("SpaceCurve4D", c, view, {x, y, z, w, clip}).range = &low;
    return new Stub4D(c);
  };
  m.StartOnLattice = [](AnExpression* const(&f)[3], AnExpression* radius, AnExpression* clip, double, double,
                        AGraphColor* c, int32_t type, AGraphView& view, A3DGraph**) -> A3DGraph* {
    Record("StartOnLattice", c, view, {f[0], f[1], f[2], radius, clip}).number = type;
    return new Stub3D(c);
  };
  m.StartOnPoint = [](AnExpression* const(&f)[3], AnExpression* const(&s)[3], AnExpression* radius, AnExpression* clip,
                      double, AGraphColor* c, int32_t type, AGraphView& view, A3DGraph**) -> A3DGraph* {
    Record("StartOnPoint", c, view, {f[0], f[1], f[2], s[0], s[1], s[2], radius, clip}).number = type;
    return new Stub3D(c);
  };
  m.StartOnImplicit = [](AnExpression* const(&f)[3], AnExpression* radius, AnExpression* surface, AnExpression* clip,
                         double, double, AGraphColor* c, int32_t type, AGraphView& view, A3DGraph**) -> A3DGraph* {
    Record("StartOnImplicit", c, view, {f[0], f[1], f[2], surface, radius, clip}).number = type;
    return new Stub3D(c);
  };
  m.Point = [](AnExpression* x, AnExpression* y, AnExpression* symbol, AnExpression* label, AnExpression* size,
               AGraphColor* c, bool draggable, AGraphView& view) -> A2DGraph* {
    Record("Point", c, view, {x, y, symbol, label, size}).number = draggable;
    return new Stub2D(c);
  };
  m.Data2D = [](AnExpression* x, AnExpression* y, AGraphColor* c, AnExpression* condition, AnExpression* radius,
                AnExpression* symbol, AnExpression* label, AnExpression* size, AGraphView& view,
                DocumentRecord*) -> A2DGraph* {
    Record("Data2D", c, view, {x, y, condition, radius, symbol, label, size});
    return new Stub2D(c);
  };
  m.DEPlot = [](AnExpression* first, AnExpression* second, AnExpression* startX, AnExpression* startY, AGraphColor* c,
                double grain, AGraphView& view) -> A2DGraph* {
    Record("DEPlot", c, view, {first, second, startX, startY}).grain = grain;
    return new Stub2D(c);
  };
  m.VectorPlot = [](AnExpression* vx, AnExpression* vy, double grain, AGraphColor* c, bool equalLength,
                    AGraphView& view) -> A2DGraph* {
    Made& made = Record("VectorPlot", c, view, {vx, vy});
    made.grain = grain, made.number = equalLength;
    return new Stub2D(c);
  };
  m.ColorPlot = [](AnExpression* a, AnExpression* b, AnExpression* d, AnExpression* complex, bool hsv, AGraphColor* c,
                   AGraphView& view) -> A2DGraph* {
    Record("ColorPlot", c, view, {a, b, d, complex}).number = hsv;
    return new Stub2D(c);
  };
  m.Arrow = [](AnExpression* x1, AnExpression* y1, AnExpression* x2, AnExpression* y2, AGraphColor* c,
               AGraphView& view) -> A2DGraph* {
    Record("Arrow", c, view, {x1, y1, x2, y2});
    return new Stub2D(c);
  };
  m.TransformPlot = [](AnExpression* f, AnExpression* g, AGraphColor* c, AGraphView& view, AGraphView&,
                       const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    Record("TransformPlot", c, view, {f, g}).list = sources;
    return new Stub2D(c);
  };
  m.TextureMapPlot = [](AnExpression* f, AnExpression* g, AGraphColor* c, double value, AGraphView& view, AGraphView&,
                        const AListGenericSmall<int32_t>* sources) -> A2DGraph* {
    Made& made = Record("TextureMapPlot", c, view, {f, g});
    made.list = sources, made.grain = value;
    return new Stub2D(c);
  };
  m.Point3D = [](AnExpression* x, AnExpression* y, AnExpression* z, AGraphColor* c, double grain, double opacity,
                 AGraphView& view) -> A3DGraph* {
    Made& made = Record("Point3D", c, view, {x, y, z});
    made.grain = grain, made.opacity = opacity;
    return new Stub3D(c);
  };
  m.Data3D = [](AnExpression* x, AnExpression* y, AnExpression* z, AnExpression* const(&s)[5], AGraphColor* c,
                AGraphView& view, DocumentRecord*) -> A3DGraph* {
    Record("Data3D", c, view, {x, y, z, s[0], s[1], s[2], s[3], s[4]});
    return new Stub3D(c);
  };
  m.VertexList4D = [](AnExpression* vertices, AGraphColor* c, AGraphView& view) -> A4DGraph* {
    Record("VertexList4D", c, view, {vertices});
    return new Stub4D(c);
  };
  m.TransformedDEPlot3D = [](AnExpression* const(&f)[3], A3DGraph* solutions, AGraphView& view) -> A3DGraph* {
    auto* colour = new AGraphColor;
    Record("TransformedDEPlot3D", colour, view, {f[0], f[1], f[2]}).source = solutions;
    return new Stub3D(colour);
  };
  m.TransformedImplicitSurface = [](AnExpression* const(&f)[3], A3DGraph* surface, AGraphView& view) -> A3DGraph* {
    auto* colour = new AGraphColor;
    Record("TransformedImplicitSurface", colour, view, {f[0], f[1], f[2]}).source = surface;
    return new Stub3D(colour);
  };
  m.StartOnGrid = [](AnExpression* const(&f)[3], AnExpression* const(&s)[3], AnExpression* radius, AnExpression* clip,
                     double, double, AGraphColor* c, const double& uLow, const double&, const double& vLow,
                     const double&, int32_t type, AGraphView& view, A3DGraph** solutions) -> A3DGraph* {
    Made& made = Record("StartOnGrid", c, view, {f[0], f[1], f[2], s[0], s[1], s[2], radius, clip});
    made.number = type, made.range = &uLow, made.vRange = &vLow;
    // The graph stands in for its own solution plot.
    auto* graph = new Stub3D(c);
    *solutions = type == 1 ? graph : nullptr;
    return graph;
  };
}

// 3-D and 4-D views that keep their graphs, standing in for the views
// still to come.
template <typename View>
class Keeping : public View {
 public:
  int32_t GraphCount() const override { return int32_t(fGraphs.size()); }
  AGraph* GraphAt(int32_t i) const override { return i >= 0 && i < GraphCount() ? fGraphs[size_t(i)].get() : nullptr; }
  int AddGraph(AGraph* graph) override {
    fGraphs.emplace_back(graph);
    return 0;
  }
  void DeleteGraphs() override { fGraphs.clear(); }
  bool NoGraphs() override { return fGraphs.empty(); }

 private:
  std::vector<std::unique_ptr<AGraph>> fGraphs;
};

enum Space { k2D, k3D, k4D };

struct Pane {
  explicit Pane(Space space, bool recording = true, DocumentRecord* document = nullptr) : space(space) {
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphPaneHooks.Make3DView = []() -> AGraphView* { return new Keeping<A3DGraphView>; };
    gGraphPaneHooks.Make4DView = []() -> AGraphView* { return new Keeping<A4DGraphView>; };
    gGraphMakers = GraphMakers{};
    if (recording) InstallRecordingMakers();
    gMade.clear();
    pane = std::make_unique<AGraphPane>(MRect{0, 0, 200, 200}, nullptr, document);
    pane->StartAddingEquations(space == k3D, space == k4D, false, false, ct);
  }
  ~Pane() {
    pane.reset();
    gMade.clear();
    gGraphMakers = GraphMakers{};
    gGraphPaneHooks = GraphPaneHooks{};
  }
  int32_t Add(ExpressionRecord* e, double xyType = 1, double mode = 2, double colour = 0) {
    return pane->AddEquation(e, space == k3D, space == k4D, ct, colour, 0.5, 0.75, mode, xyType);
  }
  int32_t Add(const std::string& text, double xyType = 1, double mode = 2, double colour = 0) {
    Tree tree = Parse(text);
    EXPECT_TRUE(tree) << text;
    const Tree before(Copy(tree.get()));
    const int32_t row = Add(tree.get(), xyType, mode, colour);
    EXPECT_TRUE(MATH_Equal(tree.get(), before.get())) << text << ": the caller's tree changed";
    return row;
  }
  std::set<int> Flags() {
    std::set<int> set;
    for (int p = 0; p < kCoordDisplayParamCount; ++p)
      if (pane->CoordinateDisplayFlags()[p]) set.insert(p);
    return set;
  }
  Space space;
  CoordinateTransformation ct;
  std::unique_ptr<AGraphPane> pane;
};

using Formula = std::function<double(double u, double v, double x, double y, double z)>;
#define F(expression)                                                 \
  [](double u, double v, double x, double y, double z) {              \
    return (void)u, (void)v, (void)x, (void)y, (void)z, (expression); \
  }
// Handed, value not checked (complex, or a relation); nullptr: not handed.
constexpr double kAnyValue = 1234.5;
const Formula kAny = F(kAnyValue);

inline bool Near(double expected, double got) {
  if (std::isnan(expected)) return std::isnan(got);
  return std::abs(expected - got) <= 1e-9 * (1 + std::abs(expected));
}

}  // namespace
