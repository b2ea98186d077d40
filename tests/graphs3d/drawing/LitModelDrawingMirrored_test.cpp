#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "renderer/RendererGlobals.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs3d/EitherRendererTest.h"

namespace {

constexpr int kPictureSide = 160;

// A reversed axis mirrors the picture: whatever is drawn must be lit as its
// mirror image would be, with the light where it was. Each graph is
// symmetric under every axis reflection, so reversing axes must leave its
// picture much as it was.
class MirroredLighting : public EitherRendererTest {
 protected:
  MirroredLighting() : EitherRendererTest(kPictureSide, 0x000000) {}
  void SetUp() override {
    EitherRendererTest::SetUp();
    if (HasFatalFailure()) return;
    Box(1, 1, 1);
    view->ConstructContextNeededByGraphConstructors();
  }
  // The box -2 .. 2 on each axis, reversed where the sign is negative.
  void Box(int sx, int sy, int sz) {
    const int sign[3] = {sx, sy, sz};
    for (int a = 0; a < 3; ++a) {
      double* r = view->Record().ranges[kCoordX + a];
      r[0] = -2.0 * sign[a], r[1] = 2.0 * sign[a];
    }
    // A draw hands the box to the context the graphs read it from.
    view->Draw(true);
    view->ViewChanged();
  }
  std::unique_ptr<AGraphColor> Red() {
    auto colour = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
    colour->fSolidColor = 0xFF0000;
    return colour;
  }
  std::vector<uint32_t> Draw() {
    WaitUntil("the view's graphs", [&] { return view->AreAllGraphsDoneComputing(); });
    view->SetViewParameter(kAttributeUpdateVertexObjects);
    EXPECT_EQ(view->Draw(true), 1);
    std::vector<uint32_t> pixels;
    for (int v = 0; v < kPictureSide; ++v)
      for (int h = 0; h < kPictureSide; ++h) pixels.push_back(world.Pixel(h, v) & 0xFFFFFF);
    return pixels;
  }
  // The unreversed picture against those with each single axis reversed,
  // with two and with all three: the same pixels covered and their mean red
  // within the tolerance (out of 255). Lit inside out, the mean falls by half.
  void ExpectUnchangedByReversals(const char* what, double tolerance) {
    Box(1, 1, 1);
    const Statistics a = Measure(Draw());
    ASSERT_GT(a.covered, 1000) << what;
    ASSERT_GT(a.meanRed, 60) << what;
    for (const auto& signs : {std::array{-1, 1, 1}, std::array{1, -1, 1}, std::array{1, 1, -1}, std::array{-1, -1, 1},
                              std::array{-1, -1, -1}}) {
      Box(signs[0], signs[1], signs[2]);
      const Statistics b = Measure(Draw());
      const auto trace = testing::Message() << what << " axes " << signs[0] << " " << signs[1] << " " << signs[2];
      EXPECT_NEAR(double(b.covered) / double(a.covered), 1, 0.01) << trace;
      EXPECT_NEAR(b.meanRed, a.meanRed, tolerance) << trace;
    }
  }
  struct Statistics {
    int64_t covered = 0;
    double meanRed = 0;
  };
  // Over the pixels off the black background.
  static Statistics Measure(const std::vector<uint32_t>& pixels) {
    Statistics s;
    for (uint32_t p : pixels) {
      if (p == 0) continue;
      ++s.covered;
      s.meanRed += p >> 16 & 0xFF;
    }
    s.meanRed /= double(std::max<int64_t>(s.covered, 1));
    return s;
  }
};

TEST_P(MirroredLighting, ImplicitSphere) {
  const auto& r = view->Record().ranges;  // read by reference: the lattice follows the box
  view->AddGraph(std::make_unique<AnImplicitSurface>(
      MakeExpression("x^2 + y^2 + z^2 - 1.69"), 1.0, 1.0, Red(), nullptr, kPlotSampling, r[kCoordX][0], r[kCoordX][1],
      r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1], view->DrawContext(), 0));
  ExpectUnchangedByReversals("implicit sphere", 2);
}

TEST_P(MirroredLighting, ParametricSphere) {
  double* u = view->Record().ranges[kCoordU];
  double* v = view->Record().ranges[kCoordV];
  u[0] = 0, u[1] = 2 * M_PI, v[0] = 0, v[1] = M_PI;
  view->AddGraph(std::make_unique<AGridSurface>(
      MakeExpression("1.3*cos(u)*sin(v)"), MakeExpression("1.3*sin(u)*sin(v)"), MakeExpression("1.3*cos(v)"), 1.0, 1,
      Red(), nullptr, kPlotSampling, u[0], u[1], v[0], v[1], view->DrawContext()));
  ExpectUnchangedByReversals("parametric sphere", 2);
}

TEST_P(MirroredLighting, Tube) {
  static const double tmin = 0, tmax = 2 * M_PI;
  view->AddGraph(std::make_unique<ASpaceCurve>(MakeExpression("1.2*cos(u)"), MakeExpression("1.2*sin(u)"),
                                               MakeExpression("0"), MakeExpression("0.4"), nullptr, Red(), 1.0, 1.0,
                                               view->DrawContext(), tmin, tmax));
  // Each tube vertex takes the normal of the side after it, turned a half
  // side around the ring: mirrored, the turn goes the other way.
  ExpectUnchangedByReversals("tube", 3);
}

INSTANTIATE_TEST_SUITE_P(Renderers, MirroredLighting, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "OpenGL" : "Software"; });

}  // namespace
