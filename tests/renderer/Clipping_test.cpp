#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "renderer/FragmentStore.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/SoftwareTexture.h"
#include "tests/renderer/TestFrame.h"

namespace {

TEST(Clipping, TrianglesBecomeFansInPassOrder) {
  MVertex out[kMaxClippedCorners];
  // Wholly left of the pane.
  EXPECT_EQ(ClipTriangleToPane(At(-5, 1), At(-1, 9), At(-3, 20), 80, 60, out), 0);
  // Inside, W - 0.5 included: unchanged.
  ASSERT_EQ(ClipTriangleToPane(At(79.5f, 1), At(10, 9), At(30, 59.5f), 80, 60, out), 3);
  EXPECT_EQ(out[0].x, 79.5f);
  EXPECT_EQ(out[2].y, 59.5f);
  // Across the top-left corner: five corners, in the order the passes leave
  // them (left edge first, then top).
  MVertex a = At(-10, 10), b = At(10, -10), c = At(20, 20);
  a.red = 0, b.red = 1, c.red = 0;
  ASSERT_EQ(ClipTriangleToPane(a, b, c, 80, 60, out), 5);
  // Left pass: the crossing of c-a, then of a-b (red halfway), b, c; the top
  // pass then cuts b off between (0, 0) and c.
  const float expected[5][2] = {{0, 40.0f / 3}, {0, 0}, {0, 0}, {40.0f / 3, 0}, {20, 20}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(out[i].x, expected[i][0], 1e-5) << i;
    EXPECT_NEAR(out[i].y, expected[i][1], 1e-5) << i;
  }
  EXPECT_EQ(out[1].red, 0.5f);
  // Crossing all four sides: at most seven corners.
  EXPECT_LE(ClipTriangleToPane(At(-10, 25), At(40, -10), At(90, 70), 80, 60, out), 7);
}

TEST(Clipping, LinesKeepAMarginOnTheRightAndBottom) {
  TestFrame frame(false);
  // One pixel wide: (5, 5) to (9, 5) is four pixels, the last end excluded.
  MVertex a = At(5, 5), b = At(9, 5);
  ASSERT_TRUE(DrawClippedLine(&a, &b, frame.ctx.ctx));
  for (int x = 5; x < 9; ++x) EXPECT_TRUE(frame.Written(x, 5));
  EXPECT_FALSE(frame.Written(9, 5));
  // Strictly inside W - 1.5, or nothing.
  MVertex c = At(kWidth - 1.5f, 10), d = At(kWidth - 1.5f, 30);
  ASSERT_TRUE(DrawClippedLine(&c, &d, frame.ctx.ctx));
  for (int y = 0; y < kHeight; ++y) EXPECT_FALSE(frame.Written(kWidth - 1, y) || frame.Written(kWidth - 2, y));
  MVertex e = At(kWidth - 1.6f, 10), f = At(kWidth - 1.6f, 30);
  ASSERT_TRUE(DrawClippedLine(&e, &f, frame.ctx.ctx));
  EXPECT_TRUE(frame.Written(kWidth - 2, 20));
  // A diagonal draws its major count of pixels, one per row.
  MVertex g = At(10, 20), h = At(17, 40);
  ASSERT_TRUE(DrawClippedLine(&g, &h, frame.ctx.ctx));
  for (int y = 20; y < 40; ++y) {
    int n = 0;
    for (int x = 10; x <= 17; ++x) n += frame.Written(x, y);
    EXPECT_EQ(n, 1) << y;
  }
}

// Supersampled lines are a band 1.5 display pixels (3 samples) wide with
// no holes across it.
TEST(Clipping, SupersampledLinesAreSolidBands) {
  for (float slope : {0.0f, 0.3f, 1.0f, 2.5f, -0.7f}) {
    TestFrame frame(false, true);
    MVertex a = At(20, 20), b = At(20 + 30, 20 + 30 * slope);
    if (std::fabs(slope) > 1) b = At(20 + 15 / slope, 35);
    ASSERT_TRUE(DrawClippedLine(&a, &b, frame.ctx.ctx));
    const int cols = frame.ctx->bufferCols;
    int total = 0;
    for (int y = 0; y < frame.ctx->bufferRows; ++y) {
      int first = -1, last = -1, count = 0;
      for (int x = 0; x < cols; ++x)
        if (frame.ctx->depthBuffer[y * cols + x] < 2.0) {
          if (first < 0) first = x;
          last = x;
          ++count;
        }
      if (count) {
        EXPECT_EQ(count, last - first + 1) << "slope " << slope << " row " << y;
      }
      total += count;
    }
    const double length = 2 * std::hypot(b.x - a.x, b.y - a.y);
    EXPECT_GT(total, 2.5 * length) << slope;
    EXPECT_LT(total, 4.5 * length) << slope;
  }
}

// Points on the right or bottom edge round past the last cell: dropped.
TEST(Clipping, PointsAtTheEdgesStayInsideTheBuffers) {
  for (bool sampled : {false, true}) {
    for (bool translucent : {false, true}) {
      TestFrame frame(translucent, sampled);
      const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
      const MVertex points[] = {At(kWidth, kHeight), At(kWidth, 0), At(0, kHeight),   At(-0.001f, 5),
                                At(nan, 5),          At(5, inf),    At(1e30f, 1e30f), At(kWidth - 0.6f, 3)};
      for (const MVertex& p : points) EXPECT_TRUE(DrawClippedPoint(&p, frame.ctx.ctx));
      for (const MVertex& p : points) {
        const MVertex& q = p;
        EXPECT_TRUE(DrawClippedLine(&q, &points[7], frame.ctx.ctx));
        EXPECT_TRUE(DrawClippedGouraudTriangle(&q, &points[7], &points[2], frame.ctx.ctx));
      }
      if (!sampled && !translucent) {
        EXPECT_TRUE(frame.Written(kWidth - 1, 3));
      }
      EXPECT_EQ(RenderEnd(frame.ctx.ctx), 0);
    }
  }
}

// A texture of one colour per level, alpha 0 in its left half.
std::vector<uint32_t> MakeTexture(OurTexture& texture) {
  std::vector<uint32_t> texels(kTextureTexels);
  uint32_t* next = texels.data();
  for (int level = 0; level < kTextureLevels; ++level) {
    texture.levels[level] = next;
    const int side = 1 << level;
    for (int v = 0; v < side; ++v)
      for (int v = 0; v < side; ++v) {
        for (int u = 0; u < side; ++u)
          next[v * side + u] = (u * 2 < side ? 0u : 0xFF000000u) | uint32_t(level) << 16 | 0x80;
      }
    next += side * side;
  }
  return texels;
}

TEST(Clipping, TexturedTrianglesSampleOneLevelAndSkipClearTexels) {
  OurTexture texture;
  const std::vector<uint32_t> texels = MakeTexture(texture);
  MVertex a = At(0, 0), b = At(40, 0), c = At(0, 40), d = At(40, 40);
  a.s = 0, a.t = 0, b.s = 1, b.t = 0, c.s = 0, c.t = 1, d.s = 1, d.t = 1;
  for (MVertex* v : {&a, &b, &c, &d}) v->red = v->green = v->blue = 1;
  {
    TestFrame frame(false);
    // 40 x 40 pixels over the whole texture: 1600 pixels, level 6 (4096 texels).
    ASSERT_TRUE(DrawClippedTexturedTriangle(&texture, &a, &b, &c, frame.ctx.ctx));
    ASSERT_TRUE(DrawClippedTexturedTriangle(&texture, &b, &d, &c, frame.ctx.ctx));
    EXPECT_FALSE(frame.Written(5, 20));  // clear left half: neither pixel nor depth
    EXPECT_TRUE(frame.Written(30, 20));
    // Red carries the level, blue 0x80 times the vertex's 255.
    EXPECT_EQ(frame.Pixel(30, 20) & 0xFFFFFF, 0x060080u);
  }
  a.s = 2, b.s = 3, c.s = 2;
  {
    // Coordinates beyond the texture repeat its edge.
    TestFrame beyond(false);
    ASSERT_TRUE(DrawClippedTexturedTriangle(&texture, &a, &b, &c, beyond.ctx.ctx));
    EXPECT_TRUE(beyond.Written(5, 5));
  }
  // Without a texture the triangle takes its lit colour.
  TestFrame plain(false);
  ASSERT_TRUE(DrawClippedTexturedTriangle(nullptr, &a, &b, &c, plain.ctx.ctx));
  EXPECT_EQ(plain.Pixel(5, 5), 0xFFFFFFFFu);
}

// The first refused chunk stops the primitive with one message.
TEST(Clipping, RunningOutOfFragmentsReportsOnce) {
  TestFrame frame(true);
  MVertex a = At(0, 0), b = At(kWidth, 0), c = At(0, kHeight), d = At(kWidth, kHeight);
  for (int i = 0; i < 65536; ++i) ASSERT_TRUE(InsertFragment(frame.ctx.ctx, i % 100, 0.5, 0x80808080));
  const int32_t count = frame.ctx->fragmentCount;
  const double physical = gPhysicalMemory;
  gPhysicalMemory = double(gApproximateTotalMemoryUsed + 4096) / 0.75;
  EXPECT_FALSE(DrawClippedGouraudTriangle(&b, &d, &c, frame.ctx.ctx));
  EXPECT_FALSE(DrawClippedLine(&a, &d, frame.ctx.ctx));
  gPhysicalMemory = physical;
  EXPECT_EQ(frame.ctx->fragmentCount, count);
  EXPECT_EQ(TakeDeferredError(), kTransparencyMemoryError);
  EXPECT_EQ(TakeDeferredError(), 0);
  EnableError(kTransparencyMemoryError);
}

}  // namespace
