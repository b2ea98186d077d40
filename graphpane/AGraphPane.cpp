#include "graphpane/AGraphPane.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/OurTime.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AnEmptyGraphView.h"
#include "graphpane/GraphHooks.h"

namespace {

std::unique_ptr<AGraphView> MakeView(std::unique_ptr<AGraphView> (*maker)()) {
  std::unique_ptr<AGraphView> view = maker != nullptr ? maker() : nullptr;
  if (view == nullptr) view = std::make_unique<AnEmptyGraphView>();
  return view;
}

}  // namespace

AGraphPane::AGraphPane(const MRect& rect, QWidget* window, DocumentRecord* document)
    : fDocument(document), fGraphRect(rect), fPass(*this, document) {
  fViews[kFirst2D] = MakeView(gGraphPaneHooks.Make2DView);
  fViews[kSecond2D] = MakeView(gGraphPaneHooks.Make2DView);
  fViews[kFirst3D] = MakeView(gGraphPaneHooks.Make3DView);
  fViews[kSecond3D] = MakeView(gGraphPaneHooks.Make3DView);
  fViews[kFourD] = MakeView(gGraphPaneHooks.Make4DView);
  for (auto& view : fViews) view->SetDocument(document);
  SetDrawContextsWindow(window);
  fCurrentView = fClickedView = View2D(0);
  SetViewGraphRects();
}

AGraphPane::~AGraphPane() {
  EraseGraph();
  for (int k = kSlotCount - 1; k >= 0; --k) fViews[k].reset();
}

void AGraphPane::SetGraphRect(const MRect& rect) {
  fGraphRect = rect;
  SetViewGraphRects();
}

void AGraphPane::SetViewGraphRects() {
  for (auto& view : fViews) view->SetViewRect(fGraphRect);
  if (fSecondView != nullptr) {
    MRect current = fGraphRect, second = fGraphRect;
    const int w = fGraphRect.right - fGraphRect.left, h = w / 2;
    current.right = SaturateToInt16(long{current.right} - h - 6);
    second.left = SaturateToInt16(long{second.left} + (w - h) + 5);
    for (MRect* r : {&current, &second}) {
      if (r->bottom < r->top) r->bottom = r->top;
      if (r->right < r->left) r->right = r->left;
    }
    // A pane too narrow for the gap keeps the second view at its own edge.
    if (second.left > fGraphRect.right) second.left = second.right = std::max(fGraphRect.right, fGraphRect.left);
    fCurrentView->SetViewRect(current);
    fSecondView->SetViewRect(second);
  }
  Resize();
}

MRect AGraphPane::GetGraphRect(ShownViews which) const {
  if (which == kCurrentView) return fCurrentView->ViewRect();
  if (which == kSecondView) return fSecondView != nullptr ? fSecondView->ViewRect() : MRect{};
  return fGraphRect;
}

void AGraphPane::Resize() {
  for (int k = kFirst2D; k < kFourD; ++k) fViews[k]->Resize();
}

void AGraphPane::ShowViews(AGraphView* current, AGraphView* second) {
  fCurrentView = current;
  fSecondView = second;
  SetViewGraphRects();
}

bool AGraphPane::AreAnyViews2D() const { return fCurrentView == View2D(0) || fSecondView == View2D(1); }

bool AGraphPane::AreAnyViews3D() const {
  return fCurrentView == View3D(0) || fCurrentView == View4D() || fSecondView == View3D(1);
}

bool AGraphPane::IsShowingAxes(ShownViews which) const {
  if (which == kCurrentView) return fCurrentView->IsShowingAxes();
  if (which == kSecondView) return fSecondView != nullptr && fSecondView->IsShowingAxes();
  return false;
}

bool AGraphPane::IsShowingGraphPaper(ShownViews which) const {
  if (which == kCurrentView) return fCurrentView == View2D(0) && View2D(0)->IsShowingGraphPaper();
  if (which == kSecondView) return fSecondView == View2D(1) && View2D(1)->IsShowingGraphPaper();
  return false;
}

bool AGraphPane::AreAllGraphsDoneComputing() {
  for (auto& view : fViews) {
    if (!view->AreAllGraphsDoneComputing()) return false;
  }
  return true;
}

