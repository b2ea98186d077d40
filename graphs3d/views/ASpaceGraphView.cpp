#include "graphs3d/views/ASpaceGraphView.h"

#include <QRegion>

#include <algorithm>

#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/OurTime.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/DrawContext.h"

namespace {

constexpr long kDragWaitTicks = 20;
constexpr double kZoomPerPixel = 0.03;

}  // namespace

template <typename GraphType>
ASpaceGraphView<GraphType>::ASpaceGraphView() : fContext(AllocateDrawContext()) {
  fRecord.drawContext = fContext.get();
  fContext->view = &fCamera;
}

template <typename GraphType>
ASpaceGraphView<GraphType>::~ASpaceGraphView() {
  DeleteGraphs();
  DisposeDrawContext(fContext.get());
}

template <typename GraphType>
int32_t ASpaceGraphView<GraphType>::GraphVisibility(int32_t graph) {
  GraphType* g = Graph(graph);
  return g ? g->GraphVisibility() : 0;
}

template <typename GraphType>
bool ASpaceGraphView<GraphType>::IsDoneComputing(int32_t graph) {
  GraphType* g = Graph(graph);
  return g ? g->IsDoneComputing() : true;
}

template <typename GraphType>
bool ASpaceGraphView<GraphType>::UsesGrainSlider(int32_t graph) {
  GraphType* g = Graph(graph);
  return g ? g->UsesGrainSlider() : false;
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::GetHandCursorRgn(QRegion* region, bool) {
  *region = QRegion();
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::GetMarkCursorRgn(QRegion* region, bool, MPoint) {
  *region = QRegion();
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::GetDragCursorRgn(QRegion* region) {
  *region = QRegion();
}

template <typename GraphType>
bool ASpaceGraphView<GraphType>::AreAllGraphsDoneComputing() {
  const auto graphs = Graphs();
  return std::all_of(graphs.begin(), graphs.end(), [](GraphType* g) { return g->IsDoneComputing(); });
}

template <typename GraphType>
bool ASpaceGraphView<GraphType>::IsDMA() {
  return GetRendererType(fContext.get()) == kRendererOnscreen;
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::ViewChanged() {
  for (GraphType* graph : Graphs()) graph->ViewChanged();
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::SleepOneSixthSecondOrUntilDoneComputing() {
  const uint32_t deadline = OurTime() + OurDuration(10);
  while (!AreAllGraphsDoneComputing() && !OurTimeIsPast(OurTime(), deadline)) OurSleep(10000);
}

template <typename GraphType>
bool ASpaceGraphView<GraphType>::PassFrameAttribute(ViewAttribute attribute) {
  switch (attribute) {
    case kAttributeSaveFinishedModels:
    case kAttributeUpdateSavedVertexObjects:
      for (GraphType* graph : Graphs()) graph->SetParameter(attribute, 0.0);
      return true;
    case kAttributeUpdateVertexObjects:
      PassFrameAttribute(kAttributeSaveFinishedModels);
      PassFrameAttribute(kAttributeUpdateSavedVertexObjects);
      return true;
    default: return false;
  }
}

template <typename GraphType>
int32_t ASpaceGraphView<GraphType>::FollowDrag(MPoint point, bool control, bool shift) {
  fLastPoint = fDragStart = point;
  if (control) {
    fDragMode = kZoomDrag;
    fZoomAtStart = fCamera.zoom;
  } else {
    fDragMode = shift ? kShiftRotation : kPlainRotation;
    fLastTicks = gViewClock.ticks();
    fLastMicroseconds = gViewClock.microseconds();
    StopSpinForDrag();
  }
  MPoint now;
  while (OurWaitMouseUp(&now, kDragWaitTicks)) DoMouseMove(now);
  fDragMode = kNoDrag;
  return 0;
}

template <typename GraphType>
void ASpaceGraphView<GraphType>::ZoomDragStep(MPoint point) {
  fCamera.zoom = std::clamp(fZoomAtStart + kZoomPerPixel * (point.v - fDragStart.v), kMinimumZoom, kMaximumZoom);
  PaneHooks::RedrawGraph(fDocument);
}

template <typename GraphType>
MPoint ASpaceGraphView<GraphType>::ViewCentre() const {
  return {static_cast<int16_t>((fViewRect.top + fViewRect.bottom) / 2),
          static_cast<int16_t>((fViewRect.left + fViewRect.right) / 2)};
}

template class ASpaceGraphView<A3DGraph>;
template class ASpaceGraphView<A4DGraph>;
