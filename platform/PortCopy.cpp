#include "platform/PortCopy.h"

namespace {

constexpr uint32_t kColourBits = 0xFFFFFF;

uint32_t SourcePixel(const QImage& image, const QRect& bounds, int h, int v) {
  return reinterpret_cast<const uint32_t*>(image.constScanLine(v - bounds.top()))[h - bounds.left()];
}

// Calls row(v, left, right, pixels) for each run of destination pixels, the
// inclusive columns left to right of row v, that the destination's clip lets
// through; pixels points at column left.
template <typename Row>
void ForEachVisibleRow(OurPort& destination, const QRect& destinationRect, Row row) {
  const QRegion visible = destination.clip.intersected(destinationRect.intersected(destination.bounds));
  for (const QRect& r : visible)
    for (int v = r.top(); v <= r.bottom(); ++v) row(v, r.left(), r.right(), PortPixel(destination, r.left(), v));
}

// Calls pick(h, v, pixel) for each destination pixel that the destination's
// clip lets through.
template <typename Pick>
void ForEachVisiblePixel(OurPort& destination, const QRect& destinationRect, Pick pick) {
  ForEachVisibleRow(destination, destinationRect, [&](int v, int left, int right, uint32_t* pixel) {
    for (int h = left; h <= right; ++h, ++pixel) pick(h, v, pixel);
  });
}

// The red and blue lanes summed apart from green: four bytes add to at most
// ten bits, so the lanes never meet.
uint32_t Mean4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  constexpr uint32_t kRedBlue = 0xFF00FF, kGreen = 0xFF00;
  const uint32_t redBlue = (a & kRedBlue) + (b & kRedBlue) + (c & kRedBlue) + (d & kRedBlue) + 0x20002;
  const uint32_t green = (a & kGreen) + (b & kGreen) + (c & kGreen) + (d & kGreen) + 0x200;
  return ((redBlue >> 2) & kRedBlue) | ((green >> 2) & kGreen);
}

uint32_t Mean2(uint32_t a, uint32_t b) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    result |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) >> 1) << shift;
  return result;
}

}  // namespace

void CopyPortPixels(const OurPort& source, OurPort& destination, const QRect& sourceRect,
                    const QRect& destinationRect) {
  if (sourceRect.isEmpty() || destinationRect.isEmpty() || source.image.isNull()) return;
  // A copy within one port reads from a snapshot, so overlapping rectangles work.
  const QImage sourceImage = &source == &destination ? source.image.copy() : source.image;
  const long sw = sourceRect.width(), sh = sourceRect.height();
  const long dw = destinationRect.width(), dh = destinationRect.height();
  ForEachVisiblePixel(destination, destinationRect, [&](int h, int v, uint32_t* pixel) {
    const int sh0 = static_cast<int>(sourceRect.left() + (h - destinationRect.left()) * sw / dw);
    const int sv0 = static_cast<int>(sourceRect.top() + (v - destinationRect.top()) * sh / dh);
    if (source.bounds.contains(sh0, sv0)) *pixel = SourcePixel(sourceImage, source.bounds, sh0, sv0) & kColourBits;
  });
}

void ReducePortPixelsByHalf(const OurPort& source, OurPort& destination, const QRect& sourceRect,
                            const QRect& destinationRect) {
  if (source.image.isNull() || sourceRect.width() != 2 * destinationRect.width() ||
      sourceRect.height() != 2 * destinationRect.height())
    return;
  const QImage sourceImage = &source == &destination ? source.image.copy() : source.image;
  const QRect& bounds = source.bounds;
  ForEachVisibleRow(destination, destinationRect, [&](int v, int left, int right, uint32_t* pixel) {
    const int sv0 = sourceRect.top() + 2 * (v - destinationRect.top());
    if (sv0 < bounds.top() || sv0 + 1 > bounds.bottom()) return;
    auto sourceColumn = [&](int h) { return sourceRect.left() + 2 * (h - destinationRect.left()); };
    // Only blocks wholly inside the source's bounds are taken.
    for (; left <= right && sourceColumn(left) < bounds.left(); ++left) ++pixel;
    while (left <= right && sourceColumn(right) + 1 > bounds.right()) --right;
    const auto* upper = reinterpret_cast<const uint32_t*>(sourceImage.constScanLine(sv0 - bounds.top())) +
                        (sourceColumn(left) - bounds.left());
    const auto* lower = reinterpret_cast<const uint32_t*>(sourceImage.constScanLine(sv0 + 1 - bounds.top())) +
                        (sourceColumn(left) - bounds.left());
    for (int h = left; h <= right; ++h, ++pixel, upper += 2, lower += 2)
      *pixel = Mean4(upper[0], upper[1], lower[0], lower[1]);
  });
}

void BlendPortPixels(const OurPort& source, OurPort& destination, const QRect& rect) {
  if (source.image.isNull()) return;
  const QImage sourceImage = &source == &destination ? source.image.copy() : source.image;
  ForEachVisiblePixel(destination, rect, [&](int h, int v, uint32_t* pixel) {
    if (source.bounds.contains(h, v)) *pixel = Mean2(SourcePixel(sourceImage, source.bounds, h, v), *pixel);
  });
}
