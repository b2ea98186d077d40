#include "graphs3d/views/A4DGraphView.h"

#include <algorithm>
#include <cmath>

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
#include "renderer/RotationDecomposition.h"

namespace {

constexpr int kOutOfMemory4D = 36;
constexpr int kRendererFailed = 20;

}  // namespace

A4DGraphView::A4DGraphView() {
  fRecord.keptRanges = RangeBits({kCoordX, kCoordY, kCoordZ, kCoordW, kCoordT, kCoordU, kCoordV});
  SetDefaultRanges(fRecord);
  fRecord.axesShown = 1;
  fRecord.graphPaperShown = 1;
  ResetViewParameters();
}

// The graphs project through the transform: they go before it.
A4DGraphView::~A4DGraphView() { DeleteGraphs(); }

// Graphs normalise by the transform's ranges: it takes the view's first.
void A4DGraphView::ViewChanged() {
  SetupTransform();
  ASpaceGraphView<A4DGraph>::ViewChanged();
}

bool A4DGraphView::IsUsableAxisRange(double low, double high) {
  return IsUsableViewRange(low, high) && std::isfinite(2 / (high - low));
}

bool A4DGraphView::IsUsableRange(int32_t parameter, double low, double high) const {
  if (parameter >= kCoordX && parameter <= kCoordW) return IsUsableAxisRange(low, high);
  return ASpaceGraphView<A4DGraph>::IsUsableRange(parameter, low, high);
}

const MTransform4D& A4DGraphView::TransformForNewGraph() {
  SetupTransform();
  return fTransform;
}

void A4DGraphView::SetupTransform() {
  double ranges[4][2];
  for (int k = 0; k < 4; ++k) std::copy(fRecord.ranges[kCoordX + k], fRecord.ranges[kCoordX + k] + 2, ranges[k]);
  Setup4DTransform(fTransform, fQ, ranges, fModelRadius);
}

// The frame's camera looks at the projected unit box from +x, z up.
void A4DGraphView::PrepareContext(bool force) {
  if (fContext->document != fDocument) SetDrawContextWindow(fContext.get(), fContext->window, fDocument);
  SetIdentityMatrix(fCamera.rotation);
  fCamera.xmin = fCamera.ymin = fCamera.zmin = -1;
  fCamera.xmax = fCamera.ymax = fCamera.zmax = 1;
  fCamera.modelRadius = 2 * fModelRadius;
  Qd3d_SetPane(fContext.get(), fViewRect, &fCamera, force);
}

void A4DGraphView::ConstructContextNeededByGraphConstructors() {
  AtLeastOnePixel(&fViewRect);
  SetupTransform();
  fModelRadius = M3DView::kMinimumModelRadius;
  for (A4DGraph* graph : Graphs()) {
    const double r = graph->MaximumModelSpaceRadius();
    if (std::isfinite(r)) fModelRadius = std::max(fModelRadius, r);
  }
  PrepareContext(false);
}

void A4DGraphView::SetOrientation(const double* q) {
  if (!IsRotationMatrix(q, 4)) {
    ResetViewParameters();
    return;
  }
  std::copy(q, q + 16, fQ);
  OrthonormaliseRotation(fQ);
}

void A4DGraphView::SetZoom(double zoom) { fCamera.zoom = IsUsableZoom(zoom) ? zoom : M3DView::kDefaultZoom; }

void A4DGraphView::SetSpin(AVector axis1, double speed1, AVector axis2, double speed2) {
  const AVector axes[2] = {axis1, axis2};
  const double speeds[2] = {speed1, speed2};
  for (int k = 0; k < 2; ++k) {
    const bool usable = IsUsableSpin(axes[k], speeds[k]);
    fSpinAxis[k] = usable ? axes[k] : AVector{};
    fRecord.spinAngle[k] = usable ? speeds[k] : 0;
  }
  StopSpinTiming();
}

void A4DGraphView::StopSpinTiming() {
  fPreviousFrame = 0;
  fPreviousAngle[0] = fPreviousAngle[1] = 0;
}

