#include "graphs2d/A2DGraphView.h"

#include <cmath>
#include <utility>

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/UsableRanges.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
// Parameter numbers of the coordinate display.

int32_t Mod(int32_t a, int32_t n) {
  const int32_t r = a % n;
  return r < 0 ? r + n : r;
}
}  // namespace

A2DGraphView::A2DGraphView() {
  fRecord.keptRanges = RangeBits({kCoordR, kCoordTheta, kCoordT});
  // t from 0 to 1, r from 0 to 2, theta from 0 to 2 pi.
  fRecord.ranges[kCoordT][0] = 0, fRecord.ranges[kCoordT][1] = 1;
  fRecord.ranges[kCoordR][0] = 0, fRecord.ranges[kCoordR][1] = 2;
  fRecord.ranges[kCoordTheta][0] = 0, fRecord.ranges[kCoordTheta][1] = 2 * gPi;
  fRecord.graphPaperShown = 1;
  SetDefaultViewState();
}

std::unique_ptr<AGraphView> MakeA2DGraphView() { return std::make_unique<A2DGraphView>(); }

A2DGraphView::~A2DGraphView() {
  DisposePictures();
  DeleteGraphs();
  OurDisposeGWorld(fSampleBuffer);
}

void A2DGraphView::SetDefaultViewState() { fWindow.SetDefaultState(); }

void A2DGraphView::FinishSettingState() { fWindow.FinishSettingState(); }

// Without the buffer (refused memory) the graphs draw at the view's size.
void A2DGraphView::Make2DTransform() { fWindow.MakeTransforms(fDocument, DrawsThroughSampleBuffer()); }

int32_t A2DGraphView::GraphVisibility(int32_t graph) {
  A2DGraph* g = Graph(graph);
  return g ? g->GraphVisibility() : 0;
}

bool A2DGraphView::IsDoneComputing(int32_t graph) {
  A2DGraph* g = Graph(graph);
  return g ? g->IsDoneComputing() : true;
}

bool A2DGraphView::UsesGrainSlider(int32_t graph) {
  A2DGraph* g = Graph(graph);
  return g ? g->UsesGrainSlider() : false;
}

bool A2DGraphView::AreAllGraphsDoneComputing() {
  for (A2DGraph* graph : Graphs()) {
    if (!graph->IsDoneComputing()) return false;
  }
  return true;
}

StoredView2D A2DGraphView::StoredView() const {
  StoredView2D stored{};
  for (int i = 0; i < 2; ++i) {
    stored.t[i] = fRecord.ranges[kCoordT][i], stored.r[i] = fRecord.ranges[kCoordR][i];
    stored.theta[i] = fRecord.ranges[kCoordTheta][i];
  }
  stored.scale[0] = fWindow.State().xScale, stored.scale[1] = fWindow.State().yScale;
  stored.bottomLeft[0] = fWindow.State().xMinimum, stored.bottomLeft[1] = fWindow.State().yMinimum;
  stored.tickState[0] = fWindow.State().xTickState, stored.tickState[1] = fWindow.State().yTickState;
  stored.axes = fRecord.axesShown != 0;
  stored.graphPaper = fRecord.graphPaperShown != 0;
  return stored;
}

void A2DGraphView::ViewChanged() {
  for (A2DGraph* graph : Graphs()) graph->ViewChanged();
}

bool A2DGraphView::CopyDomainFrom(const AGraphView& other) {
  const auto* from = dynamic_cast<const A2DGraphView*>(&other);
  if (from == nullptr || from == this) return false;
  fWindow.State() = from->fWindow.State();
  for (int32_t p : {kCoordR, kCoordTheta, kCoordT}) {
    fRecord.ranges[p][0] = from->fRecord.ranges[p][0];
    fRecord.ranges[p][1] = from->fRecord.ranges[p][1];
  }
  return true;
}

