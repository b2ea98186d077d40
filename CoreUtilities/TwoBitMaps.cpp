#include "CoreUtilities/TwoBitMaps.h"

#include "CoreUtilities/PixelBuffer.h"
#include "CoreUtilities/PixelColors.h"

#include <algorithm>
#include <cstring>

namespace {

// The map's pixels in frame coordinates, narrowed to what its rows can hold.
IntRect MapArea(long rowBytes, const MRect& frame) {
  IntRect area = ToIntRect(frame);
  area.right = static_cast<int>(std::min<long>(area.right, area.left + rowBytes * 4));
  return area;
}

// Masks of the pixels from `first` (0 to 3) to the end of a byte, and from
// the start of a byte to `last` (0 to 3).
uint8_t MaskFrom(int first) { return static_cast<uint8_t>(0xFF >> (2 * first)); }
uint8_t MaskThrough(int last) { return static_cast<uint8_t>(0xFF << (6 - 2 * last)); }

void StoreMasked(uint8_t* byte, uint8_t value, uint8_t mask) {
  *byte = static_cast<uint8_t>((*byte & ~mask) | (value & mask));
}

// Four pixels of a row from pixel index p on; bytes outside the row read as 0.
uint8_t ReadFourPixels(const uint8_t* row, long rowBytes, long p) {
  const long byteIndex = p >> 2;
  const int phase = static_cast<int>(p & 3);
  const unsigned hi = (byteIndex >= 0 && byteIndex < rowBytes) ? row[byteIndex] : 0u;
  if (phase == 0) return static_cast<uint8_t>(hi);
  const unsigned lo = (byteIndex + 1 >= 0 && byteIndex + 1 < rowBytes) ? row[byteIndex + 1] : 0u;
  return static_cast<uint8_t>((((hi << 8) | lo) >> (8 - 2 * phase)) & 0xFF);
}

}  // namespace

void OurFast2BitPaintRect(uint8_t* bits, long rowBytes, const MRect& frame, const MRect& rect, int code) {
  if (bits == nullptr || rowBytes <= 0) return;
  const IntRect area = MapArea(rowBytes, frame);
  const IntRect r = Intersection(ToIntRect(rect), area);
  if (r.IsEmpty()) return;
  const int x0 = r.left - area.left, x1 = r.right - area.left - 1;
  const uint8_t pattern = static_cast<uint8_t>((code & 3) * 0x55);
  const int firstByte = x0 >> 2, lastByte = x1 >> 2;
  const uint8_t firstMask = MaskFrom(x0 & 3), lastMask = MaskThrough(x1 & 3);
  for (int row = r.top - area.top; row < r.bottom - area.top; ++row) {
    uint8_t* p = bits + row * rowBytes;
    if (firstByte == lastByte) {
      StoreMasked(p + firstByte, pattern, firstMask & lastMask);
      continue;
    }
    StoreMasked(p + firstByte, pattern, firstMask);
    std::memset(p + firstByte + 1, pattern, lastByte - firstByte - 1);
    StoreMasked(p + lastByte, pattern, lastMask);
  }
}

void OurTwoBitCopyRect(const uint8_t* sourceBits, long sourceRowBytes, const MRect& sourceFrame,
                       const MRect& sourceRect, uint8_t* destinationBits, long destinationRowBytes,
                       const MRect& destinationFrame, const MRect& destinationRect) {
  if (sourceBits == nullptr || destinationBits == nullptr || sourceRowBytes <= 0 || destinationRowBytes <= 0)
    return;
  const IntRect sourceArea = MapArea(sourceRowBytes, sourceFrame);
  const IntRect destinationArea = MapArea(destinationRowBytes, destinationFrame);
  // Offset from destination coordinates to source coordinates.
  const int offsetH = sourceRect.left - destinationRect.left;
  const int offsetV = sourceRect.top - destinationRect.top;
  const IntRect sourceSeenFromDestination{sourceArea.top - offsetV, sourceArea.left - offsetH,
                                          sourceArea.bottom - offsetV, sourceArea.right - offsetH};
  const IntRect r =
      Intersection(Intersection(ToIntRect(destinationRect), destinationArea), sourceSeenFromDestination);
  if (r.IsEmpty()) return;

  const int x0 = r.left - destinationArea.left, x1 = r.right - destinationArea.left - 1;
  const int firstByte = x0 >> 2, lastByte = x1 >> 2;
  // Source pixel index of destination pixel index 0 in the same row.
  const long sourceShift = static_cast<long>(destinationArea.left) + offsetH - sourceArea.left;
  for (int v = r.top; v < r.bottom; ++v) {
    const uint8_t* sourceRow = sourceBits + static_cast<long>(v + offsetV - sourceArea.top) * sourceRowBytes;
    uint8_t* destinationRow = destinationBits + static_cast<long>(v - destinationArea.top) * destinationRowBytes;
    for (int j = firstByte; j <= lastByte; ++j) {
      uint8_t mask = 0xFF;
      if (j == firstByte) mask &= MaskFrom(x0 & 3);
      if (j == lastByte) mask &= MaskThrough(x1 & 3);
      StoreMasked(destinationRow + j, ReadFourPixels(sourceRow, sourceRowBytes, 4L * j + sourceShift), mask);
    }
  }
}