void A4DGraphView::StopSpin() {
  fRecord.spinAngle[0] = fRecord.spinAngle[1] = 0;
  if (fDocument != nullptr) PaneHooks::StopThumbwheels(fDocument);
}

// Products of many small turns drift off a rotation without the re-orthonormalising.
void A4DGraphView::TurnBy(const Matrix4& m) {
  Multiply(m, fQ, fQ);
  OrthonormaliseRotation(fQ);
}

void A4DGraphView::Rotate() {
  if (fGraphs.Empty() || gInhibit3DRotationKluge) {
    StopSpinTiming();
    return;
  }
  const int64_t now = gViewClock.microseconds();
  double* speed = fRecord.spinAngle;
  for (int k = 0; k < 2; ++k)
    if (!std::isfinite(speed[k])) speed[k] = 0;
  if (!AreAllGraphsDoneComputing() || (speed[0] == 0 && speed[1] == 0)) {
    fPreviousFrame = now;
    return;
  }
  const double elapsed = fPreviousFrame != 0 ? double(now - fPreviousFrame) * 1e-6 : -1;
  if (elapsed >= 0) PaneHooks::FrameRateFeedback(fDocument, elapsed);
  double angle[2];
  for (int k = 0; k < 2; ++k)
    angle[k] = PaneHooks::IsSavingMovie() ? speed[k] : SpinStepAngle(speed[k], elapsed, fPreviousAngle[k], false);
  if (!IsTurningByDrag()) {
    Matrix4 m;
    GenerateMatrixfromDoubleQuaternion(m, fSpinAxis[0], angle[0], fSpinAxis[1], angle[1]);
    TurnBy(m);
  }
  fPreviousAngle[0] = angle[0], fPreviousAngle[1] = angle[1];
  fPreviousFrame = now;
}

int32_t A4DGraphView::Draw(bool drawGraphs) {
  if (IsDesperatelyLowOnMemory() || fViewRect.right == fViewRect.left || fViewRect.bottom == fViewRect.top) return 1;
  if (drawGraphs) Rotate();
  APushClip clip(fViewRect);
  PrepareContext(!drawGraphs);
  if (!IsDrawContextValid(fContext.get())) return 1;
  const int32_t started = RenderStart(fContext.get(), false);
  if (started == 1) QueueError(kOutOfMemory4D);
  // A broken renderer is made afresh on the next frame.
  if (started == kRendererFailed) DisposeDrawContext(fContext.get());
  if (started != 0) return 0;
  if (drawGraphs) {
    SetupTransform();
    for (A4DGraph* graph : Graphs()) graph->Draw();
    DrawAxes();
  }
  if (RenderEnd(fContext.get()) != 0) {
    QueueError(kOutOfMemory4D);
    return 0;
  }
  return 1;
}

void A4DGraphView::SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) {
  PaneHooks::SetDocDirty(fDocument, true);
  A4DGraph* g = Graph(graph);
  if (g == nullptr) return;
  switch (attribute) {
    case kAttributeColor:
    case kAttributeOpacity:
      g->SetParameter(attribute, value);
      PaneHooks::RedrawGraph(fDocument);
      break;
    case kAttributeGrain: g->SetParameter(attribute, value); break;
    default: break;
  }
}

// The pane's settings without a value: frame bookkeeping goes to the
// graphs, the Graph menu's stop and axes toggle act.
void A4DGraphView::SetViewParameter(ViewAttribute attribute) {
  if (PassFrameAttribute(attribute)) return;
  switch (attribute) {
    case kAttributeShowAxes: SetViewParameter4D(kAttribute4DAxes, fRecord.axesShown == 0); return;
    default: SetViewParameter4D(attribute, 0); return;
  }
}

