#pragma once

#include <cstdint>

#include "graphpane/AGraphView.h"
#include "renderer/DrawContext.h"
#include "renderer/M3DView.h"

// What the 3-D and 4-D views share: their graphs as their own kind, the
// camera the renderer reads and the draw context, the slots that only ask
// the graphs, no cursor areas, and the drag: the mouse is followed until
// its release, each step handed to the view; a control drag zooms.
template <typename GraphType>
class ASpaceGraphView : public AGraphView {
 public:
  static constexpr double kMinimumZoom = 0.17330909743;
  static constexpr double kMaximumZoom = 5.0;

  // The zooms the view's own zooming keeps. Past them the picture shrinks
  // to nothing or the renderers' projections fail: OpenGL's field of view
  // reaches 180 degrees at a zoom of 31.2, and near 0 it magnifies the
  // floats of the vertices into a blur, then overflows.
  static bool IsUsableZoom(double zoom) { return zoom >= kMinimumZoom && zoom <= kMaximumZoom; }

  ASpaceGraphView();
  ~ASpaceGraphView() override;

  int32_t GraphVisibility(int32_t graph) override;
  bool IsDoneComputing(int32_t graph) override;
  void Resize() override {}
  bool UsesGrainSlider(int32_t graph) override;
  void GetHandCursorRgn(QRegion* region, bool panModifier) override;
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) override;
  void GetDragCursorRgn(QRegion* region) override;
  MPoint GetDemoMouseLocation(int32_t /*step*/) override { return MPoint{}; }
  void MouseUp(MPoint /*point*/) override {}
  void MouseMove(MPoint /*now*/, MPoint /*before*/) override {}
  bool IsDrawAccelerated() override { return IsDMA(); }
  bool AreAllGraphsDoneComputing() override;
  bool NoGraphs() override { return fGraphs.Empty(); }
  bool IsDMA() override;

  void ViewChanged() override;

  // One drag step of the mouse.
  virtual void DoMouseMove(MPoint point) = 0;
  void SleepOneSixthSecondOrUntilDoneComputing();

  MDrawContext* DrawContext() const { return fContext.get(); }
  GraphType* Graph(int32_t graph) const { return fGraphs.As<GraphType>(graph); }
  GraphList::Of<GraphType> Graphs() const { return fGraphs.All<GraphType>(); }

 protected:
  enum DragMode : int32_t { kNoDrag = 0, kPlainRotation = 1, kShiftRotation = 2, kZoomDrag = 3 };

  // Follows the drag from the point until the release (control: a zoom,
  // shift: the view's other rotation); false, as a handled mouse-down.
  int32_t FollowDrag(MPoint point, bool control, bool shift);
  // The pane's frame bookkeeping (attributes 5 to 7) goes to the graphs;
  // false for any other attribute.
  bool PassFrameAttribute(ViewAttribute attribute);
  // A rotation drag starts: the view's spin stops.
  virtual void StopSpinForDrag() = 0;
  // The range scaled about its centre, as the zoom commands scale the domain.
  static void ScaleAboutCentre(const double (&range)[2], double factor, double (&out)[2]) {
    const double centre = (range[0] + range[1]) / 2, half = (range[1] - range[0]) / 2 * factor;
    out[0] = centre - half, out[1] = centre + half;
  }
  // Whether every range, so scaled, is one the view can take.
  template <int N>
  static bool StayUsableScaled(const double (&ranges)[N][2], double factor, bool (*usable)(double, double)) {
    for (const auto& range : ranges) {
      double end[2];
      ScaleAboutCentre(range, factor, end);
      if (!usable(end[0], end[1])) return false;
    }
    return true;
  }
  // The zoom follows the mouse's height from where the drag started.
  void ZoomDragStep(MPoint point);
  // The centre of the view's rectangle, where the drag's sphere stands.
  MPoint ViewCentre() const;
  // While the mouse turns the view, frames measure the spin its steps set
  // without turning by it: that speed is the momentum left at the release,
  // and turning by it as well would turn the view further than the mouse.
  bool IsTurningByDrag() const { return fDragMode == kPlainRotation || fDragMode == kShiftRotation; }

  M3DView fCamera;
  const OwnedDrawContext fContext;
  // Drag state.
  int64_t fLastMicroseconds = 0;
  uint32_t fLastTicks = 0;
  MPoint fLastPoint{};
  MPoint fDragStart{};
  DragMode fDragMode = kNoDrag;
  double fZoomAtStart = M3DView::kDefaultZoom;
};
