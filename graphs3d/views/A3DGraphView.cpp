#include "graphs3d/views/A3DGraphView.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/UsableRanges.h"
#include "graphs3d/views/DefaultRanges.h"
#include "graphs3d/drawing/GraphViewMinimumSize.h"
#include "graphs3d/views/SpinStep.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/DrawContext.h"
#include "renderer/Frame.h"

namespace {

constexpr int kOutOfMemory = 36;

}  // namespace

A3DGraphView::A3DGraphView() {
  fRecord.keptRanges =
      RangeBits({kCoordX, kCoordY, kCoordZ, kCoordR, kCoordTheta, kCoordPhi, kCoordT, kCoordU, kCoordV});
  SetDefaultRanges(fRecord);
  fRecord.axesShown = 1;
  TakeBoxFromRanges();
  SetViewParameter(kAttributeDefaultSpin);
}

bool A3DGraphView::IsUsableBoxRange(double low, double high) {
  constexpr double kLargestFloat = std::numeric_limits<float>::max();
  // The arrowhead reaches 5 % of the span past the end.
  constexpr double kArrowReach = 0.05;
  // OpenGL takes the box's scale, 4 / span, times the projection's
  // steepest factor, cot(0.5 degrees) at the smallest zoom's field of view
  // of 1 degree, into float matrices, and its lighting squares what they
  // hold: well short of the root of the largest float, lit surfaces vanish.
  constexpr double kSteepestProjection = 114.59;
  // Vertices round to floats, by half a float step at the box's end, and
  // OpenGL's float matrices move them by about a box's width over the
  // number of steps across it: across fewer than three steps its pictures
  // go blank, across eight the model stays in its box, drawn in steps.
  constexpr double kLeastFloatSteps = 8;
  if (!IsUsableViewRange(low, high)) return false;
  const double span = std::fabs(high - low), end = std::max(std::fabs(low), std::fabs(high));
  if (!(end + kArrowReach * span <= kLargestFloat && span >= 4 * kSteepestProjection / std::sqrt(kLargestFloat)))
    return false;
  const float endFloat = float(end);
  const double step = double(std::nextafter(endFloat, std::numeric_limits<float>::infinity())) - double(endFloat);
  return span >= kLeastFloatSteps * step;
}

bool A3DGraphView::IsUsableRange(int32_t parameter, double low, double high) const {
  if (parameter >= kCoordX && parameter <= kCoordZ) return IsUsableBoxRange(low, high);
  return ASpaceGraphView<A3DGraph>::IsUsableRange(parameter, low, high);
}

// Graph jobs read the box through the draw context: a plain redraw must
// not write it.
void A3DGraphView::TakeBoxFromRanges() {
  double* box[6] = {&fCamera.xmin, &fCamera.xmax, &fCamera.ymin, &fCamera.ymax, &fCamera.zmin, &fCamera.zmax};
  for (int i = 0; i < 6; ++i) {
    const double value = fRecord.ranges[kCoordX + i / 2][i % 2];
    if (*box[i] != value) *box[i] = value;
  }
}

void A3DGraphView::PrepareContext(bool force) {
  if (fContext->document != fDocument) SetDrawContextWindow(fContext.get(), fContext->window, fDocument);
  TakeBoxFromRanges();
  Qd3d_SetPane(fContext.get(), fViewRect, &fCamera, force);
}

void A3DGraphView::ConstructContextNeededByGraphConstructors() {
  AtLeastOnePixel(&fViewRect);
  PrepareContext(false);
}

void A3DGraphView::SetSpin(AVector axis, double speed) {
  if (!IsUsableSpin(axis, speed)) axis = {0, 0, -1}, speed = 0;
  fSpinAxis = axis;
  fRecord.spinAngle[0] = speed;
  StopSpinTiming();
}

void A3DGraphView::StopSpinTiming() {
  fPreviousFrame = 0;
  fPreviousAngle = 0;
}

void A3DGraphView::TurnBy(const Matrix3& m) {
  MultiplyMatrix(m, fCamera.rotation, fCamera.rotation);
  OrthonormaliseRotation(fCamera.rotation);
}

void A3DGraphView::Rotate() {
  if (fGraphs.Empty() || gInhibit3DRotationKluge) {
    StopSpinTiming();
    return;
  }
  double& speed = fRecord.spinAngle[0];
  if (!IsUsableSpin(fSpinAxis, speed)) speed = 0;
  const int64_t now = gViewClock.microseconds();
  const double elapsed = fPreviousFrame != 0 ? double(now - fPreviousFrame) * 1e-6 : -1;
  if (elapsed >= 0) PaneHooks::FrameRateFeedback(fDocument, elapsed);
  if (speed == 0) {
    fPreviousFrame = now;
    return;
  }
  // A movie turns the same angle every frame, however long it takes.
  const double a = PaneHooks::IsSavingMovie() ? speed : SpinStepAngle(speed, elapsed, fPreviousAngle);
  if (!IsTurningByDrag()) {
    Matrix3 m;
    GenerateRotationMatrixFromAxisAndAngle(m, fSpinAxis, a);
    TurnBy(m);
  }
  fPreviousAngle = a;
  fPreviousFrame = now;
}

