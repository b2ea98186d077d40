#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphColorConstants.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"

namespace {

Tree Renamed(ExpressionRecord* tree, int32_t from, int32_t to) {
  if (tree != nullptr) ReplaceAtoms(tree, from, to);
  return Tree(tree);
}

// The comparison of a relation, or of the relation its conditions follow.
ExpressionRecord* ComparisonOf(ExpressionRecord* relation) {
  return relation->opcode == kOpConditions ? relation->operands[0] : relation;
}

void AddFunctionGraph(EquationPass& pass, EquationBuild& b, const ExpressionRecord* f, bool ofX) {
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  Compiled compiled(pass.Required(Renamed(Copy(f), ofX ? kIdX : kIdY, kIdU)));
  if (gGraphMakers.FunctionOfXorY == nullptr) return;
  std::unique_ptr<A2DGraph> graph =
      gGraphMakers.FunctionOfXorY(std::move(compiled), ofX, std::move(b.colour), b.mode, *pass.View2D(b.view));
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_FunctionOfXorY(pass, f, b.view, std::move(mirror), b.ct, b.mode, ofX ? 0 : 1);
}

void AddRegion(EquationPass& pass, EquationBuild& b, Tree relation, Tree zero, bool equation) {
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  const Tree keepRelation = KeepFor(mirror.get(), relation.get()), keepZero = KeepFor(mirror.get(), zero.get());
  std::unique_ptr<A2DGraph> graph =
      MakeRegion(pass, std::move(relation), std::move(zero), std::move(b.colour), b.mode, equation, b.view);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  Add_transformed_Inequality(pass, keepRelation.get(), b.view, std::move(mirror), b.ct, b.mode, keepZero.get(),
                             equation);
}

}  // namespace

void Add_kY_X(EquationPass& pass, EquationBuild& b) { AddFunctionGraph(pass, b, b.equation->operands[1], true); }

void Add_kX_Y(EquationPass& pass, EquationBuild& b) { AddFunctionGraph(pass, b, b.equation->operands[1], false); }

void Add_kFxnOfX(EquationPass& pass, EquationBuild& b) { AddFunctionGraph(pass, b, b.equation, true); }

void Add_kFxnOfY(EquationPass& pass, EquationBuild& b) { AddFunctionGraph(pass, b, b.equation, false); }

void AddPlaneCurve(EquationPass& pass, EquationBuild& b, Tree x, Tree y, int32_t selectionType,
                   CoordDisplayParam range) {
  Colour mirror = MirrorColour(pass, b.view, b.ct, b.colour.get());
  const Tree kx = KeepFor(mirror.get(), x.get()), ky = KeepFor(mirror.get(), y.get());
  Compiled cx(pass.Required(std::move(x))), cy(pass.Required(std::move(y)));
  if (gGraphMakers.ParametricCurve == nullptr) return;
  const double(&r)[2] = pass.View2D(b.view)->Record().ranges[range];
  std::unique_ptr<A2DGraph> graph = gGraphMakers.ParametricCurve(
      std::move(cx), std::move(cy), std::move(b.colour), b.grain, selectionType, *pass.View2D(b.view), r[0], r[1]);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  const double(&first)[2] = pass.View2D(0)->Record().ranges[range];
  Add_transformed_ParametricCurve(pass, b.ct, b.view, kx.get(), ky.get(), std::move(mirror), b.grain, first[0],
                                  first[1]);
  pass.ShowFlags({range});
}

void Add_kR_Theta(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  Tree x = Renamed(Times(Copy(g), Cos(Atomic(kIdU))), kIdTheta, kIdU);
  Tree y = Renamed(Times(Copy(g), Sin(Atomic(kIdU))), kIdTheta, kIdU);
  AddPlaneCurve(pass, b, std::move(x), std::move(y), 4, kCoordTheta);
}

void Add_kTheta_R(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  Tree x = Renamed(Times(Atomic(kIdU), Cos(Copy(g))), kIdR, kIdU);
  Tree y = Renamed(Times(Atomic(kIdU), Sin(Copy(g))), kIdR, kIdU);
  AddPlaneCurve(pass, b, std::move(x), std::move(y), 5, kCoordR);
}

