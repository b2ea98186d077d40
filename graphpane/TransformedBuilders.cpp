#include <memory>

#include "algebra/DefinitionMatching.h"
#include "algebra/Substitution.h"
#include "expression/CoordinateExchange.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"

namespace {

using CT = CoordinateTransformation;

bool IsPlane(int32_t kind) { return kind == CT::kPlaneFromTransformed || kind == CT::kPlaneFromSource; }

Tree CopyOf(const ExpressionRecord* e) { return Tree(e != nullptr ? Copy(e) : nullptr); }

// A copy of e rewritten into the transformed plane coordinates.
Tree Transformed(const ExpressionRecord* e, const CT& ct) {
  Tree copy = CopyOf(e);
  if (copy && !TransformExpr(copy.get(), ct)) copy.reset();
  return copy;
}

// The three definitions x' = X, y' = Y, z' = Z over copies.
struct SpaceDefinitions {
  SpaceDefinitions(const ExpressionRecord* x, const ExpressionRecord* y, const ExpressionRecord* z)
      : d{Tree(NewBinop(kOpEquals, Atomic(kIdXPrime), Copy(x))), Tree(NewBinop(kOpEquals, Atomic(kIdYPrime), Copy(y))),
          Tree(NewBinop(kOpEquals, Atomic(kIdZPrime), Copy(z)))} {}
  bool Built() const { return d[0] && d[1] && d[2]; }
  // A copy of e read in primed coordinates, each definition applied once.
  ExpressionRecord* Compose(const ExpressionRecord* e) const {
    ExpressionRecord* composed = Copy(e);
    if (composed == nullptr) return nullptr;
    ExchangeXYZwithXYZprime(composed);
    for (const Tree& definition : d) MATCH_ApplyDefinitionOnce(composed, definition.get());
    return composed;
  }
  Tree d[3];
};

}  // namespace

bool AGraphPane::TransformXYZ(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                              const ExpressionRecord* z, const ExpressionRecord* extra, AGraphColor* colour,
                              ExpressionRecord* (&out)[3], ExpressionRecord** outExtra) {
  out[0] = out[1] = out[2] = nullptr;
  if (outExtra != nullptr) *outExtra = nullptr;
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr || ct.formulas[2] == nullptr) return false;
  const SpaceDefinitions definitions(x, y, z);
  if (!definitions.Built()) return false;
  Tree composed[3], composedExtra;
  for (int i = 0; i < 3; ++i)
    if (!(composed[i] = Tree(definitions.Compose(ct.formulas[i])))) return false;
  if (extra != nullptr && outExtra != nullptr && !(composedExtra = Tree(definitions.Compose(extra)))) return false;
  const bool equations = colour != nullptr && (colour->fType == AColorEquations::kRGBEquations ||
                                               colour->fType == AColorEquations::kHSVEquations);
  if (equations && !TransformColor(colour, definitions.d[0].get(), definitions.d[1].get(), definitions.d[2].get()))
    return false;
  for (int i = 0; i < 3; ++i) out[i] = composed[i].release();
  if (outExtra != nullptr) *outExtra = composedExtra.release();
  return true;
}

bool AGraphPane::AppendTransformSource() { return fTransformIndexes.Add(View2D(0)->GraphCount() - 1) == 0; }

bool AGraphPane::BuildsPlaneMirror(const CoordinateTransformation& ct, int32_t view, bool coloured) {
  if (view != 0) return false;
  if (ct.kind == CT::kPlaneFromTransformed) AppendTransformSource();
  return ct.kind == CT::kPlaneFromSource && coloured;
}

AGraphColor* AGraphPane::MirrorColour(int32_t view, const CoordinateTransformation& ct,
                                      const AGraphColor* colour) const {
  if (view != 0 || colour == nullptr) return nullptr;
  if (ct.kind == CT::kSpace) return AGraphColor::Copy(colour, View3D(1)->Record().drawContext);
  return IsPlane(ct.kind) ? AGraphColor::Copy(colour) : nullptr;
}

void AGraphPane::MakeTransformPlot(const CoordinateTransformation& ct) {
  if (!IsPlane(ct.kind) || fCurrentView != View2D(0) || fSecondView != View2D(1)) return;
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr) return;
  Tree f = CopyOf(ct.formulas[0]), g = CopyOf(ct.formulas[1]);
  if (!f || !g) return;
  for (ExpressionRecord* formula : {f.get(), g.get()}) {
    if (ct.kind == CT::kPlaneFromTransformed) ExchangeXYZwithXYZprime(formula);
    PaneHooks::AddToParameterList(formula, fDocument);
    SubstituteNumbers(formula, fDocument);
  }
  Colour colour(new AGraphColor(View3D(0)->Record().drawContext, fDocument));
  colour->Set(ct.colorCode);
  Compiled cf(Required(f.release())), cg(Required(g.release()));
  A2DGraph* plot = nullptr;
  if (ct.kind == CT::kPlaneFromTransformed && gGraphMakers.TransformPlot != nullptr) {
    plot = gGraphMakers.TransformPlot(cf.release(), cg.release(), colour.release(), *View2D(1), *View2D(0),
                                      &fTransformIndexes);
  } else if (ct.kind == CT::kPlaneFromSource && gGraphMakers.TextureMapPlot != nullptr) {
    plot = gGraphMakers.TextureMapPlot(cf.release(), cg.release(), colour.release(), ct.plotValue, *View2D(1),
                                       *View2D(0), &fTransformIndexes);
  }
  if (plot == nullptr) return;
  AddGraph(plot, 1);
  PaneHooks::SetTransformEquationBlockIndex(ct.block, fGraphLookup.Count() - 1);
}

