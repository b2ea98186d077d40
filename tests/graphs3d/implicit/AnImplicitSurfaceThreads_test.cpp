#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <random>

#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "renderer/DrawContext.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs2d/SliceHold.h"
#include "tests/graphs3d/WeldedMesh.h"

namespace {

constexpr const char* kGyroid = "sin(2*x)*cos(2*y) + sin(2*y)*cos(2*z) + sin(2*z)*cos(2*x) + 0.0123";
constexpr const char* kSphereText = "(x - 0.0123)^2 + (y + 0.0217)^2 + (z - 0.0311)^2 - 1";

class ImplicitSurfaceThreads : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    view.SetViewRect(MRect{0, 0, 300, 300});
    view.ConstructContextNeededByGraphConstructors();
    auto& r = view.Record().ranges;
    for (int a : {kCoordX, kCoordY, kCoordZ}) r[a][0] = -2, r[a][1] = 2;
  }
  void TearDown() override {
    surface.reset();
    StopComputeThreads();
  }
  AnImplicitSurface& Make(const char* f, double grain,
                          std::unique_ptr<AGraphColor> colour = std::make_unique<AGraphColor>()) {
    const auto& r = view.Record().ranges;
    surface = std::make_unique<AnImplicitSurface>(MakeExpression(f), grain, 1.0, std::move(colour), nullptr,
                                                  kPlotSampling, r[kCoordX][0], r[kCoordX][1], r[kCoordY][0],
                                                  r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1], view.DrawContext());
    return *surface;
  }
  void Finish() {
    WaitUntil("the implicit surface done", [this] { return surface->IsDoneComputing(); });
    surface->SetParameter(kAttributeUpdateSavedVertexObjects, 0);
  }

  A3DGraphView view;
  std::unique_ptr<AnImplicitSurface> surface;
};

// View, grain and colour changes arrive while the slabs compute (let go
// from midway), with the interface thread caching and drawing between them as
// the pane does.
TEST_F(ImplicitSurfaceThreads, RapidChangesLeaveACompleteLastModel) {
  Watchdog watchdog("rapid changes");
  auto colour = EquationColour(AGraphColor::kRGBEquations, "(x + 2)/4", "0.5", "n");
  std::optional<SliceHold> hold(std::in_place, 1);
  AnImplicitSurface& s = Make(kSphereText, 0.6, std::move(colour));
  s.SetPublishingInterval(0);  // polls every few cubes, not every so long
  auto& z = view.Record().ranges[kCoordZ];
  std::mt19937 random(51);
  for (int step = 0; step < 200; ++step) {
    SliceHold::WaitUntilHeldOrDone(s);
    SliceHold::Release();
    switch (step % 4) {
      case 0: s.SetParameter(kAttributeGrain, std::uniform_real_distribution<double>(0.2, 0.7)(random)); break;
      case 1: s.InvalConstant('n'); break;
      case 2: s.SetParameter(kAttributeColor, step % 8 == 2 ? 3 : 5); break;
      default:
        z[1] = 1.5 + (step % 7) * 0.1;
        s.ViewChanged();
        break;
    }
    s.GraphVisibility();
    s.Draw();
    if (step % 3 == 0) s.SetParameter(kAttributeUpdateSavedVertexObjects, 0);
    SliceHold::Arm(1 + step % 3);
  }
  hold.reset();
  z[1] = 2;
  s.SetParameter(kAttributeGrain, 0.5);
  Finish();
  EXPECT_EQ(s.GraphVisibility(), 0);
  const WeldedMesh mesh = Weld(s);
  ExpectClosed(mesh, 2);
  EXPECT_EQ(s.CachedModel().TriangleCount(), s.TriangleCount());
  const int32_t last = s.TriangleCount();
  Make(kSphereText, 0.5);
  Finish();
  EXPECT_EQ(surface->TriangleCount(), last);
}

// Stopped part way and started again, the jobs give the mesh of one
// uninterrupted run, while the view's draw context is disposed and remade.
TEST_F(ImplicitSurfaceThreads, ResumingAfterACancelGivesTheUninterruptedMesh) {
  Watchdog watchdog("resumed mesh");
  Make(kGyroid, 0.8);
  Finish();
  const int32_t triangles = surface->TriangleCount();
  const WeldedMesh whole = Weld(*surface);
  ASSERT_GT(triangles, 1000);
  {
    // Each stop meets the slabs further on than the last. Without a
    // publishing interval the slabs poll every few cubes rather than every
    // so much time, so that the holds fall at the same work on any machine;
    // until the first stop every poll holds.
    const SliceHold hold(0);
    AnImplicitSurface& s = Make(kGyroid, 0.8);
    s.SetPublishingInterval(0);
    for (int k = 0; k < 5; ++k) {
      SliceHold::WaitUntilHeld();
      DisposeDrawContext(view.DrawContext());
      view.ConstructContextNeededByGraphConstructors();
      s.ViewChanged();
      SliceHold::Arm(2 + 3 * k);
    }
  }
  AnImplicitSurface& s = *surface;
  Finish();
  EXPECT_EQ(s.TriangleCount(), triangles);
  const WeldedMesh mesh = Weld(s);
  EXPECT_EQ(mesh.points.size(), whole.points.size());
  EXPECT_NEAR(Area(mesh), Area(whole), 1e-9);
}

// With the publishing interval shortened, drawing while the slabs compute
// shows partial models that grow.
// Drawn every few polls of the slabs, held meanwhile.
TEST_F(ImplicitSurfaceThreads, PartialModelsAppearAndGrow) {
  constexpr int kPollsPerLook = 32;
  Watchdog watchdog("partial models");
  AnImplicitSurface& s = Make(kGyroid, 1.0);
  s.SetPublishingInterval(0);
  int32_t shown = 0, growths = 0;
  {
    const SliceHold hold(kPollsPerLook);
    s.ViewChanged();
    for (;;) {
      SliceHold::WaitUntilHeldOrDone(s);
      if (s.IsDoneComputing()) break;
      s.Draw();
      const int32_t now = s.CachedModel().TriangleCount();
      if (now > shown) ++growths;
      shown = std::max(shown, now);
      SliceHold::Arm(kPollsPerLook);
    }
  }
  EXPECT_GE(growths, 2);
  s.SetParameter(kAttributeUpdateSavedVertexObjects, 0);
  EXPECT_EQ(s.CachedModel().TriangleCount(), s.TriangleCount());
  EXPECT_LE(shown, s.TriangleCount());
}

}  // namespace
