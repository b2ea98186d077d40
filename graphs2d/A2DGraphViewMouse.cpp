#include <cmath>
#include <utility>

#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/OurCursorsAndSounds.h"
#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/drawing/OurRegions.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DMouseTracking.h"
#include "graphs2d/IntersectionSnap.h"

namespace {

// Outside the view the drag loops poll so that panning keeps scrolling.
constexpr long kPollTicksOutside = 3;

MRect Box(long top, long left, long bottom, long right) {
  return MRect{SaturateToInt16(top), SaturateToInt16(left), SaturateToInt16(bottom), SaturateToInt16(right)};
}

void UnionRect(QRegion* region, const MRect& r) {
  if (IsOurRectEmpty(r)) return;
  QRegion* piece = OurNewRegion();
  OurSetRegionToRect(piece, r);
  OurUnionRegion(region, piece, region);
  OurDisposeRegion(piece);
}

bool IsCancelled() { return gCancelEvaluationForUIEvalThreads.load(std::memory_order_acquire) != 0; }

bool SamePoint(MPoint a, MPoint b) { return a.h == b.h && a.v == b.v; }

}  // namespace

A2DMouseTracking::~A2DMouseTracking() { OurDisposeGWorld(fSavedPicture); }

bool A2DMouseTracking::Request(GraphViewRequest request, MPoint point) {
  fTrackedPoint = point;
  fRequest = request;
  fResult = 0;
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&fView);
  return fResult != 0;
}

bool A2DMouseTracking::AxisBands(QRegion* region) const {
  OurSetRegionToEmpty(region);
  if (!fView.Record().axesShown) return false;
  const A2DViewWindow::AxesPlace place = fView.Window().PlaceAxes();
  const MRect& r = fView.ViewRect();
  MRect band;
  if (OurSectRect(Box(place.row - 7, r.left, place.row + 10, r.right), r, &band)) UnionRect(region, band);
  if (OurSectRect(Box(r.top, place.column - 16, r.bottom, place.column + 16), r, &band)) UnionRect(region, band);
  return true;
}

int32_t A2DMouseTracking::MouseDown(MPoint point, bool control, bool option, bool shift, bool doubleClick) {
  QRegion* mark = OurNewRegion();
  GetMarkCursorRgn(mark, false, point);
  const bool over = IsOurPointInRegion(point, mark);
  OurDisposeRegion(mark);
  bool forced = over;
  if (control) fSelectedGraph = 0, forced = true;

  const bool overPoint = Request(kRequestOverPoint, point);
  if (overPoint || forced || option) {
    if (shift) {
      DragZoomRect(point);
      return 0;
    }
    if (option) {
      DragToPan();
      return 0;
    }
  } else {
    if (shift) {
      DragZoomRect(point);
      return 0;
    }
    for (int32_t i = fView.Pictures().Count() - 1; i >= 0; --i) {
      const PastedPicture& p = fView.Pictures()[i];
      if (IsPointOverPicture(p.picture, point, fView.ViewTransform().XTOI_InfSafe(p.x),
                             fView.ViewTransform().YTOI_InfSafe(p.y))) {
        if (control) break;
        DragPicture(i, point);
        return 0;
      }
    }
  }

  bool overCurve = forced && fView.GraphCount() > 0;
  if (!overCurve) {
    QRegion* bands = OurNewRegion();
    const bool inBand = AxisBands(bands) && IsOurPointInRegion(point, bands);
    OurDisposeRegion(bands);
    if (inBand && !forced && !Request(kRequestOverPoint, point)) {
      DragToPan();
      return 0;
    }
    if (!Request(kRequestOverCurve, point)) return 1;
  }
  if (doubleClick) {
    fView.Zoom(kZoomIn);
  } else {
    SelectAndTrackPointOn2DGraph(point);
  }
  return 0;
}

void A2DMouseTracking::MouseMove(MPoint now) {
  if (fSelection.kind == kSelectNothing || IsOurPointInRect(now, fView.ViewRect())) return;
  ClearSelection();
  fHasCrosshair = false;
  PaneHooks::RedrawGraph(fView.Document());
}

