#include "CoreUtilities/drawing/DirectPixelDrawing.h"

#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "tests/platform/PortTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;  // (h, v)

// A white world: composing over white (luminance 256) stores the colour itself.
class DirectDrawing : public testing::Test {
 protected:
  void SetUp() override {
    fWorld.reset(OurNewGWorld(kBounds));
    ASSERT_NE(fWorld, nullptr);
    fPush = std::make_unique<APushPort>(fWorld.get());
  }
  uint32_t At(int h, int v) const { return RgbAt(*fWorld, h, v); }
  Pixels Inked() const {
    Pixels inked;
    for (int v = kBounds.top; v < kBounds.bottom; ++v)
      for (int h = kBounds.left; h < kBounds.right; ++h)
        if (At(h, v) != 0xFFFFFF) inked.insert({h, v});
    return inked;
  }
  void Erase() { fWorld->image.fill(0x00FFFFFFu); }

  static constexpr MRect kBounds{-4, -6, 36, 44};
  PortPtr fWorld;
  std::unique_ptr<APushPort> fPush;  // after fWorld: it goes first
};

// Floor of a / b for b > 0, in exact integers.
long FloorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

TEST(ClipLine, CrossesTheFirstEdgeInTheDocumentedOrder) {
  const MRect r{0, 0, 10, 10};
  auto clip = [&](int ov, int oh, int iv, int ih) {
    const MPoint p = ClipLine(r, {static_cast<int16_t>(ov), static_cast<int16_t>(oh)},
                              {static_cast<int16_t>(iv), static_cast<int16_t>(ih)});
    return std::make_pair(int{p.v}, int{p.h});
  };
  EXPECT_EQ(clip(-5, 5, 5, 5), std::make_pair(0, 5));       // straight down through the top
  EXPECT_EQ(clip(-10, -10, 5, 5), std::make_pair(0, 0));    // the corner, found on the top edge
  EXPECT_EQ(clip(-2, -20, 4, 4), std::make_pair(3, 0));     // top crossing at h = -12 misses: left edge
  EXPECT_EQ(clip(5, 20, 5, 5), std::make_pair(5, 9));       // level, beyond the right
  EXPECT_EQ(clip(3, -4, 7, 4), std::make_pair(5, 0));       // level, to the left
  EXPECT_EQ(clip(15, 2, 5, 2), std::make_pair(9, 2));       // below: the bottom edge is row 9
  EXPECT_EQ(clip(-1, 0, 1, 1), std::make_pair(0, 1));       // 0.5 rounds up
  EXPECT_EQ(clip(-5, -5, -1, 20), std::make_pair(-1, -1));  // passes the rectangle by
}

TEST_F(DirectDrawing, LinesInsideTheClipFollowTheLongerAxisRoundingHalfUp) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> h(0, 39), v(0, 29);
  const MRect clip{0, 0, 30, 40};
  for (int trial = 0; trial < 300; ++trial) {
    Erase();
    MPoint a{static_cast<int16_t>(v(rng)), static_cast<int16_t>(h(rng))};
    MPoint b{static_cast<int16_t>(v(rng)), static_cast<int16_t>(h(rng))};
    OurLineDraw(clip, a, b, 0x000000);
    Pixels expected;
    const long dh = b.h - a.h, dv = b.v - a.v;
    if (std::labs(dh) > std::labs(dv)) {
      if (a.h > b.h) std::swap(a, b);
      for (long x = a.h; x <= b.h; ++x)
        expected.insert({static_cast<int>(x),
                         static_cast<int>(a.v + FloorDiv(2 * (x - a.h) * (b.v - a.v) + (b.h - a.h), 2 * (b.h - a.h)))});
    } else if (dv != 0) {
      if (a.v > b.v) std::swap(a, b);
      for (long y = a.v; y <= b.v; ++y)
        expected.insert({static_cast<int>(a.h + FloorDiv(2 * (y - a.v) * (b.h - a.h) + (b.v - a.v), 2 * (b.v - a.v))),
                         static_cast<int>(y)});
    } else {
      expected.insert({a.h, a.v});
    }
    ASSERT_EQ(Inked(), expected) << "trial " << trial;
  }
}