bool AGraphPane::AreAnyGraphsSpinning() {
  return fCurrentView->IsMoving() || (fSecondView != nullptr && fSecondView->IsMoving());
}

bool AGraphPane::AreAnyGraphsMoving() { return AreAnyGraphsSpinning() || !AreAllGraphsDoneComputing(); }

AGraphView* AGraphPane::Shown3DCurrent() const {
  return fCurrentView == View3D(0) || fCurrentView == View4D() ? fCurrentView : nullptr;
}

AGraphView* AGraphPane::Shown3DSecond() const { return fSecondView == View3D(1) ? fSecondView : nullptr; }

bool AGraphPane::AreAnyGraphsDMA() {
  AGraphView* current = Shown3DCurrent();
  AGraphView* second = Shown3DSecond();
  return (current != nullptr && current->IsDMA()) || (second != nullptr && second->IsDMA());
}

bool AGraphPane::AreAllGraphsDMA() {
  if (fCurrentView == View4D()) return View4D()->IsDMA();
  if (fCurrentView != View3D(0) || !View3D(0)->IsDMA()) return false;
  return fSecondView == nullptr || (fSecondView == View3D(1) && View3D(1)->IsDMA());
}

const GraphLookup::Pair* AGraphPane::MainPair(int32_t i) const {
  const GraphLookup* row = fPass.Lookup().At(i);
  return row != nullptr && row->pairs[0].view != nullptr ? &row->pairs[0] : nullptr;
}

int32_t AGraphPane::GraphVisibility(int32_t i) {
  const GraphLookup::Pair* p = MainPair(i);
  return p ? p->view->GraphVisibility(p->index) : 0;
}

bool AGraphPane::IsDoneComputing(int32_t i) {
  const GraphLookup::Pair* p = MainPair(i);
  return p ? p->view->IsDoneComputing(p->index) : true;
}

bool AGraphPane::UsesGrainSlider(int32_t i) {
  const GraphLookup::Pair* p = MainPair(i);
  return p ? p->view->UsesGrainSlider(p->index) : false;
}

bool AGraphPane::DoesIndexMatchObject(const AListGenericSmall<int32_t>* indexes, const void* graph) const {
  if (indexes == nullptr || indexes->Count() != 1) return false;
  const GraphLookup::Pair* p = MainPair((*indexes)[0]);
  return p != nullptr && p->view == View2D(0) && p->view->GraphAt(p->index) == graph && graph != nullptr;
}

void AGraphPane::Draw(ShownViews which, bool drawGraphs) {
  switch (which) {
    case kCurrentView:
    case kSecondView:
    case kBothViews:
      if (fSecondView == nullptr || which != kSecondView) fCurrentView->Draw(drawGraphs);
      if (fSecondView != nullptr && which != kCurrentView) fSecondView->Draw(drawGraphs);
      break;
    case kShown2DViews:
      if (fCurrentView == View2D(0)) fCurrentView->Draw(drawGraphs);
      if (fSecondView == View2D(1)) fSecondView->Draw(drawGraphs);
      break;
    case kShown3DViews:
    case kAcceleratedViews:
      for (AGraphView* view : {Shown3DCurrent(), Shown3DSecond()}) {
        if (view != nullptr && (which == kShown3DViews || view->IsDrawAccelerated())) view->Draw(drawGraphs);
      }
      break;
    default: break;
  }
}