void A2DMouseTracking::DragToPan() {
  SetFistCursor();
  MPoint before = fTrackedPoint, now = before;
  for (;;) {
    const long ticks = IsOurPointInRect(before, fView.ViewRect()) ? -1 : kPollTicksOutside;
    if (!OurWaitMouseUp(&now, ticks)) break;
    fView.MouseMoveForPanning(now, before);
    before = now;
  }
  InvalidateSelectionIfOffscreen();
  PaneHooks::SetCursorRegion(fView.Document());
  PaneHooks::SetRTErrorCheck(fView.Document());
}

void A2DMouseTracking::DragZoomRect(MPoint start) {
  PaneHooks::ClearMathAssistanceString(fView.Document());
  SaveGraphWithoutCrosshairs();
  MPoint now = start, shown = start;
  while (OurWaitMouseUp(&now, -1)) {
    if (SamePoint(now, shown)) continue;
    shown = now;
    PaneHooks::RedrawGraph(fView.Document());
    if (IsOurPointInRect(now, fView.ViewRect())) DrawZoomRect(start, now);
  }
  MouseUpForZoomRect(now, start);
}

void A2DMouseTracking::DragPicture(int32_t index, MPoint start) {
  SetGraphDraggingCursor();
  MPoint before = start, now = start;
  const auto visible = [&] {
    const PastedPicture& p = fView.Pictures()[index];
    return IsPictureVisible(p.picture, fView.ViewTransform().XTOI_InfSafe(p.x), fView.ViewTransform().YTOI_InfSafe(p.y),
                            fView.ViewRect());
  };
  while (OurWaitMouseUp(&now, -1)) {
    if (SamePoint(now, before)) continue;
    PastedPicture& p = fView.MutablePictures()[index];
    p.x += (now.h - before.h) * fView.ViewTransform().xUnitsPerPixel;
    p.y -= (now.v - before.v) * fView.ViewTransform().yUnitsPerPixel;
    before = now;
    PaneHooks::RedrawGraph(fView.Document());
    visible() ? SetGraphDraggingCursor() : SetPoofCursor();
  }
  PaneHooks::SetCursorRegion(fView.Document());
  if (!visible()) {
    OurDisposePicture(fView.MutablePictures()[index].picture);
    fView.MutablePictures().Remove(index);
    PaneHooks::RedrawGraph(fView.Document());
  }
  PaneHooks::SetDocDirty(fView.Document(), true);
}

void A2DMouseTracking::SelectAndTrackPointOn2DGraph(MPoint point) {
  if (IsDesperatelyLowOnMemory()) return;
  PaneHooks::ClearMathAssistanceString(fView.Document());
  SaveGraphWithoutCrosshairs();
  SetHorizontalArrowCursor();
  PrepareClickSound();
  fHasCrosshair = false;
  fPointDrag = false;
  // A point plot's point under the mouse turns the tracking into a drag of it.
  const auto track = [&](MPoint at) {
    MouseMoveForTracking(at);
    if (fSelection.kind == kSelectDraggedPoint && !fPointDrag) {
      fPointDrag = true;
      OurDisposeGWorld(std::exchange(fSavedPicture, nullptr));
    }
  };
  track(point);
  MPoint now = point;
  while (OurWaitMouseUp(&now, fPointDrag ? kPollTicksOutside : -1)) {
    if (!SamePoint(now, point) || (fPointDrag && !fView.AreAllGraphsDoneComputing())) {
      point = now;
      track(now);
    }
  }
  InvalidateSelectionIfOffscreen();
  PaneHooks::SetCursorRegion(fView.Document());
  OurDisposeGWorld(std::exchange(fSavedPicture, nullptr));
  ReleaseClickSound();
  if (fPointDrag) {
    ClearSelection();
    PaneHooks::RedrawGraph(fView.Document());
  }
  fPointDrag = false;
}

void A2DMouseTracking::MouseMoveForTracking(MPoint point) {
  if (!IsOurPointInRect(point, fView.ViewRect())) {
    ClearSelection();
    fHasCrosshair = false;
    PaneHooks::RedrawGraph(fView.Document());
    return;
  }
  // The previous answer's paths go with it; no other view's are touched.
  fSelection.FreePaths();
  fUnchanged = fMoved = fClearedByMove = false;
  Request(kRequestMouseMoved, point);
  if (fClearedByMove) {
    PaneHooks::RedrawGraph(fView.Document());
    return;
  }
  if (fPointDrag && fMoved) {
    if (A2DGraph* graph = fView.Graph(fSelectedGraph)) {
      PaneHooks::ChangeEquation(fView.Document(), graph, fSelection.x, fSelection.y);
    }
    fSelection.kind = kSelectDraggedPoint;
  }
  if (fUnchanged) return;
  RedrawGraphWithNewCrosshairs();
  if (fSelection.snapped) {
    PlayClickSound();
    ++fClicks;
  }
}

