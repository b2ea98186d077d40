#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/NumberRounding.h"

namespace {

constexpr int kAnimationFrames = 5;
// Ranges are at most 10^300 times the visible extent apart, and reaching
// the next step of the scale family takes at most three steps.
constexpr int kLargestDecade = 300;
constexpr int kMaximumFamilySteps = 8;
constexpr int kRoundDigits = 14;
// Pixels per unit times scale.
constexpr double kScalePixels = 16;
constexpr double kCoverMargin = 1e-12;

// 10^n by repeated multiplication, or division by such a power.
double ZoomPowerOfTen(int n) {
  double p = 1.0;
  for (int i = 0; i < std::abs(n); ++i) p *= 10.0;
  return n < 0 ? 1.0 / p : p;
}

// One step of the 1, 2.5, 5 family; scales outside it stay.
void StepScale(double* scale, int32_t* state, bool out) {
  if (!(std::isfinite(*scale) && *scale > 0)) return;
  const double twice = 2 * *scale;
  const int e = DoubleToInt32(std::floor(std::log10(twice)));
  double p = 0.5 * ZoomPowerOfTen(e);
  long d = std::lround(twice / ZoomPowerOfTen(e));
  if (d == 10) d = 1, p *= 10;
  double next;
  int32_t nextState;
  switch (d) {
    case 1: next = out ? 2 * p : p / 2, nextState = out ? 5 : 1; break;
    case 2: next = out ? 5 * p : p, nextState = out ? 1 : 2; break;
    case 5: next = out ? 10 * p : 2 * p, nextState = out ? 2 : 5; break;
    default: return;
  }
  if (!(std::isfinite(next) && next > 0)) return;
  *scale = next, *state = nextState;
}

// Zooms one axis to [lo, hi]; extent is the world width the view shows.
void ZoomAxisToRange(double lo, double hi, double extent, double* scale, int32_t* state, double* minimum) {
  if (lo > hi) std::swap(lo, hi);
  const double r = hi - lo;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(r > 0) || !std::isfinite(r)) return;
  if (!(extent > 0) || !std::isfinite(extent)) return;
  const int e = std::clamp(DoubleToInt32(std::floor(std::log10(r / extent))), -kLargestDecade, kLargestDecade);
  const double m = ZoomPowerOfTen(e);
  double covered = extent * m, newScale = *scale * m;
  int32_t newState = *state;
  for (int step = 0; covered < r && step < kMaximumFamilySteps; ++step) {
    const double factor = newState == 5 ? 2.5 : 2.0;
    newState = newState == 2 ? 5 : newState == 5 ? 1 : 2;
    covered *= factor, newScale *= factor;
  }
  if (!(covered >= r) || !std::isfinite(newScale) || !(newScale > 0)) return;
  if (newScale == *scale && newState == *state && lo >= *minimum && hi <= *minimum + extent) return;
  *scale = newScale, *state = newState;
  *minimum = lo - (covered - r) / 2;
}

// Scale and minimum that put lo on the first pixel and hi on the last of
// `pixels`; false when the range or the view has no size.
bool ExactAxisRange(double lo, double hi, int32_t pixels, double* scale, double* minimum) {
  if (lo > hi) std::swap(lo, hi);
  // Rounding never leaves an end outside the view.
  const double margin = (hi - lo) * kCoverMargin;
  const double ppu = (pixels - 1) / (hi - lo + 2 * margin);
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(ppu > 0) || !std::isfinite(ppu)) return false;
  const double s = kScalePixels / ppu;
  if (!(s > 0) || !std::isfinite(s)) return false;
  *scale = s, *minimum = lo - margin;
  return true;
}

}  // namespace

void A2DGraphView::ShiftStateToRoundNumbers() {
  FinishSettingState();
  Make2DTransform();
  const A2DTransform& t = ViewTransform();
  const double xFirst = FirstMultipleAtOrAbove(fWindow.State().xMinimum,
                                               NumberSpacing(fWindow.State().xScale, fWindow.State().xTickState));
  const double yFirst = FirstMultipleAtOrAbove(fWindow.State().yMinimum,
                                               NumberSpacing(fWindow.State().yScale, fWindow.State().yTickState));
  const double xShift = xFirst - t.ITOX(WorldToPixel(xFirst, t.xPixelsPerUnit, t.xOrigin));
  const double yShift = yFirst - t.ITOY(WorldToPixel(yFirst, t.yPixelsPerUnit, t.yOrigin));
  if (std::isfinite(xShift)) fWindow.State().xMinimum = RoundDouble(fWindow.State().xMinimum + xShift, kRoundDigits);
  if (std::isfinite(yShift)) fWindow.State().yMinimum = RoundDouble(fWindow.State().yMinimum + yShift, kRoundDigits);
}

