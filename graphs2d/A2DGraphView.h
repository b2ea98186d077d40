#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/AListGenericSmall.h"
#include "CoreUtilities/ViewEvaluator.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphpane/PointRecords.h"
#include "graphs2d/A2DTransform.h"

class AGraphColor;
struct OurPicture;
struct OurPort;

// The world window of a 2-D view, copied as one block by zooming. Scales
// are the world size of 16 pixels and take values 1, 2.5 or 5 times a
// power of ten; the tick state names which (2.5: 1, 5: 2, 1: 5).
struct ViewState2D {
  double leading[2] = {0, 1};
  double constants[4] = {0, 0, 0, 0};
  double xScale = 0.25, yScale = 0.25;
  double xOrigin = 0, yOrigin = 0;
  double xPixelsPerUnit = 64, yPixelsPerUnit = -64;
  double xMinimum = 0, yMinimum = 0;
  int32_t xTickState = 1, yTickState = 1;
};

// A 2-D view as a document stores it.
struct StoredView2D {
  double t[2], r[2], theta[2];
  double scale[2];
  double bottomLeft[2];
  int32_t tickState[2];
  bool axes, graphPaper;
};

struct PastedPicture {
  OurPicture* picture;
  double x, y;  // world point of the bottom-left corner
};

// Tick and number spacing of an axis, in scales, by tick state; a scale
// outside the 1, 2.5, 5 family spaces them as the nearest one of it does.
double TickSpacing(double scale, int32_t tickState);
double NumberSpacing(double scale, int32_t tickState);
// The first multiple of the spacing at or above the minimum.
double FirstMultipleAtOrAbove(double minimum, double spacing);

class A2DGraphView : public AGraphView, public AViewEvaluator {
 public:
  A2DGraphView();
  ~A2DGraphView() override;