void A2DMouseTracking::ThreadedEvaluation() {
  fResult = 0;
  switch (fRequest) {
    case kRequestMouseMoved: ThreadedMouseMoved(); return;
    case kRequestOverCurve: fResult = ThreadedIsPointOverAnyCurve(); return;
    case kRequestOverPoint: fResult = ThreadedIsPointOverComplexPoint(); return;
    case kRequestSelection: {
      A2DGraph* graph = fView.Graph(fSelectedGraph);
      Selection answer = graph ? graph->GetSelection(fSelection.x, fSelection.y) : Selection();
      if (IsCancelled()) answer.Clear();
      fSelection = std::move(answer);
      return;
    }
    default: return;
  }
}

void A2DMouseTracking::ThreadedMouseMoved() {
  A2DGraph* graph = fView.Graph(fSelectedGraph);
  const double x = fView.ViewTransform().ITOX(fTrackedPoint.h), y = fView.ViewTransform().ITOY(fTrackedPoint.v);
  Selection answer = graph ? graph->GetSelection(x, y) : Selection();
  // A cancelled answer is dropped whole: the old crosshair stays.
  if (IsCancelled()) {
    fUnchanged = true;
    return;
  }
  const bool dragging = fPointDrag && fSelection.kind == kSelectDraggedPoint;
  if (answer.kind == kSelectNothing || !std::isfinite(answer.x) || !std::isfinite(answer.y)) {
    fSelection.Clear();
    fHasCrosshair = false;
    fUnchanged = fClearedByMove = true;
    return;
  }
  if (fView.GraphCount() > 1 && !answer.snapped) {
    SearchForIntersectionsWithOtherCurves(&answer);
    if (IsCancelled()) {
      fUnchanged = true;
      return;
    }
  }
  fSelection = std::move(answer);
  if (dragging) fSelection.kind = kSelectDraggedPoint;
  const MPoint pixel{SaturateToInt16(fView.ViewTransform().YTOI_InfSafe(fSelection.y)),
                     SaturateToInt16(fView.ViewTransform().XTOI_InfSafe(fSelection.x))};
  if (fHasCrosshair && SamePoint(pixel, fLastCrosshair) && (!fPointDrag || fView.AreAllGraphsDoneComputing())) {
    fUnchanged = true;
  } else if (fPointDrag && graph) {
    graph->SetParameter(kAttributeDraggedX, fSelection.x);
    graph->SetParameter(kAttributeDraggedY, fSelection.y);
    fMoved = true;
  }
  fLastCrosshair = pixel;
  fHasCrosshair = true;
}

bool A2DMouseTracking::ThreadedIsPointOverAnyCurve() {
  const double x = fView.ViewTransform().ITOX(fTrackedPoint.h), y = fView.ViewTransform().ITOY(fTrackedPoint.v);
  const auto tryGraphs = [&](auto accepts) {
    for (int32_t i = fView.GraphCount() - 1; i >= 0; --i) {
      A2DGraph* graph = fView.Graph(i);
      if (!accepts(graph->GraphClass()) || !graph->IsPointOverCurve(x, y)) continue;
      if (IsCancelled()) return false;
      fSelectedGraph = i;
      return true;
    }
    return false;
  };
  return tryGraphs([](int32_t c) { return c == kGraphClassPoints; }) ||
         tryGraphs([](int32_t c) { return c != kGraphClassAreas; }) || tryGraphs([](int32_t) { return true; });
}

bool A2DMouseTracking::ThreadedIsPointOverComplexPoint() {
  const double x = fView.ViewTransform().ITOX(fTrackedPoint.h), y = fView.ViewTransform().ITOY(fTrackedPoint.v);
  for (int32_t i = fView.GraphCount() - 1; i >= 0; --i) {
    A2DGraph* graph = fView.Graph(i);
    if (graph->GraphClass() != kGraphClassPoints || !graph->IsPointOverCurve(x, y)) continue;
    if (IsCancelled()) return false;
    fSelectedGraph = i;
    return true;
  }
  return false;
}

