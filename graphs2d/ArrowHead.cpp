#include "graphs2d/ArrowHead.h"

#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphs2d/A2DTransform.h"

namespace {
constexpr int16_t kScratchSide = 82;
OurPort* gArrow = nullptr;

int16_t Rounded(double value) { return DoubleToInt16(std::floor(value + 0.5)); }

uint32_t BlendWithWhite(uint32_t rgb, int32_t covered) {
  uint32_t out = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const uint32_t channel = (rgb >> shift) & 0xFF;
    out |= (((16 - covered) * 255 + channel * covered) / 16) << shift;
  }
  return out;
}
}  // namespace

int32_t ArrowHeadSize(double pixelLength, int32_t cell) {
  if (pixelLength >= 6 * cell) return 5 * cell;
  if (pixelLength >= 5 * cell) return 4 * cell;
  return 3 * cell;
}

OurPort* ArrowScratchWorld() {
  if (gArrow) {
    const MRect b = GetBounds(gArrow);
    if (b.right - b.left >= kScratchSide && b.bottom - b.top >= kScratchSide) return gArrow;
    OurDisposeGWorld(gArrow);
  }
  gArrow = OurNewGWorld(MRect{0, 0, kScratchSide, kScratchSide});
  return gArrow;
}

void Release2DVectorPlotArrowGWorld() {
  OurDisposeGWorld(gArrow);
  gArrow = nullptr;
}

void DrawArrowHead(double x, double y, double dx, double dy, const A2DTransform& t, uint32_t rgb, uint8_t* base,
                   long rowBytes) {
  const double px = dx / t.xUnitsPerPixel, py = dy / t.yUnitsPerPixel;
  const double length = std::hypot(px, py);
  if (!std::isfinite(1 / length) || base == nullptr || gArrow == nullptr) return;
  const double a = px / length, b = py / length;
  const int32_t c = t.xSampleFactor;
  const int32_t h = ArrowHeadSize(length, c);
  {
    APushPort push(gArrow);
    const int16_t side = static_cast<int16_t>(40 * c + 2);
    OurEraseRect(MRect{0, 0, side, side});
    const double centre = 4 * h + 2;
    const MPoint corners[3] = {
        {Rounded(centre - 4 * h * b), Rounded(centre + 4 * h * a)},
        {Rounded(centre + 2 * h * a), Rounded(centre + 2 * h * b)},
        {Rounded(centre - 2 * h * a), Rounded(centre - 2 * h * b)},
    };
    OurPaintTriangle(GetBounds(gArrow), corners, rgb, base, rowBytes);
  }
  const double cx = x + dx - t.xUnitsPerPixel * a * h, cy = y + dy - t.yUnitsPerPixel * b * h;
  if (!std::isfinite(cx) || !std::isfinite(cy)) return;
  const int32_t left = t.XTOI_InfSafe(cx) - h, top = t.YTOI_InfSafe(cy) - h;
  for (int32_t j = 0; j < 2 * h; ++j) {
    for (int32_t i = 0; i < 2 * h; ++i) {
      int32_t covered = 0;
      for (int32_t sv = 4 * j; sv < 4 * j + 4; ++sv) {
        const auto* row = reinterpret_cast<const uint32_t*>(base + sv * rowBytes);
        for (int32_t sh = 4 * i; sh < 4 * i + 4; ++sh) covered += (row[sh] & 0xFFFFFF) != 0xFFFFFF;
      }
      if (covered == 0) continue;
      OurPointDraw(t.pixelRect, MPoint{static_cast<int16_t>(top + j), static_cast<int16_t>(left + i)},
                   BlendWithWhite(rgb, covered));
    }
  }
}

void DrawArrowHead(double x, double y, double dx, double dy, const A2DTransform& t, uint32_t rgb) {
  OurPort* world = ArrowScratchWorld();
  if (world == nullptr || !OurLockPixels(world)) return;
  DrawArrowHead(x, y, dx, dy, t, rgb, GetBaseAddress(world), GetRowBytes(world));
  OurUnlockPixels(world);
}
