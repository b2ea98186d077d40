#include "platform/PenDrawing.h"

#include "tests/platform/PortTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

PortPtr MakePort(const QRect& bounds) { return PortPtr(NewOffscreenPort(bounds)); }

// Reference: the pixel nearest the exact line at each step of the longer
// axis, ties rounding towards larger coordinates, both ends included; then
// a w x h block hung below-right of each.
std::vector<bool> ReferenceLine(const QRect& bounds, QPoint a, QPoint b, int w, int h) {
  std::vector<bool> inked(bounds.width() * bounds.height(), false);
  const long dx = b.x() - a.x(), dy = b.y() - a.y();
  const bool alongX = std::labs(dx) >= std::labs(dy);
  if ((alongX && dx < 0) || (!alongX && dy < 0)) std::swap(a, b);
  const long n = alongX ? std::labs(dx) : std::labs(dy);
  for (long i = 0; i <= n; ++i) {
    // Exact: offset = nearest integer to i * d / n; for an exact tie (2 i d = (2k + 1) n) take k + 1.
    const long d = alongX ? b.y() - a.y() : b.x() - a.x();
    long offset = 0;
    if (n > 0) {
      offset = static_cast<long>(std::floor(static_cast<long double>(i) * d / n));
      while (2 * (i * d - offset * n) >= n) ++offset;  // step up while the remainder is at least half
      while (2 * (i * d - offset * n) < -n) --offset;
    }
    const int px = static_cast<int>(alongX ? a.x() + i : a.x() + offset);
    const int py = static_cast<int>(alongX ? a.y() + offset : a.y() + i);
    for (int y = py; y < py + h; ++y)
      for (int x = px; x < px + w; ++x)
        if (bounds.contains(x, y)) inked[(y - bounds.top()) * bounds.width() + (x - bounds.left())] = true;
  }
  return inked;
}

}  // namespace

TEST(PenDrawing, LinesOfEveryOctantAndPenSizeMatchTheReference) {
  const QRect bounds(-10, -8, 48, 40);
  auto port = MakePort(bounds);
  ASSERT_NE(port, nullptr);
  std::mt19937 rng(21);
  std::uniform_int_distribution<int> x(-16, 42), y(-14, 36), pen(1, 5);
  for (int trial = 0; trial < 600; ++trial) {
    port->image.fill(0x00FFFFFFu);
    const QPoint a(x(rng), y(rng));
    // Endpoints chosen per octant in turn, ties on the diagonals included.
    const int octant = trial % 8;
    const int major = std::uniform_int_distribution<int>(0, 20)(rng);
    const int minor = std::uniform_int_distribution<int>(0, major)(rng);
    const int sx = (octant & 1) ? -1 : 1, sy = (octant & 2) ? -1 : 1;
    const QPoint b = (octant & 4) ? a + QPoint(sx * minor, sy * major) : a + QPoint(sx * major, sy * minor);
    const int w = pen(rng), h = pen(rng);
    port->pen.size = QSize(w, h);
    port->pen.location = a;
    PortLineTo(*port, b);
    EXPECT_EQ(port->pen.location, b);
    const std::vector<bool> expected = ReferenceLine(bounds, a, b, w, h);
    for (int v = bounds.top(); v <= bounds.bottom(); ++v)
      for (int hh = bounds.left(); hh <= bounds.right(); ++hh)
        ASSERT_EQ(RgbAt(*port, hh, v) == 0, expected[(v - bounds.top()) * bounds.width() + hh - bounds.left()])
            << "trial " << trial << " pixel " << hh << "," << v;
  }
}