void A2DMouseTracking::SearchForIntersectionsWithOtherCurves(Selection* selection) {
  A2DGraph* selected = fView.Graph(fSelectedGraph);
  if (selected == nullptr) return;
  const double unitsPerPixel = fView.ViewTransform().xUnitsPerPixel, radius = 4 * unitsPerPixel;
  const Neighborhood a = selected->GetNeighborhood(selection->x, selection->y, radius, -INFINITY, INFINITY);
  if (!a.found) return;
  for (int32_t i = 0; i < fView.GraphCount(); ++i) {
    if (i == fSelectedGraph || IsCancelled()) continue;
    A2DGraph& other = *fView.Graph(i);
    const Neighborhood b = other.GetNeighborhood(selection->x, selection->y, radius, -INFINITY, INFINITY);
    if (b.found && FindIntersectionAndSnap(a, b, *selected, other, unitsPerPixel, selection)) return;
  }
}

void A2DMouseTracking::InvalidateSelectionIfOffscreen() {
  const Selection& s = fSelection;
  if (s.kind == kSelectNothing) return;
  const MRect& r = fView.ViewRect();
  const A2DTransform& t = fView.ViewTransform();
  bool keep;
  if (s.kind == kSelectBox) {
    keep = (t.XTOI_InfSafe(s.xRange[1]) >= r.left && t.XTOI_InfSafe(s.xRange[0]) < r.right) ||
           (t.YTOI_InfSafe(s.yRange[0]) >= r.top && t.YTOI_InfSafe(s.yRange[1]) < r.bottom);
  } else if (!std::isfinite(s.x) || !std::isfinite(s.y)) {
    keep = false;
  } else {
    const int32_t h = t.XTOI_InfSafe(s.x), v = t.YTOI_InfSafe(s.y);
    keep = (h >= r.left && h < r.right) || (v >= r.top && v < r.bottom);
  }
  if (!keep) ClearSelection();
}

void A2DMouseTracking::GetHandCursorRgn(QRegion* region, bool panModifier) const {
  if (panModifier) {
    OurSetRegionToRect(region, fView.ViewRect());
    return;
  }
  AxisBands(region);
}

void A2DMouseTracking::GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) {
  OurSetRegionToEmpty(region);
  if (markModifier) {
    OurSetRegionToRect(region, fView.ViewRect());
    return;
  }
  if (Request(kRequestOverPoint, point)) {
    OurSetRegionToRect(region, Box(point.v, point.h, point.v + 1, point.h + 1));
    return;
  }
  const Selection& s = fSelection;
  if (s.kind == kSelectNothing || !std::isfinite(s.x) || !std::isfinite(s.y)) return;
  const MRect& r = fView.ViewRect();
  const int32_t h = fView.ViewTransform().XTOI_InfSafe(s.x), v = fView.ViewTransform().YTOI_InfSafe(s.y);
  if (h >= r.left && h < r.right) UnionRect(region, Box(r.top, h - 5, r.bottom, h + 5));
  if (v >= r.top && v < r.bottom) UnionRect(region, Box(v - 5, r.left, v + 5, r.right));
}

void A2DMouseTracking::GetDragCursorRgn(QRegion* region) const {
  OurSetRegionToEmpty(region);
  for (const PastedPicture& p : fView.Pictures()) {
    MRect frame;
    OurPictureRect(p.picture, &frame);
    const int32_t h = fView.ViewTransform().XTOI_InfSafe(p.x), v = fView.ViewTransform().YTOI_InfSafe(p.y);
    UnionRect(region, Box(v - (frame.bottom - frame.top), h, v, h + (frame.right - frame.left)));
  }
}

void A2DMouseTracking::MouseUpForZoomRect(MPoint end, MPoint start) {
  PaneHooks::SetCursorRegion(fView.Document());
  OurDisposeGWorld(std::exchange(fSavedPicture, nullptr));
  const MRect& r = fView.ViewRect();
  if (IsOurPointInRect(end, r) && IsOurPointInRect(start, r) && end.h != start.h && end.v != start.v) {
    const A2DTransform& t = fView.ViewTransform();
    fView.DialogZoom(t.ITOX(start.h), t.ITOX(end.h), t.ITOY(start.v), t.ITOY(end.v));
  }
  PaneHooks::RedrawGraph(fView.Document());
}

void A2DMouseTracking::ReevaluateSelection() {
  if (fSelection.kind != kSelectBox && fSelection.kind != kSelectVector) return;
  fRequest = kRequestSelection;
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&fView);
}
