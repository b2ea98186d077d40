#include "CoreUtilities/drawing/TwoBitMaps.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/PixelBuffer.h"
#include "CoreUtilities/drawing/PixelColors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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
  if (sourceBits == nullptr || destinationBits == nullptr || sourceRowBytes <= 0 || destinationRowBytes <= 0) return;
  const IntRect sourceArea = MapArea(sourceRowBytes, sourceFrame);
  const IntRect destinationArea = MapArea(destinationRowBytes, destinationFrame);
  // Offset from destination coordinates to source coordinates.
  const int offsetH = sourceRect.left - destinationRect.left;
  const int offsetV = sourceRect.top - destinationRect.top;
  const IntRect sourceSeenFromDestination{sourceArea.top - offsetV, sourceArea.left - offsetH,
                                          sourceArea.bottom - offsetV, sourceArea.right - offsetH};
  const IntRect r = Intersection(Intersection(ToIntRect(destinationRect), destinationArea), sourceSeenFromDestination);
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

namespace {

// Composes rows of a map in one colour; it remembers its last answer, as
// graph paper repeats the same few pixels.
class TwoBitComposer {
 public:
  explicit TwoBitComposer(uint32_t color)
      : fFull(color & 0xFFFFFF),
        fTint(((((fFull >> 16) & 0xFF) + 255) >> 1) << 16 | ((((fFull >> 8) & 0xFF) + 255) >> 1) << 8 |
              (((fFull & 0xFF) + 255) >> 1)) {}

  // The map row's pixels first to end - 1 onto the port's pixels from
  // *pixel on.
  void Row(const uint8_t* row, int first, int end, uint32_t* pixel) {
    for (int k = first; k < end; ++k, ++pixel) {
      if ((k & 3) == 0 && row[k >> 2] == 0 && k + 4 <= end) {  // four empty pixels
        k += 3;
        pixel += 3;
        continue;
      }
      const int code = (row[k >> 2] >> (6 - 2 * (k & 3))) & 3;
      if (code != kTwoBitEmpty) Put(code, pixel);
    }
  }

 private:
  void Put(int code, uint32_t* pixel) {
    const uint32_t below = *pixel & 0xFFFFFF;
    if (code != fLastCode || below != fLastBelow) {
      const int luminance = PixelLuminance(below);
      switch (code) {
        case kTwoBitTint: fLastResult = ShadeColor(fTint, luminance); break;
        case kTwoBitGray: {
          const uint32_t g = static_cast<uint32_t>(luminance * 255) >> 8;
          fLastResult = g << 16 | g << 8 | g;
          break;
        }
        default: fLastResult = ShadeColor(fFull, luminance); break;
      }
      fLastCode = code;
      fLastBelow = below;
    }
    *pixel = fLastResult;
  }

  const uint32_t fFull, fTint;
  uint32_t fLastBelow = 0, fLastResult = 0;
  int fLastCode = kTwoBitEmpty;
};

}  // namespace

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
  TwoBitComposer composer(color);
  for (int v = r.top; v < r.bottom; ++v) {
    composer.Row(bits + static_cast<long>(v - d.top) * rowBytes, r.left - d.left, r.right - d.left,
                 buffer.Pixel(r.left, v));
  }
}

namespace {

// True when no rectangle shares a pixel with those before it but the one
// just before: when each lies right of, below or above all of those before
// the one before it, the same way throughout (as a sampled curve's columns,
// or the rows of a curve of y, do).
bool MeetsOnlyTheOneBefore(const MRect* rects, size_t count) {
  int right = INT32_MIN, bottom = INT32_MIN, top = INT32_MAX;  // how far those before the one before reach
  bool across = true, down = true, up = true;
  for (size_t k = 2; k < count; ++k) {
    const MRect& earlier = rects[k - 2];
    right = std::max<int>(right, earlier.right), bottom = std::max<int>(bottom, earlier.bottom);
    top = std::min<int>(top, earlier.top);
    across = across && rects[k].left >= right, down = down && rects[k].top >= bottom;
    up = up && rects[k].bottom <= top;
    if (!across && !down && !up) return false;
  }
  return true;
}

// Composes runs of pixels in the colour itself, shaded from a table by the
// luminance below, some runs after it is told of them, having asked for
// their memory when told: a curve's rows lie far apart, and fetching each
// only as it was composed kept the processor waiting on every one. Runs
// must not overlap.
class RunComposer {
 public:
  explicit RunComposer(uint32_t color) {
    for (int luminance = 0; luminance <= 256; ++luminance) fShades[luminance] = ShadeColor(color & 0xFFFFFF, luminance);
  }