TEST(PenDrawing, XorTwiceRestoresEveryByteAndInvertsOnce) {
  auto port = MakePort(QRect(0, 0, 32, 24));
  std::mt19937 rng(4);
  for (int v = 0; v < 24; ++v)
    for (int h = 0; h < 32; ++h) *PortPixel(*port, h, v) = rng() & 0xFFFFFF;
  const QImage before = port->image.copy();
  port->pen.mode = OurPenMode::kXor;
  port->pen.size = QSize(3, 2);
  for (int pass = 0; pass < 2; ++pass) {
    port->pen.location = QPoint(2, 20);
    PortLineTo(*port, QPoint(29, 3));  // overlapping pen squares must invert once
    if (pass == 0) {
      EXPECT_EQ(RgbAt(*port, 2, 20), RgbAt(before, 2, 20) ^ kWhite);
    }
  }
  for (int v = 0; v < 24; ++v)
    for (int h = 0; h < 32; ++h) ASSERT_EQ(RgbAt(*port, h, v), RgbAt(before, h, v));
  PortInvertRect(*port, QRect(4, 4, 5, 5));
  EXPECT_EQ(RgbAt(*port, 4, 4), RgbAt(before, 4, 4) ^ kWhite);
}

TEST(PenDrawing, GrayPatternIsACheckerboardAlignedToThePort) {
  auto port = MakePort(QRect(7, 3, 6, 4));  // odd origin: alignment is to the port, not to 0
  port->pen.pattern = OurPenPattern::kGray;
  port->foreColor = 0x112233;
  port->backColor = 0xDDEEFF;
  PortPaintRect(*port, port->bounds);
  for (int v = 3; v < 7; ++v)
    for (int h = 7; h < 13; ++h) EXPECT_EQ(RgbAt(*port, h, v), ((h - 7 + v - 3) % 2 == 0) ? 0x112233u : 0xDDEEFFu);
  port->image.fill(0x00FFFFFFu);
  port->pen.location = QPoint(7, 4);  // a thin line in the same pattern: odd sums take the back colour
  PortLineTo(*port, QPoint(12, 4));
  for (int h = 7; h < 13; ++h) EXPECT_EQ(RgbAt(*port, h, 4), ((h - 7 + 1) % 2 == 0) ? 0x112233u : 0xDDEEFFu);
}

TEST(PenDrawing, ClipRegionFrameAndErase) {
  auto port = MakePort(QRect(0, 0, 20, 20));
  port->clip = QRegion(QRect(0, 0, 10, 20)) + QRegion(QRect(15, 0, 5, 20));
  port->pen.size = QSize(2, 1);
  PortFrameRect(*port, QRect(2, 2, 16, 10));
  EXPECT_EQ(RgbAt(*port, 2, 2), 0u);
  EXPECT_EQ(RgbAt(*port, 3, 5), 0u);  // left side is two wide
  EXPECT_EQ(RgbAt(*port, 4, 5), kWhite);
  EXPECT_EQ(RgbAt(*port, 12, 2), kWhite);  // outside the clip
  EXPECT_EQ(RgbAt(*port, 17, 11), 0u);     // bottom-right corner, inside
  EXPECT_EQ(RgbAt(*port, 17, 12), kWhite);
  port->clip = QRegion(port->bounds);
  port->backColor = 0x445566;
  PortEraseRect(*port, QRect(-5, -5, 8, 8));
  EXPECT_EQ(RgbAt(*port, 2, 2), 0x445566u);
  EXPECT_EQ(RgbAt(*port, 3, 3), 0u);  // the frame's ink, just beyond the erased square
}

TEST(PenDrawing, LinesFarOutsideThePortAreCheapAndSafe) {
  auto port = MakePort(QRect(0, 0, 8, 8));
  port->pen.size = QSize(1000, 1000);
  port->pen.location = QPoint(-2000000000, -2000000000);
  PortLineTo(*port, QPoint(2000000000, 2000000000));
  EXPECT_EQ(RgbAt(*port, 7, 7), 0u);
  port->pen.size = QSize(0, 3);  // an empty pen draws nothing
  port->image.fill(0x00FFFFFFu);
  port->pen.location = QPoint(0, 0);
  PortLineTo(*port, QPoint(7, 7));
  EXPECT_EQ(RgbAt(*port, 3, 3), kWhite);
}
