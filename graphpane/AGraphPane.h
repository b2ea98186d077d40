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

class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraphColor;
class AnExpression;
class DocumentRecord;
struct EquationBuild;
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
  void GetHandCursorRgn(QRegion* region, bool panModifier);
  void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point);
  void GetDragCursorRgn(QRegion* region);
  void PastePicture(const OurPicture* picture, const MPoint* point);

  // The graph belongs to the view from here on, or is deleted when the
  // view's list can't grow; the row is appended either way.
  void AddGraph(A2DGraph* graph, int32_t k);
  void AddGraph(A3DGraph* graph, int32_t k);
  void AddGraph(A4DGraph* graph, int32_t k);
  void AddGraph_TransformedCoordinates(A2DGraph* graph);
  void AddGraph_TransformedCoordinates(A3DGraph* graph);
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
  // Compiles the tree (taken over) for the pane's document; Optional gives
  // null for a null tree.
  AnExpression* Required(ExpressionRecord* e);
  AnExpression* Optional(ExpressionRecord* e);

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
  // The three formulas of a space transformation composed with (x, y, z):
  // new trees, plus one of extra when given; a colour with equations gets
  // them composed too. False, nothing made, when a formula is missing or
  // memory ran out.
  static bool TransformXYZ(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                           const ExpressionRecord* z, const ExpressionRecord* extra, AGraphColor* colour,
                           ExpressionRecord* (&out)[3], ExpressionRecord** outExtra);

 private:
  // Builders, one per graph kind, called by AddEquation only. Each gets the
  // equation proper, the view index and the equation's colour, which the
  // first graph made takes over; trees named relation, zero, clip and
  // radius are the builder's, the equation stays the caller's.
  void Add_kY_X(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                PlottingMode mode);
  void Add_kX_Y(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                PlottingMode mode);
  void Add_kFxnOfX(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   PlottingMode mode);
  void Add_kFxnOfY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   PlottingMode mode);
  void Add_kR_Theta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain);
  void Add_kTheta_R(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain);
  void Add_kInequality(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                       const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero);
  void Add_kXYRTh_eq_XYRTh(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                           const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero);
  void Add_kInequality2(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                        const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero);

  void Add_kZ_XYRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                       double grain, ExpressionRecord* clip, PlottingMode mode, double opacity, double xyType);
  void Add_kZ_RTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                     double grain, ExpressionRecord* clip, PlottingMode mode, double opacity, double xyType);
  void Add_kFxnOfXYRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          double grain, ExpressionRecord* clip, PlottingMode mode, double opacity, double xyType);
  void Add_kFxnOfZ(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   double grain, ExpressionRecord* clip, PlottingMode mode, double opacity, double xyType);
  void Add_kR_ThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                       double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kTheta_RPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                       double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kPhi_RTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                       double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kRThetaPhi_uv(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                         double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kXYZ_equals_XYZ(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                           double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kW_Z(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain, ExpressionRecord* clip,
                double opacity);
  void Add_kXYZW_uv(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain, ExpressionRecord* clip,
                    double opacity);

  void Add_kRThetaZ_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                      double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kRThetaPhi_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                        double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kZ_z(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZW_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain, ExpressionRecord* clip);
  void Add_kRTheta_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                     double grain, ExpressionRecord* clip, bool threeD);

  void Add_kXY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
               ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size);
  void Add_kRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size);
  void Add_kComplexConstant(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size);
  void Add_kComplexParameter(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* symbol, ExpressionRecord* label, ExpressionRecord* size);
  // x and y and the style trees taken over.
  void Add_kXYcomponents(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                         const CoordinateTransformation& ct, ExpressionRecord* symbol, ExpressionRecord* label,
                         ExpressionRecord* size, bool draggable = false);
  // style: clip, radius, symbol, label, font size; taken over.
  void Add_kData2D(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_kData2DRTheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                         ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_kData2Dcomponents(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                             const CoordinateTransformation& ct, ExpressionRecord* const (&style)[5],
                             DocumentRecord* document);
  void Add_kData3D(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_kDataRThetaZ(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                        ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_kDataRThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_kData3DComponents(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, int32_t view,
                             AGraphColor* colour, const CoordinateTransformation& ct,
                             ExpressionRecord* const (&style)[5], DocumentRecord* document);
  void Add_k3DPoint(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain, double opacity);
  void Add_k3DPointRThetaZ(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                           double grain, double opacity);
  void Add_k3DPointRThetaPhi(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             double grain, double opacity);
  void Add_k3DPointComponents(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, int32_t view,
                              AGraphColor* colour, const CoordinateTransformation& ct, double grain, double opacity);
  void Add_kArrow(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct);
  void Add_k3DArrow(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    ExpressionRecord* radius);

  void Add_kXYt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                double grain, ExpressionRecord* clip, bool threeD);
  void Add_kXY_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                 double grain, ExpressionRecord* clip, bool threeD);
  void Add_kZ_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                double grain, ExpressionRecord* clip, bool threeD);
  // x and y in t taken over.
  void Add_2D_t(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                const CoordinateTransformation& ct, double grain, ExpressionRecord* clip, bool threeD);
  void Add_kXYZt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                 double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZuv(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                  double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kRotation(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                     double grain, ExpressionRecord* clip, PlottingMode mode, double opacity);
  void Add_kRGB_xy(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                   ExpressionRecord* extra, bool hsv);
  void Add_k4DVertexList(ExpressionRecord* e, int32_t view, AGraphColor* colour);
  void Add_kODEdydx(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain, ExpressionRecord* startX, ExpressionRecord* startY);
  void Add_kODEdrdt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain, ExpressionRecord* startX, ExpressionRecord* startY);
  void Add_kODEdzdt(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                    double grain, ExpressionRecord* startX, ExpressionRecord* startY);
  void Add_kXY_XY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                  double grain, double xyType);

  // Fields started on a surface, one per coordinate form of the surface.
  void Add_kXYZ_XYZ_zxy(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                        double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_rthetaphi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                              ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_thetarphi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                              ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_phirtheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                              ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_rthetaz(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_zrtheta(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_thetarz(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                            double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_rthphiuv(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity);
  void Add_kXYZ_XYZ_rthetazuv(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                              ExpressionRecord* radius, double opacity);

  // Mirrors into the second view (view index 0 only): rebuilt there from
  // transformed copies of the formulas, or listed by index for the
  // whole-picture plot. Formulas are read, never taken; each mirror gets
  // the colour copy `mirror` (taken over, may be null when nothing mirrors).
  void Add_transformed_Inequality(const ExpressionRecord* relation, int32_t view, AGraphColor* mirror,
                                  const CoordinateTransformation& ct, PlottingMode mode, const ExpressionRecord* zero,
                                  int32_t finer);
  void Add_transformed_FunctionOfXorY(const ExpressionRecord* f, int32_t view, AGraphColor* mirror,
                                      const CoordinateTransformation& ct, PlottingMode mode, int32_t which);
  void Add_transformed_ParametricCurve(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                       const ExpressionRecord* y, AGraphColor* mirror, double grain, const double& tLow,
                                       const double& tHigh);
  void Add_transformed_Point(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                             const ExpressionRecord* y, AGraphColor* mirror, const ExpressionRecord* symbol,
                             const ExpressionRecord* label, const ExpressionRecord* size);
  void Add_transformed_Data2D(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                              const ExpressionRecord* y, const ExpressionRecord* const (&style)[5], AGraphColor* mirror,
                              DocumentRecord* document);
  void Add_transformed_Arrow(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x1,
                             const ExpressionRecord* y1, const ExpressionRecord* x2, const ExpressionRecord* y2,
                             AGraphColor* mirror);
  void Add_transformed_DensityPlot(const ExpressionRecord* f, int32_t view, AGraphColor* mirror,
                                   const CoordinateTransformation& ct, double grain);
  void Add_transformed_SpaceCurve(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                  const ExpressionRecord* y, const ExpressionRecord* z, const ExpressionRecord* clip,
                                  const ExpressionRecord* radius, double opacity, AGraphColor* mirror, double grain,
                                  const double& tLow, const double& tHigh);
  void Add_transformed_GridSurface(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                   const ExpressionRecord* y, const ExpressionRecord* z, const ExpressionRecord* clip,
                                   PlottingMode mode, AGraphColor* mirror, double grain, double opacity,
                                   const double& uLow, const double& uHigh, const double& vLow, const double& vHigh);
  void Add_transformed_ODEPlot3D(const CoordinateTransformation& ct, int32_t view, A3DGraph* solutions);
  // A graph of the first 3-D view shown in the second through the space
  // transformation, by the maker given.
  using SpaceMirrorMaker = A3DGraph* (*)(AnExpression* const (&)[3], A3DGraph*, AGraphView&);
  void ShowThroughSpace(const CoordinateTransformation& ct, SpaceMirrorMaker maker, A3DGraph* source);
  // The first 2-D view's newest graph joins the transform sources; false
  // when the list could not grow.
  bool AppendTransformSource();
  // For a graph of the first 2-D view: a graph drawn in transformed
  // coordinates joins the transform sources; true when the graph is a
  // source whose mirror, with the colour given, is to be built.
  bool BuildsPlaneMirror(const CoordinateTransformation& ct, int32_t view, bool coloured);
  // A copy of the colour for the mirror, made before the colour is handed
  // to its graph; null when view and transformation mirror nothing.
  AGraphColor* MirrorColour(int32_t view, const CoordinateTransformation& ct, const AGraphColor* colour) const;
  // The whole-picture plot of the second 2-D view for a plane transformation.
  void MakeTransformPlot(const CoordinateTransformation& ct);

  // Shared steps of the builders.
  void AddFunctionGraph(const ExpressionRecord* f, bool ofX, int32_t view, AGraphColor* colour,
                        const CoordinateTransformation& ct, PlottingMode mode);
  void AddPlaneCurve(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                     const CoordinateTransformation& ct, double grain, int32_t selectionType, CoordDisplayParam range);
  void AddRegion(ExpressionRecord* relation, ExpressionRecord* zero, int32_t view, AGraphColor* colour,
                 const CoordinateTransformation& ct, PlottingMode mode, bool equation);
  // The surface (x, y, z) over two of view's ranges, in the 3-D view;
  // false when no graph was made. Trees taken over.
  bool AddGridSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* clip,
                      AGraphColor* colour, const CoordinateTransformation& ct, double grain, double opacity,
                      PlottingMode mode, int32_t view, CoordDisplayParam uRange, CoordDisplayParam vRange);
  // The surface over [0, 1] x [0, 1] (a range the view doesn't keep).
  bool AddGridSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* clip,
                      AGraphColor* colour, const CoordinateTransformation& ct, double grain, double opacity,
                      PlottingMode mode, int32_t view, const double (&u)[2], const double (&v)[2],
                      const double (&firstU)[2], const double (&firstV)[2]);
  void AddPolarFunctionOfTwo(const ExpressionRecord* g, int32_t view, AGraphColor* colour,
                             const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                             PlottingMode mode, double opacity);
  void AddSphericalSurface(ExpressionRecord* rho, ExpressionRecord* theta, ExpressionRecord* phi,
                           ExpressionRecord* clip, AGraphColor* colour, const CoordinateTransformation& ct,
                           double grain, double opacity, PlottingMode mode, int32_t view, CoordDisplayParam uRange,
                           CoordDisplayParam vRange);
  void Add4DSurface(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* w,
                    ExpressionRecord* clip, AGraphColor* colour, double grain, double opacity, int32_t view,
                    CoordDisplayParam uRange, CoordDisplayParam vRange);
  // branch 2 density, 3 contour.
  // g: the function as written, which a density plot's mirror rewrites.
  void AddFlatPlot(int32_t branch, ExpressionRecord* f, const ExpressionRecord* g, AGraphColor* colour,
                   const CoordinateTransformation& ct, double grain, int32_t view);
  // d/dt (x, y, z) = F started on the surface (X, Y, Z) in u and v.
  // Trees taken over; false when no graph was made.
  bool AddStartOnGrid(const ExpressionRecord* head, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                      int32_t view, AGraphColor* colour, const CoordinateTransformation& ct, double grain,
                      ExpressionRecord* clip, ExpressionRecord* radius, double opacity, CoordDisplayParam uRange,
                      CoordDisplayParam vRange);
  // parameter: the variable the curve runs in, renamed u.
  void AddSpaceCurve(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* radius,
                     ExpressionRecord* clip, AGraphColor* colour, const CoordinateTransformation& ct, double grain,
                     double opacity, int32_t view, int32_t parameter, CoordDisplayParam range);
  // A slope field (second null) or a plane system; trees taken over.
  void AddDEPlot(ExpressionRecord* first, ExpressionRecord* second, int32_t view, AGraphColor* colour,
                 const CoordinateTransformation& ct, double grain, ExpressionRecord* startX, ExpressionRecord* startY);
  void ListForResampling(int32_t view, const CoordinateTransformation& ct);
  void ShowFlags(std::initializer_list<CoordDisplayParam> params);
  void SplitZInColourEquations(AGraphColor* colour);
  // Takes over the trees and the colour; null when no graph was made.
  A2DGraph* MakeRegion(ExpressionRecord* relation, ExpressionRecord* zero, AGraphColor* colour, PlottingMode mode,
                       bool equation, int32_t view);

  // Calls the builder the kind's row names; trees of the build not handed
  // to a builder are freed with it.
  friend struct KindBuilders;
  void Dispatch(EquationBuild& build);
  void AddInlineSurface(EquationBuild& build);
  void AddInlineField(EquationBuild& build);
  // The equation's colour goes to a maker: the pass no longer frees it.
  AGraphColor* HandOver(AGraphColor* colour) {
    fColourTaken = true;
    return colour;
  }

  int32_t AddGraphToView(AGraph* graph, AGraphView* view);
  void AddToNewRow(AGraph* graph, AGraphView* view);
  void AddTransformed(AGraph* graph, AGraphView* view);
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
  bool fColourTaken = false;
};