void AGraphPane::Add_transformed_Inequality(const ExpressionRecord* relation, int32_t view, AGraphColor* mirror,
                                            const CoordinateTransformation& ct, PlottingMode mode,
                                            const ExpressionRecord* zero, int32_t finer) {
  Colour colour(mirror);
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed) return;
  Tree r = Transformed(relation, ct), z = Transformed(zero, ct);
  if (!r || !z || !colour) return;
  if (A2DGraph* graph = MakeRegion(r.release(), z.release(), colour.release(), mode, finer > 0, 1))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_FunctionOfXorY(const ExpressionRecord* f, int32_t view, AGraphColor* mirror,
                                                const CoordinateTransformation& ct, PlottingMode mode, int32_t which) {
  Colour colour(mirror);
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed || !colour) return;
  Tree equation(NewBinop(kOpEquals, Atomic(which == 0 ? kIdY : kIdX), Copy(f)));
  if (!equation || !TransformExpr(equation.get(), ct)) return;
  Tree zero(Minus(Copy(equation->operands[0]), Copy(equation->operands[1])));
  if (!zero) return;
  if (A2DGraph* graph = MakeRegion(equation.release(), zero.release(), colour.release(), mode, true, 1))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_ParametricCurve(const CoordinateTransformation& ct, int32_t view,
                                                 const ExpressionRecord* x, const ExpressionRecord* y,
                                                 AGraphColor* mirror, double grain, const double& tLow,
                                                 const double& tHigh) {
  Colour colour(mirror);
  if (!BuildsPlaneMirror(ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(Required(tx)), cy(Required(ty));
  if (gGraphMakers.ParametricCurve == nullptr) return;
  if (A2DGraph* graph =
          gGraphMakers.ParametricCurve(cx.release(), cy.release(), colour.release(), grain, 3, *View2D(1), tLow, tHigh))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_Point(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                       const ExpressionRecord* y, AGraphColor* mirror, const ExpressionRecord* symbol,
                                       const ExpressionRecord* label, const ExpressionRecord* size) {
  Colour colour(mirror);
  if (!BuildsPlaneMirror(ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(Required(tx)), cy(Required(ty)), cs(Optional(CopyOf(symbol).release())),
      cl(Optional(CopyOf(label).release())), cz(Optional(CopyOf(size).release()));
  if (gGraphMakers.Point == nullptr) return;
  if (A2DGraph* graph = gGraphMakers.Point(cx.release(), cy.release(), cs.release(), cl.release(), cz.release(),
                                           colour.release(), false, *View2D(1)))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_Data2D(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                        const ExpressionRecord* y, const ExpressionRecord* const (&style)[5],
                                        AGraphColor* mirror, DocumentRecord* document) {
  Colour colour(mirror);
  if (!BuildsPlaneMirror(ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(Required(tx)), cy(Required(ty));
  // The condition speaks of the data point, not of the transformed one.
  Tree condition = CopyOf(style[0]);
  if (condition) {
    condition = Tree(Subst(Subst(condition.release(), Atomic(kIdX), Copy(x)), Atomic(kIdY), Copy(y)));
    if (condition) TAYLOR_SubstRecurse(condition.get());
  }
  Compiled c[5] = {Compiled(Optional(condition.release()))};
  for (int i = 1; i < 5; ++i) c[i] = Compiled(Optional(CopyOf(style[i]).release()));
  if (gGraphMakers.Data2D == nullptr) return;
  if (A2DGraph* graph =
          gGraphMakers.Data2D(cx.release(), cy.release(), colour.release(), c[0].release(), c[1].release(),
                              c[2].release(), c[3].release(), c[4].release(), *View2D(1), document))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_Arrow(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x1,
                                       const ExpressionRecord* y1, const ExpressionRecord* x2,
                                       const ExpressionRecord* y2, AGraphColor* mirror) {
  Colour colour(mirror);
  if (!BuildsPlaneMirror(ct, view, colour != nullptr)) return;
  ExpressionRecord *tx1, *ty1, *tx2, *ty2;
  if (!TransformXY(ct, x1, y1, &tx1, &ty1)) return;
  Compiled c[2] = {Compiled(Required(tx1)), Compiled(Required(ty1))};
  if (!TransformXY(ct, x2, y2, &tx2, &ty2)) return;
  Compiled d[2] = {Compiled(Required(tx2)), Compiled(Required(ty2))};
  if (gGraphMakers.Arrow == nullptr) return;
  if (A2DGraph* graph = gGraphMakers.Arrow(c[0].release(), c[1].release(), d[0].release(), d[1].release(),
                                           colour.release(), *View2D(1)))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_DensityPlot(const ExpressionRecord* f, int32_t view, AGraphColor* mirror,
                                             const CoordinateTransformation& ct, double grain) {
  Colour colour(mirror);
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed || !colour) return;
  Tree g = CopyOf(f);
  if (!g || !ReplaceAtom(g.get(), kIdZ, kIdX, kIdY) || !TransformExpr(g.get(), ct)) return;
  ReplaceAtoms(g.get(), kIdX, kIdU);
  ReplaceAtoms(g.get(), kIdY, kIdV);
  Compiled compiled(Required(g.release()));
  if (gGraphMakers.DensityPlot == nullptr) return;
  if (A2DGraph* graph = gGraphMakers.DensityPlot(compiled.release(), grain, colour.release(), *View2D(1)))
    AddGraph_TransformedCoordinates(graph);
}

void AGraphPane::Add_transformed_SpaceCurve(const CoordinateTransformation& ct, int32_t view, const ExpressionRecord* x,
                                            const ExpressionRecord* y, const ExpressionRecord* z,
                                            const ExpressionRecord* clip, const ExpressionRecord* radius,
                                            double opacity, AGraphColor* mirror, double grain, const double& tLow,
                                            const double& tHigh) {
  Colour colour(mirror);
  if (view != 0 || ct.kind != CT::kSpace || !colour) return;
  ExpressionRecord *out[3], *outClip, *outRadius = nullptr;
  if (!TransformXYZ(ct, x, y, z, clip, colour.get(), out, &outClip)) return;
  Compiled cx(Required(out[0])), cy(Required(out[1])), cz(Required(out[2])), cc(Optional(outClip));
  if (radius != nullptr) {
    const SpaceDefinitions definitions(x, y, z);
    if (definitions.Built()) outRadius = definitions.Compose(radius);
  }
  Compiled cr(Optional(outRadius));
  if (radius != nullptr && !cr) return;
  if (gGraphMakers.SpaceCurve == nullptr) return;
  A3DGraph* graph = gGraphMakers.SpaceCurve(cx.release(), cy.release(), cz.release(), cr.release(), cc.release(),
                                            colour.release(), grain, opacity, *View3D(1), tLow, tHigh);
  if (graph == nullptr) return;
  AddGraph_TransformedCoordinates(graph);
  ShowXYZ(1);
}

void AGraphPane::Add_transformed_GridSurface(const CoordinateTransformation& ct, int32_t view,
                                             const ExpressionRecord* x, const ExpressionRecord* y,
                                             const ExpressionRecord* z, const ExpressionRecord* clip, PlottingMode mode,
                                             AGraphColor* mirror, double grain, double opacity, const double& uLow,
                                             const double& uHigh, const double& vLow, const double& vHigh) {
  Colour colour(mirror);
  if (view != 0 || ct.kind != CT::kSpace || !colour) return;
  ExpressionRecord *out[3], *outClip;
  if (!TransformXYZ(ct, x, y, z, clip, colour.get(), out, &outClip)) return;
  Compiled cx(Required(out[0])), cy(Required(out[1])), cz(Required(out[2])), cc(Optional(outClip));
  if (gGraphMakers.GridSurface == nullptr) return;
  A3DGraph* graph = gGraphMakers.GridSurface(cx.release(), cy.release(), cz.release(), grain, opacity, colour.release(),
                                             cc.release(), mode, uLow, uHigh, vLow, vHigh, *View3D(1));
  if (graph == nullptr) return;
  AddGraph_TransformedCoordinates(graph);
  ShowXYZ(1);
}

void AGraphPane::Add_transformed_ODEPlot3D(const CoordinateTransformation& ct, int32_t view, A3DGraph* solutions) {
  if (view == 0 && ct.kind == CT::kSpace && solutions != nullptr)
    ShowThroughSpace(ct, gGraphMakers.TransformedDEPlot3D, solutions);
}

void AGraphPane::ShowThroughSpace(const CoordinateTransformation& ct, SpaceMirrorMaker maker, A3DGraph* source) {
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr || ct.formulas[2] == nullptr) return;
  Compiled f[3] = {Compiled(Required(Copy(ct.formulas[0]))), Compiled(Required(Copy(ct.formulas[1]))),
                   Compiled(Required(Copy(ct.formulas[2])))};
  if (maker == nullptr) return;
  AnExpression* const formulas[3] = {f[0].release(), f[1].release(), f[2].release()};
  A3DGraph* graph = maker(formulas, source, *View3D(1));
  if (graph == nullptr) return;
  AddGraph_TransformedCoordinates(graph);
  ShowXYZ(1);
}
