#include "document/DocumentGraphPane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "CoreUtilities/drawing/OurPictures.h"
#include "document/DocumentContents.h"
#include "document/DocumentRecord.h"
#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "renderer/RotationDecomposition.h"

namespace {

StoredView2D ToStored(const View2DSettings& v, bool axes, bool paper) {
  StoredView2D s{};
  for (int i = 0; i < 2; ++i) {
    s.t[i] = v.t[i], s.r[i] = v.r[i], s.theta[i] = v.theta[i];
    s.scale[i] = v.scale[i], s.bottomLeft[i] = v.bottomLeft[i], s.tickState[i] = v.integers[i];
  }
  s.axes = axes;
  s.graphPaper = paper;
  return s;
}

// The 2-D view's place on the plane and its axes; its ranges go with every
// view's (TakeRangeEdits).
void PlacementFromStored(const StoredView2D& s, View2DSettings* v, bool* axes, bool* paper) {
  for (int i = 0; i < 2; ++i)
    v->scale[i] = s.scale[i], v->bottomLeft[i] = s.bottomLeft[i], v->integers[i] = s.tickState[i];
  *axes = s.axes;
  *paper = s.graphPaper;
}

bool SamePlacement(const StoredView2D& a, const StoredView2D& b) {
  const auto same = [](const double* x, const double* y) { return std::memcmp(x, y, 2 * sizeof(double)) == 0; };
  return same(a.scale, b.scale) && same(a.bottomLeft, b.bottomLeft) && a.tickState[0] == b.tickState[0] &&
         a.tickState[1] == b.tickState[1] && a.axes == b.axes && a.graphPaper == b.graphPaper;
}

// The stored ranges of a view's settings by coordinate-display number.
struct RangeField {
  int32_t param;
  double* range;
};

std::array<RangeField, 9> Ranges3D(View3DSettings& v) {
  return {{{kCoordX, v.x},
           {kCoordY, v.y},
           {kCoordZ, v.z},
           {kCoordT, v.t},
           {kCoordU, v.u},
           {kCoordV, v.v},
           {kCoordR, v.r},
           {kCoordTheta, v.theta},
           {kCoordPhi, v.phi}}};
}

std::array<RangeField, 7> Ranges4D(View4DSettings& v) {
  return {
      {{kCoordX, v.x}, {kCoordY, v.y}, {kCoordZ, v.z}, {kCoordW, v.w}, {kCoordT, v.t}, {kCoordU, v.u}, {kCoordV, v.v}}};
}

std::array<RangeField, 3> Ranges2D(View2DSettings& v) {
  return {{{kCoordT, v.t}, {kCoordR, v.r}, {kCoordTheta, v.theta}}};
}

// ViewRangesSeen's order.
std::array<const AGraphView*, ViewRangesSeen::kViews> ViewsOf(const AGraphPane& pane) {
  return {pane.View2D(0), pane.View2D(1), pane.View3D(0), pane.View3D(1), pane.View4D()};
}

// The ends of the ranges the view keeps that are no longer as seen, into
// the fields. End by end: a field edit sets one end of every view's range,
// whose other end a pass may have lent from the shown view. Where the
// typed end meets the view's own other end, the range as the view holds
// it is taken instead, since equal ends are no range.
template <size_t N>
void TakeChangedRanges(const std::array<RangeField, N>& fields, const GraphViewRecord& record,
                       const double (&seen)[kCoordDisplayParamCount][2]) {
  for (const RangeField& f : fields) {
    if (!record.Keeps(f.param)) continue;
    const double* now = record.ranges[f.param];
    double taken[2] = {f.range[0], f.range[1]};
    for (int end = 0; end < 2; ++end)
      if (now[end] != seen[f.param][end]) taken[end] = now[end];
    if (taken[0] == taken[1]) std::copy(now, now + 2, taken);
    std::copy(taken, taken + 2, f.range);
  }
}

// Copies the ranges the view keeps, into it or out of it.
template <size_t N>
void CopyRanges(const std::array<RangeField, N>& fields, GraphViewRecord& record, bool intoView) {
  for (const RangeField& f : fields) {
    if (!record.Keeps(f.param)) continue;
    for (int i = 0; i < 2; ++i) {
      if (intoView) {
        record.ranges[f.param][i] = f.range[i];
      } else {
        f.range[i] = record.ranges[f.param][i];
      }
    }
  }
}

// A stored 3-D camera and spin into a new view. A matrix that is no
// rotation gives the default view, a near one is made exact; a depth that
// is not a zoom the view keeps (documents written so far hold 0) gives the
// default zoom; a spin stored without an axis (or with 0 0 0, as documents
// have held) turns about the view's own axis, so that a speed of 0 holds.
void InstallView3D(A3DGraphView& view, const View3DSettings& stored, const double (&axis)[3], double speed) {
  Matrix3 rotation;
  if (IsRotationMatrix(stored.view, 3)) {
    std::copy(stored.view, stored.view + 9, rotation);
    OrthonormaliseRotation(rotation);
  } else {
    GetDefaultView(rotation);
  }
  view.SetRotation(rotation);
  view.SetZoom(A3DGraphView::IsUsableZoom(stored.depth) ? stored.depth : M3DView::kDefaultZoom);
  const AVector storedAxis{axis[0], axis[1], axis[2]};
  view.SetSpin(std::hypot(storedAxis.x, storedAxis.y, storedAxis.z) > 0 ? storedAxis : view.SpinAxis(), speed);
}

// The view's camera and spin into the settings, unless they are what the
// stored ones install as: an untouched view leaves the document as written.
void StoreView3D(const A3DGraphView& view, View3DSettings* stored, double (&axis)[3], double* speed) {
  A3DGraphView fresh;
  InstallView3D(fresh, *stored, axis, *speed);
  const AVector a = view.SpinAxis(), b = fresh.SpinAxis();
  const bool same = EqualMatrix(view.Camera().rotation, fresh.Camera().rotation) &&
                    view.Camera().zoom == fresh.Camera().zoom && view.SpinSpeed() == fresh.SpinSpeed() && a.x == b.x &&
                    a.y == b.y && a.z == b.z;
  if (same) return;
  std::copy(view.Camera().rotation, view.Camera().rotation + 9, stored->view);
  stored->depth = view.Camera().zoom;
  axis[0] = a.x, axis[1] = a.y, axis[2] = a.z;
  *speed = view.SpinSpeed();
}

// The stored orientation, zoom, spin and flags into the 4-D view; what is
// no rotation or no usable zoom gives the reset one.
void InstallView4D(A4DGraphView& view, const GraphPaneSettings& s) {
  view.SetOrientation(s.view4D.view);
  view.SetZoom(s.depth4D);
  view.SetSpin({s.axis1_4D[0], s.axis1_4D[1], s.axis1_4D[2]}, s.speed1_4D,
               {s.axis2_4D[0], s.axis2_4D[1], s.axis2_4D[2]}, s.speed2_4D);
  view.Record().axesShown = s.show4Daxes;
  view.Record().graphPaperShown = s.show4DxyPlane;
}

// Unless the view is as the stored state installs it.
void StoreView4D(const A4DGraphView& view, GraphPaneSettings* s) {
  A4DGraphView fresh;
  InstallView4D(fresh, *s);
  bool same = EqualMatrix(view.Orientation(), fresh.Orientation()) && view.Zoom() == fresh.Zoom();
  for (int k = 0; k < 2; ++k) {
    const AVector a = view.SpinAxis(k), b = fresh.SpinAxis(k);
    same = same && a.x == b.x && a.y == b.y && a.z == b.z && view.SpinSpeed(k) == fresh.SpinSpeed(k);
  }
  s->show4Daxes = view.IsShowingAxes();
  s->show4DxyPlane = view.IsShowingGrid();
  if (same) return;
  std::copy(view.Orientation(), view.Orientation() + 16, s->view4D.view);
  s->depth4D = view.Zoom();
  const AVector a1 = view.SpinAxis(0), a2 = view.SpinAxis(1);
  s->axis1_4D[0] = a1.x, s->axis1_4D[1] = a1.y, s->axis1_4D[2] = a1.z;
  s->axis2_4D[0] = a2.x, s->axis2_4D[1] = a2.y, s->axis2_4D[2] = a2.z;
  s->speed1_4D = view.SpinSpeed(0), s->speed2_4D = view.SpinSpeed(1);
}

}  // namespace