std::unique_ptr<A2DGraph> MakeRegion(EquationPass& pass, Tree relation, Tree zero, Colour colour, PlottingMode mode,
                                     bool equation, int32_t view) {
  Compiled condition(pass.Required(std::move(relation))), boundary(pass.Required(std::move(zero)));
  if (gGraphMakers.Inequality == nullptr) return nullptr;
  return gGraphMakers.Inequality(std::move(condition), std::move(boundary), std::move(colour), mode, equation,
                                 *pass.View2D(view));
}

void Add_kInequality(EquationPass& pass, EquationBuild& b) {
  AddRegion(pass, b, std::move(b.relation), std::move(b.zero), false);
}

void Add_kXYRTh_eq_XYRTh(EquationPass& pass, EquationBuild& b) {
  AddRegion(pass, b, std::move(b.relation), std::move(b.zero), true);
}

// The region of a <= b drawn as a < b, and its boundary a = b in off-black
// at pair 2 of the same row, written only once the boundary is in the list;
// the boundary's mirror, rebuilt or listed, at pair 3.
void Add_kInequality2(EquationPass& pass, EquationBuild& b) {
  const int32_t view = b.view;
  const CoordinateTransformation& ct = b.ct;
  if (!b.relation) return;
  ExpressionRecord* comparison = ComparisonOf(b.relation.get());
  comparison->opcode = comparison->opcode == kOpLeq   ? kOpLess
                       : comparison->opcode == kOpGeq ? kOpGreater
                                                      : comparison->opcode;
  Tree curve(Copy(b.relation.get())), curveZero(Copy(b.zero.get()));
  if (curve != nullptr) ComparisonOf(curve.get())->opcode = kOpEquals;
  const bool hidden = b.colour->fType == AGraphColor::kHidden;

  AListGenericSmall<GraphLookup>& lookup = pass.Lookup();
  const int32_t rows = lookup.Count();
  AddRegion(pass, b, std::move(b.relation), std::move(b.zero), false);
  if (lookup.Count() == rows) return;

  auto offBlack = std::make_unique<AGraphColor>(pass.View3D(0)->Record().drawContext, pass.Document());
  offBlack->fSolidColor = kOffBlack;
  offBlack->fType = hidden ? AGraphColor::kHidden : AGraphColor::kSolid;
  Colour mirror(view == 0 && ct.kind == CoordinateTransformation::kPlaneFromTransformed
                    ? AGraphColor::Copy(offBlack.get())
                    : nullptr);
  Tree mirrorCurve = KeepFor(mirror.get(), curve.get()), mirrorZero = KeepFor(mirror.get(), curveZero.get());
  std::unique_ptr<A2DGraph> boundary =
      MakeRegion(pass, std::move(curve), std::move(curveZero), std::move(offBlack), b.mode, true, view);
  if (boundary == nullptr) return;
  AGraphView* target = pass.View2D(view);
  const int32_t before = target->GraphCount();
  const int32_t index = pass.AddGraphToView(std::move(boundary), target);
  if (target->GraphCount() == before) return;
  lookup.At(lookup.Count() - 1)->pairs[2] = {target, index};
  if (view != 0) return;
  if (ct.kind == CoordinateTransformation::kPlaneFromSource) pass.AppendTransformSource();
  if (!mirror || !TransformExpr(mirrorCurve.get(), ct) || !TransformExpr(mirrorZero.get(), ct)) return;
  std::unique_ptr<A2DGraph> second =
      MakeRegion(pass, std::move(mirrorCurve), std::move(mirrorZero), std::move(mirror), b.mode, true, 1);
  if (second == nullptr) return;
  const int32_t secondBefore = pass.View2D(1)->GraphCount();
  const int32_t secondIndex = pass.AddGraphToView(std::move(second), pass.View2D(1));
  if (pass.View2D(1)->GraphCount() > secondBefore)
    lookup.At(lookup.Count() - 1)->pairs[3] = {pass.View2D(1), secondIndex};
}