void A2DGraphView::DialogZoomX(double x1, double x2) {
  const double extent = (fViewRect.right - fViewRect.left - 1) * ViewTransform().xUnitsPerPixel;
  ZoomAxisToRange(x1, x2, extent, &fWindow.State().xScale, &fWindow.State().xTickState, &fWindow.State().xMinimum);
}

void A2DGraphView::DialogZoomY(double y1, double y2) {
  const double extent = (fViewRect.bottom - fViewRect.top - 1) * ViewTransform().yUnitsPerPixel;
  ZoomAxisToRange(y1, y2, extent, &fWindow.State().yScale, &fWindow.State().yTickState, &fWindow.State().yMinimum);
}

void A2DGraphView::DialogZoom(double x1, double x2, double y1, double y2) {
  Make2DTransform();
  DialogZoomX(x1, x2);
  DialogZoomY(y1, y2);
  ShiftStateToRoundNumbers();
  FinishSettingState();
  Make2DTransform();
  ViewChanged();
  PaneHooks::SetRTErrorCheck(fDocument);
  PaneHooks::SetCursorRegion(fDocument);
}

// The asked window exactly, not a scale of the round family: the minima
// stay where asked rather than moving to round numbers.
void A2DGraphView::ShowRanges(double x1, double x2, double y1, double y2) {
  const MRect& r = fViewRect;
  const bool xTaken = ExactAxisRange(x1, x2, r.right - r.left, &fWindow.State().xScale, &fWindow.State().xMinimum);
  const bool yTaken = ExactAxisRange(y1, y2, r.bottom - r.top, &fWindow.State().yScale, &fWindow.State().yMinimum);
  if (!xTaken && !yTaken) return;
  FinishSettingState();
  Make2DTransform();
  ViewChanged();
  PaneHooks::SetRTErrorCheck(fDocument);
  PaneHooks::SetCursorRegion(fDocument);
}

bool A2DGraphView::ShowAllData(bool doIt) {
  const A2DTransform& g = GraphTransform();
  const MRect& r = g.pixelRect;
  double xlo = g.ITOX(r.left), xhi = g.ITOX(r.right), ylo = g.ITOY(r.bottom), yhi = g.ITOY(r.top);
  bool grew = false;
  for (A2DGraph* graph : Graphs()) {
    double b[4];
    if (!graph->GetDataBounds(&b[0], &b[1], &b[2], &b[3])) continue;
    const auto widen = [&](double v, double* end, bool lower) {
      if (!std::isfinite(v) || (lower ? v >= *end : v <= *end)) return;
      *end = v;
      grew = true;
    };
    widen(b[0], &xlo, true), widen(b[1], &xhi, false), widen(b[2], &ylo, true), widen(b[3], &yhi, false);
  }
  if (!doIt) return grew;
  DialogZoom(xlo, xhi, ylo, yhi);
  return false;
}

void A2DGraphView::ResetView(bool clearMinima) {
  SetDefaultViewState();
  if (clearMinima) {
    fWindow.State().xMinimum = fWindow.State().yMinimum = -2.0;
    FinishSettingState();
    DisposePictures();
    fWindow.State().leading[0] = 0, fWindow.State().leading[1] = 1;
    fRecord.axesShown = fRecord.graphPaperShown = 1;
  }
  Make2DTransform();
  ViewChanged();
}

void A2DGraphView::Zoom(ZoomCommand command) {
  switch (command) {
    case kZoomDefaultView:
      ResetView(false);
      PaneHooks::SetDocDirty(fDocument, true);
      return;
    case kZoomReset: ResetView(true); return;
    case kZoomIn:
    case kZoomInX:
    case kZoomInY:
    case kZoomOut:
    case kZoomOutX:
    case kZoomOutY:
      ZoomByCommand(command);
      PaneHooks::SetDocDirty(fDocument, true);
      return;
  }
}

