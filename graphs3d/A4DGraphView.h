#pragma once

#include <cstdint>

#include "CoreUtilities/AListGenericSmall.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphs3d/Transform4D.h"
#include "renderer/M3DView.h"

struct MDrawContext;

// The 4-D view: its graphs, an orientation Q of 4-space, the transform
// built from Q that graphs project through when they draw (so turning the
// view never recomputes them), its domain x, y, z, w and the T, U, V
// ranges. A drag turns x, y, z (shift: y, z, w, or the other way round
// after mouse action 2) and leaves a double-quaternion spin whose two
// speeds, radians per second, are Record().spinAngle; the wheel, the six
// plane spins and turns and the presets 4 to 7 come through
// SetViewParameter4D.
class A4DGraphView : public AGraphView {
 public:
  A4DGraphView();
  ~A4DGraphView() override;

  int32_t Draw(bool drawGraphs) override;
  int32_t GraphVisibility(int32_t graph) override;
  bool IsDoneComputing(int32_t graph) override;
  void Resize() override {}
  void Zoom(ZoomCommand command) override;
  bool MouseWheel(int32_t dh, int32_t dv) override;
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) override;
  bool UsesGrainSlider(int32_t graph) override;
  void GetHandCursorRgn(QRegion* region, bool panModifier) override;
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) override;
  void GetDragCursorRgn(QRegion* region) override;
  MPoint GetDemoMouseLocation(int32_t /*step*/) override { return MPoint{}; }
  int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                    bool doubleClick) override;
  void MouseUp(MPoint /*point*/) override {}
  void MouseMove(MPoint /*now*/, MPoint /*before*/) override {}
  bool IsMoving() override { return fRecord.spinAngle[0] != 0 || fRecord.spinAngle[1] != 0; }
  bool IsDrawAccelerated() override { return IsDMA(); }
  bool AreAllGraphsDoneComputing() override;
  bool NoGraphs() override { return fGraphs.Count() == 0; }
  bool EnableShowAllData() override { return false; }
  void DoShowAllData() override {}
  void SetViewParameter(ViewAttribute attribute) override;
  void SetViewParameter4D(ViewAttribute attribute, double value) override;
  bool IsDMA() override;

  int32_t GraphCount() const override { return fGraphs.Count(); }
  AGraph* GraphAt(int32_t graph) const override;
  void ViewChanged() override;
  int AddGraph(AGraph* graph) override;
  void DeleteGraphs() override;
  bool CopyDomainFrom(const AGraphView& other) override;
  void ConstructContextNeededByGraphConstructors() override;

  void Rotate();
  void DoMouseMove(MPoint point);
  int32_t DrawAxes();
  void ResetViewParameters();
  // A plane spin (32..37: value is the spin in degrees per two seconds) or
  // a plane turn (96..101: value / 2 degrees).
  void SetMomentum(ViewAttribute code, double value);
  void SleepOneSixthSecondOrUntilDoneComputing();

  const MTransform4D& Transform() const { return fTransform; }
  const Matrix4& Orientation() const { return fQ; }
  // A stored orientation; anything but a rotation gives the reset one.
  void SetOrientation(const double* q);
  double Zoom() const { return fCamera.zoom; }
  // A stored zoom; anything but a finite positive one is the default.
  void SetZoom(double zoom);
  AVector SpinAxis(int k) const { return fSpinAxis[k]; }
  double SpinSpeed(int k) const { return fRecord.spinAngle[k]; }
  // A stored spin: an unusable axis turns nothing, an unusable speed is 0.
  void SetSpin(AVector axis1, double speed1, AVector axis2, double speed2);
  bool IsShowingGrid() const { return fRecord.graphPaperShown != 0; }
  MouseAction4D MouseAction() const { return fMouseAction; }
  MDrawContext* DrawContext() const { return fContext; }
  A4DGraph* Graph(int32_t graph) const;

 private:
  enum DragMode : int32_t { kNoDrag = 0, kRotation = 1, kOtherRotation = 2, kZoomDrag = 3 };

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

  AListGenericSmall<A4DGraph*> fGraphs;
  MTransform4D fTransform;
  Matrix4 fQ;
  // The frame's camera: the renderer keeps a pointer to it.
  M3DView fCamera;
  double fModelRadius = M3DView::kMinimumModelRadius;
  double fZoomAtStart = M3DView::kDefaultZoom;
  MouseAction4D fMouseAction = kRotate4DXYZ;
  AVector fSpinAxis[2];
  double fPreviousAngle[2] = {0, 0};
  // 0: no frame recorded.
  int64_t fPreviousFrame = 0;
  // Drag state.
  int64_t fLastMicroseconds = 0;
  uint32_t fLastTicks = 0;
  MPoint fLastPoint{};
  MPoint fDragStart{};
  DragMode fDragMode = kNoDrag;
  MDrawContext* fContext;
};

AGraphView* MakeA4DGraphView();
