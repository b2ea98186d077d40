#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "expression/CoordinateExchange.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/AColorPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "graphs2d/AParametricCurve.h"
#include "graphs2d/APointPlot.h"
#include "graphs2d/AnArrowPlot.h"
#include "graphs2d/GraphMakers2D.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/support/HangLimit.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

constexpr int kWidth = 240, kHeight = 180;
constexpr double kColourCode = 3;

Colour PaneColour() {
  auto colour = std::make_unique<AGraphColor>();
  colour->Set(kColourCode);
  return colour;
}

// The graphs compute on the job threads; a hang fails the program.
void WaitForView(AGraphView& view) {
  const Watchdog guard("the view's graphs", kHangLimit);
  while (!view.AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// Ports of one size that differ nowhere inside the rectangle, the reference inked.
void ExpectSamePixels(OurPort& port, OurPort& reference, const MRect& rect) {
  int differing = 0, inked = 0;
  for (int v = rect.top; v < rect.bottom; ++v) {
    for (int h = rect.left; h < rect.right; ++h) {
      differing += RgbAt(port, h, v) != RgbAt(reference, h, v);
      inked += IsInk(RgbAt(reference, h, v));
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 0);
}

// The pane with the 2-D makers, the whole-picture plot's left out if asked,
// at the default views.
struct PaneWithMakers {
  explicit PaneWithMakers(const CoordinateTransformation& ct, bool wholePicture = true) {
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphMakers = GraphMakers{};
    Install2DGraphMakers();
    if (!wholePicture) gGraphMakers.TextureMapPlot = nullptr;
    pane = std::make_unique<AGraphPane>(MRect{0, 0, kHeight, kWidth}, nullptr, nullptr);
    static_cast<A2DGraphView&>(*pane->View2D(0)).SetDefaultViewState();
    pane->StartAddingEquations(false, false, false, false, ct);
  }
  ~PaneWithMakers() {
    pane.reset();
    gGraphMakers = GraphMakers{};
  }
  std::unique_ptr<AGraphPane> pane;
};

using PaneDrawsAsDirect = FunctionGraphTest;

// The pane's first 2-D view after one pass over each equation against a
// view holding the graph built directly.
TEST_F(PaneDrawsAsDirect, EachKindAsItsGraphBuiltDirectly) {
  const struct {
    const char* text;
    double xyType;
    std::function<std::unique_ptr<A2DGraph>(A2DGraphView&)> direct;
  } rows[] = {
      {"y = sin(x)", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<AFunctionOf_XorY>(CurveExpression("sin(x)"), true, PaneColour(), 2,
                                                   v.GraphTransform());
       }},
      {"x^2 + y^2 < 1", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<A2DInequality>(Formula("x^2 + y^2 < 1"), Formula("x^2 + y^2 - 1"), PaneColour(), 2,
                                                false, v.GraphTransform());
       }},
      {"r = theta", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         const double(&theta)[2] = v.Record().ranges[kCoordTheta];
         return std::make_unique<AParametricCurve>(Formula("u*cos(u)"), Formula("u*sin(u)"), PaneColour(), 0.5, 4,
                                                   v.GraphTransform(), theta[0], theta[1]);
       }},
      {"z = x*y", 2,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<ADensityPlot>(Formula("u*v"), 0.5, PaneColour(), v.GraphTransform());
       }},
      {"vector(1, 2)", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<APointPlot>(Formula("1"), Formula("2"), nullptr, nullptr, nullptr, PaneColour(), false,
                                             v.GraphTransform());
       }},
      {"vector(1, 2), vector(-3, 4)", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<AnArrowPlot>(Formula("1"), Formula("2"), Formula("-3"), Formula("4"), PaneColour(),
                                              v.GraphTransform());
       }},
      {"vector(d*x, d*y) = vector(y, -x)", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<A2DVectorPlot>(Formula("y"), Formula("-x"), 0.5, PaneColour(), false,
                                                v.GraphTransform());
       }},
      {"vector(r, g, b) = vector(x/4, y/4, 0.5)", 1,
       [](A2DGraphView& v) -> std::unique_ptr<A2DGraph> {
         return std::make_unique<AColorPlot>(Formula("u/4"), Formula("v/4"), Formula("0.5"), nullptr, false,
                                             PaneColour(), v.GraphTransform());
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const CoordinateTransformation none;
    PaneWithMakers p(none);
    auto& view = static_cast<A2DGraphView&>(*p.pane->View2D(0));
    Tree tree = Parse(row.text);
    ASSERT_EQ(p.pane->AddEquation(tree.get(), false, false, none, kColourCode, 0.5, 1, 2, row.xyType), 0);
    WaitForView(view);
    PortPtr port(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
    {
      APushPort push(port.get());
      view.Draw(true);
    }
    ViewOnPort reference(kWidth, kHeight);
    reference.view.AddGraph(row.direct(reference.view));
    WaitForView(reference.view);
    reference.Draw();
    ExpectSamePixels(*port, *reference.port, MRect{0, 0, kHeight, kWidth});
  }
}

// Under x' = 2x, y' = y the second view's mirror of (cos t, sin t) is the
// curve (2 cos t, sin t) built there directly (whole-picture plot left out).
TEST_F(PaneDrawsAsDirect, MirrorThroughTheForwardTransformation) {
  Tree f = Parse("2*x"), g = Parse("y");
  CoordinateTransformation forward;
  forward.kind = CoordinateTransformation::kPlaneFromSource;
  forward.formulas[0] = f.get(), forward.formulas[1] = g.get();
  PaneWithMakers p(forward, false);
  auto& second = static_cast<A2DGraphView&>(*p.pane->View2D(1));
  const MRect rect = p.pane->GetGraphRect(kSecondView);
  second.SetDefaultViewState();
  Tree tree = Parse("vector(x, y) = vector(cos(t), sin(t))");
  ASSERT_EQ(p.pane->AddEquation(tree.get(), false, false, forward, kColourCode, 0.5, 1, 2, 1), 0);
  ASSERT_EQ(second.GraphCount(), 1);
  WaitForView(second);

  A2DGraphView reference;
  reference.SetViewRect(rect);
  reference.SetDefaultViewState();
  reference.Resize();
  const double(&t)[2] = p.pane->View2D(0)->Record().ranges[kCoordT];
  reference.AddGraph(std::make_unique<AParametricCurve>(Formula("2*cos(u)"), Formula("sin(u)"), PaneColour(), 0.5, 3,
                                                        reference.GraphTransform(), t[0], t[1]));
  WaitForView(reference);
  PortPtr port(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
  PortPtr referencePort(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
  for (auto [view, target] :
       {std::pair<A2DGraphView*, OurPort*>{&second, port.get()}, {&reference, referencePort.get()}}) {
    APushPort push(target);
    view->Draw(true);
  }
  ExpectSamePixels(*port, *referencePort, rect);
}

// Under the inverse transformation a slope field is only resampled: the
// second view holds the whole-picture plot alone, which lists the field.
TEST_F(PaneDrawsAsDirect, SlopeFieldIsResampledNeverRebuilt) {
  Tree f = Parse("x/2"), g = Parse("y");
  for (Tree* formula : {&f, &g}) ExchangeXYZwithXYZprime(formula->get());
  CoordinateTransformation inverse;
  inverse.kind = CoordinateTransformation::kPlaneFromTransformed;
  inverse.formulas[0] = f.get(), inverse.formulas[1] = g.get();
  PaneWithMakers p(inverse);
  AGraphPane& pane = *p.pane;
  ASSERT_EQ(pane.View2D(1)->GraphCount(), 1);
  Tree tree = Parse("d*y/(d*x) = x*y");
  ASSERT_EQ(pane.AddEquation(tree.get(), false, false, inverse, kColourCode, 0.5, 1, 2, 1), 1);
  EXPECT_EQ(pane.View2D(0)->GraphCount(), 1);
  EXPECT_EQ(pane.View2D(1)->GraphCount(), 1);
  ASSERT_EQ(pane.Pass().TransformSources().Count(), 1);
  EXPECT_EQ(pane.Pass().TransformSources()[0], 0);
  WaitForView(*pane.View2D(0));
  WaitForView(*pane.View2D(1));
}

}  // namespace
