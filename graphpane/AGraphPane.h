#pragma once

#include <QRegion>
#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/MRect.h"
#include "evaluation/ColorEquations.h"
#include "expression/ExpressionRecord.h"
#include "graphpane/AGraphView.h"
#include "graphpane/CoordinateTransformation.h"
#include "graphpane/EquationPass.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/GraphViewRecord.h"
#include "graphpane/OwnedHandles.h"

enum Our3DRendererType : int32_t;
class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraphColor;
class AnExpression;
class DocumentRecord;
class QWidget;
struct OurPicture;

// The graph area of one document: two 2-D views, two 3-D views and one 4-D
// view; the current view (first 2-D, first 3-D or 4-D) and the second view
// shown beside it (second 2-D or second 3-D), if any; the pass that adds
// equations to them. All on the interface thread.
class AGraphPane {
 public:
  // window: the widget the 3-D and 4-D views may draw over on screen;
  // null without a window.
  AGraphPane(const MRect& rect, QWidget* window, DocumentRecord* document);
  ~AGraphPane();
  AGraphPane(const AGraphPane&) = delete;
  AGraphPane& operator=(const AGraphPane&) = delete;

  void SetGraphRect(const MRect& rect);
  void SetViewGraphRects();
  // The current or second view's; kBothViews and the others the whole
  // rectangle.
  MRect GetGraphRect(ShownViews which) const;
  void Resize();

  bool IsView4D() const { return fCurrentView == View4D(); }
  bool AreAnyViews2D() const;
  bool AreAnyViews3D() const;
  // Of the current or second view; false for the others.
  bool IsShowingAxes(ShownViews which) const;
  bool IsShowingGraphPaper(ShownViews which) const;
  bool AreAllGraphsDoneComputing();
  bool AreAnyGraphsSpinning();
  bool AreAnyGraphsMoving();
  bool AreAnyGraphsDMA();
  bool AreAllGraphsDMA();
  // Lookup row i's main graph; out-of-range rows are invisible, done and
  // without a grain slider.
  int32_t GraphVisibility(int32_t i);
  bool IsDoneComputing(int32_t i);
  bool UsesGrainSlider(int32_t i);
  bool DoesIndexMatchObject(const AListGenericSmall<int32_t>* indexes, const void* graph) const;

  void Draw(ShownViews which, bool drawGraphs);
  // Reads the pictures of the shown views drawing on screen into the
  // document's world: the current or second view's (the 4-D view's
  // whenever it is current), or both.
  void ReadFrameBufferIfNeeded(ShownViews which);
  // Where the shown views drawing on screen lie.
  void GetDMAPunchOutRgn(QRegion* region);
  void Compute(long waitTime, bool force);
  void ConstructContextNeededByGraphConstructors();
  void UpdateVertexObjects();
  void UpdateSavedVertexObjectsAfterNextFrameHasBegunComputing();
  void SaveFinishedModelsBeforeSteppingSliderToStartNextFrame();
  // Frames of a movie of the spinning views; 0 when nothing spins.
  int32_t PrepareForMovie(int32_t frames);

