#include "CoreUtilities/drawing/DirectPixelDrawing.h"

#include "CoreUtilities/drawing/PixelBuffer.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "platform/CheckedConvert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

IntRect DrawableArea(const PixelBuffer& buffer, const MRect& clip) {
  return Intersection(ToIntRect(clip), ToIntRect(buffer.bounds));
}

void ComposeAt(const PixelBuffer& buffer, const IntRect& area, int h, int v, uint32_t color) {
  if (!area.Contains(h, v)) return;
  uint32_t* pixel = buffer.Pixel(h, v);
  *pixel = OurComposeColors(color, *pixel);
}

void ComposeSpanH(const PixelBuffer& buffer, const IntRect& area, int v, int h0, int h1, uint32_t color, int step) {
  if (v < area.top || v >= area.bottom) return;
  const int lo = std::max(std::min(h0, h1), area.left);
  const int hi = std::min(std::max(h0, h1), area.right - 1);
  step = std::max(step, 1);
  for (long h = lo; h <= hi; h += step) {
    uint32_t* pixel = buffer.Pixel(static_cast<int>(h), v);
    *pixel = OurComposeColors(color, *pixel);
  }
}

void ComposeSpanV(const PixelBuffer& buffer, const IntRect& area, int h, int v0, int v1, uint32_t color, int step) {
  if (h < area.left || h >= area.right) return;
  const int lo = std::max(std::min(v0, v1), area.top);
  const int hi = std::min(std::max(v0, v1), area.bottom - 1);
  step = std::max(step, 1);
  for (long v = lo; v <= hi; v += step) {
    uint32_t* pixel = buffer.Pixel(h, static_cast<int>(v));
    *pixel = OurComposeColors(color, *pixel);
  }
}

bool IsInside(const MRect& rect, MPoint p) {
  return p.h >= rect.left && p.h < rect.right && p.v >= rect.top && p.v < rect.bottom;
}

int RoundHalfUpTruncating(double x) { return DoubleToInt32(x + 0.5); }

// The crossing of the segment with one row (or, transposed, one column) of
// the rectangle, when the segment spans that line and the crossing lies in
// [first, last].
bool CrossLine(int line, int first, int last, int outAlong, int outAcross, int inAlong, int inAcross, int* crossing) {
  if (line < std::min(outAcross, inAcross) || line > std::max(outAcross, inAcross)) return false;
  if (outAcross == inAcross) return false;  // runs along the line: another edge decides
  const double along = outAlong + static_cast<double>(line - outAcross) * (inAlong - outAlong) / (inAcross - outAcross);
  const int rounded = RoundHalfUpTruncating(along);
  if (rounded < first || rounded > last) return false;
  *crossing = rounded;
  return true;
}

// Unlike ClipLine's (-1, -1), a miss cannot be mistaken for a real crossing.
bool FindCrossing(const MRect& rect, MPoint outside, MPoint inside, MPoint* result) {
  const int top = rect.top, bottom = rect.bottom - 1, left = rect.left, right = rect.right - 1;
  auto row = [&](int line) {
    int h;
    if (!CrossLine(line, left, right, outside.h, outside.v, inside.h, inside.v, &h)) return false;
    *result = {static_cast<int16_t>(line), static_cast<int16_t>(h)};
    return true;
  };
  auto column = [&](int line) {
    int v;
    if (!CrossLine(line, top, bottom, outside.v, outside.h, inside.v, inside.h, &v)) return false;
    *result = {static_cast<int16_t>(v), static_cast<int16_t>(line)};
    return true;
  };
  if (outside.v < top) return row(top) || column(left) || column(right);
  if (outside.v > bottom) return row(bottom) || column(left) || column(right);
  return outside.h <= right ? column(left) : column(right);
}

}  // namespace

void OurPointDraw(const MRect& clip, MPoint point, uint32_t color) {
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return;
  ComposeAt(buffer, DrawableArea(buffer, clip), point.h, point.v, color);
}

void OurPointDraw(const MRect& clip, MPoint point, uint32_t color, const MRect& bounds, void* base, long rowBytes) {
  if (base == nullptr) return;
  const PixelBuffer buffer{static_cast<uint8_t*>(base), rowBytes, bounds};
  ComposeAt(buffer, DrawableArea(buffer, clip), point.h, point.v, color);
}

void OurLineDrawH(const MRect& clip, MPoint p1, MPoint p2, uint32_t color, int step) {
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return;
  ComposeSpanH(buffer, DrawableArea(buffer, clip), p1.v, p1.h, p2.h, color, step);
}

