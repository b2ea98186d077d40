#include "platform/PenDrawing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kLowBits = 0xFFFFFF;

// Which pixels of a span the pen touches and what it leaves there.
struct Ink {
  OurPenMode mode;
  OurPenPattern pattern;
  uint32_t fore;
  uint32_t back;
};

Ink PenInk(const OurPort& port) {
  return {port.pen.mode, port.pen.pattern, port.foreColor & kLowBits, port.backColor & kLowBits};
}

// Local span [left, right) of row v through the visible part of the port.
void InkSpan(OurPort& port, const QRegion& visible, const Ink& ink, int v, int left, int right) {
  for (const QRect& r : visible) {
    if (v < r.top() || v > r.bottom()) continue;
    const int from = std::max(left, r.left()), to = std::min(right, r.right() + 1);
    if (from >= to) continue;
    uint32_t* pixel = PortPixel(port, from, v);
    uint32_t* const end = pixel + (to - from);
    // Grey: the pixels whose image coordinates have an even sum.
    const int step = ink.pattern == OurPenPattern::kGray ? 2 : 1;
    const bool firstIsSet = step == 1 || ((from - port.bounds.left() + v - port.bounds.top()) & 1) == 0;
    if (ink.mode == OurPenMode::kXor) {
      for (uint32_t* p = firstIsSet ? pixel : pixel + 1; p < end; p += step) *p = (*p ^ kLowBits) & kLowBits;
    } else if (step == 1) {
      std::fill(pixel, end, ink.fore);
    } else {
      for (uint32_t* p = pixel; p < end; ++p) *p = ((p - pixel) % 2 == 0) == firstIsSet ? ink.fore : ink.back;
    }
  }
}

void InkRect(OurPort& port, const Ink& ink, const QRect& rect) {
  const QRect r = rect.intersected(port.bounds);
  if (r.isEmpty()) return;
  const QRegion visible = port.clip.intersected(r);
  for (int v = r.top(); v <= r.bottom(); ++v) InkSpan(port, visible, ink, v, r.left(), r.right() + 1);
}

// Rounds minor * i / major half up (major > 0); wide enough for any two
// int coordinates.
long RoundedOffset(long i, long minor, long major) {
  const __int128 numerator = static_cast<__int128>(2) * i * minor + major,
                 denominator = 2 * static_cast<__int128>(major);
  const __int128 quotient = numerator >= 0 ? numerator / denominator : -((-numerator + denominator - 1) / denominator);
  return static_cast<long>(quotient);
}

}  // namespace