  // To the first 2-D and 3-D views (kCurrentView), the second ones
  // (kSecondView) or all four (kBothViews); any other only retags the view
  // buttons.
  void SetViewParameter(ViewAttribute attribute, ShownViews pair);
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t i);
  // To the 4-D view, with the setting's value.
  void SetViewParameter4D(ViewAttribute attribute, double value) { View4D()->SetViewParameter4D(attribute, value); }
  void SetParameterValue(int32_t p, int32_t end, double value);
  // Whether every view that range p sets can take it from low to high.
  bool IsUsableRange(int32_t p, double low, double high) const;
  void ShowParam(CoordDisplayParam p);
  void ShowXYZ(int32_t which) { fPass.ShowXYZ(which); }
  // The current view, the second or both; kBothViews with the default view
  // or a reset reaches every view.
  void Zoom(ZoomCommand command, ShownViews which);
  // The x and y ranges of the first 2-D view, the second or both.
  void Zoom(double x1, double x2, double y1, double y2, ShownViews which);
  void CopyOtherViewDomain(int32_t k);
  void RedrawPrimeViewifNecessary(const void* view);
  void DoShowAllData();
  void InvalConstant(int32_t id);
  void ClearGraphMark();

  int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift, bool doubleClick);
  bool MouseWheel(MPoint point, int32_t dh, int32_t dv);
  // The mouse, no button held, is at the point (anywhere, or far off when
  // it left the pane): each shown view hears of it.
  void MouseMove(MPoint point);
  void GetHandCursorRgn(QRegion* region, bool panModifier);
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point);
  void GetDragCursorRgn(QRegion* region);
  void PastePicture(const OurPicture* picture, const MPoint* point);

  // Deletes every view's graphs; the pass forgets its rows.
  void EraseGraph();
  // Forwarded to the pass, as are the operations of a pass below.
  void AddGraph(std::unique_ptr<A2DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A3DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A4DGraph> graph, int32_t k);
  void AddGraph_TransformedCoordinates(std::unique_ptr<A2DGraph> graph);
  void AddGraph_TransformedCoordinates(std::unique_ptr<A3DGraph> graph);

  // Which views are shown; the pass of adding equations sets them.
  void ShowViews(AGraphView* current, AGraphView* second);

  // One pass of adding a document's expanded equations, run by the pane's
  // EquationPass: Start, AddEquation for each, Done. AddEquation returns
  // the lookup row made for e, or -1 when it made no graph (then
  // GetEqnSyntaxErr says why). is3D: the view the equation goes to is 3-D;
  // is4D: the 4-D view is shown. The block's attributes come as doubles.
  void StartAddingEquations(bool is3D, bool is4D, bool twoViews, bool secondIs3D,
                            const CoordinateTransformation& transformation) {
    fPass.Start(is3D, is4D, twoViews, secondIs3D, transformation);
  }
  int32_t AddEquation(ExpressionRecord* e, bool is3D, bool is4D, const CoordinateTransformation& transformation,
                      double colour, double grain, double opacity, double plottingMode, double xyType) {
    return fPass.Add(e, is3D, is4D, transformation, colour, grain, opacity, plottingMode, xyType);
  }
  void DoneAddingEquations() { fPass.Done(); }

  // The 3-D and 4-D views' draw contexts, remade at their next frame.
  void DisposeDrawContexts();
  // Lets the renderer's automatic choice look again at each of those
  // contexts' next frame.
  void SetDrawContextsTransparencyChangedFlag();
  // A shown 3-D or 4-D view draws with the software rasteriser.
  bool UsingOurRenderer() const;
  // Asks the shown 3-D or 4-D views' contexts for another renderer, taken
  // when each is next made; the previous wish of the last one changed.
  Our3DRendererType SetDesiredRendererType(Our3DRendererType type);

  AGraphView* View2D(int32_t k) const { return fViews[kFirst2D + k].get(); }
  AGraphView* View3D(int32_t k) const { return fViews[kFirst3D + k].get(); }
  AGraphView* View4D() const { return fViews[kFourD].get(); }
  AGraphView* CurrentView() const { return fCurrentView; }
  AGraphView* SecondView() const { return fSecondView; }
  AGraphView* ClickedView() const { return fClickedView; }
  // The rows and coordinate flags of the last pass.
  AListGenericSmall<GraphLookup>& Lookup() { return fPass.Lookup(); }
  const int32_t* CoordinateDisplayFlags() const { return fPass.CoordinateDisplayFlags(); }
  EquationPass& Pass() { return fPass; }
  DocumentRecord* Document() const { return fDocument; }

 private:
  const GraphLookup::Pair* MainPair(int32_t i) const;
  void SetDrawContextsWindow(QWidget* window);
  // The shown views of the kinds a 3-D or 4-D view is.
  AGraphView* Shown3DCurrent() const;
  AGraphView* Shown3DSecond() const;
  // The view that holds range p for the coordinate display, and its number
  // there.
  struct RangeHolder {
    AGraphView* view;
    int32_t parameter;
  };
  RangeHolder HolderOf(int32_t p) const;
  // Where the coordinate display reads range p.
  double* RangeFor(int32_t p);
  void SpinForMovie(AGraphView* view, int32_t angles, int32_t* frames);

  DocumentRecord* fDocument;
  enum Slot : int32_t { kFirst2D, kSecond2D, kFirst3D, kSecond3D, kFourD, kSlotCount };
  std::unique_ptr<AGraphView> fViews[kSlotCount];
  AGraphView* fCurrentView;
  AGraphView* fSecondView = nullptr;
  AGraphView* fClickedView;
  MRect fGraphRect;
  EquationPass fPass;
};
