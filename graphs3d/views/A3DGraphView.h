#pragma once

#include <cstdint>
#include <memory>

#include "graphpane/A3DGraph.h"
#include "graphs3d/views/ASpaceGraphView.h"

// A 3-D view: its graphs, its camera and draw context, the domain x, y, z
// and the ranges its graphs sample (T, U, V, R, Theta, Phi). A drag turns
// it on a virtual sphere (free, or shift for one body axis) or zooms it
// (control); released while moving it keeps spinning. Its spin speed,
// radians per second, is Record().spinAngle[0]; the spin axis is in the
// view frame (x toward the viewer, y right, z up).
class A3DGraphView : public ASpaceGraphView<A3DGraph> {
 public:
  static constexpr double kDefaultSpinSpeed = 0.8;

  A3DGraphView();

  // Whether the box can span the range on one axis: the renderers take the
  // vertices as floats in model coordinates and OpenGL scales and projects
  // them in floats. Every way of setting the box keeps to it.
  static bool IsUsableBoxRange(double low, double high);
  bool IsUsableRange(int32_t parameter, double low, double high) const override;

  int32_t Draw(bool drawGraphs) override;
  void Zoom(ZoomCommand command) override;
  bool MouseWheel(int32_t dh, int32_t dv) override;
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) override;
  int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                    bool doubleClick) override;
  bool IsMoving() override { return SpinSpeed() != 0; }
  bool EnableShowAllData() override;
  void DoShowAllData() override;
  void SetViewParameter(ViewAttribute attribute) override;
  bool CopyDomainFrom(const AGraphView& other) override;
  void ConstructContextNeededByGraphConstructors() override;

  // One frame's turn of the spin.
  void Rotate();
  void DoMouseMove(MPoint point) override;
  int32_t DrawAxes();
  // Of the axes.
  double MaximumModelSpaceRadius();

  // The camera as the renderer reads it, its box taken from the ranges.
  const M3DView& Camera() const { return fCamera; }
  void SetRotation(const Matrix3& rotation) { CopyMatrix(rotation, fCamera.rotation); }
  void SetZoom(double zoom) { fCamera.zoom = zoom; }
  double SpinSpeed() const { return fRecord.spinAngle[0]; }
  AVector SpinAxis() const { return fSpinAxis; }
  // A stored spin; an unusable axis or speed is no spin.
  void SetSpin(AVector axis, double speed);

 private:
  static constexpr DragMode kFreeRotation = kPlainRotation;
  static constexpr DragMode kAxisRotation = kShiftRotation;

  void StopSpinForDrag() override;
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

  AVector fSpinAxis{0, 0, -1};
  double fPreviousAngle = 0;
  // The axis-locked drag's choice.
  bool fAxisChosen = false;
  double fChoice[3] = {0, 0, 0};
  // 0: no frame recorded.
  int64_t fPreviousFrame = 0;
};

std::unique_ptr<AGraphView> MakeA3DGraphView();