void PortLineTo(OurPort& port, QPoint to) {
  QPoint from = port.pen.location;
  port.pen.location = to;
  const int penH = port.pen.size.width(), penV = port.pen.size.height();
  if (penH <= 0 || penV <= 0 || port.image.isNull()) return;

  const long dh = static_cast<long>(to.x()) - from.x(), dv = static_cast<long>(to.y()) - from.y();
  const bool alongH = std::labs(dh) >= std::labs(dv);
  if ((alongH && dh < 0) || (!alongH && dv < 0)) std::swap(from, to);
  const long major = alongH ? std::labs(dh) : std::labs(dv);
  const long minor = alongH ? static_cast<long>(to.y()) - from.y() : static_cast<long>(to.x()) - from.x();

  // Only path pixels whose pen square can reach the port are walked.
  const QRect& b = port.bounds;
  const long start = alongH ? from.x() : from.y();
  const long low = (alongH ? b.left() - penH + 1 : b.top() - penV + 1) - start;
  const long high = (alongH ? b.right() : b.bottom()) - start;
  const long first = std::max(0L, low), last = std::min(major, high);
  if (first > last) return;

  // The union of pen squares is one span per row, since the path moves at
  // most one pixel per step in each direction.
  const auto pathPoint = [&](long i) {
    const long offset = major == 0 ? 0 : RoundedOffset(i, minor, major);
    return alongH ? std::pair<long, long>(from.x() + i, from.y() + offset)
                  : std::pair<long, long>(from.x() + offset, from.y() + i);
  };
  const Ink ink = PenInk(port);
  const QRegion visible = port.clip.intersected(b);
  if (penH == 1 && penV == 1 && visible.rectCount() == 1) {
    // The common thin line: path pixels never repeat, so each is inked directly.
    const QRect area = visible.boundingRect();
    uint8_t* const base = port.image.bits();
    const long rowBytes = port.image.bytesPerLine();
    for (long i = first; i <= last; ++i) {
      const auto [h, v] = pathPoint(i);
      if (h < area.left() || h > area.right() || v < area.top() || v > area.bottom()) continue;
      const long x = h - b.left(), y = v - b.top();
      if (ink.pattern == OurPenPattern::kGray && ((x + y) & 1) != 0) {
        if (ink.mode == OurPenMode::kCopy) reinterpret_cast<uint32_t*>(base + y * rowBytes)[x] = ink.back;
        continue;
      }
      uint32_t& pixel = reinterpret_cast<uint32_t*>(base + y * rowBytes)[x];
      pixel = ink.mode == OurPenMode::kXor ? (pixel ^ kLowBits) & kLowBits : ink.fore;
    }
    return;
  }
  const long firstRow = std::max<long>(std::min(pathPoint(first).second, pathPoint(last).second), b.top());
  const long lastRow = std::min<long>(std::max(pathPoint(first).second, pathPoint(last).second) + penV - 1, b.bottom());
  if (firstRow > lastRow) return;
  std::vector<std::pair<int, int>> spans(lastRow - firstRow + 1, {INT32_MAX, INT32_MIN});
  for (long i = first; i <= last; ++i) {
    const auto [h, v] = pathPoint(i);
    const long top = std::max(v, firstRow), bottom = std::min(v + penV - 1, lastRow);
    for (long row = top; row <= bottom; ++row) {
      auto& span = spans[row - firstRow];
      span.first = static_cast<int>(std::min<long>(span.first, std::max<long>(h, b.left())));
      span.second = static_cast<int>(std::max<long>(span.second, std::min<long>(h + penH, b.right() + 1)));
    }
  }
  for (long row = firstRow; row <= lastRow; ++row) {
    const auto& span = spans[row - firstRow];
    if (span.first < span.second) InkSpan(port, visible, ink, static_cast<int>(row), span.first, span.second);
  }
}

void PortPaintRect(OurPort& port, const QRect& rect) { InkRect(port, PenInk(port), rect); }

void PortFrameRect(OurPort& port, const QRect& rect) {
  if (rect.isEmpty()) return;
  const int penH = std::min(port.pen.size.width(), rect.width());
  const int penV = std::min(port.pen.size.height(), rect.height());
  if (penH <= 0 || penV <= 0) return;
  const Ink ink = PenInk(port);
  if (2 * penH >= rect.width() || 2 * penV >= rect.height()) {
    InkRect(port, ink, rect);
    return;
  }
  InkRect(port, ink, QRect(rect.left(), rect.top(), rect.width(), penV));
  InkRect(port, ink, QRect(rect.left(), rect.bottom() + 1 - penV, rect.width(), penV));
  const int sidesHeight = rect.height() - 2 * penV;
  InkRect(port, ink, QRect(rect.left(), rect.top() + penV, penH, sidesHeight));
  InkRect(port, ink, QRect(rect.right() + 1 - penH, rect.top() + penV, penH, sidesHeight));
}

void PortEraseRect(OurPort& port, const QRect& rect) {
  InkRect(port, {OurPenMode::kCopy, OurPenPattern::kBlack, port.backColor & kLowBits, 0}, rect);
}

void PortInvertRect(OurPort& port, const QRect& rect) {
  InkRect(port, {OurPenMode::kXor, OurPenPattern::kBlack, 0, 0}, rect);
}