  // The pane's slots.
  int32_t Draw(bool drawGraphs) override;
  int32_t GraphVisibility(int32_t graph) override;
  bool IsDoneComputing(int32_t graph) override;
  void Resize() override;
  void Zoom(ZoomCommand command) override;
  bool MouseWheel(int32_t dh, int32_t dv) override;
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) override;
  bool UsesGrainSlider(int32_t graph) override;
  void GetHandCursorRgn(QRegion* region, bool panModifier) override;
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) override;
  void GetDragCursorRgn(QRegion* region) override;
  MPoint GetDemoMouseLocation(int32_t step) override;
  int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                    bool doubleClick) override;
  void MouseUp(MPoint point) override;
  void MouseMove(MPoint now, MPoint before) override;
  bool IsMoving() override { return false; }
  bool IsDrawAccelerated() override { return false; }
  bool AreAllGraphsDoneComputing() override;
  bool NoGraphs() override { return fGraphs.Empty(); }
  bool EnableShowAllData() override { return ShowAllData(false); }
  void DoShowAllData() override { ShowAllData(true); }
  void SetViewParameter(ViewAttribute attribute) override;
  void ViewChanged() override;
  bool CopyDomainFrom(const AGraphView& other) override;
  void DialogZoom(double x1, double x2, double y1, double y2) override;
  void ShowRanges(double x1, double x2, double y1, double y2) override;
  void PastePicture(const OurPicture* picture, const MPoint* point) override;
  void Threaded2DGraphViewEvaluation() override;

  // Draws the named graphs (all when null) with the colour of another view
  // when one is given; a colour of the hidden type leaves out paper and axes.
  int32_t Draw(const AListGenericSmall<int32_t>* indexes, const AGraphColor* colour, bool drawGraphs);
  // Takes a document's stored view; unusable axes get their defaults.
  void InstallViewState(const StoredView2D& stored);
  StoredView2D StoredView() const;
  // A copy of a stored picture anchored at a world point; 1 when it can't
  // be had.
  int AddStoredPicture(const OurPicture* picture, double x, double y);

  void SetDefaultViewState();
  void FinishSettingState();
  void Make2DTransform();
  void SleepHalfSecondOrUntilDoneComputing();
  void DrawGraphPaper(int32_t xoff, int32_t yoff, const MRect& r, bool doubled);

  void DialogZoomX(double x1, double x2);
  void DialogZoomY(double y1, double y2);
  bool ShowAllData(bool doIt);
  void Pan(int32_t dh, int32_t dv);
  void MouseMoveForPanning(MPoint now, MPoint before);
  void MouseUpForZoomRect(MPoint end, MPoint start);
  void ShiftStateToRoundNumbers();

  // Mouse tracking and the selection it marks.
  void SelectAndTrackPointOn2DGraph(MPoint point);
  void MouseMoveForTracking(MPoint point);
  void InvalidateSelectionIfOffscreen();
  void DrawSelection();
  void DrawSelectionFeedback();
  void ClearSelection() { fSelection.Clear(); }
  int32_t SelectedGraph() const { return fSelectedGraph; }
  // Snaps heard since the view was made (the sound itself is silent).
  int32_t ClickCount() const { return fClicks; }

  const ViewState2D& State() const { return fState; }
  const A2DTransform& ViewTransform() const { return fViewTransform; }
  // Graphs keep this reference; zooming and panning reach them through it.
  const A2DTransform& GraphTransform() const { return fGraphTransform; }
  const Selection& CurrentSelection() const { return fSelection; }
  Selection& MutableSelection() { return fSelection; }
  const AListGenericSmall<PastedPicture>& Pictures() const { return fPictures; }
  OurPort* SampleBuffer() const { return fSampleBuffer; }

 private:
  // What the graph-view thread is asked to evaluate.
  enum GraphViewRequest : int32_t {
    kRequestMouseMoved = 0,
    kRequestSelection = 1,
    kRequestOverCurve = 2,
    kRequestOverPoint = 3,
  };
  struct AxesPlace {
    int32_t row, column;
    bool rowPinned, columnPinned;
  };
  AxesPlace PlaceAxes() const;
  void DrawAxes(const AGraphColor* colour);
  void DrawXAxis(const AxesPlace& place);
  void DrawYAxis(const AxesPlace& place);
  void DrawPictures();
  void DrawBackgroundAndGraphs(const AListGenericSmall<int32_t>* indexes, bool hidden, bool drawGraphs);
  void DrawGraphs(const AListGenericSmall<int32_t>* indexes);
  bool DrawsThroughSampleBuffer() const;
  void EnsureSampleBuffer();
  void DisposePictures();
  void ReevaluateSelection();
  void ZoomByCommand(ZoomCommand command);
  void ResetView(bool clearMinima);
  A2DGraph* ValidGraph(int32_t graph) const { return fGraphs.As<A2DGraph>(graph); }
  GraphList::Of<A2DGraph> Graphs() const { return fGraphs.All<A2DGraph>(); }
  bool Request(GraphViewRequest request, MPoint point);
  void ThreadedMouseMoved();
  bool ThreadedIsPointOverAnyCurve();
  bool ThreadedIsPointOverComplexPoint();
  void SearchForIntersectionsWithOtherCurves(Selection* selection);
  bool AxisBands(QRegion* region) const;
  void DragToPan();
  void DragZoomRect(MPoint start);
  void DragPicture(int32_t index, MPoint start);
  void DrawZoomRect(MPoint a, MPoint b);
  void SaveGraphWithoutCrosshairs();
  void RedrawGraphWithNewCrosshairs();
  MRect SelectionMarkerBox() const;

  ViewState2D fState;
  A2DTransform fGraphTransform;
  A2DTransform fViewTransform;
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
  AListGenericSmall<PastedPicture> fPictures;
  int64_t fLastDrawTime = 0;
  OurPort* fSampleBuffer = nullptr;
  int32_t fSampleWidth = 0, fSampleHeight = 0;
};

// The pane's maker of 2-D views.
std::unique_ptr<AGraphView> MakeA2DGraphView();
