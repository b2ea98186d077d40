#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <utility>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "renderer/RendererGlobals.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

using Vec3 = Eigen::Vector3d;
using Mat3 = Eigen::Matrix<double, 3, 3, Eigen::RowMajor>;

constexpr int kWidth = 800, kHeight = 600;

// The pixels the exact saddle z = x^2 - y^2 over [-2, 2]^2 covers, from the
// camera of a software frame written out: the eye at R (50, 0, 0) looking
// at the origin with R (0, 0, 1) up, the box scaled to -2 .. 2, a pinhole
// of min(w, h) 0.5 0.3972 50 / zoom.
std::vector<uint8_t> SaddlePixels(const M3DView& camera) {
  const Mat3 r = Eigen::Map<const Mat3>(camera.rotation);
  const Vec3 eye = r * Vec3(50, 0, 0), up = r * Vec3(0, 0, 1), d = -eye.normalized();
  const Vec3 u = (up - up.dot(d) * d).normalized();
  const double k = std::min(kWidth, kHeight) * 0.5 * 0.3972 * 50 / camera.zoom;
  const Vec3 screenX = k * d.cross(u).normalized(), screenY = k * u;
  const Vec3 scale(4 / (camera.xmax - camera.xmin), 4 / (camera.ymax - camera.ymin), 4 / (camera.zmax - camera.zmin));
  const Vec3 centre((camera.xmin + camera.xmax) / 2, (camera.ymin + camera.ymax) / 2, (camera.zmin + camera.zmax) / 2);
  // The nine million samples use plain doubles: test code compiles
  // unoptimised, where each Eigen operation is a chain of calls.
  double sx[3], sy[3], dd[3], sc[3], c[3], e[3];
  for (int i = 0; i < 3; ++i) {
    sx[i] = screenX[i], sy[i] = screenY[i], dd[i] = d[i], sc[i] = scale[i], c[i] = centre[i], e[i] = eye[i];
  }
  std::vector<uint8_t> covered(size_t(kWidth * kHeight), 0);
  constexpr int kSamples = 3000;
  for (int a = 0; a <= kSamples; ++a) {
    for (int b = 0; b <= kSamples; ++b) {
      const double x = -2 + 4.0 * a / kSamples, y = -2 + 4.0 * b / kSamples;
      const double q0 = (x - c[0]) * sc[0] - e[0], q1 = (y - c[1]) * sc[1] - e[1],
                   q2 = (x * x - y * y - c[2]) * sc[2] - e[2];
      const double dist = dd[0] * q0 + dd[1] * q1 + dd[2] * q2;
      const int px = int(std::floor((sx[0] * q0 + sx[1] * q1 + sx[2] * q2) / dist + kWidth / 2.0));
      const int py = int(std::floor(kHeight / 2.0 - (sy[0] * q0 + sy[1] * q1 + sy[2] * q2) / dist));
      if (px >= 0 && px < kWidth && py >= 0 && py < kHeight) covered[size_t(py * kWidth + px)] = 1;
    }
  }
  return covered;
}

TEST(SaddleRendering, TheSoftwareFrameCoversExactlyTheSaddle) {
  StartComputeThreads();
  {
    RendererTestWorld world(kWidth, kHeight);
    const int32_t openGL = std::exchange(gHasOpenGL, 0);
    gTestDocument.backgroundColor = 0;
    A3DGraphView view;
    view.SetDocument(TestDocument());
    view.SetViewRect(MRect{0, 0, kHeight, kWidth});
    view.SetViewParameter(kAttributeShowAxes);
    view.SetViewParameter(kAttributeStopSpin);
    view.ConstructContextNeededByGraphConstructors();
    const double* x = view.Record().ranges[kCoordX];
    const double* y = view.Record().ranges[kCoordY];
    auto colour = std::make_unique<AGraphColor>();
    colour->fSolidColor = 0x3366CC;
    view.AddGraph(std::make_unique<AGridSurface>(MakeExpression("u"), MakeExpression("v"), MakeExpression("u^2 - v^2"),
                                                 1, 1, std::move(colour), nullptr, kPlotSampling, x[0], x[1], y[0],
                                                 y[1], view.DrawContext()));
    WaitUntil("the view's graphs done", [&] { return view.AreAllGraphsDoneComputing(); });
    view.SetViewParameter(kAttributeUpdateVertexObjects);
    ASSERT_EQ(view.Draw(true), 1);
    ASSERT_EQ(GetRendererType(view.DrawContext()), kRendererSoftware);

    const std::vector<uint8_t> covered = SaddlePixels(view.Camera());
    // A pixel any sample touched may hold the outline anywhere in it: the
    // outline lies within one pixel inside the touched set's edge. Outside a
    // band of one pixel about it, the frame must agree.
    const auto touched = [&](int px, int py, int reach) {
      int count = 0;
      for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) count += covered[size_t((py + dy) * kWidth + px + dx)];
      return count;
    };
    int inside = 0, outside = 0;
    for (int py = 2; py + 2 < kHeight; ++py) {
      for (int px = 2; px + 2 < kWidth; ++px) {
        const bool in = touched(px, py, 2) == 25, out = touched(px, py, 1) == 0;
        if (!in && !out) continue;
        const bool drawn = (world.Pixel(px, py) & 0xFFFFFF) != 0;
        EXPECT_EQ(drawn, in) << px << "," << py;
        (in ? inside : outside)++;
        if (HasFailure()) break;
      }
      if (HasFailure()) break;
    }
    EXPECT_GT(inside, 20000);
    EXPECT_GT(outside, 20000);
    gHasOpenGL = openGL;
  }
  StopComputeThreads();
}

}  // namespace
