#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DMouseTracking.h"
#include "graphs2d/ArrowHead.h"
#include "graphs2d/PointMarkers.h"
#include "graphs2d/SegmentGeometry.h"
#include "graphs2d/SelectionReadout.h"

namespace {

constexpr uint32_t kCrosshairColor = 0x000000;
constexpr uint32_t kWhiteColour = 0xFFFFFF;
constexpr int kCrosshairStep = 3;
constexpr double kSelectionPixelLimit = 16383;

const OurFontDesc& GraphFont() {
  static const OurFontDesc font(gAxesTypeFace, 9, false, false);
  return font;
}

MRect SelectionBox(long top, long left, long bottom, long right) {
  return MRect{SaturateToInt16(top), SaturateToInt16(left), SaturateToInt16(bottom), SaturateToInt16(right)};
}

MPoint Pixel(const A2DTransform& t, double x, double y) {
  return MPoint{SaturateToInt16(t.YTOI_InfSafe(y)), SaturateToInt16(t.XTOI_InfSafe(x))};
}

void DrawWorldSegment(const MRect& clip, const A2DTransform& t, double x1, double y1, double x2, double y2,
                      uint32_t rgb) {
  OurLineDraw(clip, Pixel(t, x1, y1), Pixel(t, x2, y2), rgb);
}

// A dotted crosshair line, or a solid white one over the axis, stopping at
// the marker box.
void CrosshairLine(const MRect& clip, bool vertical, int32_t at, int32_t from, int32_t to, int32_t boxFrom,
                   int32_t boxTo, bool onAxis) {
  const uint32_t rgb = onAxis ? kWhiteColour : kCrosshairColor;
  const int step = onAxis ? 1 : kCrosshairStep;
  const auto draw = [&](int32_t a, int32_t b) {
    if (b < a) return;
    if (vertical) {
      OurLineDrawV(clip, MPoint{SaturateToInt16(a), SaturateToInt16(at)},
                   MPoint{SaturateToInt16(b), SaturateToInt16(at)}, rgb, step);
    } else {
      OurLineDrawH(clip, MPoint{SaturateToInt16(at), SaturateToInt16(a)},
                   MPoint{SaturateToInt16(at), SaturateToInt16(b)}, rgb, step);
    }
  };
  if (boxTo <= boxFrom) {
    draw(from, to - 1);
  } else {
    draw(from, boxFrom - 1);
    draw(boxTo, to - 1);
  }
}

}  // namespace

MRect A2DMouseTracking::SelectionMarkerBox() const {
  const A2DTransform& t = fView.ViewTransform();
  const Selection& s = fSelection;
  MRect box;
  if (s.kind == kSelectBox) {
    box = SelectionBox(t.YTOI_InfSafe(s.yRange[1]) - 4, t.XTOI_InfSafe(s.xRange[0]) - 4,
                       t.YTOI_InfSafe(s.yRange[0]) + 5, t.XTOI_InfSafe(s.xRange[1]) + 5);
  } else {
    const MPoint p = Pixel(t, s.x, s.y);
    box = SelectionBox(p.v - 4, p.h - 4, p.v + 5, p.h + 5);
  }
  MRect clipped;
  OurSectRect(box, fView.ViewRect(), &clipped);
  return clipped;
}