  // n > 0 pixels from *pixel on.
  void Add(uint32_t* pixel, int n) {
    __builtin_prefetch(pixel, 1);
    if (fAdded - fComposed == kAhead) ComposeOldest();
    fRuns[fAdded++ % kAhead] = {pixel, n};
  }

  void Finish() {
    while (fComposed < fAdded) ComposeOldest();
  }

 private:
  void ComposeOldest() {
    const Run run = fRuns[fComposed++ % kAhead];
    for (int k = 0; k < run.n; ++k) run.pixel[k] = fShades[PixelLuminance(run.pixel[k])];
  }

  static constexpr size_t kAhead = 16;
  struct Run {
    uint32_t* pixel;
    int n;
  };
  Run fRuns[kAhead];
  size_t fAdded = 0, fComposed = 0;
  uint32_t fShades[257];  // the colour over each luminance
};

}  // namespace

// Rectangles that each share pixels with the one before them at most are
// composed as they are, a pixel one shares with the one before it left to
// that one. Others are painted into a map over their box first, so that a
// pixel two of them cover is composed once; each of its rows is composed
// only between the first and the last pixel a rectangle put on it.
bool OurCompose2BitRects(const MRect* rects, size_t count, uint32_t color) {
  if (count == 0) return true;
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return true;
  const IntRect port = ToIntRect(buffer.bounds);
  if (MeetsOnlyTheOneBefore(rects, count)) {
    RunComposer runs(color);
    const long stride = buffer.rowBytes / static_cast<long>(sizeof(uint32_t));
    for (size_t k = 0; k < count; ++k) {
      const IntRect r = Intersection(ToIntRect(rects[k]), port);
      if (r.IsEmpty()) continue;
      // Rows v0 to v1 - 1, each from pixel `from` to `to` - 1.
      const auto add = [&](int v0, int v1, int from, int to) {
        if (v0 >= v1 || from >= to) return;
        uint32_t* pixel = buffer.Pixel(from, v0);
        for (int v = v0; v < v1; ++v, pixel += stride) runs.Add(pixel, to - from);
      };
      // The rows it shares with the one before, where that one's pixels are left out.
      const IntRect before = k > 0 ? ToIntRect(rects[k - 1]) : IntRect{};
      const int shared = before.IsEmpty() ? r.top : std::clamp(before.top, r.top, r.bottom);
      const int sharedEnd = before.IsEmpty() ? r.top : std::clamp(before.bottom, shared, r.bottom);
      add(r.top, shared, r.left, r.right);
      add(shared, sharedEnd, r.left, std::min(r.right, before.left));
      add(shared, sharedEnd, std::max(r.left, before.right), r.right);
      add(sharedEnd, r.bottom, r.left, r.right);
    }
    runs.Finish();
    return true;
  }
  IntRect box = ToIntRect(rects[0]);
  for (size_t k = 1; k < count; ++k) {
    const IntRect r = ToIntRect(rects[k]);
    box = {std::min(box.top, r.top), std::min(box.left, r.left), std::max(box.bottom, r.bottom),
           std::max(box.right, r.right)};
  }
  if (box.IsEmpty()) return true;
  TwoBitComposer composer(color);
  const long rowBytes = (box.right - box.left) / 16 * 4 + 4;
  const size_t bytes = static_cast<size_t>(rowBytes) * static_cast<size_t>(box.bottom - box.top);
  auto* map = static_cast<uint8_t*>(OurAllocateMemory(bytes, true));
  if (map == nullptr) return false;
  const MRect frame{static_cast<int16_t>(box.top), static_cast<int16_t>(box.left), static_cast<int16_t>(box.bottom),
                    static_cast<int16_t>(box.right)};
  // Each row's span of painted pixels, in map columns.
  std::vector<std::pair<int, int>> spans(static_cast<size_t>(box.bottom - box.top), {box.right - box.left, 0});
  for (size_t k = 0; k < count; ++k) {
    OurFast2BitPaintRect(map, rowBytes, frame, rects[k], kTwoBitFull);
    const IntRect r = ToIntRect(rects[k]);
    for (int v = r.top; v < r.bottom; ++v) {
      auto& [first, end] = spans[static_cast<size_t>(v - box.top)];
      first = std::min(first, r.left - box.left);
      end = std::max(end, r.right - box.left);
    }
  }
  for (int v = std::max(box.top, port.top); v < std::min(box.bottom, port.bottom); ++v) {
    const auto [first, end] = spans[static_cast<size_t>(v - box.top)];
    const int from = std::max(first, port.left - box.left), to = std::min(end, port.right - box.left);
    if (from < to)
      composer.Row(map + static_cast<long>(v - box.top) * rowBytes, from, to, buffer.Pixel(box.left + from, v));
  }
  OurDisposeMemory(map);
  return true;
}
