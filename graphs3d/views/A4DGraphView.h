#pragma once

#include <cstdint>
#include <memory>

#include "graphpane/A4DGraph.h"
#include "graphs3d/views/ASpaceGraphView.h"
#include "graphs3d/views/Transform4D.h"

// The 4-D view: its graphs, an orientation Q of 4-space, the transform
// built from Q that graphs project through when they draw (so turning the
// view never recomputes them), its domain x, y, z, w and the T, U, V
// ranges. A drag turns x, y, z (shift: y, z, w, or the other way round
// after mouse action 2) and leaves a double-quaternion spin whose two
// speeds, radians per second, are Record().spinAngle; the wheel, the six
// plane spins and turns and the presets 4 to 7 come through
// SetViewParameter4D.
class A4DGraphView : public ASpaceGraphView<A4DGraph> {
 public:
  A4DGraphView();
  ~A4DGraphView() override;

  int32_t Draw(bool drawGraphs) override;
  void Zoom(ZoomCommand command) override;
  bool MouseWheel(int32_t dh, int32_t dv) override;
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) override;
  int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                    bool doubleClick) override;
  bool IsMoving() override { return fRecord.spinAngle[0] != 0 || fRecord.spinAngle[1] != 0; }
  bool EnableShowAllData() override { return false; }
  void DoShowAllData() override {}
  void SetViewParameter(ViewAttribute attribute) override;
  void SetViewParameter4D(ViewAttribute attribute, double value) override;
  // Whether the view can normalise by the range on one axis: its graphs
  // take 2 / (high - low) in doubles. Every way of setting the ranges keeps
  // to it.
  static bool IsUsableAxisRange(double low, double high);
  bool IsUsableRange(int32_t parameter, double low, double high) const override;
  bool CopyDomainFrom(const AGraphView& other) override;
  void ViewChanged() override;
  void ConstructContextNeededByGraphConstructors() override;

  void Rotate();
  void DoMouseMove(MPoint point) override;
  int32_t DrawAxes();
  void ResetViewParameters();
  // A plane spin (32..37: value is the spin in degrees per two seconds) or
  // a plane turn (96..101: value / 2 degrees).
  void SetMomentum(ViewAttribute code, double value);

  const MTransform4D& Transform() const { return fTransform; }
  // The transform made afresh from the view's ranges, for a graph about to
  // be made: whatever set the ranges last, the graph normalises by them.
  const MTransform4D& TransformForNewGraph();
  const Matrix4& Orientation() const { return fQ; }
  // A stored orientation; anything but a rotation gives the reset one.
  void SetOrientation(const double* q);
  double Zoom() const { return fCamera.zoom; }
  // A stored zoom; one the view does not keep gives the default.
  void SetZoom(double zoom);
  AVector SpinAxis(int k) const { return fSpinAxis[k]; }
  double SpinSpeed(int k) const { return fRecord.spinAngle[k]; }
  // A stored spin: an unusable axis turns nothing, an unusable speed is 0.
  void SetSpin(AVector axis1, double speed1, AVector axis2, double speed2);
  bool IsShowingGrid() const { return fRecord.graphPaperShown != 0; }
  MouseAction4D MouseAction() const { return fMouseAction; }

 private:
  // The other mouse action's rotation.
  static constexpr DragMode kOtherRotation = kShiftRotation;

  void StopSpinForDrag() override { StopSpin(); }
  void PrepareContext(bool force);
  void StopSpin();
  void StopSpinTiming();
  void TurnBy(const Matrix4& m);
  void SetupTransform();
  void ApplyPreset(int preset);
  void RotationStep(MPoint point);
  void PauseRule();
  void ScaleRanges(double factor, const double (&start)[4][2]);
  void AfterZoomStep();
  void AxesDrawLine(const A4Vector& p, const A4Vector& q, unsigned long colour);

  MTransform4D fTransform;
  Matrix4 fQ;
  double fModelRadius = M3DView::kMinimumModelRadius;
  MouseAction4D fMouseAction = kRotate4DXYZ;
  AVector fSpinAxis[2];
  double fPreviousAngle[2] = {0, 0};
  // 0: no frame recorded.
  int64_t fPreviousFrame = 0;
};

std::unique_ptr<AGraphView> MakeA4DGraphView();