void A2DMouseTracking::DrawSelection() {
  const Selection& s = fSelection;
  if (IsDesperatelyLowOnMemory() || s.kind == kSelectNothing || s.kind == kSelectDraggedPoint) return;
  // Coordinates zoomed out of range have no pixel to mark.
  if (!std::isfinite(s.x) || !std::isfinite(s.y)) return;
  const A2DTransform& t = fView.ViewTransform();
  const MRect& r = fView.ViewRect();
  const MRect box = SelectionMarkerBox();
  const MPoint p = Pixel(t, s.x, s.y);
  const A2DViewWindow::AxesPlace place = fView.Window().PlaceAxes();
  const bool axes = fView.Record().axesShown != 0;
  CrosshairLine(r, true, p.h, r.top, r.bottom, box.top, box.bottom, axes && p.h == place.column);
  CrosshairLine(r, false, p.v, r.left, r.right, box.left, box.right, axes && p.v == place.row);

  if (s.kind == kSelectVector) {
    double x1 = s.x, y1 = s.y, x2 = s.x + s.arrow[0], y2 = s.y + s.arrow[1];
    ClipLineToCircle(s.x, s.y, kSelectionPixelLimit * t.xUnitsPerPixel, &x1, &y1, &x2, &y2);
    DrawWorldSegment(r, t, x1, y1, x2, y2, s.color);
    DrawArrowHead(s.x, s.y, s.arrow[0], s.arrow[1], t, s.color);
  } else if (s.kind == kSelectSolutionPaths) {
    const double cx = t.ITOX((r.left + r.right) / 2.0), cy = t.ITOY((r.top + r.bottom) / 2.0);
    const double radius = kSelectionPixelLimit * std::max(t.xUnitsPerPixel, t.yUnitsPerPixel);
    for (const SolutionPath* path : {s.path1.get(), s.path2.get()}) {
      if (path == nullptr) continue;
      for (int32_t i = 1; i < path->Count(); ++i) {
        double x1 = (*path)[i - 1].x, y1 = (*path)[i - 1].y, x2 = (*path)[i].x, y2 = (*path)[i].y;
        if (std::isinf(x1) || std::isinf(y1) || std::isinf(x2) || std::isinf(y2)) continue;
        ClipLineToCircle(cx, cy, radius, &x1, &y1, &x2, &y2);
        DrawWorldSegment(r, t, x1, y1, x2, y2, s.color);
      }
    }
  }

  if (!IsOurRectEmpty(box)) {
    if (OurPort* world = OurNewGWorld(box)) {
      {
        APushPort push(world);
        PaneHooks::SetGraphSelectionForeColor(fView.Document());
        OurPaintRect(box);
      }
      OurBlendGWorldToCurrentPort(world, box);
      OurDisposeGWorld(world);
    }
    OurForeColorBlack();
    OurFrameRect(box);
  }
  DrawSelectionFeedback();
}

void A2DMouseTracking::DrawSelectionFeedback() {
  const std::vector<std::u16string> lines = SelectionReadoutLines(fSelection);
  if (lines.empty()) return;
  float widest = 0;
  for (const std::u16string& line : lines) widest = std::max(widest, OurStringWidth(line.c_str(), GraphFont()));
  const MRect& r = fView.ViewRect();
  const int32_t count = static_cast<int32_t>(lines.size());
  OurEraseRect(SelectionBox(r.top, r.left, r.top + 12 * count + 2, r.left + DoubleToInt32(std::ceil(widest)) + 8));
  OurForeColorBlack();
  for (int32_t i = 0; i < count; ++i) {
    OurMoveTo(r.left + 4, r.top + 10 + 12 * i);
    OurDrawString(lines[i].c_str(), GraphFont());
  }
}

void A2DMouseTracking::SaveGraphWithoutCrosshairs() {
  OurDisposeGWorld(std::exchange(fSavedPicture, nullptr));
  OurPort* offscreen = PaneHooks::GetOffscreenGWorld(fView.Document());
  if (offscreen == nullptr) return;
  const MRect own = SelectionBox(0, 0, fView.ViewRect().bottom - fView.ViewRect().top,
                                 fView.ViewRect().right - fView.ViewRect().left);
  fSavedPicture = OurNewGWorld(own);
  if (fSavedPicture == nullptr) return;
  ClearSelection();
  PaneHooks::RedrawGraph(fView.Document());
  OurCopyGWorldToGWorld(offscreen, fSavedPicture, fView.ViewRect(), own);
}

void A2DMouseTracking::RedrawGraphWithNewCrosshairs() {
  OurPort* offscreen = PaneHooks::GetOffscreenGWorld(fView.Document());
  if (fSavedPicture == nullptr || IsOurGWorldPurged(fSavedPicture) || fPointDrag || offscreen == nullptr) {
    PaneHooks::RecomputeWindow(fView.Document());
    PaneHooks::RedrawGraph(fView.Document());
    return;
  }
  OurCopyGWorldToGWorld(fSavedPicture, offscreen, GetBounds(fSavedPicture), fView.ViewRect());
  {
    APushPort push(offscreen);
    APushClip clip(fView.ViewRect());
    DrawSelection();
  }
  PaneHooks::OurFlushWindowPortBuffer(fView.Document());
  PaneHooks::RedrawPrimeViewIfNecessary(fView.Document(), &fView);
}

void A2DMouseTracking::DrawZoomRect(MPoint a, MPoint b) const {
  const MRect& r = fView.ViewRect();
  OurLineDrawH(r, a, MPoint{a.v, b.h}, kCrosshairColor, kCrosshairStep);
  OurLineDrawH(r, MPoint{b.v, a.h}, b, kCrosshairColor, kCrosshairStep);
  OurLineDrawV(r, a, MPoint{b.v, a.h}, kCrosshairColor, kCrosshairStep);
  OurLineDrawV(r, MPoint{a.v, b.h}, b, kCrosshairColor, kCrosshairStep);
}