void A2DGraphView::ZoomByCommand(ZoomCommand command) {
  PaneHooks::SetRTErrorCheck(fDocument);
  PaneHooks::CheckWindowEventLoopTimerInterval(fDocument);
  Make2DTransform();
  const ViewState2D old = fWindow.State();
  const MRect& r = fViewRect;
  const A2DTransform& t = ViewTransform();

  bool scroll = false;
  double fixedX, fixedY;
  int32_t fixedH, fixedV;
  const Selection& selection = CurrentSelection();
  if (selection.kind != kSelectNothing && !(std::isfinite(selection.x) && std::isfinite(selection.y))) {
    ClearSelection();
  }
  if (selection.kind != kSelectNothing) {
    fixedX = selection.x, fixedY = selection.y;
    scroll = !t.IsPointOnScreen(fixedX, fixedY);
    fixedH = scroll ? (r.left + r.right) / 2 : t.XTOI_InfSafe(fixedX);
    fixedV = scroll ? (r.top + r.bottom) / 2 : t.YTOI_InfSafe(fixedY);
  } else {
    const A2DViewWindow::AxesPlace place = fWindow.PlaceAxes();
    fixedH = place.column, fixedV = place.row;
    fixedX = t.ITOX(fixedH), fixedY = t.ITOY(fixedV);
  }

  if (!scroll) {
    const bool out = command >= kZoomOut;
    const bool x = command == kZoomIn || command == kZoomOut || command == kZoomInX || command == kZoomOutX;
    const bool y = command == kZoomIn || command == kZoomOut || command == kZoomInY || command == kZoomOutY;
    if (x) StepScale(&fWindow.State().xScale, &fWindow.State().xTickState, out);
    if (y) StepScale(&fWindow.State().yScale, &fWindow.State().yTickState, out);
    FinishSettingState();
    Make2DTransform();
  }
  fWindow.State().xMinimum = fixedX - (fixedH - r.left) / fWindow.State().xPixelsPerUnit;
  fWindow.State().yMinimum = fixedY + (r.bottom - fixedV - 1) / fWindow.State().yPixelsPerUnit;
  ShiftStateToRoundNumbers();
  FinishSettingState();
  Make2DTransform();
  const ViewState2D target = fWindow.State();

  for (int k = 1; k < kAnimationFrames; ++k) {
    const auto mix = [&](double a, double b) { return a + (b - a) * k / kAnimationFrames; };
    fWindow.State() = old;
    fWindow.State().xOrigin = mix(old.xOrigin, target.xOrigin),
    fWindow.State().yOrigin = mix(old.yOrigin, target.yOrigin);
    fWindow.State().xPixelsPerUnit = mix(old.xPixelsPerUnit, target.xPixelsPerUnit);
    fWindow.State().yPixelsPerUnit = mix(old.yPixelsPerUnit, target.yPixelsPerUnit);
    fWindow.State().xMinimum = mix(old.xMinimum, target.xMinimum),
    fWindow.State().yMinimum = mix(old.yMinimum, target.yMinimum);
    Make2DTransform();
    ViewChanged();
    SleepHalfSecondOrUntilDoneComputing();
    PaneHooks::RedrawGraph(fDocument);
    PaneHooks::OurFlushWindowPortBuffer(fDocument);
  }
  fWindow.State() = target;
  Make2DTransform();
  ViewChanged();
  SleepHalfSecondOrUntilDoneComputing();
  fTracking.ReevaluateSelection();
  PaneHooks::RedrawGraph(fDocument);
}

void A2DGraphView::Pan(int32_t dh, int32_t dv) {
  for (A2DGraph* graph : Graphs()) graph->PauseComputing();
  const A2DTransform before = GraphTransform();
  const double xMinimum = fWindow.State().xMinimum, yMinimum = fWindow.State().yMinimum;
  const int32_t oldH = WorldToPixel(xMinimum, before.xPixelsPerUnit, before.xOrigin);
  const int32_t oldV = WorldToPixel(yMinimum, before.yPixelsPerUnit, before.yOrigin);
  fWindow.State().xMinimum += dh / fWindow.State().xPixelsPerUnit;
  fWindow.State().yMinimum += dv / fWindow.State().yPixelsPerUnit;
  ShiftStateToRoundNumbers();
  FinishSettingState();
  Make2DTransform();
  const A2DTransform& after = GraphTransform();
  const int32_t shiftH = WorldToPixel(xMinimum, after.xPixelsPerUnit, after.xOrigin) - oldH;
  const int32_t shiftV = WorldToPixel(yMinimum, after.yPixelsPerUnit, after.yOrigin) - oldV;
  for (A2DGraph* graph : Graphs()) graph->Pan(shiftH, shiftV);
  PaneHooks::SetDocDirty(fDocument, true);
  PaneHooks::RedrawGraph(fDocument);
}

bool A2DGraphView::MouseWheel(int32_t dh, int32_t dv) {
  Pan(3 * dh, 3 * dv);
  return true;
}

void A2DGraphView::MouseMoveForPanning(MPoint now, MPoint before) {
  const MRect& r = fViewRect;
  if (IsOurPointInRect(now, r)) {
    if (now.h == before.h && now.v == before.v && !PaneHooks::GetGraphingAnimationState(fDocument) &&
        AreAllGraphsDoneComputing()) {
      return;
    }
    Pan(before.h - now.h, before.v - now.v);
    return;
  }
  int32_t dh = before.h - now.h, dv = before.v - now.v;
  if (now.h < r.left) dh += std::min((r.left - now.h) / 4, 20);
  if (now.h >= r.right) dh -= std::min((now.h - r.right + 1) / 4, 20);
  if (now.v < r.top) dv += std::min((r.top - now.v) / 4, 20);
  if (now.v >= r.bottom) dv -= std::min((now.v - r.bottom + 1) / 4, 20);
  Pan(dh, dv);
}