void OurTwoBitScrollRect(uint8_t* bits, long rowBytes, const MRect& frame, int dh, int dv) {
  if (bits == nullptr || rowBytes <= 0) return;
  const IntRect area = MapArea(rowBytes, frame);
  if (area.IsEmpty()) return;
  const long width = area.right - area.left, height = area.bottom - area.top;
  const long absH = dh < 0 ? -static_cast<long>(dh) : dh;
  const long absV = dv < 0 ? -static_cast<long>(dv) : dv;
  if (absH >= width || absV >= height) {
    std::memset(bits, 0, height * rowBytes);
    return;
  }
  if (dv > 0) {
    std::memmove(bits + absV * rowBytes, bits, (height - absV) * rowBytes);
    std::memset(bits, 0, absV * rowBytes);
  } else if (dv < 0) {
    std::memmove(bits, bits + absV * rowBytes, (height - absV) * rowBytes);
    std::memset(bits + (height - absV) * rowBytes, 0, absV * rowBytes);
  }
  if (dh == 0) return;

  const long byteShift = absH >> 2;
  const int bitShift = static_cast<int>(2 * (absH & 3));
  for (long row = 0; row < height; ++row) {
    uint8_t* p = bits + row * rowBytes;
    if (dh > 0) {
      for (long j = rowBytes - 1; j >= 0; --j) {
        const long from = j - byteShift;
        const unsigned here = from >= 0 ? p[from] : 0u;
        const unsigned left = from - 1 >= 0 ? p[from - 1] : 0u;
        p[j] = static_cast<uint8_t>(((here >> bitShift) | (left << (8 - bitShift))) & 0xFF);
      }
    } else {
      for (long j = 0; j < rowBytes; ++j) {
        const long from = j + byteShift;
        const unsigned here = from < rowBytes ? p[from] : 0u;
        const unsigned right = from + 1 < rowBytes ? p[from + 1] : 0u;
        p[j] = static_cast<uint8_t>(((here << bitShift) | (right >> (8 - bitShift))) & 0xFF);
      }
    }
  }
  // Padding beyond the frame may have moved in: clear exactly the exposed columns.
  MRect exposed = frame;
  if (dh > 0)
    exposed.right = static_cast<int16_t>(area.left + absH);
  else
    exposed.left = static_cast<int16_t>(area.right - absH);
  OurFast2BitPaintRect(bits, rowBytes, frame, exposed, kTwoBitEmpty);
}

void OurCopy2BitToCurrentPort(const uint8_t* bits, long rowBytes, const MRect& sourceRect, uint32_t color,
                              const MRect& destinationRect) {
  const IntRect s = ToIntRect(sourceRect), d = ToIntRect(destinationRect);
  if (bits == nullptr || rowBytes <= 0 || d.IsEmpty()) return;
  if (s.right - s.left != d.right - d.left || s.bottom - s.top != d.bottom - d.top) return;
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return;
  IntRect r = Intersection(d, ToIntRect(buffer.bounds));
  r.right = static_cast<int>(std::min<long>(r.right, d.left + rowBytes * 4));
  if (r.IsEmpty()) return;

  const uint32_t full = color & 0xFFFFFF;
  const uint32_t tint = ((((full >> 16) & 0xFF) + 255) >> 1) << 16 | ((((full >> 8) & 0xFF) + 255) >> 1) << 8 |
                        (((full & 0xFF) + 255) >> 1);
  // Graph paper repeats the same few pixels: remember the last answer.
  uint32_t lastBelow = 0, lastResult = 0;
  int lastCode = kTwoBitEmpty;
  for (int v = r.top; v < r.bottom; ++v) {
    const uint8_t* row = bits + static_cast<long>(v - d.top) * rowBytes;
    uint32_t* pixel = buffer.Pixel(r.left, v);
    const int end = r.right - d.left;
    for (int k = r.left - d.left; k < end; ++k, ++pixel) {
      if ((k & 3) == 0 && row[k >> 2] == 0 && k + 4 <= end) {  // four empty pixels
        k += 3;
        pixel += 3;
        continue;
      }
      const int code = (row[k >> 2] >> (6 - 2 * (k & 3))) & 3;
      if (code == kTwoBitEmpty) continue;
      const uint32_t below = *pixel & 0xFFFFFF;
      if (code != lastCode || below != lastBelow) {
        const int luminance = PixelLuminance(below);
        switch (code) {
          case kTwoBitTint: lastResult = ShadeColor(tint, luminance); break;
          case kTwoBitGray: {
            const uint32_t g = static_cast<uint32_t>(luminance * 255) >> 8;
            lastResult = g << 16 | g << 8 | g;
            break;
          }
          default: lastResult = ShadeColor(full, luminance); break;
        }
        lastCode = code;
        lastBelow = below;
      }
      *pixel = lastResult;
    }
  }
}
