#pragma once

#include <cstdint>

#include "CoreUtilities/AListGenericSmall.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphView.h"
#include "renderer/M3DView.h"

struct MDrawContext;

// A 3-D view: its graphs, its camera and draw context, the domain x, y, z
// and the ranges its graphs sample (T, U, V, R, Theta, Phi). A drag turns
// it on a virtual sphere (free, or shift for one body axis) or zooms it
// (control); released while moving it keeps spinning. Its spin speed,
// radians per second, is Record().spinAngle[0]; the spin axis is in the
// view frame (x toward the viewer, y right, z up).
class A3DGraphView : public AGraphView {
 public:
  static constexpr double kMinimumZoom = 0.17330909743;
  static constexpr double kMaximumZoom = 5.0;
  static constexpr double kDefaultSpinSpeed = 0.8;

  A3DGraphView();
  ~A3DGraphView() override;

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
  bool IsMoving() override { return SpinSpeed() != 0; }
  bool IsDrawAccelerated() override { return IsDMA(); }
  bool AreAllGraphsDoneComputing() override;
  bool NoGraphs() override { return fGraphs.Count() == 0; }
  bool EnableShowAllData() override;
  void DoShowAllData() override;
  void SetViewParameter(ViewAttribute attribute) override;
  bool IsDMA() override;

  int32_t GraphCount() const override { return fGraphs.Count(); }
  AGraph* GraphAt(int32_t graph) const override;
  void ViewChanged() override;
  int AddGraph(AGraph* graph) override;
  void DeleteGraphs() override;
  bool CopyDomainFrom(const AGraphView& other) override;
  void ConstructContextNeededByGraphConstructors() override;

  // One frame's turn of the spin.
  void Rotate();
  void DoMouseMove(MPoint point);
  int32_t DrawAxes();
  // Of the axes.
  double MaximumModelSpaceRadius();
  void SleepOneSixthSecondOrUntilDoneComputing();

  // The camera as the renderer reads it, its box taken from the ranges.
  const M3DView& Camera() const { return fCamera; }
  void SetRotation(const Matrix3& rotation) { CopyMatrix(rotation, fCamera.rotation); }
  void SetZoom(double zoom) { fCamera.zoom = zoom; }
  double SpinSpeed() const { return fRecord.spinAngle[0]; }
  AVector SpinAxis() const { return fSpinAxis; }
  // A stored spin; an unusable axis or speed is no spin.
  void SetSpin(AVector axis, double speed);
  MDrawContext* DrawContext() const { return fContext; }
  A3DGraph* Graph(int32_t graph) const;

 private:
  enum DragMode : int32_t { kNoDrag = 0, kFreeRotation = 1, kAxisRotation = 2, kZoomDrag = 3 };

  void PrepareContext(bool force);
  double FrameModelRadius();
  void TakeBoxFromRanges();
  void StopSpinTiming();
  bool DrawGraphs(bool hsvPass);
  void TurnBy(const Matrix3& m);
  bool SphereStep(MPoint point, long radius, Matrix3& m) const;
  void FreeRotationStep(MPoint point);
  void AxisRotationStep(MPoint point);
  void PauseRule();
  void ZoomRanges(double factor, const double (&start)[3][2]);
  void AfterZoomStep();
  void SetDefaultDomain(bool reset);
  // The union of the box and every data plot's bounds.
  void DataBox(double (&box)[3][2]);

  AListGenericSmall<A3DGraph*> fGraphs;
  M3DView fCamera;
  AVector fSpinAxis{0, 0, -1};
  double fPreviousAngle = 0;
  // Drag state.
  int64_t fLastMicroseconds = 0;
  uint32_t fLastTicks = 0;
  MPoint fLastPoint{};
  MPoint fDragStart{};
  DragMode fDragMode = kNoDrag;
  bool fAxisChosen = false;
  double fChoice[3] = {0, 0, 0};
  double fZoomAtStart = M3DView::kDefaultZoom;
  // 0: no frame recorded.
  int64_t fPreviousFrame = 0;
  MDrawContext* fContext;
};

AGraphView* MakeA3DGraphView();
