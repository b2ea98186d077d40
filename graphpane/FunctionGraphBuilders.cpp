#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
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
                                  PlottingMode mode) {
  Compiled compiled(Required(Renamed(Copy(f), ofX ? kIdX : kIdY, kIdU).release()));
  if (gGraphMakers.FunctionOfXorY == nullptr) return;
  A2DGraph* graph = gGraphMakers.FunctionOfXorY(compiled.release(), ofX, HandOver(colour), mode, *View2D(view));
  if (graph != nullptr) AddGraph(graph, view);
}

void AGraphPane::Add_kY_X(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                          const CoordinateTransformation& /*ct*/, PlottingMode mode) {
  AddFunctionGraph(e->operands[1], true, view, colour, mode);
}

void AGraphPane::Add_kX_Y(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                          const CoordinateTransformation& /*ct*/, PlottingMode mode) {
  AddFunctionGraph(e->operands[1], false, view, colour, mode);
}

void AGraphPane::Add_kFxnOfX(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                             const CoordinateTransformation& /*ct*/, PlottingMode mode) {
  AddFunctionGraph(e, true, view, colour, mode);
}

void AGraphPane::Add_kFxnOfY(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                             const CoordinateTransformation& /*ct*/, PlottingMode mode) {
  AddFunctionGraph(e, false, view, colour, mode);
}

void AGraphPane::AddPlaneCurve(ExpressionRecord* x, ExpressionRecord* y, int32_t view, AGraphColor* colour,
                               double grain, int32_t selectionType, CoordDisplayParam range) {
  Compiled cx(Required(x)), cy(Required(y));
  if (gGraphMakers.ParametricCurve == nullptr) return;
  const double(&r)[2] = View2D(view)->Record().ranges[range];
  A2DGraph* graph = gGraphMakers.ParametricCurve(cx.release(), cy.release(), HandOver(colour), grain, selectionType,
                                                 *View2D(view), r[0], r[1]);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  fCoordDisplay[range] = 1;
}

void AGraphPane::Add_kR_Theta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& /*ct*/, double grain) {
  const ExpressionRecord* g = e->operands[1];
  Tree x = Renamed(Times(Copy(g), Cos(Atomic(kIdU))), kIdTheta, kIdU);
  Tree y = Renamed(Times(Copy(g), Sin(Atomic(kIdU))), kIdTheta, kIdU);
  AddPlaneCurve(x.release(), y.release(), view, colour, grain, 4, kCoordTheta);
}

void AGraphPane::Add_kTheta_R(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                              const CoordinateTransformation& /*ct*/, double grain) {
  const ExpressionRecord* g = e->operands[1];
  Tree x = Renamed(Times(Atomic(kIdU), Cos(Copy(g))), kIdR, kIdU);
  Tree y = Renamed(Times(Atomic(kIdU), Sin(Copy(g))), kIdR, kIdU);
  AddPlaneCurve(x.release(), y.release(), view, colour, grain, 5, kCoordR);
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

void AGraphPane::Add_kInequality(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                 const CoordinateTransformation& /*ct*/, PlottingMode mode, ExpressionRecord* zero) {
  if (A2DGraph* graph = MakeRegion(relation, zero, HandOver(colour), mode, false, view)) AddGraph(graph, view);
}

void AGraphPane::Add_kXYRTh_eq_XYRTh(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                     const CoordinateTransformation& /*ct*/, PlottingMode mode,
                                     ExpressionRecord* zero) {
  if (A2DGraph* graph = MakeRegion(relation, zero, HandOver(colour), mode, true, view)) AddGraph(graph, view);
}

// The region of a <= b drawn as a < b, and its boundary a = b in off-black
// at pair 2 of the same row, written only once the boundary is in the list.
void AGraphPane::Add_kInequality2(ExpressionRecord* relation, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& /*ct*/, PlottingMode mode, ExpressionRecord* zero) {
  Tree region(relation), regionZero(zero);
  ExpressionRecord* comparison = ComparisonOf(relation);
  comparison->opcode = comparison->opcode == kOpLeq ? kOpLess : comparison->opcode == kOpGeq ? kOpGreater
                                                                                             : comparison->opcode;
  Tree curve(Copy(relation)), curveZero(Copy(zero));
  if (curve != nullptr) ComparisonOf(curve.get())->opcode = kOpEquals;
  const bool hidden = colour->fType == AGraphColor::kHidden;

  const int32_t rows = fGraphLookup.Count();
  A2DGraph* graph = MakeRegion(region.release(), regionZero.release(), HandOver(colour), mode, false, view);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  if (fGraphLookup.Count() == rows) return;

  auto* offBlack = new AGraphColor(View3D(0)->Record().drawContext, fDocument);
  offBlack->fSolidColor = kOffBlack;
  offBlack->fType = hidden ? AGraphColor::kHidden : AGraphColor::kSolid;
  A2DGraph* boundary = MakeRegion(curve.release(), curveZero.release(), offBlack, mode, true, view);
  if (boundary == nullptr) return;
  AGraphView* target = View2D(view);
  const int32_t before = target->GraphCount();
  const int32_t index = AddGraphToView(boundary, target);
  if (target->GraphCount() > before) fGraphLookup.At(fGraphLookup.Count() - 1)->pairs[2] = {target, index};
}
