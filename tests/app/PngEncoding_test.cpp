#include "app/PngEncoding.h"
#include "CoreUtilities/threads/ComputationDeadline.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>
#include <vector>

namespace {

// An encoding given no time stops before its first row and says so; given
// all the time it needs, Qt's own reader gets every pixel back.
TEST(PngEncoding, AnEncodingOutOfTimeStopsAndOneInTimeDecodesExactly) {
  QImage image(40, 70, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 6, y * 3, (x * y) & 0xFF));
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(EncodePng(image, bytes, nullptr, DeadlineClockReading()));
  bytes.clear();
  ASSERT_TRUE(EncodePng(image, bytes));
  const QImage decoded = QImage::fromData(bytes.data(), int(bytes.size()), "PNG").convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(decoded.size(), image.size());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ASSERT_EQ(decoded.pixel(x, y), image.pixel(x, y)) << x << " " << y;
}

}  // namespace
