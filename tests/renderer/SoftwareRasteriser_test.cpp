#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "renderer/Frame.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/SoftwareTexture.h"
#include "tests/renderer/TestFrame.h"

namespace {

// A grid over the rectangle whose inner points move at random (snapped),
// each quad cut along a diagonal that keeps both halves the right way round.
std::vector<std::array<MVertex, 3>> Tessellate(int x0, int y0, int x1, int y1, std::mt19937& random) {
  constexpr int n = 6;
  std::uniform_int_distribution<int> jitter(-2, 2);
  MVertex p[n + 1][n + 1];
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      const bool inner = i > 0 && i < n && j > 0 && j < n;
      const float x = float(x0 + (x1 - x0) * i / n + (inner ? jitter(random) : 0));
      const float y = float(y0 + (y1 - y0) * j / n + (inner ? jitter(random) : 0));
      p[i][j] = At(x, y, 0.3f + 0.01f * float(i + j), 0.5f);
    }
  auto area = [](const MVertex& a, const MVertex& b, const MVertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
  };
  std::vector<std::array<MVertex, 3>> triangles;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const MVertex &a = p[i][j], &b = p[i + 1][j], &c = p[i + 1][j + 1], &d = p[i][j + 1];
      std::array<MVertex, 3> t[2] = {{a, b, c}, {a, c, d}};
      if (!(area(a, b, c) > 0 && area(a, c, d) > 0)) {
        t[0] = {a, b, d};
        t[1] = {b, c, d};
      }
      for (auto& triangle : t) {
        std::shuffle(triangle.begin(), triangle.end(), random);
        triangles.push_back(triangle);
      }
    }
  return triangles;
}

TEST(ScanConversion, ATessellatedSquareCoversEachPixelOnce) {
  std::mt19937 random(23);
  for (int trial = 0; trial < 20; ++trial) {
    for (bool translucent : {true, false}) {
      TestFrame frame(translucent);
      const int x0 = 5 + trial % 3, y0 = 4, x1 = 65 + trial % 5, y1 = 52;
      for (const auto& t : Tessellate(x0, y0, x1, y1, random))
        ASSERT_TRUE(DrawClippedGouraudTriangle(&t[0], &t[1], &t[2], frame.ctx.ctx));
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
          if (translucent)
            ASSERT_EQ(frame.Fragments(x, y), inside ? 1 : 0) << x << ", " << y;
          else
            ASSERT_EQ(frame.Written(x, y), inside) << x << ", " << y;
        }
    }
  }
}

TEST(ScanConversion, RowsAndColumnsOfSimpleTriangles) {
  {
    TestFrame frame(false);
    // Flat top on rows 10, 10, 20: rows 10 to 19.
    MVertex a = At(10, 10), b = At(30, 10), c = At(20, 20);
    ASSERT_TRUE(DrawClippedGouraudTriangle(&a, &b, &c, frame.ctx.ctx));
    EXPECT_TRUE(frame.Written(10, 10));
    EXPECT_FALSE(frame.Written(30, 10));
    EXPECT_TRUE(frame.Written(20, 19));
    EXPECT_FALSE(frame.Written(20, 20));
    EXPECT_FALSE(frame.Written(20, 9));
  }
  // One row, one column, or a straight line across: nothing.
  TestFrame empty(false);
  const MVertex flat[3][3] = {{At(40, 30.2f), At(60, 29.8f), At(50, 30)},
                              {At(40.2f, 30), At(39.8f, 50), At(40, 45)},
                              {At(40, 30), At(45, 35), At(50, 40)}};
  for (const auto& t : flat) ASSERT_TRUE(DrawClippedGouraudTriangle(&t[0], &t[1], &t[2], empty.ctx.ctx));
  for (int i = 0; i < empty.ctx->bufferPixels; ++i) ASSERT_EQ(empty.ctx->depthBuffer[i], 2.0);
}

// The reset at frame start covers only what was drawn since the last: it
// must still leave every cell at the far value, whatever was drawn where.
TEST(ScanConversion, EveryFrameStartsWithTheWholeDepthBufferOrFragmentListsReset) {
  std::mt19937 random(47);
  std::uniform_real_distribution<float> x(-20, kWidth + 20), y(-20, kHeight + 20), z(0, 1);
  for (const bool translucent : {false, true})
    for (const bool sampled : {false, true}) {
      TestFrame frame(translucent, sampled);
      MDrawContext* ctx = frame.ctx.ctx;
      for (int f = 0; f < 6; ++f) {
        for (int i = 0; i < 4 * f; ++i) {
          const MVertex a = At(x(random), y(random), z(random)), b = At(x(random), y(random), z(random)),
                        c = At(x(random), y(random), z(random));
          ASSERT_TRUE(i % 3 == 0   ? DrawClippedGouraudTriangle(&a, &b, &c, ctx)
                      : i % 3 == 1 ? DrawClippedLine(&a, &b, ctx)
                                   : DrawClippedPoint(&a, ctx));
        }
        ASSERT_EQ(RenderEnd(ctx), 0);
        ASSERT_EQ(RenderStart(ctx, false), 0);
        for (int i = 0; i < ctx->bufferPixels; ++i)
          ASSERT_TRUE(translucent ? ctx->fragmentHeads[i] == kNoFragment : ctx->depthBuffer[i] == 2.0)
              << translucent << sampled << " frame " << f << " cell " << i;
      }
    }
}

TEST(ScanConversion, GouraudColoursAndDepthInterpolateAndTheFirstOfEqualDepthsStays) {
  TestFrame frame(false);
  MVertex a = At(0, 0, 0.5f), b = At(40, 0, 0.5f), c = At(0, 40, 0.5f);
  a.red = 0, b.red = 1, c.red = 0;
  ASSERT_TRUE(DrawClippedGouraudTriangle(&a, &b, &c, frame.ctx.ctx));
  // Red grows by 255/40 per column: column 20 has 127.5, truncated.
  EXPECT_EQ((frame.Pixel(20, 5) >> 16) & 0xFF, 127u);
  MVertex d = At(0, 0, 0.5f), e = At(40, 0, 0.5f), f = At(0, 40, 0.5f);
  d.blue = e.blue = f.blue = 1;
  ASSERT_TRUE(DrawClippedGouraudTriangle(&d, &e, &f, frame.ctx.ctx));
  EXPECT_EQ(frame.Pixel(20, 5) & 0xFF, 63u);  // unchanged: 0.25 blue
  d.z = e.z = f.z = 0.25f;
  ASSERT_TRUE(DrawClippedGouraudTriangle(&d, &e, &f, frame.ctx.ctx));
  EXPECT_EQ(frame.Pixel(20, 5) & 0xFF, 255u);
}

}  // namespace