void AGraphPane::GetDMAPunchOutRgn(QRegion* region) {
  *region = QRegion();
  for (AGraphView* view : {Shown3DCurrent(), Shown3DSecond()}) {
    if (view != nullptr && view->IsDMA()) {
      const MRect& r = view->ViewRect();
      *region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
  }
}

void AGraphPane::ConstructContextNeededByGraphConstructors() {
  for (AGraphView* view : {Shown3DCurrent(), Shown3DSecond()}) {
    if (view != nullptr) view->ConstructContextNeededByGraphConstructors();
  }
}

void AGraphPane::Compute(long waitTime, bool force) {
  ConstructContextNeededByGraphConstructors();
  if (waitTime != 0) {
    const uint32_t deadline = OurTime() + static_cast<uint32_t>(waitTime);
    while (!OurTimeIsPast(OurTime(), deadline) && !AreAllGraphsDoneComputing()) OurSleep(500);
  }
  if (force || fCurrentView->AreAllGraphsDoneComputing()) {
    SetViewParameter(kAttributeUpdateVertexObjects, kCurrentView);
  }
  if (fSecondView != nullptr && (force || fSecondView->AreAllGraphsDoneComputing())) {
    SetViewParameter(kAttributeUpdateVertexObjects, kSecondView);
  }
}

void AGraphPane::UpdateVertexObjects() {
  SetViewParameter(kAttributeUpdateVertexObjects, kCurrentView);
  if (fSecondView != nullptr) SetViewParameter(kAttributeUpdateVertexObjects, kSecondView);
}

void AGraphPane::UpdateSavedVertexObjectsAfterNextFrameHasBegunComputing() {
  SetViewParameter(kAttributeUpdateSavedVertexObjects, kCurrentView);
  if (fSecondView != nullptr) SetViewParameter(kAttributeUpdateSavedVertexObjects, kSecondView);
}

void AGraphPane::SaveFinishedModelsBeforeSteppingSliderToStartNextFrame() {
  ConstructContextNeededByGraphConstructors();
  SetViewParameter(kAttributeSaveFinishedModels, kCurrentView);
  if (fSecondView != nullptr) SetViewParameter(kAttributeSaveFinishedModels, kSecondView);
}

// A spin of zero frames gets the count of a whole turn at its angle, at
// most 200; the angle is then fitted to the count. The count comes from
// the angle's size in double, so tiny and negative angles are safe, and
// every angle keeps its direction.
void AGraphPane::SpinForMovie(AGraphView* view, int32_t angles, int32_t* frames) {
  constexpr double kTwoPi = 6.283185307179586;
  double* spin = view->Record().spinAngle;
  for (int a = 0; a < angles; ++a) spin[a] /= 15;
  if (*frames == 0 && spin[0] != 0) {
    const double turn = kTwoPi / std::abs(spin[0]) + 0.5;
    *frames = turn > 200 ? 200 : DoubleToInt32(turn);
  }
  if (*frames == 0) return;
  const double count = std::abs(double(*frames));
  for (int a = 0; a < angles; ++a) {
    if (spin[a] != 0) spin[a] = std::copysign(kTwoPi / count, spin[a]);
  }
}

int32_t AGraphPane::PrepareForMovie(int32_t frames) {
  if (fCurrentView == View3D(0)) SpinForMovie(View3D(0), 1, &frames);
  if (fSecondView == View3D(1)) SpinForMovie(View3D(1), 1, &frames);
  if (fCurrentView == View4D()) SpinForMovie(View4D(), 2, &frames);
  return frames;
}

void AGraphPane::SetViewParameter(ViewAttribute attribute, ShownViews pair) {
  if (pair == kCurrentView || pair == kBothViews) {
    View2D(0)->SetViewParameter(attribute);
    View3D(0)->SetViewParameter(attribute);
  }
  if (pair == kSecondView || pair == kBothViews) {
    View2D(1)->SetViewParameter(attribute);
    View3D(1)->SetViewParameter(attribute);
  }
  PaneHooks::SetViewControlToolTip(attribute, IsShowingAxes(kCurrentView), IsShowingAxes(kSecondView),
                                   IsShowingGraphPaper(kCurrentView), IsShowingGraphPaper(kSecondView), fDocument);
  if (attribute == kAttributeSaveFinishedModels || attribute == kAttributeUpdateSavedVertexObjects ||
      attribute == kAttributeUpdateVertexObjects) {
    return;
  }
  PaneHooks::RedrawGraph(fDocument);
}

void AGraphPane::SetGraphParameter(ViewAttribute attribute, double value, int32_t i) {
  const GraphLookup* row = fPass.Lookup().At(i);
  if (row == nullptr) return;
  for (int pair = 0; pair < 4; ++pair) {
    const GraphLookup::Pair& p = row->pairs[pair];
    if (p.view == nullptr) continue;
    // Further graphs of an equation keep their own colours unless hidden.
    const double passed = pair >= 2 && attribute == kAttributeColor ? (value == 17 ? 17 : 8) : value;
    p.view->SetGraphParameter(attribute, passed, p.index);
  }
}

AGraphPane::RangeHolder AGraphPane::HolderOf(int32_t p) const {
  if (IsView4D() && p >= kCoordX && p <= kCoordW) return {View4D(), p};
  if (p >= kCoordX && p <= kCoordZ) return {View3D(0), p};
  if (p >= kCoordXPrime && p <= kCoordZPrime) return {View3D(1), p - kCoordXPrime};
  if (p >= kCoordR && p <= kCoordV) return {View3D(0), p};
  return {nullptr, p};
}

double* AGraphPane::RangeFor(int32_t p) {
  const RangeHolder holder = HolderOf(p);
  return holder.view != nullptr ? holder.view->ParameterRange(holder.parameter) : nullptr;
}

bool AGraphPane::IsUsableRange(int32_t p, double low, double high) const {
  if (p >= kCoordR && p <= kCoordV) {
    for (const auto& view : fViews)
      if (view->Record().Keeps(p) && !view->IsUsableRange(p, low, high)) return false;
    return true;
  }
  const RangeHolder holder = HolderOf(p);
  return holder.view != nullptr && holder.view->IsUsableRange(holder.parameter, low, high);
}

void AGraphPane::SetParameterValue(int32_t p, int32_t end, double value) {
  const int side = end == 0 ? 0 : 1;
  if (p >= kCoordR && p <= kCoordV) {
    // Every view whose graphs sample the range holds it.
    for (auto& view : fViews) {
      if (double* range = view->ParameterRange(p)) range[side] = value;
    }
  } else if (double* range = RangeFor(p)) {
    range[side] = value;
  }
}

void AGraphPane::ShowParam(CoordDisplayParam p) {
  if (const double* range = RangeFor(p)) PaneHooks::SetCoordinateValues(p, range[0], range[1], fDocument);
}

void AGraphPane::Zoom(ZoomCommand command, ShownViews which) {
  if ((command == kZoomDefaultView || command == kZoomReset) && which == kBothViews) {
    for (auto& view : fViews) view->Zoom(command);
  } else {
    if (which == kCurrentView || which == kBothViews) fCurrentView->Zoom(command);
    if ((which == kSecondView || which == kBothViews) && fSecondView != nullptr) fSecondView->Zoom(command);
  }
  PaneHooks::SetRTErrorCheck(fDocument);
  if (command != kZoomReset) PaneHooks::SetDocDirty(fDocument, true);
  PaneHooks::SetCursorRegion(fDocument);
}

void AGraphPane::Zoom(double x1, double x2, double y1, double y2, ShownViews which) {
  if (which == kCurrentView || which == kBothViews) View2D(0)->ShowRanges(x1, x2, y1, y2);
  if (which == kSecondView || which == kBothViews) View2D(1)->ShowRanges(x1, x2, y1, y2);
  PaneHooks::SetDocDirty(fDocument, true);
}

void AGraphPane::CopyOtherViewDomain(int32_t k) {
  if (k != 0 && k != 1) return;
  if (fCurrentView == View2D(0)) {
    View2D(k)->CopyDomainFrom(*View2D(1 - k));
    Resize();
    View2D(k)->ViewChanged();
  } else if (View3D(k)->CopyDomainFrom(*View3D(1 - k))) {
    View3D(k)->ViewChanged();
    PaneHooks::RedoCoordinateDisplay(fDocument);
    PaneHooks::RedrawCoordinates(fDocument);
    PaneHooks::InvalGraphRect(fDocument);
  }
  PaneHooks::RedrawGraph(fDocument);
}

void AGraphPane::RedrawPrimeViewifNecessary(const void* view) {
  if (view == View2D(0) && fSecondView == View2D(1)) PaneHooks::RedrawGraph(fDocument);
}

void AGraphPane::DoShowAllData() {
  fCurrentView->DoShowAllData();
  if (fSecondView != nullptr) fSecondView->DoShowAllData();
}

void AGraphPane::InvalConstant(int32_t id) {
  for (auto& view : fViews) {
    for (int32_t i = 0; i < view->GraphCount(); ++i) {
      if (AGraph* graph = view->GraphAt(i)) graph->InvalConstant(id);
    }
  }
  ClearGraphMark();
}

void AGraphPane::ClearGraphMark() {
  View2D(0)->Record().marked = false;
  View2D(1)->Record().marked = false;
}

int32_t AGraphPane::MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                              bool doubleClick) {
  AGraphView* target = fCurrentView;
  if (fSecondView != nullptr) {
    if (IsOurPointInRect(point, fCurrentView->ViewRect())) {
      target = fCurrentView;
    } else if (IsOurPointInRect(point, fSecondView->ViewRect())) {
      target = fSecondView;
    } else {
      return 0;
    }
  }
  fClickedView = target;
  return target->MouseDown(point, when, command, option, control, shift, doubleClick);
}

