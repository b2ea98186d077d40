#include "graphs2d/CurveStroke.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"

namespace {
int RoundHalfUp(double x) { return int(std::floor(x + 0.5)); }
}  // namespace

void CurveStroke::Free::operator()(uint8_t* bits) const { OurDisposeMemory(bits); }

CurveStroke::CurveStroke(const MRect& frame)
    : fFrame(frame), fRowBytes((std::max(0, frame.right - frame.left) / 16) * 4 + 4) {
  const size_t bytes = size_t(fRowBytes) * size_t(std::max(0, frame.bottom - frame.top));
  fBits.reset(static_cast<uint8_t*>(OurAllocateMemory(std::max<size_t>(bytes, 1), true)));
  if (!fBits) QueueError(kOutOfMemoryError);
}

void CurveStroke::Mark(int h, int v) {
  if (h < fFrame.left || h >= fFrame.right || v < fFrame.top || v >= fFrame.bottom) return;
  const MRect pixel{int16_t(v), int16_t(h), int16_t(v + 1), int16_t(h + 1)};
  OurFast2BitPaintRect(fBits.get(), fRowBytes, fFrame, pixel, kTwoBitFull);
}

void CurveStroke::Line(MPoint from, MPoint to) {
  if (!fBits) return;
  const int dh = to.h - from.h, dv = to.v - from.v;
  if (std::abs(dh) >= std::abs(dv)) {
    if (from.h > to.h) std::swap(from, to);
    const double slope = dh == 0 ? 0 : double(to.v - from.v) / (to.h - from.h);
    for (int h = std::max<int>(from.h, fFrame.left - 1); h <= std::min<int>(to.h, fFrame.right); ++h)
      Mark(h, RoundHalfUp(slope * (h - from.h) + from.v));
  } else {
    if (from.v > to.v) std::swap(from, to);
    const double slope = double(to.h - from.h) / (to.v - from.v);
    for (int v = std::max<int>(from.v, fFrame.top - 1); v <= std::min<int>(to.v, fFrame.bottom); ++v)
      Mark(RoundHalfUp(slope * (v - from.v) + from.h), v);
  }
}

void CurveStroke::Compose(uint32_t colour) const {
  if (fBits) OurCopy2BitToCurrentPort(fBits.get(), fRowBytes, fFrame, colour, fFrame);
}
