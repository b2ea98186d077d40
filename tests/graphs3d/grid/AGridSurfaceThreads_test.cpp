#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "renderer/DrawContext.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/SliceHold.h"

namespace {

// Grain, colour and view changes arrive while the job computes (let go
// from midway); each one stops it first, so no change meets a running
// computation, and the surface always ends whole.
TEST(GridSurfaceThreads, ChangesWhileComputingLeaveAWholeSurface) {
  StartComputeThreads();
  {
    A3DGraphView view;
    view.SetViewRect(MRect{0, 0, 300, 400});
    view.ConstructContextNeededByGraphConstructors();
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[1] = v[1] = 2 * gPi;
    auto colour = std::make_unique<AGraphColor>();
    SliceHold hold(1);
    AGridSurface surface(MakeExpression("(2 + cos(v))*cos(u)"), MakeExpression("(2 + cos(v))*sin(u)"),
                         MakeExpression("sin(v)"), 1, 1, std::move(colour), nullptr, kPlotSampling, u[0], u[1], v[0],
                         v[1], view.DrawContext());
    std::mt19937 random(50);
    for (int step = 0; step < 60; ++step) {
      SliceHold::WaitUntilHeldOrDone(surface);
      SliceHold::Release();
      switch (step % 4) {
        case 0: surface.SetParameter(kAttributeGrain, std::uniform_real_distribution<double>(0, 1)(random)); break;
        case 1: surface.SetParameter(kAttributeColor, 1 + step % 8); break;
        case 2: surface.SetParameter(kAttributeColor, step % 8 == 2 ? 10 : 3); break;
        default:
          u[1] = gPi + step * 0.05;
          surface.ViewChanged();
          break;
      }
      surface.MaximumModelSpaceRadius();
      surface.GraphVisibility();
      SliceHold::Arm(1 + step % 4);
    }
    SliceHold::Release();
    WaitUntilDone(surface);
    const int32_t n = surface.GridSize();
    EXPECT_EQ(surface.TriangleCount(), 2 * (n - 1) * (n - 1));
    EXPECT_EQ(surface.GraphVisibility(), 0);
    EXPECT_GT(surface.MaximumModelSpaceRadius(), 0);
  }
  StopComputeThreads();
}

// Turning antialiasing over disposes and remakes a view's context from the
// interface thread while its graphs compute; the job must not notice.
TEST(GridSurfaceThreads, AContextRemadeWhileComputingLeavesTheJobAlone) {
  StartComputeThreads();
  {
    A3DGraphView view;
    view.SetViewRect(MRect{0, 0, 200, 200});
    view.ConstructContextNeededByGraphConstructors();
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[0] = v[0] = -2;
    u[1] = v[1] = 2;
    SliceHold hold(1);
    AGridSurface surface(MakeExpression("u"), MakeExpression("v"), MakeExpression("sin(u*v)"), 1, 1,
                         std::make_unique<AGraphColor>(), nullptr, kPlotSampling, u[0], u[1], v[0], v[1],
                         view.DrawContext());
    for (int step = 0; step < 40; ++step) {
      SliceHold::WaitUntilHeldOrDone(surface);
      SliceHold::Release();
      DisposeDrawContext(view.DrawContext());
      view.ConstructContextNeededByGraphConstructors();
      if (step % 8 == 0) surface.ViewChanged();
      SliceHold::Arm(1 + step % 3);
    }
    SliceHold::Release();
    WaitUntilDone(surface);
    // The box spans -2..2 on every axis, so the farthest point is the corner (2, 2, sin 4).
    EXPECT_NEAR(surface.MaximumModelSpaceRadius(), std::sqrt(8 + std::sin(4.0) * std::sin(4.0)), 1e-6);
  }
  StopComputeThreads();
}

}  // namespace
