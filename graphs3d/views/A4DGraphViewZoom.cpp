#include <algorithm>

#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/views/DefaultRanges.h"

void A4DGraphView::ScaleRanges(double factor, const double (&start)[4][2]) {
  for (int k = 0; k < 4; ++k) ScaleAboutCentre(start[k], factor, fRecord.ranges[kCoordX + k]);
}

// Graphs take the ranges from the transform when they recompute.
void A4DGraphView::AfterZoomStep() {
  SetupTransform();
  ViewChanged();
  SleepOneSixthSecondOrUntilDoneComputing();
  PaneHooks::RedoCoordinateDisplay(fDocument);
  PaneHooks::RedrawGraph(fDocument);
  PaneHooks::RedrawCoordinates(fDocument);
}

void A4DGraphView::Zoom(ZoomCommand command) {
  if (command != kZoomReset) PaneHooks::SetDocDirty(fDocument, true);
  if (command == kZoomDefaultView || command == kZoomReset) {
    ResetViewParameters();
    if (command == kZoomReset) {
      fRecord.axesShown = fRecord.graphPaperShown = 1;
      const uint32_t kept = fRecord.keptRanges;
      fRecord.keptRanges = RangeBits({kCoordT, kCoordU, kCoordV});
      SetDefaultRanges(fRecord);
      fRecord.keptRanges = kept;
    }
    SetupTransform();
    ViewChanged();
    PaneHooks::RedoCoordinateDisplay(fDocument);
    return;
  }
  const bool out = command == kZoomOut;
  double start[4][2];
  for (int k = 0; k < 4; ++k) std::copy(fRecord.ranges[kCoordX + k], fRecord.ranges[kCoordX + k] + 2, start[k]);
  // Ranges the graphs cannot normalise by are never reached.
  if (!StayUsableScaled(start, out ? 2 : 0.5, IsUsableAxisRange)) return;
  double factor = 1;
  for (int step = 0; step < 2; ++step) {
    factor *= out ? 1.25 : 0.8;
    ScaleRanges(factor, start);
    AfterZoomStep();
  }
  ScaleRanges(out ? 2 : 0.5, start);
  AfterZoomStep();
}
