#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphColorConstants.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"

namespace {

Tree Renamed(ExpressionRecord* tree, int32_t from, int32_t to) {
  if (tree != nullptr) ReplaceAtoms(tree, from, to);
  return Tree(tree);
}

// The comparison of a relation, or of the relation its conditions follow.
ExpressionRecord* ComparisonOf(ExpressionRecord* relation) {
  return relation->opcode == kOpConditions ? relation->operands[0] : relation;
}

}  // namespace

void AGraphPane::AddFunctionGraph(const ExpressionRecord* f, bool ofX, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& ct, PlottingMode mode) {
  Colour mirror(MirrorColour(view, ct, colour));
  Compiled compiled(Required(Renamed(Copy(f), ofX ? kIdX : kIdY, kIdU).release()));
  if (gGraphMakers.FunctionOfXorY == nullptr) return;
  A2DGraph* graph = gGraphMakers.FunctionOfXorY(compiled.release(), ofX, HandOver(colour), mode, *View2D(view));
  if (graph == nullptr) return;
  AddGraph(graph, view);
  Add_transformed_FunctionOfXorY(f, view, mirror.release(), ct, mode, ofX ? 0 : 1);
}

void AGraphPane::Add_kY_X(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          PlottingMode mode) {
  AddFunctionGraph(e->operands[1], true, view, colour, ct, mode);
}

void AGraphPane::Add_kX_Y(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          PlottingMode mode) {
  AddFunctionGraph(e->operands[1], false, view, colour, ct, mode);
}

void AGraphPane::Add_kFxnOfX(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             PlottingMode mode) {
  AddFunctionGraph(e, true, view, colour, ct, mode);
}

void AGraphPane::Add_kFxnOfY(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                             PlottingMode mode) {
  AddFunctionGraph(e, false, view, colour, ct, mode);
}

// The mirror samples the first 2-D view's range.
void AGraphPane::AddPlaneCurve(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                               const CoordinateTransformation& ct, double grain, int32_t selectionType,
                               CoordDisplayParam range) {
  Colour mirror(MirrorColour(view, ct, colour));
  const Tree kx = KeepFor(mirror.get(), x), ky = KeepFor(mirror.get(), y);
  Compiled cx(Required(x)), cy(Required(y));
  if (gGraphMakers.ParametricCurve == nullptr) return;
  const double(&r)[2] = View2D(view)->Record().ranges[range];
  A2DGraph* graph = gGraphMakers.ParametricCurve(cx.release(), cy.release(), HandOver(colour), grain, selectionType,
                                                 *View2D(view), r[0], r[1]);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  const double(&first)[2] = View2D(0)->Record().ranges[range];
  Add_transformed_ParametricCurve(ct, view, kx.get(), ky.get(), mirror.release(), grain, first[0], first[1]);
  fCoordDisplay[range] = 1;
}

void AGraphPane::Add_kR_Theta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain) {
  const ExpressionRecord* g = e->operands[1];
  Tree x = Renamed(Times(Copy(g), Cos(Atomic(kIdU))), kIdTheta, kIdU);
  Tree y = Renamed(Times(Copy(g), Sin(Atomic(kIdU))), kIdTheta, kIdU);
  AddPlaneCurve(x.release(), y.release(), view, colour, ct, grain, 4, kCoordTheta);
}

void AGraphPane::Add_kTheta_R(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& ct, double grain) {
  const ExpressionRecord* g = e->operands[1];
  Tree x = Renamed(Times(Atomic(kIdU), Cos(Copy(g))), kIdR, kIdU);
  Tree y = Renamed(Times(Atomic(kIdU), Sin(Copy(g))), kIdR, kIdU);
  AddPlaneCurve(x.release(), y.release(), view, colour, ct, grain, 5, kCoordR);
}

