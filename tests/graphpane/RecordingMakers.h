#pragma once

// Graph makers that record what the pane's builders hand them, and a pane
// over the real views; one recording per made graph, in order.

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
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
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/graphpane/PlainGraph2D.h"
#include "tests/support/FinishedGraph.h"

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

// A made graph: done at once, holding the colour it was handed.
template <typename Base>
class Stub : public Base {
 public:
  explicit Stub(Colour colour) : fColour(std::move(colour)) {}

 private:
  std::unique_ptr<AGraphColor> fColour;
};
using Stub2D = Stub<FinishedGraph<PlainGraph2D>>;
using Stub3D = Stub<FinishedSpaceGraph<A3DGraph>>;
using Stub4D = Stub<FinishedSpaceGraph<A4DGraph>>;

// A maker's name as a template argument.
template <size_t N>
struct MakerName {
  constexpr MakerName(const char (&text)[N]) { std::copy_n(text, N, name); }
  char name[N];
};

// One argument a maker was handed, recorded by its declared type: the
// formulas in the order taken, the first double as grain and the second as
// opacity, the first range's low end and the second's, the first view.
template <typename T>
void Take(Made& made, int& doubles, int& ranges, Colour& colour, T value) {
  using Bare = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<Bare, Compiled>) {
    if (value != nullptr) AnExpression::Compile(value.get());
    made.formulas.push_back(std::move(value));
  } else if constexpr (std::is_same_v<Bare, std::array<Compiled, 3>> || std::is_same_v<Bare, std::array<Compiled, 5>>) {
    for (Compiled& f : value) Take<Compiled>(made, doubles, ranges, colour, std::move(f));
  } else if constexpr (std::is_array_v<Bare>) {
    if (ranges++ == 0) made.range = &value[0];
  } else if constexpr (std::is_same_v<Bare, Colour>) {
    colour = std::move(value);
    made.colour = colour.get();
    made.solid = colour->fSolidColor;
    made.colourType = colour->fType;
    for (int i = 0; i < 3; ++i) {
      if (AnExpression* c = colour->fColorExpressions[i].get()) made.colourValues[i] = c->Evaluate(0.0);
    }
  } else if constexpr (std::is_same_v<Bare, AGraphView>) {
    if (made.view == nullptr) made.view = &value;
  } else if constexpr (std::is_same_v<T, const double&>) {
    if (ranges == 0) made.range = &value;
    if (ranges == 2) made.vRange = &value;
    ++ranges;
  } else if constexpr (std::is_same_v<Bare, double>) {
    (doubles++ == 0 ? made.grain : made.opacity) = value;
  } else if constexpr (std::is_same_v<Bare, PlottingMode>) {
    made.mode = value;
  } else if constexpr (std::is_same_v<Bare, bool> || std::is_same_v<Bare, int32_t>) {
    made.number = int32_t(value);
  } else if constexpr (std::is_same_v<Bare, const AListGenericSmall<int32_t>*>) {
    made.list = value;
  } else if constexpr (std::is_same_v<Bare, A3DGraph*>) {
    made.source = value;
  }
}

template <typename Graph>
struct StubOf;
template <>
struct StubOf<A2DGraph> {
  using Type = Stub2D;
};
template <>
struct StubOf<A3DGraph> {
  using Type = Stub3D;
};
template <>
struct StubOf<A4DGraph> {
  using Type = Stub4D;
};

template <MakerName maker, typename Graph, typename... Args>
std::unique_ptr<Graph> Recorded(Args... args) {
  Made& made = gMade.emplace_back();
  made.maker = maker.name;
  int doubles = 0, ranges = 0;
  Colour colour;
  (Take<Args>(made, doubles, ranges, colour, std::forward<Args>(args)), ...);
  return std::make_unique<typename StubOf<Graph>::Type>(std::move(colour));
}

// A recording maker of the same type as the entry it fills.
template <MakerName maker, typename Graph, typename... Args>
auto Recording(std::unique_ptr<Graph> (*)(Args...)) -> std::unique_ptr<Graph> (*)(Args...) {
  return &Recorded<maker, Graph, Args...>;
}

// Every maker records; the graphs are stubs that free their colour.
void InstallRecordingMakers() {
  GraphMakers& m = gGraphMakers;
#define ZL_RECORD(entry) m.entry = Recording<#entry>(m.entry)
  ZL_RECORD(FunctionOfXorY);
  ZL_RECORD(ParametricCurve);
  ZL_RECORD(Inequality);
  ZL_RECORD(DensityPlot);
  ZL_RECORD(ContourPlot);
  ZL_RECORD(Point);
  ZL_RECORD(Data2D);
  ZL_RECORD(DEPlot);
  ZL_RECORD(VectorPlot);
  ZL_RECORD(ColorPlot);
  ZL_RECORD(Arrow);
  ZL_RECORD(TransformPlot);
  ZL_RECORD(TextureMapPlot);
  ZL_RECORD(GridSurface);
  ZL_RECORD(GridSurface4D);
  ZL_RECORD(ImplicitSurface);
  ZL_RECORD(SpaceCurve);
  ZL_RECORD(SpaceCurve4D);
  ZL_RECORD(StartOnLattice);
  ZL_RECORD(StartOnPoint);
  ZL_RECORD(StartOnImplicit);
  ZL_RECORD(Point3D);
  ZL_RECORD(Data3D);
  ZL_RECORD(VertexList4D);
  ZL_RECORD(TransformedDEPlot3D);
  ZL_RECORD(TransformedImplicitSurface);
  // The grid's graph stands in for its own solution plot.
  static const auto recordGrid = Recording<"StartOnGrid">(m.StartOnGrid);
  m.StartOnGrid = [](std::array<Compiled, 3> f, std::array<Compiled, 3> s, Compiled radius, Compiled clip, double grain,
                     double opacity, Colour c, const double& uLow, const double& uHigh, const double& vLow,
                     const double& vHigh, int32_t type, AGraphView& view,
                     A3DGraph** solutions) -> std::unique_ptr<A3DGraph> {
    std::unique_ptr<A3DGraph> graph =
        recordGrid(std::move(f), std::move(s), std::move(radius), std::move(clip), grain, opacity, std::move(c), uLow,
                   uHigh, vLow, vHigh, type, view, solutions);
    *solutions = type == 1 ? graph.get() : nullptr;
    return graph;
  };
#undef ZL_RECORD
}

enum Space { k2D, k3D, k4D };

struct Pane {
  explicit Pane(Space space, bool recording = true, DocumentRecord* document = nullptr) : space(space) {
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphPaneHooks.Make3DView = MakeA3DGraphView;
    gGraphPaneHooks.Make4DView = MakeA4DGraphView;
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

using Formula = double (*)(double u, double v, double x, double y, double z);
#define F(expression)                                                 \
  [](double u, double v, double x, double y, double z) -> double {    \
    return (void)u, (void)v, (void)x, (void)y, (void)z, (expression); \
  }
// Handed, value not checked (complex, or a relation); nullptr: not handed.
constexpr double kAnyValue = 1234.5;
constexpr Formula kAny = F(kAnyValue);

inline bool Near(double expected, double got) {
  if (std::isnan(expected)) return std::isnan(got);
  return std::abs(expected - got) <= 1e-9 * (1 + std::abs(expected));
}

}  // namespace
