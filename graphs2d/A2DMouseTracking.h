#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "graphpane/PointRecords.h"

class A2DGraphView;
class QRegion;
struct OurPort;

// The mouse in a 2-D view: what a press starts (a mark tracked along a
// graph, a dragged point, a pan, a zoom rectangle, a dragged picture), the
// selection it leaves and how that is drawn, the cursor areas, and the
// questions the graph-view thread answers for it. It works on its view
// through the view's own interface.
class A2DMouseTracking {
 public:
  explicit A2DMouseTracking(A2DGraphView& view) : fView(view) {}
  ~A2DMouseTracking();
  A2DMouseTracking(const A2DMouseTracking&) = delete;
  A2DMouseTracking& operator=(const A2DMouseTracking&) = delete;

  int32_t MouseDown(MPoint point, bool control, bool option, bool shift, bool doubleClick);
  // A selection's crosshair and readout follow the mouse: off the view they go.
  void MouseMove(MPoint now);
  void GetHandCursorRgn(QRegion* region, bool panModifier) const;
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point);
  void GetDragCursorRgn(QRegion* region) const;
  // On the graph-view thread: answers the pending request.
  void ThreadedEvaluation();

  void SelectAndTrackPointOn2DGraph(MPoint point);
  void MouseMoveForTracking(MPoint point);
  void MouseUpForZoomRect(MPoint end, MPoint start);
  void InvalidateSelectionIfOffscreen();
  // A box or vector selection asks its graph again after the view changed.
  void ReevaluateSelection();
  void DrawSelection();
  void DrawSelectionFeedback();

  void ClearSelection() { fSelection.Clear(); }
  int32_t SelectedGraph() const { return fSelectedGraph; }
  // Snaps heard since the view was made (the sound itself is silent).
  int32_t ClickCount() const { return fClicks; }
  const Selection& CurrentSelection() const { return fSelection; }
  Selection& MutableSelection() { return fSelection; }

 private:
  // What the graph-view thread is asked to evaluate.
  enum GraphViewRequest : int32_t {
    kRequestMouseMoved = 0,
    kRequestSelection = 1,
    kRequestOverCurve = 2,
    kRequestOverPoint = 3,
  };
  bool Request(GraphViewRequest request, MPoint point);
  void ThreadedMouseMoved();
  bool ThreadedIsPointOverAnyCurve();
  bool ThreadedIsPointOverComplexPoint();
  void SearchForIntersectionsWithOtherCurves(Selection* selection);
  bool AxisBands(QRegion* region) const;
  void DragToPan();
  void DragZoomRect(MPoint start);
  void DragPicture(int32_t index, MPoint start);
  void DrawZoomRect(MPoint a, MPoint b) const;
  void SaveGraphWithoutCrosshairs();
  void RedrawGraphWithNewCrosshairs();
  MRect SelectionMarkerBox() const;

  A2DGraphView& fView;
  Selection fSelection;
  int32_t fSelectedGraph = 0;
  // The graph without the selection, kept while a zoom rectangle is drawn.
  OurPort* fSavedPicture = nullptr;
  int32_t fRequest = 0, fResult = 0;
  MPoint fTrackedPoint{};
  MPoint fLastCrosshair{};
  bool fHasCrosshair = false;
  bool fUnchanged = false, fMoved = false, fPointDrag = false, fClearedByMove = false;
  int32_t fClicks = 0;
};