void A4DGraphView::SetViewParameter4D(ViewAttribute attribute, double value) {
  PaneHooks::SetDocDirty(fDocument, true);
  int i, j;
  if (PlaneOfCode(attribute, &i, &j)) {
    SetMomentum(attribute, value);
    PaneHooks::RedrawGraph(fDocument);
    return;
  }
  switch (attribute) {
    case kAttributeStopSpin: StopSpin(); break;
    case kAttribute4DAxes:
      fRecord.axesShown = value != 0;
      PaneHooks::RedrawGraph(fDocument);
      break;
    case kAttribute4DGrid:
      fRecord.graphPaperShown = value != 0;
      PaneHooks::RedrawGraph(fDocument);
      break;
    case kAttribute4DMouseAction: {
      const double n = std::trunc(value);
      if (n == 1 || n == 2) fMouseAction = MouseAction4D(n);
      if (n >= 4 && n <= 7) ApplyPreset(int(n));
      break;
    }
    default: break;
  }
}

namespace {

struct PresetStep {
  int code;
  double value;
};

}  // namespace

void A4DGraphView::ApplyPreset(int preset) {
  static constexpr PresetStep k4[] = {{97, -60}, {96, 90}};
  static constexpr PresetStep k5[] = {{101, 540}, {98, -60}, {96, 90}};
  static constexpr PresetStep k6[] = {{97, -60}, {96, 90}, {100, 540}, {97, 180}, {99, 360}};
  static constexpr PresetStep k7[] = {{97, -60}, {96, 90}, {97, 180}, {101, 360}, {100, -180}, {96, -180}};
  struct Steps {
    const PresetStep* steps;
    int count;
  };
  static constexpr Steps kPresets[4] = {{k4, 2}, {k5, 3}, {k6, 5}, {k7, 6}};
  SetIdentityMatrix(fQ);
  const Steps& p = kPresets[preset - 4];
  for (int k = 0; k < p.count; ++k) SetMomentum(ViewAttribute(p.steps[k].code), p.steps[k].value);
  StopSpin();
}

void A4DGraphView::SetMomentum(ViewAttribute code, double value) {
  int i, j;
  if (!PlaneOfCode(code, &i, &j)) return;
  const bool spin = code < 96;
  if (spin) StopSpin();
  if (value == 0 || !std::isfinite(value)) return;
  Matrix4 p;
  PlaneRotation(i, j, value * 3.14159265358979323846 / 360, p);
  if (!spin) {
    TurnBy(p);
    return;
  }
  GenerateDoubleQuaternionfromRotation(&fSpinAxis[0], &fRecord.spinAngle[0], &fSpinAxis[1], &fRecord.spinAngle[1], p);
  StopSpinTiming();
}

void A4DGraphView::ResetViewParameters() {
  fCamera.zoom = M3DView::kDefaultZoom;
  const uint32_t kept = fRecord.keptRanges;
  fRecord.keptRanges = RangeBits({kCoordX, kCoordY, kCoordZ, kCoordW});
  SetDefaultRanges(fRecord);
  fRecord.keptRanges = kept;
  ApplyPreset(4);
  fSpinAxis[0] = fSpinAxis[1] = AVector{};
  fRecord.spinAngle[0] = fRecord.spinAngle[1] = 0;
  StopSpinTiming();
  SetupTransform();
}

bool A4DGraphView::CopyDomainFrom(const AGraphView& other) {
  const auto* from = dynamic_cast<const A4DGraphView*>(&other);
  if (from == nullptr || from == this) return false;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p) {
    if (!fRecord.Keeps(p)) continue;
    std::copy(from->fRecord.ranges[p], from->fRecord.ranges[p] + 2, fRecord.ranges[p]);
  }
  std::copy(from->fQ, from->fQ + 16, fQ);
  fCamera.zoom = from->fCamera.zoom;
  SetSpin(from->fSpinAxis[0], from->fRecord.spinAngle[0], from->fSpinAxis[1], from->fRecord.spinAngle[1]);
  return true;
}

std::unique_ptr<AGraphView> MakeA4DGraphView() { return std::make_unique<A4DGraphView>(); }
