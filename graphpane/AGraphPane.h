#pragma once

#include <QRegion>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "CoreUtilities/AListGenericSmall.h"
#include "CoreUtilities/MRect.h"
#include "evaluation/ColorEquations.h"
#include "expression/ExpressionRecord.h"
#include "graphpane/AGraphView.h"
#include "graphpane/CoordinateTransformation.h"
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
struct OurPicture;

// The graphs made from one equation: pair 0 the main graph, pair 1 its
// mirror in the second view of a coordinate-transform pair, pairs 2 and 3
// further graphs; pairs not in use are zero.
struct GraphLookup {
  struct Pair {
    AGraphView* view;
    int32_t index;
  };
  Pair pairs[4];
};

// The graph area of one document: two 2-D views, two 3-D views and one 4-D
// view; the current view (first 2-D, first 3-D or 4-D) and the second view
// shown beside it (second 2-D or second 3-D), if any; one lookup row per
// equation of the current pass. All on the interface thread.
class AGraphPane {
 public:
  AGraphPane(const MRect& rect, void* window, DocumentRecord* document);
  ~AGraphPane();
  AGraphPane(const AGraphPane&) = delete;
  AGraphPane& operator=(const AGraphPane&) = delete;

  void SetGraphRect(const MRect& rect);
  void SetViewGraphRects();
  // 0 the current view's, 1 the second view's, else the whole rectangle.
  MRect GetGraphRect(int32_t which) const;
  void Resize();

  bool IsView4D() const { return fCurrentView == View4D(); }
  bool AreAnyViews2D() const;
  bool AreAnyViews3D() const;
  bool IsShowingAxes(int32_t which) const;
  bool IsShowingGraphPaper(int32_t which) const;
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

  // which: 0 current, 1 second, 2 both, 3 the shown 2-D views, 4 the shown
  // 3-D and 4-D views, 5 those of 4 that draw accelerated.
  void Draw(int32_t which, bool drawGraphs);
  void GetDMAPunchOutRgn(QRegion* region);
  void Compute(long waitTime, bool force);
  void ConstructContextNeededByGraphConstructors();
  void UpdateVertexObjects();
  void UpdateSavedVertexObjectsAfterNextFrameHasBegunComputing();
  void SaveFinishedModelsBeforeSteppingSliderToStartNextFrame();
  // Frames of a movie of the spinning views; 0 when nothing spins.
  int32_t PrepareForMovie(int32_t frames);

  void SetViewParameter(ViewAttribute attribute, int32_t pair);
  void SetGraphParameter(ViewAttribute attribute, double value, int32_t i);
  // To the 4-D view, with the setting's value.
  void SetViewParameter4D(ViewAttribute attribute, double value) { View4D()->SetViewParameter4D(attribute, value); }
  void SetParameterValue(int32_t p, int32_t end, double value);
  void ShowParam(CoordDisplayParam p);
  void ShowXYZ(int32_t which);
  void Zoom(ZoomCommand command, int32_t which);
  void Zoom(double x1, double x2, double y1, double y2, int32_t which);
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

  // The graph goes to the view, which destroys it when its list can't
  // grow; the row is appended either way.
  void AddGraph(std::unique_ptr<A2DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A3DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A4DGraph> graph, int32_t k);
  void AddGraph_TransformedCoordinates(std::unique_ptr<A2DGraph> graph);
  void AddGraph_TransformedCoordinates(std::unique_ptr<A3DGraph> graph);
  void EraseGraph();

  // Which views are shown; the pass of adding equations sets them.
  void ShowViews(AGraphView* current, AGraphView* second);

  // One pass of adding a document's expanded equations: Start, AddEquation
  // for each, Done. Start empties the lookup rows and coordinate flags and
  // chooses the shown views. AddEquation leaves e as it found it and
  // returns the lookup row made for it, or -1 when it made no graph (then
  // GetEqnSyntaxErr says why). is3D: the view the equation goes to is 3-D;
  // is4D: the 4-D view is shown. The block's attributes come as doubles.
  void StartAddingEquations(bool is3D, bool is4D, bool twoViews, bool secondIs3D,
                            const CoordinateTransformation& transformation);
  int32_t AddEquation(ExpressionRecord* e, bool is3D, bool is4D, const CoordinateTransformation& transformation,
                      double colour, double grain, double opacity, double plottingMode, double xyType);
  // Shows the ranges the new graphs use in the coordinate display.
  void DoneAddingEquations();
  // A colour equation (a, b, c) = (e1, e2, e3) becomes the colour's three
  // colour expressions; type 9 RGB or 10 HSV.
  void ConstructColorExprs(AGraphColor* colour, GraphColorType type, const ExpressionRecord* option);
  // Compiles the tree for the pane's document; Optional gives null for a
  // null tree.
  Compiled Required(Tree e);
  Compiled Optional(Tree e);

  // The 3-D and 4-D views' draw contexts, remade at their next frame.
  void DisposeDrawContexts();
  // Asks the shown 3-D or 4-D views' contexts for another renderer, taken
  // when each is next made; the previous wish of the last one changed.
  Our3DRendererType SetDesiredRendererType(Our3DRendererType type);

  AGraphView* View2D(int32_t k) const { return fViews[k].get(); }
  AGraphView* View3D(int32_t k) const { return fViews[2 + k].get(); }
  AGraphView* View4D() const { return fViews[4].get(); }
  AGraphView* CurrentView() const { return fCurrentView; }
  AGraphView* SecondView() const { return fSecondView; }
  AGraphView* ClickedView() const { return fClickedView; }
  // Builders record further graphs of an equation in pairs 2 and 3.
  AListGenericSmall<GraphLookup>& Lookup() { return fGraphLookup; }
  int32_t* CoordinateDisplayFlags() { return fCoordDisplay; }
  // Indexes in the first 2-D view's list of the graphs the second view's
  // whole-picture plot resamples.
  const AListGenericSmall<int32_t>& TransformSources() const { return fTransformIndexes; }
  // The first 2-D view's newest graph joins the transform sources; false
  // when the list could not grow.
  bool AppendTransformSource();
  void ShowFlags(std::initializer_list<CoordDisplayParam> params);
  // The index the graph has in the view's list, or would have had: a graph
  // the view can't take is destroyed.
  int32_t AddGraphToView(std::unique_ptr<AGraph> graph, AGraphView* view);
  DocumentRecord* Document() const { return fDocument; }

 private:
  void AddToNewRow(std::unique_ptr<AGraph> graph, AGraphView* view);
  void AddTransformed(std::unique_ptr<AGraph> graph, AGraphView* view);
  const GraphLookup::Pair* MainPair(int32_t i) const;
  // The shown views of the kinds a 3-D or 4-D view is.
  AGraphView* Shown3DCurrent() const;
  AGraphView* Shown3DSecond() const;
  // Where the coordinate display reads range p.
  double* RangeFor(int32_t p);
  void SpinForMovie(AGraphView* view, int32_t angles, int32_t* frames);

  DocumentRecord* fDocument;
  // First and second 2-D, first and second 3-D, the 4-D view.
  std::unique_ptr<AGraphView> fViews[5];
  AGraphView* fCurrentView;
  AGraphView* fSecondView = nullptr;
  AGraphView* fClickedView;
  MRect fGraphRect;
  int32_t fCoordDisplay[kCoordDisplayParamCount] = {};
  AListGenericSmall<GraphLookup> fGraphLookup;
  AListGenericSmall<int32_t> fTransformIndexes;
};
