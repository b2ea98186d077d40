#include "renderer/Submission.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "renderer/RendererGlobals.h"
#include "tests/renderer/TestFrame.h"

namespace {

// The camera looks along -x from (50, 0, 0), y right, z up.
struct Scene : TestFrame {
  explicit Scene(bool translucent = false) : TestFrame(translucent) {
    SetIdentityMatrix(ctx.view.rotation);
    EXPECT_EQ(RenderStart(ctx.ctx, false), 0);
  }
  // Everything outside the pane is as the world was made.
  bool OutsideUntouched() const {
    for (int v = 0; v < 100; ++v)
      for (int h = 0; h < 200; ++h) {
        const bool inPane = h >= kPane.left && h < kPane.right && v >= kPane.top && v < kPane.bottom;
        if (!inPane && (world.Pixel(h, v) & 0xFFFFFF) != 0xFFFFFF) return false;
      }
    return true;
  }
};

TEST(Submission, LightAndTheFacingFlip) {
  const double k = 1 / std::sqrt(3.0);
  EXPECT_DOUBLE_EQ(LightIntensity({-k, k, -k}), 0.8 + 0.2 / 81);
  EXPECT_DOUBLE_EQ(LightIntensity({k, -k, k}), 0.2 + 0.2 / 81);  // the highlight alone
  EXPECT_DOUBLE_EQ(LightIntensity({NAN, 0, 0}), 0.2);
  // A square whose normals point at the light: 255 x I truncated. Its
  // corners run clockwise as the eye sees them in the first order, so the
  // normals are turned over; given away from the light there, they come
  // out toward it.
  const Vertex corners[4] = {{0, -1, -1}, {0, 1, -1}, {0, 1, 1}, {0, -1, 1}};
  const Triangle orders[2][2] = {{{{0, 1, 2}}, {{0, 2, 3}}}, {{{0, 2, 1}}, {{0, 3, 2}}}};
  for (int order = 0; order < 2; ++order) {
    Scene scene;
    const float sign = order == 0 ? -1.0f : 1.0f;
    const Vertex normal{-float(k), float(k), -float(k)};
    const Vertex flipped{sign * normal.x, sign * normal.y, sign * normal.z};
    const Vertex normals[4] = {flipped, flipped, flipped, flipped};
    OurSubmitVertices(corners, 4, scene.ctx.ctx);
    OurSubmitNormals(normals, scene.ctx.ctx);
    const int64_t before = gTrianglesRendered;
    OurSubmitTriangles(orders[order], 2, scene.ctx.ctx);
    EXPECT_EQ(gTrianglesRendered, before + 2);
    const uint32_t expected = uint32_t(255 * (0.8 + 0.2 / 81));
    EXPECT_EQ(scene.Pixel(kWidth / 2, kHeight / 2), 0xFF000000u | expected << 16 | expected << 8 | expected) << order;
  }
}

TEST(Submission, ProjectedCoordinatesAreLimited) {
  double x = 40000, y = 100;
  LimitProjectedCoordinates(&x, &y);
  EXPECT_EQ(x, 16383);
  EXPECT_DOUBLE_EQ(y, 40.9575);
  x = -3, y = 16383;
  LimitProjectedCoordinates(&x, &y);
  EXPECT_EQ(x, -3);
}

TEST(Submission, LinesGreyWithDistance) {
  Scene scene;
  // Through the origin, 50 from the eye: halfway to grey.
  const Vertex ends[2] = {{0, -1, 0}, {0, 1, 0}};
  const LineSegment segment{{0, 1}};
  OurSubmitVertices(ends, 2, scene.ctx.ctx);
  OurSubmitSolidColor(0xFF0000, scene.ctx.ctx);
  OurSubmitLines(&segment, 1, false, scene.ctx.ctx);
  EXPECT_EQ(scene.Pixel(kWidth / 2, kHeight / 2), 0xFFBF3F3Fu);
}

TEST(Submission, UnusableVerticesDrawNothingOutsideThePane) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const Vertex vertices[] = {{0, 0, 0},     {nan, 0, 0}, {0, inf, 0},  {1e30f, 1e30f, 0}, {0, -1e30f, 3},
                             {49.9f, 0, 0}, {60, 0, 0},  {0, 2, 1.5f}, {0, -2, -1.5f}};
  const int n = int(std::size(vertices));
  for (bool translucent : {false, true}) {
    Scene scene(translucent);
    const UniChar label[] = u"edge";
    const UniChar* labels[9] = {label, label, label, label, label, label, label, label, label};
    uint16_t indices[9];
    LineSegment segments[8];
    Triangle triangles[7];
    for (int i = 0; i < n; ++i) indices[i] = uint16_t(i);
    for (int i = 0; i + 1 < n; ++i) segments[i] = {{uint16_t(i), uint16_t(i + 1)}};
    for (int i = 0; i + 2 < n; ++i) triangles[i] = {{i, i + 1, i + 2}};
    OurSubmitVertices(vertices, n, scene.ctx.ctx);
    OurSubmitNormals(vertices, scene.ctx.ctx);
    OurSubmitPoints(indices, labels, labels, nullptr, n, scene.ctx.ctx);
    OurSubmitLines(segments, n - 1, true, scene.ctx.ctx);
    OurSubmitTriangles(triangles, n - 2, scene.ctx.ctx);
    EXPECT_EQ(RenderEnd(scene.ctx.ctx), 0);
    EXPECT_TRUE(scene.OutsideUntouched());
  }
  ReleaseRendererMemoryBeforeQuitting();
}

TEST(Submission, ModelRadiusAndDimensions) {
  Scene scene;
  scene.ctx.view.xmin = -1, scene.ctx.view.xmax = 3;  // x scale 1, centre 1
  const Vertex vertices[2] = {{1, 0, 0}, {3, 2, 0}};
  EXPECT_DOUBLE_EQ(CalculateMaximumModelSpaceRadius(vertices, 2, scene.ctx.ctx), std::sqrt(8.0));
  EXPECT_EQ(CalculateMaximumModelSpaceRadius(vertices, 0, scene.ctx.ctx), 0);
  double dx, dy, dz;
  GetModelSpaceDimensions(&dx, &dy, &dz, scene.ctx.ctx);
  EXPECT_EQ(dx, 4);
  EXPECT_EQ(dz, 4);
}

}  // namespace