void OurLineDrawV(const MRect& clip, MPoint p1, MPoint p2, uint32_t color, int step) {
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return;
  ComposeSpanV(buffer, DrawableArea(buffer, clip), p1.h, p1.v, p2.v, color, step);
}

MPoint ClipLine(const MRect& rect, MPoint outside, MPoint inside) {
  MPoint crossing;
  if (!FindCrossing(rect, outside, inside, &crossing)) return {-1, -1};
  return crossing;
}

void OurLineDraw(const MRect& clip, MPoint p1, MPoint p2, uint32_t color) {
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr) return;
  const IntRect area = DrawableArea(buffer, clip);
  if (!IsInside(clip, p1) && !FindCrossing(clip, p1, p2, &p1)) return;
  if (!IsInside(clip, p2) && !FindCrossing(clip, p2, p1, &p2)) return;
  const int dh = p2.h - p1.h, dv = p2.v - p1.v;
  if (dh == 0 && dv == 0) {
    ComposeAt(buffer, area, p1.h, p1.v, color);
    return;
  }
  if (std::abs(dh) > std::abs(dv)) {
    if (p1.h > p2.h) std::swap(p1, p2);
    const double slope = static_cast<double>(p2.v - p1.v) / (p2.h - p1.h);
    for (int h = p1.h; h <= p2.h; ++h)
      ComposeAt(buffer, area, h, RoundHalfUpTruncating(slope * (h - p1.h) + p1.v), color);
  } else {
    if (p1.v > p2.v) std::swap(p1, p2);
    const double slope = static_cast<double>(p2.h - p1.h) / (p2.v - p1.v);
    for (int v = p1.v; v <= p2.v; ++v)
      ComposeAt(buffer, area, RoundHalfUpTruncating(slope * (v - p1.v) + p1.h), v, color);
  }
}

void OurDrawFilledCircle(const MRect& clip, int h, int v, int radius, uint32_t color) {
  const PixelBuffer buffer = CurrentPortPixels();
  if (buffer.base == nullptr || radius < 0) return;
  const IntRect area = DrawableArea(buffer, clip);
  const long firstY = std::max<long>(-radius, static_cast<long>(area.top) - v);
  const long lastY = std::min<long>(radius, static_cast<long>(area.bottom) - 1 - v);
  const double r = radius;
  for (long y = firstY; y <= lastY; ++y) {
    const double w = std::sqrt(r * r - static_cast<double>(y) * y);
    ComposeSpanH(buffer, area, static_cast<int>(v + y), DoubleToInt32(h - w + 0.9), DoubleToInt32(h + w + 0.1), color,
                 1);
  }
}

void OurPaintTriangle(const MRect&, const MPoint vertices[3], uint32_t color, void* base, long rowBytes) {
  const PixelBuffer current = CurrentPortPixels();
  if (current.base == nullptr || base == nullptr || vertices == nullptr) return;
  const PixelBuffer buffer{static_cast<uint8_t*>(base), rowBytes, current.bounds};
  const IntRect area = ToIntRect(buffer.bounds);

  MPoint p[3] = {vertices[0], vertices[1], vertices[2]};
  std::stable_sort(p, p + 3, [](MPoint a, MPoint b) { return a.v < b.v; });
  const MPoint top = p[0], middle = p[1], bottom = p[2];
  if (top.v == bottom.v) return;
  if (top.h == middle.h && middle.h == bottom.h) return;

  const long cross = static_cast<long>(middle.h - top.h) * (bottom.v - top.v) -
                     static_cast<long>(middle.v - top.v) * (bottom.h - top.h);
  const bool middleOnRight = cross > 0;
  const float longSlope = static_cast<float>(bottom.h - top.h) / static_cast<float>(bottom.v - top.v);
  float longEdge = top.h;
  float shortEdge = top.h;
  float shortSlope =
      middle.v > top.v ? static_cast<float>(middle.h - top.h) / static_cast<float>(middle.v - top.v) : 0.0f;
  const uint32_t stored = color & 0xFFFFFF;
  for (int v = top.v; v < bottom.v; ++v) {
    if (v == middle.v) {
      shortEdge = middle.h;
      shortSlope = static_cast<float>(bottom.h - middle.h) / static_cast<float>(bottom.v - middle.v);
    }
    if (v >= area.top && v < area.bottom) {
      const float left = middleOnRight ? longEdge : shortEdge;
      const float right = middleOnRight ? shortEdge : longEdge;
      const int first = std::max(DoubleToInt32(std::floor(left)), area.left);
      const int end = std::min(DoubleToInt32(std::floor(right)), area.right);
      for (int h = first; h < end; ++h) *buffer.Pixel(h, v) = stored;
    }
    longEdge += longSlope;
    shortEdge += shortSlope;
  }
}