bool AGraphPane::MouseWheel(MPoint point, int32_t dh, int32_t dv) {
  if (IsOurPointInRect(point, fCurrentView->ViewRect())) return fCurrentView->MouseWheel(dh, dv);
  if (fSecondView != nullptr && IsOurPointInRect(point, fSecondView->ViewRect())) {
    return fSecondView->MouseWheel(dh, dv);
  }
  return false;
}

void AGraphPane::MouseMove(MPoint point) {
  fCurrentView->MouseMove(point, point);
  if (fSecondView != nullptr) fSecondView->MouseMove(point, point);
}

namespace {

// The current view's region, united with the second view's when shown.
template <typename Fill>
void UniteRegions(AGraphView* current, AGraphView* second, QRegion* region, Fill fill) {
  fill(current, region);
  if (second == nullptr) return;
  QRegion scratch;
  fill(second, &scratch);
  *region += scratch;
}

}  // namespace

void AGraphPane::GetHandCursorRgn(QRegion* region, bool panModifier) {
  UniteRegions(fCurrentView, fSecondView, region,
               [&](AGraphView* view, QRegion* r) { view->GetHandCursorRgn(r, panModifier); });
}

void AGraphPane::GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) {
  UniteRegions(fCurrentView, fSecondView, region,
               [&](AGraphView* view, QRegion* r) { view->GetMarkCursorRgn(r, markModifier, point); });
}

