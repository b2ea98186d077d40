#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/threads/ViewEvaluator.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphpane/PointRecords.h"
#include "graphs2d/A2DMouseTracking.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/A2DViewWindow.h"

class AGraphColor;
struct OurPicture;
struct OurPort;

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

// The 2-D view: its window on the world with the axes, its graphs (the
// base's list) and the mouse tracking are parts of their own; the view
// draws them, zooms and pans, and answers the pane.
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
  void MouseUpForZoomRect(MPoint end, MPoint start) { fTracking.MouseUpForZoomRect(end, start); }
  void ShiftStateToRoundNumbers();

  // Mouse tracking and the selection it marks.
  void MouseMoveForTracking(MPoint point) { fTracking.MouseMoveForTracking(point); }
  void InvalidateSelectionIfOffscreen() { fTracking.InvalidateSelectionIfOffscreen(); }
  void ClearSelection() { fTracking.ClearSelection(); }
  int32_t SelectedGraph() const { return fTracking.SelectedGraph(); }
  int32_t ClickCount() const { return fTracking.ClickCount(); }
  const Selection& CurrentSelection() const { return fTracking.CurrentSelection(); }
  Selection& MutableSelection() { return fTracking.MutableSelection(); }

  // The graph at an index as the view keeps it; null outside the list.
  A2DGraph* Graph(int32_t graph) const { return fGraphs.As<A2DGraph>(graph); }
  const A2DViewWindow& Window() const { return fWindow; }
  const ViewState2D& State() const { return fWindow.State(); }
  const A2DTransform& ViewTransform() const { return fWindow.ViewTransform(); }
  // Graphs keep this reference; zooming and panning reach them through it.
  const A2DTransform& GraphTransform() const { return fWindow.GraphTransform(); }
  const AListGenericSmall<PastedPicture>& Pictures() const { return fPictures; }
  AListGenericSmall<PastedPicture>& MutablePictures() { return fPictures; }
  OurPort* SampleBuffer() const { return fSampleBuffer; }

 private:
  void DrawPictures();
  void DrawBackgroundAndGraphs(const AListGenericSmall<int32_t>* indexes, bool hidden, bool drawGraphs);
  void DrawGraphs(const AListGenericSmall<int32_t>* indexes);
  bool DrawsThroughSampleBuffer() const;
  void EnsureSampleBuffer();
  void DisposePictures();
  void ZoomByCommand(ZoomCommand command);
  void ResetView(bool clearMinima);
  GraphList::Of<A2DGraph> Graphs() const { return fGraphs.All<A2DGraph>(); }

  A2DViewWindow fWindow{fViewRect};
  A2DMouseTracking fTracking{*this};
  AListGenericSmall<PastedPicture> fPictures;
  int64_t fLastDrawTime = 0;
  OurPort* fSampleBuffer = nullptr;
  int32_t fSampleWidth = 0, fSampleHeight = 0;
};

// The pane's maker of 2-D views.
std::unique_ptr<AGraphView> MakeA2DGraphView();
