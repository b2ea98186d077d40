#include "platform/PortCopy.h"

#include "tests/platform/PortTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

PortPtr RandomPort(const QRect& bounds, unsigned seed) {
  PortPtr port(NewOffscreenPort(bounds));
  std::mt19937 rng(seed);
  for (int v = bounds.top(); v <= bounds.bottom(); ++v)
    for (int h = bounds.left(); h <= bounds.right(); ++h) *PortPixel(*port, h, v) = rng();  // junk in the top byte too
  return port;
}

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

}  // namespace

TEST(PortCopy, SameSizeCopyIsExactAndDoublingRepeatsEachPixel) {
  auto source = RandomPort(QRect(-3, -2, 10, 8), 1);
  PortPtr destination(NewOffscreenPort(QRect(0, 0, 20, 16)));
  CopyPortPixels(*source, *destination, QRect(-3, -2, 10, 8), QRect(0, 0, 10, 8));
  for (int v = 0; v < 8; ++v)
    for (int h = 0; h < 10; ++h) ASSERT_EQ(RgbAt(*destination, h, v), RgbAt(*source, h - 3, v - 2));
  CopyPortPixels(*source, *destination, QRect(-3, -2, 10, 8), QRect(0, 0, 20, 16));
  for (int v = 0; v < 16; ++v)
    for (int h = 0; h < 20; ++h) ASSERT_EQ(RgbAt(*destination, h, v), RgbAt(*source, h / 2 - 3, v / 2 - 2));
}

TEST(PortCopy, HalvingIsTheRoundedMeanOfEachTwoByTwoBlock) {
  auto source = RandomPort(QRect(0, 0, 16, 12), 2);
  // Source rectangles inside, and hanging over each side of, the source's
  // bounds; the destination clipped to all but its last row and column.
  for (const QPoint& offset : {QPoint(0, 0), QPoint(-3, 0), QPoint(0, -2), QPoint(5, 0), QPoint(0, 3), QPoint(-1, 1)}) {
    auto destination = RandomPort(QRect(10, 10, 8, 6), 7);
    auto before = RandomPort(QRect(10, 10, 8, 6), 7);
    destination->clip = QRegion(QRect(10, 10, 7, 5));
    ReducePortPixelsByHalf(*source, *destination, QRect(offset, QSize(16, 12)), QRect(10, 10, 8, 6));
    for (int v = 0; v < 6; ++v)
      for (int h = 0; h < 8; ++h) {
        const int sh = offset.x() + 2 * h, sv = offset.y() + 2 * v;
        const bool taken = h < 7 && v < 5 && source->bounds.contains(QRect(sh, sv, 2, 2));
        if (!taken) {
          ASSERT_EQ(RgbAt(*destination, 10 + h, 10 + v), RgbAt(*before, 10 + h, 10 + v));
          continue;
        }
        for (int shift : {0, 8, 16}) {
          const int sum = Channel(RgbAt(*source, sh, sv), shift) + Channel(RgbAt(*source, sh + 1, sv), shift) +
                          Channel(RgbAt(*source, sh, sv + 1), shift) + Channel(RgbAt(*source, sh + 1, sv + 1), shift);
          const int mean = static_cast<int>(std::floor(sum / 4.0 + 0.5));
          ASSERT_EQ(Channel(RgbAt(*destination, 10 + h, 10 + v), shift), mean);
        }
      }
  }
}

TEST(PortCopy, BlendIsHalfOfEachAndTheClipIsRespected) {
  auto source = RandomPort(QRect(0, 0, 6, 6), 3);
  auto destination = RandomPort(QRect(0, 0, 6, 6), 4);
  auto before = RandomPort(QRect(0, 0, 6, 6), 4);
  destination->clip = QRegion(QRect(0, 0, 6, 3));
  BlendPortPixels(*source, *destination, QRect(0, 0, 6, 6));
  for (int v = 0; v < 6; ++v)
    for (int h = 0; h < 6; ++h)
      for (int shift : {0, 8, 16}) {
        const int expected = v < 3 ? (Channel(RgbAt(*source, h, v), shift) + Channel(RgbAt(*before, h, v), shift)) / 2
                                   : Channel(RgbAt(*before, h, v), shift);
        ASSERT_EQ(Channel(RgbAt(*destination, h, v), shift), expected);
      }
}

TEST(PortCopy, OverlappingCopyWithinOnePortReadsTheOriginal) {
  auto port = RandomPort(QRect(0, 0, 12, 4), 5);
  auto original = RandomPort(QRect(0, 0, 12, 4), 5);
  CopyPortPixels(*port, *port, QRect(0, 0, 10, 4), QRect(2, 0, 10, 4));
  for (int v = 0; v < 4; ++v)
    for (int h = 2; h < 12; ++h) ASSERT_EQ(RgbAt(*port, h, v), RgbAt(*original, h - 2, v));
  // A source rectangle partly outside its port leaves those destination pixels alone.
  CopyPortPixels(*original, *port, QRect(8, 0, 8, 4), QRect(0, 0, 8, 4));
  EXPECT_EQ(RgbAt(*port, 0, 0), RgbAt(*original, 8, 0));
  EXPECT_EQ(RgbAt(*port, 5, 0), RgbAt(*original, 3, 0));
}
