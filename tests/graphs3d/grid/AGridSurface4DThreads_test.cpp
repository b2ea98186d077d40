#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CoreUtilities/threads/JobQueue.h"
#include "expression/VariableIds.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "renderer/DrawContext.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/SliceHold.h"

namespace {

// Grain, colour, range and constant changes, turns of the view and a
// context remade from the interface thread all arrive while the job
// computes (let go from midway, or let finish now and then for a draw);
// each
// change stops it first and the job reads only what was copied for it, so
// the surface always ends whole.
TEST(GridSurface4DThreads, ChangesWhileComputingLeaveAWholeSurface) {
  StartComputeThreads();
  {
    A4DGraphView view;
    view.SetViewRect(MRect{0, 0, 300, 400});
    view.ConstructContextNeededByGraphConstructors();
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[0] = v[0] = -2;
    u[1] = v[1] = 2;
    auto colour = std::make_unique<AGraphColor>();
    SliceHold hold(1);
    auto* surface = new AGridSurface4D(MakeExpression("u"), MakeExpression("v"), MakeExpression("u^2 - v^2"),
                                       MakeExpression("2*u*v"), 1, 1, std::move(colour), nullptr, u[0], u[1], v[0],
                                       v[1], view.DrawContext(), view.Transform());
    view.AddGraph(std::unique_ptr<AGraph>(surface));
    std::mt19937 random(53);
    for (int step = 0; step < 60; ++step) {
      if (step % 10 == 9) {
        SliceHold::Release();
        WaitUntilDone(*surface);
        surface->Draw();
        SliceHold::Arm(1);
      } else {
        SliceHold::WaitUntilHeldOrDone(*surface);
        SliceHold::Release();
      }
      switch (step % 6) {
        case 0: surface->SetParameter(kAttributeGrain, std::uniform_real_distribution<double>(0, 1)(random)); break;
        case 1: surface->SetParameter(kAttributeColor, 1 + step % 8); break;
        case 2: surface->SetParameter(kAttributeColor, step % 12 == 2 ? 10 : 3); break;
        case 3:
          u[1] = 1 + step * 0.05;
          view.ViewChanged();
          break;
        case 4:
          DisposeDrawContext(view.DrawContext());
          view.ConstructContextNeededByGraphConstructors();
          break;
        default:
          view.SetViewParameter4D(ViewAttribute(97), 30);
          surface->InvalConstant(kIdU);
          break;
      }
      surface->MaximumModelSpaceRadius();
      surface->GraphVisibility();
      SliceHold::Arm(1 + step % 4);
    }
    SliceHold::Release();
    WaitUntilDone(*surface);
    const int32_t n = surface->GridSize();
    EXPECT_EQ(surface->TriangleCount(), 2 * (n - 1) * (n - 1));
    EXPECT_EQ(surface->GraphVisibility(), 0);
    EXPECT_GT(surface->MaximumModelSpaceRadius(), 0);
  }
  StopComputeThreads();
}

}  // namespace