void AGraphPane::GetDragCursorRgn(QRegion* region) {
  UniteRegions(fCurrentView, fSecondView, region, [](AGraphView* view, QRegion* r) { view->GetDragCursorRgn(r); });
}

void AGraphPane::PastePicture(const OurPicture* picture, const MPoint* point) {
  if (point == nullptr) return;
  if (fCurrentView == View2D(0) && IsOurPointInRect(*point, View2D(0)->ViewRect())) {
    View2D(0)->PastePicture(picture, point);
  } else if (fSecondView == View2D(1) && IsOurPointInRect(*point, View2D(1)->ViewRect())) {
    View2D(1)->PastePicture(picture, point);
  }
}

void AGraphPane::AddGraph(std::unique_ptr<A2DGraph> graph, int32_t k) { fPass.AddGraph(std::move(graph), k); }
void AGraphPane::AddGraph(std::unique_ptr<A3DGraph> graph, int32_t k) { fPass.AddGraph(std::move(graph), k); }
void AGraphPane::AddGraph(std::unique_ptr<A4DGraph> graph, int32_t k) { fPass.AddGraph(std::move(graph), k); }
void AGraphPane::AddGraph_TransformedCoordinates(std::unique_ptr<A2DGraph> graph) {
  fPass.AddGraph_TransformedCoordinates(std::move(graph));
}
void AGraphPane::AddGraph_TransformedCoordinates(std::unique_ptr<A3DGraph> graph) {
  fPass.AddGraph_TransformedCoordinates(std::move(graph));
}

void AGraphPane::EraseGraph() {
  for (Slot k : {kSecond2D, kFirst2D, kSecond3D, kFirst3D, kFourD}) fViews[k]->DeleteGraphs();
  fPass.ForgetRows();
  ClearGraphMark();
  PaneHooks::ClearCoordinateDisplay(fDocument);
}
