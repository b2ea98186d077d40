#include "matheditor/MouseTracking.h"

#include "CoreUtilities/drawing/OurMouse.h"
#include "expression/MathEditRecord.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/SelectionRects.h"

#include <algorithm>

namespace {

// A wait ends after this long even when the mouse rests.
constexpr long kTrackingTicks = 20;

bool Track(FPoint& where, bool pinned) {
  MPoint mouse;
  const bool held = OurWaitMouseUp(&mouse, kTrackingTicks);
  if (pinned) {
    MRect bounds;
    GetFullExprRect(bounds);
    if (const MERecord* r = gMathCurrentMEH; r && r->lineCount > 1) {
      bounds.bottom = static_cast<int16_t>(bounds.top + r->lineCount * (bounds.bottom - bounds.top));
      bounds.right = static_cast<int16_t>(bounds.left + static_cast<int32_t>(r->wrapWidth));
    }
    // Inside the rectangle: its right and bottom edges lie outside.
    mouse.h = static_cast<int16_t>(
        std::clamp<int32_t>(mouse.h, bounds.left, std::max<int32_t>(bounds.left, bounds.right - 1)));
    mouse.v = static_cast<int16_t>(
        std::clamp<int32_t>(mouse.v, bounds.top, std::max<int32_t>(bounds.top, bounds.bottom - 1)));
  }
  FPoint point{static_cast<float>(mouse.v - gMathGlobalOffset_y), static_cast<float>(mouse.h - gMathGlobalOffset_x)};
  UnVirtual(&point);
  where = point;
  return held;
}

}  // namespace

bool DIM_MouseStillDown(FPoint& where) { return Track(where, false); }

bool DIM_MouseStillDownPinned(FPoint& where) { return Track(where, true); }