void SetDefaultViewSettings(GraphPaneSettings* settings) {
  GraphPaneSettings& s = *settings;
  // Every range and orientation as a new view of its kind has it: a stored
  // identity would read as a view seen side-on.
  A2DGraphView plane;
  A3DGraphView space;
  A4DGraphView fourD;
  // The plane's scale and corner stay unset: a view without them centres itself.
  const StoredView2D planeRanges = plane.StoredView();
  for (View2DSettings* v : {&s.view2D, &s.view2Dp}) {
    for (int i = 0; i < 2; ++i)
      v->t[i] = planeRanges.t[i], v->r[i] = planeRanges.r[i], v->theta[i] = planeRanges.theta[i];
  }
  CopyRanges(Ranges3D(s.view3D), space.Record(), false);
  CopyRanges(Ranges3D(s.view3Dp), space.Record(), false);
  CopyRanges(Ranges4D(s.view4D), fourD.Record(), false);
  for (View3DSettings* v : {&s.view3D, &s.view3Dp})
    std::copy(space.Camera().rotation, space.Camera().rotation + 9, v->view);
  const AVector spinAxis = space.SpinAxis();
  for (double* axis : {s.spinAxis3D, s.spinAxis3Dp}) axis[0] = spinAxis.x, axis[1] = spinAxis.y, axis[2] = spinAxis.z;
  s.spinSpeed3D = s.spinSpeed3Dp = space.SpinSpeed();
  std::copy(fourD.Orientation(), fourD.Orientation() + 16, s.view4D.view);
  s.axes2D = s.axes2Dp = s.graphPaper2D = s.graphPaper2Dp = s.axes3D = s.axes3Dp = true;
  s.show4Daxes = s.show4DxyPlane = true;
}