TEST_F(DirectDrawing, LinesLeavingTheClipStayInsideIt) {
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> any(-30000, 30000);
  const MRect clip{2, 3, 20, 25};
  for (int trial = 0; trial < 300; ++trial) {
    OurLineDraw(clip, {static_cast<int16_t>(any(rng)), static_cast<int16_t>(any(rng))},
                {static_cast<int16_t>(any(rng) / 2000), static_cast<int16_t>(any(rng) / 2000)}, 0x000000);
  }
  for (const auto& [ph, pv] : Inked()) ASSERT_TRUE(ph >= 3 && ph < 25 && pv >= 2 && pv < 20) << ph << "," << pv;
}

TEST_F(DirectDrawing, DottedSpansStepFromTheClippedStart) {
  OurLineDrawH({0, 4, 30, 40}, {4, 11}, {4, 2}, 0x000000, 3);
  EXPECT_EQ(Inked(), (Pixels{{4, 4}, {7, 4}, {10, 4}}));
  Erase();
  OurLineDrawV({0, 0, 30, 40}, {1, 6}, {3, 6}, 0x000000, 0);  // a step of 0 is solid
  EXPECT_EQ(Inked(), (Pixels{{6, 1}, {6, 2}, {6, 3}}));
  Erase();
  OurLineDrawH({0, 0, 3, 40}, {5, 1}, {5, 9}, 0x000000, 1);  // row outside the clip
  EXPECT_TRUE(Inked().empty());
}

TEST_F(DirectDrawing, FilledCircleRows) {
  OurDrawFilledCircle({0, 0, 30, 40}, 5, 5, 2, 0x000000);
  // Row offsets -2..2: w = 0, sqrt 3, 2, sqrt 3, 0 give columns 5..5, 4..6, 3..7, 4..6, 5..5.
  Pixels expected;
  const int from[5] = {5, 4, 3, 4, 5}, to[5] = {5, 6, 7, 6, 5};
  for (int y = 0; y < 5; ++y)
    for (int x = from[y]; x <= to[y]; ++x) expected.insert({x, 3 + y});
  EXPECT_EQ(Inked(), expected);
  Erase();
  OurDrawFilledCircle({-100, -100, 100, 100}, 0, 0, 30000, 0x000000);  // clipped to the world
  EXPECT_EQ(Inked().size(), 40u * 50u);
}

TEST_F(DirectDrawing, TriangleFillsHalfOpenSpansAndStoresTheColour) {
  const MPoint corners[3] = {{0, 0}, {0, 4}, {4, 0}};
  *PortPixel(*fWorld, 0, 0) = 0x808080;  // stored, not composed
  OurPaintTriangle({}, corners, 0x102030, GetBaseAddress(), GetRowBytes());
  Pixels expected;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4 - y; ++x) expected.insert({x, y});
  EXPECT_EQ(Inked(), expected);
  EXPECT_EQ(At(0, 0), 0x102030u);

  Erase();
  const MPoint flat[3] = {{5, 0}, {5, 9}, {5, 3}};
  OurPaintTriangle({}, flat, 0, GetBaseAddress(), GetRowBytes());
  EXPECT_TRUE(Inked().empty());
  const MPoint huge[3] = {{-3000, -3000}, {3000, 100}, {100, 3000}};  // far beyond the world
  OurPaintTriangle({}, huge, 0, GetBaseAddress(), GetRowBytes());
  EXPECT_FALSE(Inked().empty());
}

TEST_F(DirectDrawing, PointsComposeAndRespectClipAndBounds) {
  *PortPixel(*fWorld, 1, 1) = 0x808080;
  OurPointDraw({0, 0, 30, 40}, {1, 1}, 0xFF0000);
  EXPECT_EQ(At(1, 1), 0x7F0000u);                            // red over L = 128
  OurPointDraw({0, 0, 30, 40}, {30, 1}, 0x000000);           // bottom edge is outside
  OurPointDraw({-100, -100, 100, 100}, {50, 50}, 0x000000);  // beyond the world
  OurPointDraw({0, 0, 30, 40}, {2, 2}, 0x000000, kBounds, GetBaseAddress(), GetRowBytes());
  EXPECT_EQ(Inked(), (Pixels{{1, 1}, {2, 2}}));
  EXPECT_EQ(OurComposeColors(0x00FF00, kGridLineColor), 0x00FF00u);
}