double A3DGraphView::FrameModelRadius() {
  double radius = M3DView::kMinimumModelRadius;
  if (fRecord.axesShown) radius = std::max(radius, MaximumModelSpaceRadius());
  for (A3DGraph* graph : Graphs()) radius = std::max(radius, graph->MaximumModelSpaceRadius());
  return radius;
}

bool A3DGraphView::DrawGraphs(bool hsvPass) {
  // Graphs drawn in HSV go first, so that the pass converts only them.
  if (hsvPass) {
    for (A3DGraph* graph : Graphs())
      if (graph->UsingShaderHSV() && !graph->Draw()) return false;
    ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(fContext.get());
  }
  for (A3DGraph* graph : Graphs())
    if (!(hsvPass && graph->UsingShaderHSV()) && !graph->Draw()) return false;
  return true;
}

int32_t A3DGraphView::Draw(bool drawGraphs) {
  if (IsDesperatelyLowOnMemory() || fViewRect.right == fViewRect.left || fViewRect.bottom == fViewRect.top) return 1;
  if (drawGraphs) Rotate();
  PrepareContext(!drawGraphs);
  if (!IsDrawContextValid(fContext.get())) return 1;
  fCamera.modelRadius = FrameModelRadius();
  APushClip clip(fViewRect);
  bool hsvPass = false;
  if (drawGraphs && !IsNVidia(fContext.get())) {
    const auto graphs = Graphs();
    hsvPass = std::any_of(graphs.begin(), graphs.end(), [](A3DGraph* g) { return g->UsingShaderHSV(); });
  }
  const int32_t started = RenderStart(fContext.get(), hsvPass);
  if (started == 1) QueueError(kOutOfMemory);
  if (started == 20) DisposeDrawContext(fContext.get());
  if (started != 0) return 1;
  const bool drawn = !drawGraphs || DrawGraphs(hsvPass);
  if (drawn && fRecord.axesShown) DrawAxes();
  if (RenderEnd(fContext.get()) != 0) QueueError(kOutOfMemory);
  return drawn ? 1 : 0;
}

void A3DGraphView::SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) {
  if (!(attribute == kAttributeColor && value == 999)) PaneHooks::SetDocDirty(fDocument, true);
  A3DGraph* g = Graph(graph);
  if (g == nullptr) return;
  switch (attribute) {
    case kAttributePlottingMode:
    case kAttributeColor:
    case kAttributeOpacity:
    case kAttributeEqualLengthArrows:
      g->SetParameter(attribute, value);
      PaneHooks::InvalGraphRect(fDocument);
      break;
    case kAttributeGrain: g->SetParameter(attribute, value); break;
    default: break;
  }
}

void A3DGraphView::SetViewParameter(ViewAttribute attribute) {
  if (PassFrameAttribute(attribute)) return;
  if (fDocument != nullptr) PaneHooks::SetDocDirty(fDocument, true);
  switch (attribute) {
    case kAttributeStopSpin: fRecord.spinAngle[0] = 0; break;
    case kAttributeSpinX: SetSpin({1, 0, 0}, kDefaultSpinSpeed); break;
    case kAttributeSpinY: SetSpin({0, 1, 0}, kDefaultSpinSpeed); break;
    case kAttributeDefaultSpin: SetSpin({0, 0, -1}, kDefaultSpinSpeed); break;
    case kAttributeShowAxes: fRecord.axesShown = !fRecord.axesShown; break;
    default: break;
  }
}

bool A3DGraphView::CopyDomainFrom(const AGraphView& other) {
  const auto* from = dynamic_cast<const A3DGraphView*>(&other);
  if (from == nullptr || from == this) return false;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    if (!fRecord.Keeps(p)) continue;
    fRecord.ranges[p][0] = from->fRecord.ranges[p][0];
    fRecord.ranges[p][1] = from->fRecord.ranges[p][1];
  }
  CopyMatrix(from->fCamera.rotation, fCamera.rotation);
  fCamera.zoom = from->fCamera.zoom;
  fSpinAxis = from->fSpinAxis;
  fRecord.spinAngle[0] = from->fRecord.spinAngle[0];
  StopSpinTiming();
  TakeBoxFromRanges();
  return true;
}

std::unique_ptr<AGraphView> MakeA3DGraphView() { return std::make_unique<A3DGraphView>(); }