void A2DGraphView::SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) {
  if (A2DGraph* g = Graph(graph)) g->SetParameter(attribute, value);
  if (attribute == kAttributeColor) PaneHooks::InvalGraphRect(fDocument);
  if (attribute == kAttributeGrain) ClearSelection();
  if (!(attribute == kAttributeColor && value == 999)) PaneHooks::SetDocDirty(fDocument, true);
}

void A2DGraphView::SetViewParameter(ViewAttribute attribute) {
  if (attribute == kAttributeSaveFinishedModels || attribute == kAttributeUpdateSavedVertexObjects ||
      attribute == kAttributeUpdateVertexObjects) {
    return;
  }
  PaneHooks::SetDocDirty(fDocument, true);
  if (attribute == kAttributeShowAxes) fRecord.axesShown = !fRecord.axesShown;
  if (attribute == kAttributeShowGraphPaper) fRecord.graphPaperShown = !fRecord.graphPaperShown;
}

MPoint A2DGraphView::GetDemoMouseLocation(int32_t) { return MPoint{0, 0}; }

int32_t A2DGraphView::MouseDown(MPoint point, long, bool command, bool option, bool control, bool shift,
                                bool doubleClick) {
  if (command) return 1;
  return fTracking.MouseDown(point, control, option, shift, doubleClick);
}

void A2DGraphView::MouseUp(MPoint) {}

void A2DGraphView::MouseMove(MPoint now, MPoint) { fTracking.MouseMove(now); }

void A2DGraphView::GetHandCursorRgn(QRegion* region, bool panModifier) {
  fTracking.GetHandCursorRgn(region, panModifier);
}

void A2DGraphView::GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) {
  fTracking.GetMarkCursorRgn(region, markModifier, point);
}

void A2DGraphView::GetDragCursorRgn(QRegion* region) { fTracking.GetDragCursorRgn(region); }

void A2DGraphView::Threaded2DGraphViewEvaluation() { fTracking.ThreadedEvaluation(); }

void A2DGraphView::SleepHalfSecondOrUntilDoneComputing() {
  const uint32_t deadline = OurTime() + OurDuration(30);
  while (!AreAllGraphsDoneComputing() && !OurTimeIsPast(OurTime(), deadline)) OurSleep(50000);
}

bool A2DGraphView::DrawsThroughSampleBuffer() const {
  return PaneHooks::UseSampleBuffer(fDocument) && fSampleBuffer != nullptr;
}

void A2DGraphView::EnsureSampleBuffer() {
  if (!PaneHooks::UseSampleBuffer(fDocument)) return;
  const int32_t width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
  if (fSampleBuffer && 2 * width <= fSampleWidth && 2 * height <= fSampleHeight) return;
  OurDisposeGWorld(fSampleBuffer);
  fSampleBuffer = OurNewGWorld(MRect{0, 0, static_cast<int16_t>(2 * height), static_cast<int16_t>(2 * width)});
  fSampleWidth = fSampleBuffer ? 2 * width : 0;
  fSampleHeight = fSampleBuffer ? 2 * height : 0;
}

void A2DGraphView::Resize() {
  for (A2DGraph* graph : Graphs()) graph->PauseComputing();
  EnsureSampleBuffer();
  FinishSettingState();
  Make2DTransform();
  for (A2DGraph* graph : Graphs()) graph->Resize();
}

