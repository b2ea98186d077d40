#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "CoreUtilities/OurTime.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/SpinStep.h"
#include "graphs3d/views/ViewClock.h"
#include "renderer/RotationDecomposition.h"

namespace {

// Axis-locked turns are tripled past this angle and capped at the second.
constexpr double kAxisTurnBoost = 0.05;
constexpr double kAxisTurnLimit = 1.5;
constexpr int kAxisStepPixels = 4;

double Seconds(int64_t from, int64_t to) { return double(to - from) * 1e-6; }

// One body axis's turn by angle a, in the view's matrix form.
void AxisTurn(int axis, double a, Matrix3& m) {
  const double c = std::cos(a), s = std::sin(a);
  const Matrix3 turns[3] = {{1, 0, 0, 0, c, s, 0, -s, c}, {c, 0, s, 0, 1, 0, -s, 0, c}, {c, s, 0, -s, c, 0, 0, 0, 1}};
  CopyMatrix(turns[axis], m);
}

}  // namespace

int32_t A3DGraphView::MouseDown(MPoint point, long, bool command, bool, bool control, bool shift, bool) {
  if (command) return 1;
  PaneHooks::SetDocDirty(fDocument, true);
  const int32_t handled = FollowDrag(point, control, shift);
  fAxisChosen = false;
  return handled;
}

void A3DGraphView::StopSpinForDrag() { fRecord.spinAngle[0] = 0; }

void A3DGraphView::DoMouseMove(MPoint point) {
  switch (fDragMode) {
    case kZoomDrag: ZoomDragStep(point); break;
    case kFreeRotation:
      if (point.h != fLastPoint.h || point.v != fLastPoint.v) {
        FreeRotationStep(point);
      } else {
        PauseRule();
      }
      break;
    case kAxisRotation:
      if (std::abs(fLastPoint.h - point.h) + std::abs(fLastPoint.v - point.v) > kAxisStepPixels) {
        AxisRotationStep(point);
      } else {
        PauseRule();
      }
      break;
    case kNoDrag: break;
  }
}

// Holding the mouse still before the release leaves no momentum.
void A3DGraphView::PauseRule() {
  if (!OurTimeIsPast(gViewClock.ticks(), fLastTicks + OurDuration(20))) return;
  if (PaneHooks::IsDemoRunning() && !PaneHooks::IsDemoPaused(fDocument)) return;
  fRecord.spinAngle[0] = 0;
}

// The step from the last point on a sphere of the radius, in the frame of
// the current orientation; false when the pane is too small to hold a
// sphere that can be read.
bool A3DGraphView::SphereStep(MPoint point, long radius, Matrix3& m) const {
  if (radius < 1) return false;
  VirtualSphere(point, fLastPoint, ViewCentre(), radius, m);
  RotationMatrixToBodyCoordinates(fCamera.rotation, m);
  return true;
}

void A3DGraphView::FreeRotationStep(MPoint point) {
  Matrix3 m;
  const int width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
  if (!SphereStep(point, long(0.4 * std::min(width, height)), m)) return;
  TurnBy(m);
  double angle;
  GenerateAxisAndAnglefromRotationMatrix(&fSpinAxis, &angle, m);
  const int64_t now = gViewClock.microseconds();
  fRecord.spinAngle[0] = DragSpinSpeed(angle, Seconds(fLastMicroseconds, now));
  PaneHooks::RedrawGraph(fDocument);
  fLastTicks = gViewClock.ticks();
  fLastMicroseconds = now;
  fLastPoint = point;
}

// The speed is measured from the mouse-down: the last microseconds stay.
void A3DGraphView::AxisRotationStep(MPoint point) {
  Matrix3 m;
  const int width = fViewRect.right - fViewRect.left, height = fViewRect.bottom - fViewRect.top;
  if (!SphereStep(point, long(0.4 * std::max(width, height)), m)) return;
  double angle = std::acos(std::clamp((m[0] + m[4] + m[8] - 1) / 2, -1.0, 1.0));
  if (angle > kAxisTurnBoost) angle *= 3;
  angle = std::min(angle, kAxisTurnLimit);
  const double current[3] = {m[5] - m[7], m[6] - m[2], m[1] - m[3]};
  if (!fAxisChosen) {
    std::copy(current, current + 3, fChoice);
    fAxisChosen = true;
  }
  const double a = std::fabs(fChoice[0]), b = std::fabs(fChoice[1]), c = std::fabs(fChoice[2]);
  const int axis = a >= b && a > c ? 0 : b > a && b > c ? 1 : 2;
  const bool negate = axis == 1 ? current[1] > 0 : current[axis] < 0;
  AxisTurn(axis, negate ? -angle : angle, m);
  TurnBy(m);
  double turned;
  GenerateAxisAndAnglefromRotationMatrix(&fSpinAxis, &turned, m);
  fRecord.spinAngle[0] = DragSpinSpeed(turned, Seconds(fLastMicroseconds, gViewClock.microseconds()));
  PaneHooks::RedrawGraph(fDocument);
  fLastTicks = gViewClock.ticks();
  fLastPoint = point;
}

bool A3DGraphView::MouseWheel(int32_t, int32_t dv) {
  fRecord.spinAngle[0] = dv / 5.0;
  StopSpinTiming();
  return true;
}
