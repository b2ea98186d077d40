#include "graphpane/TransformedBuilders.h"

#include <array>
#include <memory>
#include <utility>

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
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/CoordinateTransformRewrites.h"
#include "graphpane/GraphHooks.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"

namespace {

using CT = CoordinateTransformation;

bool IsPlaneKind(int32_t kind) { return kind == CT::kPlaneFromTransformed || kind == CT::kPlaneFromSource; }

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

bool TransformXYZ(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                  const ExpressionRecord* z, const ExpressionRecord* extra, AGraphColor* colour, Tree (&out)[3],
                  Tree* outExtra) {
  for (Tree& tree : out) tree.reset();
  if (outExtra != nullptr) outExtra->reset();
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
  for (int i = 0; i < 3; ++i) out[i] = std::move(composed[i]);
  if (outExtra != nullptr) *outExtra = std::move(composedExtra);
  return true;
}

bool BuildsPlaneMirror(EquationPass& pass, const CoordinateTransformation& ct, int32_t view, bool coloured) {
  if (view != 0) return false;
  if (ct.kind == CT::kPlaneFromTransformed) pass.AppendTransformSource();
  return ct.kind == CT::kPlaneFromSource && coloured;
}

Colour MirrorColour(const EquationPass& pass, int32_t view, const CoordinateTransformation& ct,
                    const AGraphColor* colour) {
  if (view != 0 || colour == nullptr) return nullptr;
  if (ct.kind == CT::kSpace) return AGraphColor::Copy(colour, pass.View3D(1)->Record().drawContext);
  return IsPlaneKind(ct.kind) ? AGraphColor::Copy(colour) : nullptr;
}

void MakeTransformPlot(EquationPass& pass, const CoordinateTransformation& ct) {
  if (!IsPlaneKind(ct.kind) || pass.CurrentView() != pass.View2D(0) || pass.SecondView() != pass.View2D(1)) return;
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr) return;
  Tree f = CopyOf(ct.formulas[0]), g = CopyOf(ct.formulas[1]);
  if (!f || !g) return;
  for (ExpressionRecord* formula : {f.get(), g.get()}) {
    if (ct.kind == CT::kPlaneFromTransformed) ExchangeXYZwithXYZprime(formula);
    PaneHooks::AddToParameterList(formula, pass.Document());
    SubstituteNumbers(formula, pass.Document());
  }
  auto colour = std::make_unique<AGraphColor>(pass.View3D(0)->Record().drawContext, pass.Document());
  colour->Set(ct.colorCode);
  Compiled cf(pass.Required(std::move(f))), cg(pass.Required(std::move(g)));
  std::unique_ptr<A2DGraph> plot;
  if (ct.kind == CT::kPlaneFromTransformed && gGraphMakers.TransformPlot != nullptr) {
    plot = gGraphMakers.TransformPlot(std::move(cf), std::move(cg), std::move(colour), *pass.View2D(1), *pass.View2D(0),
                                      &pass.TransformSources());
  } else if (ct.kind == CT::kPlaneFromSource && gGraphMakers.TextureMapPlot != nullptr) {
    plot = gGraphMakers.TextureMapPlot(std::move(cf), std::move(cg), std::move(colour), ct.plotValue, *pass.View2D(1),
                                       *pass.View2D(0), &pass.TransformSources());
  }
  if (plot == nullptr) return;
  pass.AddGraph(std::move(plot), 1);
  PaneHooks::SetTransformEquationBlockIndex(ct.block, pass.Lookup().Count() - 1);
}