void A2DGraphView::InstallViewState(const StoredView2D& stored) {
  for (int i = 0; i < 2; ++i) {
    fRecord.ranges[kCoordT][i] = stored.t[i], fRecord.ranges[kCoordR][i] = stored.r[i];
    fRecord.ranges[kCoordTheta][i] = stored.theta[i];
  }
  SetDefaultViewState();
  // An axis the stored state can't describe keeps its default; scales
  // outside the 1, 2.5, 5 family stay, as documents may hold them.
  const auto usable = [&](int i) {
    const int32_t s = stored.tickState[i];
    return stored.scale[i] > 0 && IsUsableViewValue(stored.scale[i]) && IsUsableViewValue(stored.bottomLeft[i]) &&
           (s == 1 || s == 2 || s == 5);
  };
  if (usable(0)) {
    fWindow.State().xScale = stored.scale[0], fWindow.State().xMinimum = stored.bottomLeft[0],
    fWindow.State().xTickState = stored.tickState[0];
  }
  if (usable(1)) {
    fWindow.State().yScale = stored.scale[1], fWindow.State().yMinimum = stored.bottomLeft[1],
    fWindow.State().yTickState = stored.tickState[1];
  }
  fRecord.axesShown = stored.axes;
  fRecord.graphPaperShown = stored.graphPaper;
  FinishSettingState();
  Make2DTransform();
}

void A2DGraphView::DisposePictures() {
  for (PastedPicture& p : fPictures) OurDisposePicture(p.picture);
  fPictures.RemoveAllElements();
}

int A2DGraphView::AddStoredPicture(const OurPicture* picture, double x, double y) {
  OurPicture* copy = OurCopyPicture(picture);
  if (copy == nullptr) return 1;
  if (fPictures.Add(PastedPicture{copy, x, y}) == 0) return 0;
  OurDisposePicture(copy);
  return 1;
}

void A2DGraphView::PastePicture(const OurPicture* picture, const MPoint* point) {
  OurPicture* copy = OurCopyPicture(picture);
  if (copy == nullptr) return;
  PaneHooks::SetDocDirty(fDocument, true);
  MRect frame;
  OurPictureRect(copy, &frame);
  const int32_t width = frame.right - frame.left, height = frame.bottom - frame.top;
  MPoint p;
  if (point) {
    p = *point;
  } else {
    p.h = static_cast<int16_t>(fViewRect.left + (fViewRect.right - fViewRect.left) / 2);
    p.v = static_cast<int16_t>(fViewRect.bottom - (fViewRect.bottom - fViewRect.top) / 2);
  }
  const double x = (p.h - fViewRect.left - width / 2) / fWindow.State().xPixelsPerUnit + fWindow.State().xMinimum;
  const double y = fWindow.State().yMinimum - (fViewRect.bottom - p.v - height / 2) / fWindow.State().yPixelsPerUnit;
  if (fPictures.Add(PastedPicture{copy, x, y}) != 0) {
    OurDisposePicture(copy);
    return;
  }
  PaneHooks::RedrawGraph(fDocument);
}

int32_t A2DGraphView::Draw(bool drawGraphs) { return Draw(nullptr, nullptr, drawGraphs); }

int32_t A2DGraphView::Draw(const AListGenericSmall<int32_t>* indexes, const AGraphColor* colour, bool drawGraphs) {
  if (IsDesperatelyLowOnMemory() || fViewRect.right <= fViewRect.left || fViewRect.bottom <= fViewRect.top) return 1;
  const int64_t now = OurGetMicroseconds();
  if (fLastDrawTime != 0) PaneHooks::FrameRateFeedback(fDocument, (now - fLastDrawTime) * 1e-6);
  fLastDrawTime = now;

  EnsureSampleBuffer();
  APushClip clip(fViewRect);
  OurPenNormal();
  OurForeColorBlack();
  OurBackColorWhite();
  Make2DTransform();
  const bool hidden = colour != nullptr && colour->fType == AGraphColor::kHidden;
  DrawBackgroundAndGraphs(indexes, hidden, drawGraphs);
  if (!hidden && fRecord.axesShown) fWindow.DrawAxes(colour);
  if (drawGraphs) {
    DrawPictures();
    fTracking.DrawSelection();
  }
  return 1;
}

void A2DGraphView::DrawGraphs(const AListGenericSmall<int32_t>* indexes) {
  if (indexes == nullptr) {
    for (A2DGraph* graph : Graphs()) graph->Draw();
    return;
  }
  for (int32_t index : *indexes) {
    if (A2DGraph* graph = Graph(index)) graph->Draw();
  }
}