std::unique_ptr<AGraphPane> MakeDocumentGraphPane(DocumentRecord* document, const MRect& rect, QWidget* window) {
  auto pane = std::make_unique<AGraphPane>(rect, window, document);
  InstallPaneSettings(*pane, document->fContents.pane);
  // From here on the views hold the placed pictures: they draw them, and
  // the mouse drags them away or out of the view. A picture a view has no
  // memory to copy stays with the document, which writes it as read.
  for (const bool second : {false, true}) {
    auto* view = dynamic_cast<A2DGraphView*>(pane->View2D(second ? 1 : 0));
    if (view == nullptr) continue;
    AListGenericSmall<GraphPicture>& read = second ? document->fContents.pictures2Dp : document->fContents.pictures2D;
    for (int32_t i = 0; i < read.Count();) {
      if (view->AddStoredPicture(read[i].picture, read[i].first, read[i].second) != 0) {
        ++i;
        continue;
      }
      OurDisposePicture(read[i].picture);
      read.Remove(i);
    }
  }
  LookAtRanges(*pane, &document->fRangesSeen);
  for (int k = 0; k < 2; ++k)
    if (auto* view = dynamic_cast<const A2DGraphView*>(pane->View2D(k)))
      document->fRangesSeen.installed2D[k] = view->StoredView();
  return pane;
}

void LookAtRanges(const AGraphPane& pane, ViewRangesSeen* seen) {
  const auto views = ViewsOf(pane);
  for (size_t k = 0; k < views.size(); ++k)
    std::memcpy(seen->ranges[k], views[k]->Record().ranges, sizeof seen->ranges[k]);
}