void Add_transformed_Inequality(EquationPass& pass, const ExpressionRecord* relation, int32_t view, Colour colour,
                                const CoordinateTransformation& ct, PlottingMode mode, const ExpressionRecord* zero,
                                int32_t finer) {
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) pass.AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed) return;
  Tree r = Transformed(relation, ct), z = Transformed(zero, ct);
  if (!r || !z || !colour) return;
  if (std::unique_ptr<A2DGraph> graph =
          MakeRegion(pass, std::move(r), std::move(z), std::move(colour), mode, finer > 0, 1))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_FunctionOfXorY(EquationPass& pass, const ExpressionRecord* f, int32_t view, Colour colour,
                                    const CoordinateTransformation& ct, PlottingMode mode, int32_t which) {
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) pass.AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed || !colour) return;
  Tree equation(NewBinop(kOpEquals, Atomic(which == 0 ? kIdY : kIdX), Copy(f)));
  if (!equation || !TransformExpr(equation.get(), ct)) return;
  Tree zero(Minus(Copy(equation->operands[0]), Copy(equation->operands[1])));
  if (!zero) return;
  if (std::unique_ptr<A2DGraph> graph =
          MakeRegion(pass, std::move(equation), std::move(zero), std::move(colour), mode, true, 1))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_ParametricCurve(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                     const ExpressionRecord* x, const ExpressionRecord* y, Colour colour, double grain,
                                     const double& tLow, const double& tHigh) {
  if (!BuildsPlaneMirror(pass, ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(pass.Required(Tree(tx))), cy(pass.Required(Tree(ty)));
  if (gGraphMakers.ParametricCurve == nullptr) return;
  if (std::unique_ptr<A2DGraph> graph = gGraphMakers.ParametricCurve(std::move(cx), std::move(cy), std::move(colour),
                                                                     grain, 3, *pass.View2D(1), tLow, tHigh))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_Point(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                           const ExpressionRecord* x, const ExpressionRecord* y, Colour colour,
                           const ExpressionRecord* symbol, const ExpressionRecord* label,
                           const ExpressionRecord* size) {
  if (!BuildsPlaneMirror(pass, ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(pass.Required(Tree(tx))), cy(pass.Required(Tree(ty))), cs(pass.Optional(CopyOf(symbol))),
      cl(pass.Optional(CopyOf(label))), cz(pass.Optional(CopyOf(size)));
  if (gGraphMakers.Point == nullptr) return;
  if (std::unique_ptr<A2DGraph> graph = gGraphMakers.Point(std::move(cx), std::move(cy), std::move(cs), std::move(cl),
                                                           std::move(cz), std::move(colour), false, *pass.View2D(1)))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_Data2D(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                            const ExpressionRecord* x, const ExpressionRecord* y,
                            const ExpressionRecord* const (&style)[5], Colour colour, DocumentRecord* document) {
  if (!BuildsPlaneMirror(pass, ct, view, colour != nullptr)) return;
  ExpressionRecord *tx, *ty;
  if (!TransformXY(ct, x, y, &tx, &ty)) return;
  Compiled cx(pass.Required(Tree(tx))), cy(pass.Required(Tree(ty)));
  // The condition speaks of the data point, not of the transformed one.
  Tree condition = CopyOf(style[0]);
  if (condition) {
    condition = Tree(Subst(Subst(condition.release(), Atomic(kIdX), Copy(x)), Atomic(kIdY), Copy(y)));
    if (condition) TAYLOR_SubstRecurse(condition.get());
  }
  Compiled c[5] = {Compiled(pass.Optional(std::move(condition)))};
  for (int i = 1; i < 5; ++i) c[i] = Compiled(pass.Optional(CopyOf(style[i])));
  if (gGraphMakers.Data2D == nullptr) return;
  if (std::unique_ptr<A2DGraph> graph =
          gGraphMakers.Data2D(std::move(cx), std::move(cy), std::move(colour), std::move(c[0]), std::move(c[1]),
                              std::move(c[2]), std::move(c[3]), std::move(c[4]), *pass.View2D(1), document))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_Arrow(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                           const ExpressionRecord* x1, const ExpressionRecord* y1, const ExpressionRecord* x2,
                           const ExpressionRecord* y2, Colour colour) {
  if (!BuildsPlaneMirror(pass, ct, view, colour != nullptr)) return;
  ExpressionRecord *tx1, *ty1, *tx2, *ty2;
  if (!TransformXY(ct, x1, y1, &tx1, &ty1)) return;
  Compiled c[2] = {Compiled(pass.Required(Tree(tx1))), Compiled(pass.Required(Tree(ty1)))};
  if (!TransformXY(ct, x2, y2, &tx2, &ty2)) return;
  Compiled d[2] = {Compiled(pass.Required(Tree(tx2))), Compiled(pass.Required(Tree(ty2)))};
  if (gGraphMakers.Arrow == nullptr) return;
  if (std::unique_ptr<A2DGraph> graph = gGraphMakers.Arrow(std::move(c[0]), std::move(c[1]), std::move(d[0]),
                                                           std::move(d[1]), std::move(colour), *pass.View2D(1)))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_DensityPlot(EquationPass& pass, const ExpressionRecord* f, int32_t view, Colour colour,
                                 const CoordinateTransformation& ct, double grain) {
  if (view != 0) return;
  if (ct.kind == CT::kPlaneFromSource) pass.AppendTransformSource();
  if (ct.kind != CT::kPlaneFromTransformed || !colour) return;
  Tree g = CopyOf(f);
  if (!g || !ReplaceAtom(g.get(), kIdZ, kIdX, kIdY) || !TransformExpr(g.get(), ct)) return;
  ReplaceAtoms(g.get(), kIdX, kIdU);
  ReplaceAtoms(g.get(), kIdY, kIdV);
  Compiled compiled(pass.Required(std::move(g)));
  if (gGraphMakers.DensityPlot == nullptr) return;
  if (std::unique_ptr<A2DGraph> graph =
          gGraphMakers.DensityPlot(std::move(compiled), grain, std::move(colour), *pass.View2D(1)))
    pass.AddGraph_TransformedCoordinates(std::move(graph));
}

void Add_transformed_SpaceCurve(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                const ExpressionRecord* x, const ExpressionRecord* y, const ExpressionRecord* z,
                                const ExpressionRecord* clip, const ExpressionRecord* radius, double opacity,
                                Colour colour, double grain, const double& tLow, const double& tHigh) {
  if (view != 0 || ct.kind != CT::kSpace || !colour) return;
  Tree out[3], outClip, outRadius;
  if (!TransformXYZ(ct, x, y, z, clip, colour.get(), out, &outClip)) return;
  Compiled cx(pass.Required(std::move(out[0]))), cy(pass.Required(std::move(out[1]))),
      cz(pass.Required(std::move(out[2]))), cc(pass.Optional(std::move(outClip)));
  if (radius != nullptr) {
    const SpaceDefinitions definitions(x, y, z);
    if (definitions.Built()) outRadius = Tree(definitions.Compose(radius));
  }
  Compiled cr(pass.Optional(std::move(outRadius)));
  if (radius != nullptr && !cr) return;
  if (gGraphMakers.SpaceCurve == nullptr) return;
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.SpaceCurve(std::move(cx), std::move(cy), std::move(cz), std::move(cr), std::move(cc),
                              std::move(colour), grain, opacity, *pass.View3D(1), tLow, tHigh);
  if (graph == nullptr) return;
  pass.AddGraph_TransformedCoordinates(std::move(graph));
  pass.ShowXYZ(1);
}

void Add_transformed_GridSurface(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                                 const ExpressionRecord* x, const ExpressionRecord* y, const ExpressionRecord* z,
                                 const ExpressionRecord* clip, PlottingMode mode, Colour colour, double grain,
                                 double opacity, const double& uLow, const double& uHigh, const double& vLow,
                                 const double& vHigh) {
  if (view != 0 || ct.kind != CT::kSpace || !colour) return;
  Tree out[3], outClip;
  if (!TransformXYZ(ct, x, y, z, clip, colour.get(), out, &outClip)) return;
  Compiled cx(pass.Required(std::move(out[0]))), cy(pass.Required(std::move(out[1]))),
      cz(pass.Required(std::move(out[2]))), cc(pass.Optional(std::move(outClip)));
  if (gGraphMakers.GridSurface == nullptr) return;
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.GridSurface(std::move(cx), std::move(cy), std::move(cz), grain, opacity, std::move(colour),
                               std::move(cc), mode, uLow, uHigh, vLow, vHigh, *pass.View3D(1));
  if (graph == nullptr) return;
  pass.AddGraph_TransformedCoordinates(std::move(graph));
  pass.ShowXYZ(1);
}

void Add_transformed_ODEPlot3D(EquationPass& pass, const CoordinateTransformation& ct, int32_t view,
                               A3DGraph* solutions) {
  if (view == 0 && ct.kind == CT::kSpace && solutions != nullptr)
    ShowThroughSpace(pass, ct, gGraphMakers.TransformedDEPlot3D, solutions);
}

void ShowThroughSpace(EquationPass& pass, const CoordinateTransformation& ct, SpaceMirrorMaker maker,
                      A3DGraph* source) {
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr || ct.formulas[2] == nullptr) return;
  std::array<Compiled, 3> f = {Compiled(pass.Required(Tree(Copy(ct.formulas[0])))),
                               Compiled(pass.Required(Tree(Copy(ct.formulas[1])))),
                               Compiled(pass.Required(Tree(Copy(ct.formulas[2]))))};
  if (maker == nullptr) return;
  std::unique_ptr<A3DGraph> graph = maker(std::move(f), source, *pass.View3D(1));
  if (graph == nullptr) return;
  pass.AddGraph_TransformedCoordinates(std::move(graph));
  pass.ShowXYZ(1);
}
