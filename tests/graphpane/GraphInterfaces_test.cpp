#include <gtest/gtest.h>

#include <utility>

#include "graphpane/A2DGraph.h"
#include "graphpane/GraphHooks.h"

namespace {

// A 2-D kind that overrides only what every kind must.
class PlainGraph : public A2DGraph {
 public:
  int32_t Compute(int32_t) override { return kComputeNothingToDo; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override {}
  void Draw() override {}
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection(); }
  void PauseComputing() override {}
};

TEST(GraphInterfaces, DefaultsOfTheTwoDimensionalFamily) {
  PlainGraph graph;
  EXPECT_TRUE(graph.UsesGrainSlider());
  EXPECT_EQ(graph.GraphClass(), 2);
  EXPECT_EQ(graph.GetNeighborhood(0, 0, 1, 0, 1).found, 0);
  double bounds[4] = {1, 2, 3, 4};
  EXPECT_FALSE(graph.GetDataBounds(&bounds[0], &bounds[1], &bounds[2], &bounds[3]));
  EXPECT_EQ(bounds[0], 1);  // untouched
}

TEST(GraphInterfaces, SelectionStartsEmptyAndMovesItsPaths) {
  Selection empty;
  EXPECT_EQ(empty.kind, kSelectNothing);
  EXPECT_EQ(empty.x, 0);
  EXPECT_EQ(empty.snapped, 0);
  EXPECT_EQ(empty.path1, nullptr);

  Selection paths;
  paths.kind = kSelectSolutionPaths;
  paths.path1 = new SolutionPath;
  ASSERT_EQ(paths.path1->Add(dePoint{1, 2}), 0);
  Selection taken = std::move(paths);
  EXPECT_EQ(paths.path1, nullptr);  // NOLINT: moved-from state is defined
  ASSERT_NE(taken.path1, nullptr);
  EXPECT_EQ(taken.path1->Count(), 1);
  taken.Clear();
  EXPECT_EQ(taken.path1, nullptr);
  EXPECT_EQ(taken.kind, kSelectNothing);
}

TEST(GraphInterfaces, EmptyHookEntriesDoNothing) {
  gGraphPaneHooks = GraphPaneHooks{};
  PaneHooks::NotifyWindowGraphFinished(nullptr);
  PaneHooks::RedrawGraph(nullptr);
  EXPECT_FALSE(PaneHooks::UseSampleBuffer(nullptr));
  EXPECT_EQ(PaneHooks::SliderValue(nullptr), 0.0);
  EXPECT_EQ(PaneHooks::GetOffscreenGWorld(nullptr), nullptr);

  static int redraws = 0;
  gGraphPaneHooks.RedrawGraph = [](DocumentRecord*) { ++redraws; };
  PaneHooks::RedrawGraph(nullptr);
  EXPECT_EQ(redraws, 1);
  gGraphPaneHooks = GraphPaneHooks{};
}

}  // namespace
