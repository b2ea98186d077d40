#include <algorithm>
#include <vector>

#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/FunctionGraphColor.h"

namespace {
constexpr int32_t kGraphPixelLimit = 16383;

int16_t Pixel16(int64_t pixel) {
  return static_cast<int16_t>(std::clamp<int64_t>(pixel, -kGraphPixelLimit, kGraphPixelLimit));
}
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

// Each kind of column is composed once, over the box its ink covers: the
// bounded columns in the curve's colour, then the unbounded ones in grey.
void AFunctionOf_XorY::DrawThroughMask(uint32_t colour) {
  const A2DTransform& t = fTransform;
  const int32_t sx = t.xSampleFactor, sy = t.ySampleFactor;
  std::vector<MRect> bounded, unbounded;
  bounded.reserve(static_cast<size_t>(std::max(0, fCount)));
  for (int32_t k = 0; k < fCount; ++k) {
    const dPoint& p = fRecords[k];
    const int32_t type = p.type.load(std::memory_order_acquire);
    if (type != kColumnEdges && type != kColumnEnclosure && type != kColumnUnbounded) continue;
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
    if (OurSectRect(r, t.pixelRect, &clipped)) (type == kColumnUnbounded ? unbounded : bounded).push_back(clipped);
  }
  if (!OurCompose2BitRects(bounded.data(), bounded.size(), colour)) QueueError(kOutOfMemoryError);
  if (!OurCompose2BitRects(unbounded.data(), unbounded.size(), kInfinityGray)) QueueError(kOutOfMemoryError);
}
