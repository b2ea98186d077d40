#include "graphs2d/A2DTransform.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurRects.h"

namespace {
constexpr int32_t kTransformPixelLimit = 16383;
constexpr int16_t kOffScreen = 32767;
}  // namespace

int32_t WorldToPixel(double world, double pixelsPerUnit, double origin) {
  return DoubleToInt32(std::floor(world * pixelsPerUnit + origin + 0.5));
}

void A2DTransform::FinishFromOrigins() {
  xUnitsPerPixel = 1.0 / xPixelsPerUnit;
  yUnitsPerPixel = -1.0 / yPixelsPerUnit;
  xAtPlus16383 = (kTransformPixelLimit - xOrigin) * xUnitsPerPixel;
  xAtMinus16383 = (-kTransformPixelLimit - xOrigin) * xUnitsPerPixel;
  yAtPlus16383 = (yOrigin - kTransformPixelLimit) * yUnitsPerPixel;
  yAtMinus16383 = (yOrigin + kTransformPixelLimit) * yUnitsPerPixel;
}

int32_t A2DTransform::XTOI_InfSafe(double x) const {
  if (std::isnan(x) || x > xAtPlus16383) return kTransformPixelLimit;
  if (x < xAtMinus16383) return -kTransformPixelLimit;
  // A scale near the smallest doubles leaves the bounds above NaN.
  return std::clamp(WorldToPixel(x, xPixelsPerUnit, xOrigin), -kTransformPixelLimit, kTransformPixelLimit);
}

int32_t A2DTransform::YTOI_InfSafe(double y) const {
  if (std::isnan(y) || y < yAtPlus16383) return kTransformPixelLimit;
  if (y > yAtMinus16383) return -kTransformPixelLimit;
  return std::clamp(WorldToPixel(y, yPixelsPerUnit, yOrigin), -kTransformPixelLimit, kTransformPixelLimit);
}

bool A2DTransform::IsPointOnScreen(double x, double y) const {
  MPoint p;
  p.h = std::isnan(x) ? kOffScreen : static_cast<int16_t>(XTOI_InfSafe(x));
  p.v = std::isnan(y) ? kOffScreen : static_cast<int16_t>(YTOI_InfSafe(y));
  return IsOurPointInRect(p, pixelRect);
}
