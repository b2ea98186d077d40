#include <gtest/gtest.h>

#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphMakers.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/GraphMakers2D.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

struct TwoDPane {
  TwoDPane() {
    gGraphPaneHooks = GraphPaneHooks{};
    gGraphPaneHooks.Make2DView = MakeA2DGraphView;
    gGraphMakers = GraphMakers{};
    Install2DGraphMakers();
    pane = std::make_unique<AGraphPane>(MRect{0, 0, 200, 200}, nullptr, nullptr);
    pane->StartAddingEquations(false, false, false, false, ct);
  }
  ~TwoDPane() {
    pane.reset();
    gGraphMakers = GraphMakers{};
    gGraphPaneHooks = GraphPaneHooks{};
  }
  int32_t Add(const char* text, double xyType = 1) {
    Tree tree = Parse(text);
    return pane->AddEquation(tree.get(), false, false, ct, 0, 0.5, 1, 2, xyType);
  }
  CoordinateTransformation ct;
  std::unique_ptr<AGraphPane> pane;
};

TEST(AddingEquations, FunctionGraphSmoke) {
  TwoDPane p;
  EXPECT_EQ(p.Add("y = sin(x)"), 0);
  EXPECT_EQ(p.Add("leq(x^2 + y^2, 1)"), 1);
  const GraphLookup& row = *p.pane->Lookup().At(1);
  EXPECT_EQ(row.pairs[0].view, p.pane->View2D(0));
  EXPECT_EQ(row.pairs[2].index, 2);
  EXPECT_NE(dynamic_cast<AFunctionOf_XorY*>(p.pane->View2D(0)->GraphAt(0)), nullptr);
  EXPECT_NE(dynamic_cast<A2DInequality*>(p.pane->View2D(0)->GraphAt(2)), nullptr);
  p.pane->DoneAddingEquations();
}

}  // namespace