A2DGraph* AGraphPane::MakeRegion(ExpressionRecord* relation, ExpressionRecord* zero, AGraphColor* colour,
                                 PlottingMode mode, bool equation, int32_t view) {
  Compiled condition(Required(relation)), boundary(Required(zero));
  if (gGraphMakers.Inequality == nullptr) {
    delete colour;
    return nullptr;
  }
  return gGraphMakers.Inequality(condition.release(), boundary.release(), colour, mode, equation, *View2D(view));
}

void AGraphPane::AddRegion(ExpressionRecord* relation, ExpressionRecord* zero, int32_t view, AGraphColor* colour,
                           const CoordinateTransformation& ct, PlottingMode mode, bool equation) {
  Colour mirror(MirrorColour(view, ct, colour));
  const Tree keepRelation = KeepFor(mirror.get(), relation), keepZero = KeepFor(mirror.get(), zero);
  A2DGraph* graph = MakeRegion(relation, zero, HandOver(colour), mode, equation, view);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  Add_transformed_Inequality(keepRelation.get(), view, mirror.release(), ct, mode, keepZero.get(), equation);
}

void AGraphPane::Add_kInequality(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero) {
  AddRegion(relation, zero, view, colour, ct, mode, false);
}

void AGraphPane::Add_kXYRTh_eq_XYRTh(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                     const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero) {
  AddRegion(relation, zero, view, colour, ct, mode, true);
}

// The region of a <= b drawn as a < b, and its boundary a = b in off-black
// at pair 2 of the same row, written only once the boundary is in the list;
// the boundary's mirror, rebuilt or listed, at pair 3.
void AGraphPane::Add_kInequality2(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& ct, PlottingMode mode, ExpressionRecord* zero) {
  Tree region(relation), regionZero(zero);
  ExpressionRecord* comparison = ComparisonOf(relation);
  comparison->opcode = comparison->opcode == kOpLeq   ? kOpLess
                       : comparison->opcode == kOpGeq ? kOpGreater
                                                      : comparison->opcode;
  Tree curve(Copy(relation)), curveZero(Copy(zero));
  if (curve != nullptr) ComparisonOf(curve.get())->opcode = kOpEquals;
  const bool hidden = colour->fType == AGraphColor::kHidden;

  const int32_t rows = fGraphLookup.Count();
  AddRegion(region.release(), regionZero.release(), view, colour, ct, mode, false);
  if (fGraphLookup.Count() == rows) return;

  auto* offBlack = new AGraphColor(View3D(0)->Record().drawContext, fDocument);
  offBlack->fSolidColor = kOffBlack;
  offBlack->fType = hidden ? AGraphColor::kHidden : AGraphColor::kSolid;
  Colour mirror(view == 0 && ct.kind == CoordinateTransformation::kPlaneFromTransformed ? AGraphColor::Copy(offBlack)
                                                                                        : nullptr);
  Tree mirrorCurve = KeepFor(mirror.get(), curve.get()), mirrorZero = KeepFor(mirror.get(), curveZero.get());
  A2DGraph* boundary = MakeRegion(curve.release(), curveZero.release(), offBlack, mode, true, view);
  if (boundary == nullptr) return;
  AGraphView* target = View2D(view);
  const int32_t before = target->GraphCount();
  const int32_t index = AddGraphToView(boundary, target);
  if (target->GraphCount() == before) return;
  fGraphLookup.At(fGraphLookup.Count() - 1)->pairs[2] = {target, index};
  if (view != 0) return;
  if (ct.kind == CoordinateTransformation::kPlaneFromSource) AppendTransformSource();
  if (!mirror || !TransformExpr(mirrorCurve.get(), ct) || !TransformExpr(mirrorZero.get(), ct)) return;
  A2DGraph* second = MakeRegion(mirrorCurve.release(), mirrorZero.release(), mirror.release(), mode, true, 1);
  if (second == nullptr) return;
  const int32_t secondBefore = View2D(1)->GraphCount();
  const int32_t secondIndex = AddGraphToView(second, View2D(1));
  if (View2D(1)->GraphCount() > secondBefore)
    fGraphLookup.At(fGraphLookup.Count() - 1)->pairs[3] = {View2D(1), secondIndex};
}
