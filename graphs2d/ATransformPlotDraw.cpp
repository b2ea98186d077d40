#include <cmath>

#include "CoreUtilities/drawing/PixelColors.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/ATransformPlot.h"
#include "graphs2d/PlaneTransformSource.h"
#include "platform/CheckedConvert.h"
#include "platform/OurPort.h"

namespace {

// Read as (j[i], j[i + 2]) for the four samples.
constexpr double kCornerJitter[8] = {0.0, 0.0, 0.9, 0.0, 0.0, 0.9, 0.9, 0.9};

// floor(position) clamped to [low, high - 1] in double before it becomes an
// int; false when it needed clamping or is not a number.
bool SamplePixel(double position, int32_t low, int32_t high, int32_t* pixel) {
  if (!(position >= low)) {
    *pixel = low;
    return false;
  }
  if (position >= high) {
    *pixel = high - 1;
    return false;
  }
  // Truncation is the floor at or above zero, and the call costs.
  *pixel = DoubleToInt32(position >= 0 ? position : std::floor(position));
  return true;
}

}  // namespace

void ATransformPlot::Draw() {
  if (fPoints == nullptr || ShowsNothing(fSourceList, fColour.get(), fSource)) return;
  if (fStoreFrame && !fCachingOff && IsDoneComputing()) KeepFrame();
  OurPort* port = CurrentPort();
  if (port == nullptr) return;
  SourcePicture picture(fSource, fSourceList, fColour.get());
  OurPort* world = picture.World();
  if (world == nullptr) return;
  const A2DTransform& s = fSource.ViewTransform();
  const MRect& rect = picture.Rect();
  const MRect& own = fTransform.pixelRect;
  const int32_t width = fWidth, height = fHeight;
  const auto* samples = reinterpret_cast<const uint32_t*>(world->image.constBits());
  const long sampleRow = world->image.bytesPerLine() / 4;
  auto* pixels = reinterpret_cast<uint32_t*>(port->image.bits());
  const long pixelRow = port->image.bytesPerLine() / 4;
  const auto at = [&](int32_t c, int32_t r, int component) {
    return LoadPoint((size_t(r) * width + c) * 2 + component);
  };
  for (int32_t r = 0; r < height; ++r) {
    const int v = own.top + r;
    if (v < port->bounds.top() || v > port->bounds.bottom()) continue;
    for (int32_t c = 0; c < width; ++c) {
      const int h = own.left + c;
      if (h < port->bounds.left() || h > port->bounds.right()) continue;
      const double f = at(c, r, 0), g = at(c, r, 1);
      if (std::isinf(f) || std::isinf(g)) continue;
      const double x = f * s.xPixelsPerUnit + s.xOrigin, y = g * s.yPixelsPerUnit + s.yOrigin;
      const auto difference = [&](int32_t cn, int32_t rn, double* dx, double* dy) {
        *dx = *dy = 0;
        if (cn >= width || rn >= height) return;
        const double fn = at(cn, rn, 0), gn = at(cn, rn, 1);
        if (std::isinf(fn) || std::isinf(gn)) return;
        *dx = s.xPixelsPerUnit * (fn - f);
        *dy = s.yPixelsPerUnit * (gn - g);
      };
      double dxc, dyc, dxr, dyr;
      difference(c + 1, r, &dxc, &dyc);
      difference(c, r + 1, &dxr, &dyr);
      uint32_t red = 0, green = 0, blue = 0;
      bool inside = false;
      for (int i = 0; i < 4; ++i) {
        const double a = kCornerJitter[i], b = kCornerJitter[i + 2];
        int32_t sh, sv;
        const bool hIn = SamplePixel(x + a * dxc + b * dxr, rect.left, rect.right, &sh);
        const bool vIn = SamplePixel(y + a * dyc + b * dyr, rect.top, rect.bottom, &sv);
        inside |= hIn && vIn;
        const uint32_t sample = samples[(sv - rect.top) * sampleRow + (sh - rect.left)];
        red += (sample >> 16) & 0xFF, green += (sample >> 8) & 0xFF, blue += sample & 0xFF;
      }
      if (!inside) continue;
      const uint32_t colour = ((red / 4) << 16) | ((green / 4) << 8) | (blue / 4);
      if (colour == 0xFFFFFF) continue;
      uint32_t* pixel = pixels + (v - port->bounds.top()) * pixelRow + (h - port->bounds.left());
      *pixel = OurComposeColors(colour, *pixel);
    }
  }
}
