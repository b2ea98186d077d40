#include "platform/PortCopy.h"

namespace {

constexpr uint32_t kLowBits = 0xFFFFFF;

uint32_t SourcePixel(const QImage& image, const QRect& bounds, int h, int v) {
  return reinterpret_cast<const uint32_t*>(image.constScanLine(v - bounds.top()))[h - bounds.left()];
}

// Calls write(h, v, pixel) for each destination pixel that the destination's
// clip lets through, with `pick` choosing the new value.
template <typename Pick>
void ForEachVisiblePixel(OurPort& destination, const QRect& destinationRect, Pick pick) {
  const QRegion visible = destination.clip.intersected(destinationRect.intersected(destination.bounds));
  for (const QRect& r : visible)
    for (int v = r.top(); v <= r.bottom(); ++v) {
      uint32_t* pixel = PortPixel(destination, r.left(), v);
      for (int h = r.left(); h <= r.right(); ++h, ++pixel) pick(h, v, pixel);
    }
}

uint32_t Mean4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) + ((d >> shift) & 0xFF);
    result |= ((sum + 2) >> 2) << shift;
  }
  return result;
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
    if (source.bounds.contains(sh0, sv0)) *pixel = SourcePixel(sourceImage, source.bounds, sh0, sv0) & kLowBits;
  });
}

void ReducePortPixelsByHalf(const OurPort& source, OurPort& destination, const QRect& sourceRect,
                            const QRect& destinationRect) {
  if (source.image.isNull() || sourceRect.width() != 2 * destinationRect.width() ||
      sourceRect.height() != 2 * destinationRect.height())
    return;
  const QImage sourceImage = &source == &destination ? source.image.copy() : source.image;
  ForEachVisiblePixel(destination, destinationRect, [&](int h, int v, uint32_t* pixel) {
    const int sh0 = sourceRect.left() + 2 * (h - destinationRect.left());
    const int sv0 = sourceRect.top() + 2 * (v - destinationRect.top());
    if (!source.bounds.contains(QRect(sh0, sv0, 2, 2))) return;
    *pixel = Mean4(SourcePixel(sourceImage, source.bounds, sh0, sv0),
                   SourcePixel(sourceImage, source.bounds, sh0 + 1, sv0),
                   SourcePixel(sourceImage, source.bounds, sh0, sv0 + 1),
                   SourcePixel(sourceImage, source.bounds, sh0 + 1, sv0 + 1));
  });
}

void BlendPortPixels(const OurPort& source, OurPort& destination, const QRect& rect) {
  if (source.image.isNull()) return;
  const QImage sourceImage = &source == &destination ? source.image.copy() : source.image;
  ForEachVisiblePixel(destination, rect, [&](int h, int v, uint32_t* pixel) {
    if (source.bounds.contains(h, v)) *pixel = Mean2(SourcePixel(sourceImage, source.bounds, h, v), *pixel);
  });
}
