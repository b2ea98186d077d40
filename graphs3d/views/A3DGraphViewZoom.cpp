#include <algorithm>

#include "CoreUtilities/OurTime.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/DefaultRanges.h"

namespace {

constexpr int32_t kStepTicks = 15;

}  // namespace

void A3DGraphView::ZoomRanges(double factor, const double (&start)[3][2]) {
  for (int i = 0; i < 3; ++i) ScaleAboutCentre(start[i], factor, fRecord.ranges[kCoordX + i]);
  TakeBoxFromRanges();
}

void A3DGraphView::AfterZoomStep() {
  ViewChanged();
  SleepOneSixthSecondOrUntilDoneComputing();
  if (AreAllGraphsDoneComputing()) SetViewParameter(kAttributeUpdateVertexObjects);
  PaneHooks::RedoCoordinateDisplay(fDocument);
  PaneHooks::RedrawGraph(fDocument);
  PaneHooks::RedrawCoordinates(fDocument);
}

void A3DGraphView::SetDefaultDomain(bool reset) {
  const uint32_t kept = fRecord.keptRanges;
  fRecord.keptRanges = RangeBits({kCoordX, kCoordY, kCoordZ, kCoordR, kCoordTheta, kCoordPhi});
  if (reset) fRecord.keptRanges |= RangeBits({kCoordT, kCoordU, kCoordV});
  SetDefaultRanges(fRecord);
  fRecord.keptRanges = kept;
  fCamera.zoom = M3DView::kDefaultZoom;
  GetDefaultView(fCamera.rotation);
  if (reset) fRecord.axesShown = 1;
  TakeBoxFromRanges();
  SetViewParameter(kAttributeDefaultSpin);
  ViewChanged();
  PaneHooks::RedoCoordinateDisplay(fDocument);
}

void A3DGraphView::Zoom(ZoomCommand command) {
  if (command != kZoomReset) PaneHooks::SetDocDirty(fDocument, true);
  if (command == kZoomDefaultView || command == kZoomReset) {
    SetDefaultDomain(command == kZoomReset);
    return;
  }
  const bool out = command == kZoomOut;
  double start[3][2];
  for (int i = 0; i < 3; ++i) std::copy(fRecord.ranges[kCoordX + i], fRecord.ranges[kCoordX + i] + 2, start[i]);
  // A box too fine or too large to draw is never reached.
  if (!StayUsableScaled(start, out ? 2 : 0.5, IsUsableBoxRange)) return;
  const uint32_t deadline = OurTime() + OurDuration(30);
  double factor = 1;
  for (int step = 0; step < 2 && !OurTimeIsPast(OurTime(), deadline); ++step) {
    const uint32_t began = OurTime();
    factor *= out ? 1.25 : 0.8;
    ZoomRanges(factor, start);
    AfterZoomStep();
    const uint32_t end = began + OurDuration(kStepTicks);
    if (!OurTimeIsPast(OurTime(), end)) OurSleep(int64_t(OurTimeToSeconds(end - OurTime()) * 1e6));
  }
  ZoomRanges(out ? 2 : 0.5, start);
  AfterZoomStep();
  PaneHooks::InvalGraphRect(fDocument);
}

void A3DGraphView::DataBox(double (&box)[3][2]) {
  for (int i = 0; i < 3; ++i) std::copy(fRecord.ranges[kCoordX + i], fRecord.ranges[kCoordX + i] + 2, box[i]);
  for (A3DGraph* graph : Graphs()) {
    double b[3][2];
    if (!graph->GetDataBounds(&b[0][0], &b[0][1], &b[1][0], &b[1][1], &b[2][0], &b[2][1])) continue;
    for (int i = 0; i < 3; ++i) {
      // Data past what the box can span leaves that axis as it was.
      const double low = std::min(box[i][0], b[i][0]), high = std::max(box[i][1], b[i][1]);
      if (IsUsableBoxRange(low, high)) box[i][0] = low, box[i][1] = high;
    }
  }
}

bool A3DGraphView::EnableShowAllData() {
  double box[3][2];
  DataBox(box);
  for (int i = 0; i < 3; ++i)
    if (box[i][0] != fRecord.ranges[kCoordX + i][0] || box[i][1] != fRecord.ranges[kCoordX + i][1]) return true;
  return false;
}

void A3DGraphView::DoShowAllData() {
  double box[3][2];
  DataBox(box);
  for (int i = 0; i < 3; ++i) std::copy(box[i], box[i] + 2, fRecord.ranges[kCoordX + i]);
  TakeBoxFromRanges();
  ViewChanged();
  PaneHooks::RedoCoordinateDisplay(fDocument);
}
