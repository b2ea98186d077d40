#include <algorithm>
#include <cstring>

#include "CoreUtilities/DirectPixelDrawing.h"
#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/MemoryBudget.h"
#include "CoreUtilities/OurRects.h"
#include "CoreUtilities/TwoBitMaps.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/FunctionGraphColor.h"

namespace {
constexpr int32_t kGraphPixelLimit = 16383;

int16_t Pixel16(int64_t pixel) { return static_cast<int16_t>(std::clamp<int64_t>(pixel, -kGraphPixelLimit, kGraphPixelLimit)); }
}  // namespace

void AFunctionOf_XorY::Draw() {
  if (fRecords == nullptr || IsCurveHidden(fColour.get())) return;
  const uint32_t colour = CurveSolidColor(fColour.get());
  if (fTransform.xSampleFactor == 1) {
    DrawDirect(colour);
  } else {
    DrawThroughMask(colour);
  }
}

void AFunctionOf_XorY::DrawDirect(uint32_t colour) {
  const A2DTransform& t = fTransform;
  for (int32_t k = 0; k < fCount; ++k) {
    const dPoint& p = fRecords[k];
    const int32_t type = p.type.load(std::memory_order_acquire);
    if (type == kColumnPending || type == kColumnUndefined) continue;
    const uint32_t ink = type == kColumnUnbounded ? kInfinityGray : colour;
    const int16_t low = Pixel16(DependentPixel(p.lo)), high = Pixel16(DependentPixel(p.hi));
    if (fYOfX) {
      const int16_t h = Pixel16(WorldToPixel(p.centre, t.xPixelsPerUnit, t.xOrigin));
      OurLineDrawV(t.pixelRect, MPoint{low, h}, MPoint{high, h}, ink, 1);
    } else {
      const int16_t v = Pixel16(WorldToPixel(p.centre, t.yPixelsPerUnit, t.yOrigin));
      OurLineDrawH(t.pixelRect, MPoint{v, low}, MPoint{v, high}, ink, 1);
    }
  }
}

void AFunctionOf_XorY::DrawThroughMask(uint32_t colour) {
  const A2DTransform& t = fTransform;
  const MRect& frame = t.pixelRect;
  const long rowBytes = (frame.right - frame.left) / 16 * 4 + 4;
  const size_t bytes = static_cast<size_t>(rowBytes) * static_cast<size_t>(std::max(0, frame.bottom - frame.top));
  auto* mask = static_cast<uint8_t*>(OurAllocateMemory(std::max<size_t>(bytes, 1), true));
  if (mask == nullptr) {
    QueueError(kOutOfMemoryError);
    return;
  }
  const int32_t sx = t.xSampleFactor, sy = t.ySampleFactor;
  const auto paint = [&](bool unbounded) {
    bool any = false;
    for (int32_t k = 0; k < fCount; ++k) {
      const dPoint& p = fRecords[k];
      const int32_t type = p.type.load(std::memory_order_acquire);
      if (unbounded ? type != kColumnUnbounded : type != kColumnEdges && type != kColumnEnclosure) continue;
      const int32_t low = DependentPixel(p.lo), high = DependentPixel(p.hi);
      MRect r;
      if (fYOfX) {
        const int32_t c = WorldToPixel(p.centre, t.xPixelsPerUnit, t.xOrigin);
        r = MRect{Pixel16(int64_t{high} - (sy - 1)), Pixel16(c), Pixel16(int64_t{low} + 1), Pixel16(int64_t{c} + sx)};
      } else {
        const int32_t row = WorldToPixel(p.centre, t.yPixelsPerUnit, t.yOrigin);
        r = MRect{Pixel16(row), Pixel16(low), Pixel16(int64_t{row} + sy), Pixel16(int64_t{high} + sy)};
      }
      MRect clipped;
      OurSectRect(r, frame, &clipped);
      if (IsOurRectEmpty(clipped)) continue;
      OurFast2BitPaintRect(mask, rowBytes, frame, clipped, kTwoBitFull);
      any = true;
    }
    return any;
  };
  if (paint(false)) OurCopy2BitToCurrentPort(mask, rowBytes, frame, colour, frame);
  std::memset(mask, 0, bytes);
  if (paint(true)) OurCopy2BitToCurrentPort(mask, rowBytes, frame, kInfinityGray, frame);
  OurDisposeMemory(mask);
}