void TakeRangeEdits(const AGraphPane& pane, const ViewRangesSeen& seen, GraphPaneSettings* settings) {
  GraphPaneSettings& s = *settings;
  const auto views = ViewsOf(pane);
  TakeChangedRanges(Ranges2D(s.view2D), views[0]->Record(), seen.ranges[0]);
  TakeChangedRanges(Ranges2D(s.view2Dp), views[1]->Record(), seen.ranges[1]);
  TakeChangedRanges(Ranges3D(s.view3D), views[2]->Record(), seen.ranges[2]);
  TakeChangedRanges(Ranges3D(s.view3Dp), views[3]->Record(), seen.ranges[3]);
  TakeChangedRanges(Ranges4D(s.view4D), views[4]->Record(), seen.ranges[4]);
}

void InstallPaneSettings(AGraphPane& pane, const GraphPaneSettings& settings) {
  GraphPaneSettings s = settings;
  if (auto* v = dynamic_cast<A2DGraphView*>(pane.View2D(0))) {
    v->InstallViewState(ToStored(s.view2D, s.axes2D, s.graphPaper2D));
  }
  if (auto* v = dynamic_cast<A2DGraphView*>(pane.View2D(1))) {
    v->InstallViewState(ToStored(s.view2Dp, s.axes2Dp, s.graphPaper2Dp));
  }
  CopyRanges(Ranges3D(s.view3D), pane.View3D(0)->Record(), true);
  CopyRanges(Ranges3D(s.view3Dp), pane.View3D(1)->Record(), true);
  pane.View3D(0)->Record().axesShown = s.axes3D;
  pane.View3D(1)->Record().axesShown = s.axes3Dp;
  if (auto* v = dynamic_cast<A3DGraphView*>(pane.View3D(0))) InstallView3D(*v, s.view3D, s.spinAxis3D, s.spinSpeed3D);
  if (auto* v = dynamic_cast<A3DGraphView*>(pane.View3D(1)))
    InstallView3D(*v, s.view3Dp, s.spinAxis3Dp, s.spinSpeed3Dp);
  CopyRanges(Ranges4D(s.view4D), pane.View4D()->Record(), true);
  if (auto* v = dynamic_cast<A4DGraphView*>(pane.View4D())) InstallView4D(*v, s);
  pane.Resize();
}

std::vector<GraphPicture> PlacedPictures(const DocumentRecord& document, bool secondView) {
  const auto* view = document.fGraphPane
                         ? dynamic_cast<const A2DGraphView*>(document.fGraphPane->View2D(secondView ? 1 : 0))
                         : nullptr;
  std::vector<GraphPicture> placed;
  if (view != nullptr)
    for (const PastedPicture& p : view->Pictures()) placed.push_back({p.picture, p.x, p.y});
  const auto& kept = secondView ? document.fContents.pictures2Dp : document.fContents.pictures2D;
  placed.insert(placed.end(), kept.begin(), kept.end());
  return placed;
}

void StorePaneSettings(const AGraphPane& pane, const ViewRangesSeen& seen, GraphPaneSettings* settings) {
  GraphPaneSettings& s = *settings;
  const auto store2D = [&](int k, View2DSettings* stored, bool* axes, bool* paper) {
    auto* v = dynamic_cast<A2DGraphView*>(pane.View2D(k));
    if (v == nullptr) return;
    const StoredView2D now = v->StoredView();
    if (!SamePlacement(now, seen.installed2D[k])) PlacementFromStored(now, stored, axes, paper);
  };
  store2D(0, &s.view2D, &s.axes2D, &s.graphPaper2D);
  store2D(1, &s.view2Dp, &s.axes2Dp, &s.graphPaper2Dp);
  TakeRangeEdits(pane, seen, settings);
  s.axes3D = pane.View3D(0)->Record().axesShown != 0;
  s.axes3Dp = pane.View3D(1)->Record().axesShown != 0;
  if (auto* v = dynamic_cast<A3DGraphView*>(pane.View3D(0))) StoreView3D(*v, &s.view3D, s.spinAxis3D, &s.spinSpeed3D);
  if (auto* v = dynamic_cast<A3DGraphView*>(pane.View3D(1)))
    StoreView3D(*v, &s.view3Dp, s.spinAxis3Dp, &s.spinSpeed3Dp);
  if (auto* v = dynamic_cast<A4DGraphView*>(pane.View4D())) StoreView4D(*v, &s);
}