void A2DGraphView::DrawBackgroundAndGraphs(const AListGenericSmall<int32_t>* indexes, bool hidden, bool drawGraphs) {
  // The grid phase: where the scale multiples at or below the minima fall.
  const A2DTransform& t = ViewTransform();
  const int32_t px =
      WorldToPixel(fWindow.State().xMinimum - std::fmod(fWindow.State().xMinimum, fWindow.State().xScale),
                   t.xPixelsPerUnit, t.xOrigin);
  const int32_t py =
      WorldToPixel(fWindow.State().yMinimum - std::fmod(fWindow.State().yMinimum, fWindow.State().yScale),
                   t.yPixelsPerUnit, t.yOrigin);
  const int32_t xoff = px % 16, yoff = py % 16;
  const bool paper = !hidden && fRecord.graphPaperShown;
  if (!DrawsThroughSampleBuffer()) {
    if (paper) {
      DrawGraphPaper(xoff, yoff, fViewRect, false);
    } else {
      OurEraseRect(fViewRect);
    }
    if (drawGraphs) DrawGraphs(indexes);
    return;
  }
  const MRect bufferRect = GraphTransform().pixelRect;
  {
    APushPort port(fSampleBuffer);
    APushClip bufferClip(bufferRect);
    OurPenNormal();
    OurForeColorBlack();
    OurBackColorWhite();
    OurPenSize(2);
    if (paper) {
      DrawGraphPaper((2 * (xoff - fViewRect.left)) % 32, (2 * (yoff - fViewRect.top)) % 32, bufferRect, true);
    } else {
      OurEraseRect(bufferRect);
    }
    if (drawGraphs) DrawGraphs(indexes);
  }
  OurCopyGWorldToCurrentPort(fSampleBuffer, bufferRect, fViewRect);
}

void A2DGraphView::DrawGraphPaper(int32_t xoff, int32_t yoff, const MRect& r, bool doubled) {
  ALockPixelsOnCurrentPort lock;
  if (lock.LockFailed()) return;
  const MRect bounds = GetBounds();
  const int32_t top = std::max<int32_t>(r.top, bounds.top), bottom = std::min<int32_t>(r.bottom, bounds.bottom);
  const int32_t left = std::max<int32_t>(r.left, bounds.left), right = std::min<int32_t>(r.right, bounds.right);
  if (left >= right || top >= bottom) return;
  uint8_t* base = GetBaseAddress();
  const long rowBytes = GetRowBytes();
  const int32_t period = doubled ? 32 : 16;
  const auto onLine = [&](int32_t offset) {
    const int32_t m = Mod(offset, period);
    return m == 0 || (doubled && m == 1);
  };
  // The first grid column at or right of left.
  const int32_t firstColumn = left + Mod(xoff - left, period);
  for (int32_t v = top; v < bottom; ++v) {
    uint32_t* row = reinterpret_cast<uint32_t*>(base + (v - bounds.top) * rowBytes) - bounds.left;
    if (onLine(v - yoff)) {
      std::fill(row + left, row + right, kGridLineColor);
      continue;
    }
    std::fill(row + left, row + right, kWhite);
    for (int32_t h = firstColumn - period; h < right; h += period) {
      for (int32_t w = 0; w < (doubled ? 2 : 1); ++w) {
        if (h + w >= left && h + w < right) row[h + w] = kGridLineColor;
      }
    }
  }
}

void A2DGraphView::DrawPictures() {
  for (const PastedPicture& p : fPictures) {
    MRect frame;
    OurPictureRect(p.picture, &frame);
    const int32_t h = ViewTransform().XTOI_InfSafe(p.x), v = ViewTransform().YTOI_InfSafe(p.y);
    OurDrawPicture(p.picture, h, v - (frame.bottom - frame.top), fViewRect, 1.0);
  }
}
