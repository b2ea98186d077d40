#include <algorithm>

#include "CoreUtilities/OurTime.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/views/SpinStep.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/RotationDecomposition.h"

int32_t A4DGraphView::MouseDown(MPoint point, long, bool command, bool, bool control, bool shift, bool) {
  PaneHooks::SetDocDirty(fDocument, true);
  if (command) return 1;
  return FollowDrag(point, control, shift);
}

void A4DGraphView::DoMouseMove(MPoint point) {
  if (fDragMode == kZoomDrag) {
    ZoomDragStep(point);
  } else if (fDragMode != kNoDrag) {
    if (point.h != fLastPoint.h || point.v != fLastPoint.v) {
      RotationStep(point);
    } else {
      PauseRule();
    }
  }
}

// Holding the mouse still before the release leaves no momentum.
void A4DGraphView::PauseRule() {
  if (!OurTimeIsPast(gViewClock.ticks(), fLastTicks + OurDuration(20))) return;
  if (PaneHooks::IsDemoRunning()) return;
  StopSpin();
}

void A4DGraphView::RotationStep(MPoint point) {
  const int width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
  const long radius = long(0.4 * std::min(width, height));
  if (radius < 1) return;
  MouseAction4D action = fMouseAction;
  if (fDragMode == kOtherRotation) action = action == kRotate4DXYZ ? kRotate4DYZW : kRotate4DXYZ;
  Matrix4 m;
  VirtualSphere(point, fLastPoint, ViewCentre(), radius, m, action);
  RotationMatrixToBodyCoordinates(fQ, m);
  double angle[2];
  GenerateDoubleQuaternionfromRotation(&fSpinAxis[0], &angle[0], &fSpinAxis[1], &angle[1], m);
  const int64_t now = gViewClock.microseconds();
  const double seconds = double(now - fLastMicroseconds) * 1e-6;
  for (int k = 0; k < 2; ++k) fRecord.spinAngle[k] = DragSpinSpeed(angle[k], seconds);
  TurnBy(m);
  PaneHooks::RedrawGraph(fDocument);
  fLastTicks = gViewClock.ticks();
  fLastMicroseconds = now;
  fLastPoint = point;
}

bool A4DGraphView::MouseWheel(int32_t, int32_t dv) {
  fRecord.spinAngle[0] = fRecord.spinAngle[1] = dv / 5.0;
  StopSpinTiming();
  return true;
}
