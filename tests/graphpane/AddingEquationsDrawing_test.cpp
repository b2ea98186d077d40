#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

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
#include "tests/expression/ParserTestSupport.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

constexpr int kWidth = 240, kHeight = 180;
constexpr double kColourCode = 3;

AGraphColor* PaneColour() {
  auto* colour = new AGraphColor;
  colour->Set(kColourCode);
  return colour;
}

void WaitForView(AGraphView& view) {
  while (!view.AreAllGraphsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// The pane's first 2-D view after one pass over the equation, beside a view
// holding the graph built directly; both drawn into ports of one size.
class PaneDrawsAsDirect : public FunctionGraphTest {
 protected:
  void Compare(const std::string& text, double xyType, const std::function<A2DGraph*(A2DGraphView&)>& direct) {
    SCOPED_TRACE(text);
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphMakers = GraphMakers{};
    Install2DGraphMakers();
    AGraphPane pane(MRect{0, 0, kHeight, kWidth}, nullptr, nullptr);
    auto& view = static_cast<A2DGraphView&>(*pane.View2D(0));
    view.SetDefaultViewState();
    CoordinateTransformation none;
    pane.StartAddingEquations(false, false, false, false, none);
    Tree tree = Parse(text);
    ASSERT_EQ(pane.AddEquation(tree.get(), false, false, none, kColourCode, 0.5, 1, 2, xyType), 0);
    WaitForView(view);
    PortPtr port(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
    {
      APushPort push(port.get());
      view.Draw(true);
    }

    ViewOnPort reference(kWidth, kHeight);
    reference.view.AddGraph(direct(reference.view));
    WaitForView(reference.view);
    reference.Draw();

    int differing = 0, inked = 0;
    for (int v = 0; v < kHeight; ++v) {
      for (int h = 0; h < kWidth; ++h) {
        differing += RgbAt(*port, h, v) != reference.At(h, v);
        inked += IsInk(reference.At(h, v));
      }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 0);
    gGraphMakers = GraphMakers{};
  }
};

TEST_F(PaneDrawsAsDirect, FunctionGraph) {
  Compare("y = sin(x)", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new AFunctionOf_XorY(CurveExpression("sin(x)"), true, PaneColour(), 2, v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, Disc) {
  Compare("x^2 + y^2 < 1", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new A2DInequality(MakeExpression("x^2 + y^2 < 1").release(), MakeExpression("x^2 + y^2 - 1").release(),
                             PaneColour(), 2, false, v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, PolarCurve) {
  Compare("r = theta", 1, [](A2DGraphView& v) -> A2DGraph* {
    const double(&theta)[2] = v.Record().ranges[kCoordTheta];
    return new AParametricCurve(MakeExpression("u*cos(u)").release(), MakeExpression("u*sin(u)").release(),
                                PaneColour(), 0.5, 4, v.GraphTransform(), theta[0], theta[1]);
  });
}

TEST_F(PaneDrawsAsDirect, DensityPlot) {
  Compare("z = x*y", 2, [](A2DGraphView& v) -> A2DGraph* {
    return new ADensityPlot(MakeExpression("u*v").release(), 0.5, PaneColour(), v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, Point) {
  Compare("vector(1, 2)", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new APointPlot(MakeExpression("1").release(), MakeExpression("2").release(), nullptr, nullptr, nullptr,
                          PaneColour(), false, v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, Arrow) {
  Compare("vector(1, 2), vector(-3, 4)", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new AnArrowPlot(MakeExpression("1").release(), MakeExpression("2").release(), MakeExpression("-3").release(),
                           MakeExpression("4").release(), PaneColour(), v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, VectorField) {
  Compare("vector(d*x, d*y) = vector(y, -x)", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new A2DVectorPlot(MakeExpression("y").release(), MakeExpression("-x").release(), 0.5, PaneColour(), false,
                             v.GraphTransform());
  });
}

TEST_F(PaneDrawsAsDirect, ColourPlot) {
  Compare("vector(r, g, b) = vector(x/4, y/4, 0.5)", 1, [](A2DGraphView& v) -> A2DGraph* {
    return new AColorPlot(MakeExpression("u/4").release(), MakeExpression("v/4").release(),
                          MakeExpression("0.5").release(), nullptr, false, PaneColour(), v.GraphTransform());
  });
}

// Under x' = 2x, y' = y the second view's mirror of (cos t, sin t) is the
// curve (2 cos t, sin t) built there directly (whole-picture plot left out).
TEST_F(PaneDrawsAsDirect, MirrorThroughTheForwardTransformation) {
  gGraphPaneHooks.Make2DView = MakeA2DGraphView;
  gGraphMakers = GraphMakers{};
  Install2DGraphMakers();
  gGraphMakers.TextureMapPlot = nullptr;
  AGraphPane pane(MRect{0, 0, kHeight, kWidth}, nullptr, nullptr);
  Tree f = Parse("2*x"), g = Parse("y");
  CoordinateTransformation forward;
  forward.kind = CoordinateTransformation::kPlaneFromSource;
  forward.formulas[0] = f.get(), forward.formulas[1] = g.get();
  pane.StartAddingEquations(false, false, false, false, forward);
  auto& second = static_cast<A2DGraphView&>(*pane.View2D(1));
  const MRect rect = pane.GetGraphRect(1);
  second.SetDefaultViewState();
  Tree tree = Parse("vector(x, y) = vector(cos(t), sin(t))");
  ASSERT_EQ(pane.AddEquation(tree.get(), false, false, forward, kColourCode, 0.5, 1, 2, 1), 0);
  ASSERT_EQ(second.GraphCount(), 1);
  WaitForView(second);

  A2DGraphView reference;
  reference.SetViewRect(rect);
  reference.SetDefaultViewState();
  reference.Resize();
  const double(&t)[2] = pane.View2D(0)->Record().ranges[kCoordT];
  reference.AddGraph(new AParametricCurve(MakeExpression("2*cos(u)").release(), MakeExpression("sin(u)").release(),
                                          PaneColour(), 0.5, 3, reference.GraphTransform(), t[0], t[1]));
  WaitForView(reference);
  PortPtr port(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
  PortPtr referencePort(NewOffscreenPort(QRect(0, 0, kWidth, kHeight)));
  {
    APushPort push(port.get());
    second.Draw(true);
  }
  {
    APushPort push(referencePort.get());
    reference.Draw(true);
  }
  int differing = 0, inked = 0;
  for (int v = rect.top; v < rect.bottom; ++v) {
    for (int h = rect.left; h < rect.right; ++h) {
      differing += RgbAt(*port, h, v) != RgbAt(*referencePort, h, v);
      inked += IsInk(RgbAt(*referencePort, h, v));
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 0);
  gGraphMakers = GraphMakers{};
}

// Under the inverse transformation a slope field is only resampled: the
// second view holds the whole-picture plot alone, which lists the field.
TEST_F(PaneDrawsAsDirect, SlopeFieldIsResampledNeverRebuilt) {
  gGraphPaneHooks.Make2DView = MakeA2DGraphView;
  gGraphMakers = GraphMakers{};
  Install2DGraphMakers();
  AGraphPane pane(MRect{0, 0, kHeight, kWidth}, nullptr, nullptr);
  Tree f = Parse("x/2"), g = Parse("y");
  for (Tree* formula : {&f, &g}) ExchangeXYZwithXYZprime(formula->get());
  CoordinateTransformation inverse;
  inverse.kind = CoordinateTransformation::kPlaneFromTransformed;
  inverse.formulas[0] = f.get(), inverse.formulas[1] = g.get();
  pane.StartAddingEquations(false, false, false, false, inverse);
  ASSERT_EQ(pane.View2D(1)->GraphCount(), 1);
  Tree tree = Parse("d*y/(d*x) = x*y");
  ASSERT_EQ(pane.AddEquation(tree.get(), false, false, inverse, kColourCode, 0.5, 1, 2, 1), 1);
  EXPECT_EQ(pane.View2D(0)->GraphCount(), 1);
  EXPECT_EQ(pane.View2D(1)->GraphCount(), 1);
  ASSERT_EQ(pane.TransformSources().Count(), 1);
  EXPECT_EQ(pane.TransformSources()[0], 0);
  WaitForView(*pane.View2D(0));
  WaitForView(*pane.View2D(1));
  gGraphMakers = GraphMakers{};
}

}  // namespace
