#include <gtest/gtest.h>

#include <utility>

#include "graphpane/A2DGraph.h"
#include "graphpane/GraphHooks.h"

namespace {

// A moved selection hands its paths over: one owner, no double free.
TEST(GraphInterfaces, SelectionMovesItsPaths) {
  Selection paths;
  paths.kind = kSelectSolutionPaths;
  paths.path1 = std::make_unique<SolutionPath>();
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
  gRendererHooks = {};
  PaneHooks::NotifyWindowGraphFinished(nullptr);
  PaneHooks::RedrawGraph(nullptr);
  EXPECT_FALSE(PaneHooks::UseSampleBuffer(nullptr));
  EXPECT_EQ(PaneHooks::SliderValue(nullptr), 0.0);
  EXPECT_EQ(PaneHooks::GetOffscreenGWorld(nullptr), nullptr);

  static int redraws;
  redraws = 0;
  gRendererHooks.RedrawGraph = [](DocumentRecord*) { ++redraws; };
  PaneHooks::RedrawGraph(nullptr);
  EXPECT_EQ(redraws, 1);
  gGraphPaneHooks = GraphPaneHooks{};
  gRendererHooks = {};
}

}  // namespace
