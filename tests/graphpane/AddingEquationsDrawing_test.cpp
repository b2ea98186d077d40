#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/ADensityPlot.h"
#include "graphs2d/AParametricCurve.h"
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

}  // namespace
