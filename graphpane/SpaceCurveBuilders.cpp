#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"

namespace {

ExpressionRecord* Component(const ExpressionRecord* e, int i) { return Copy(e->operands[1]->operands[i]); }

void Rename(ExpressionRecord* tree, int32_t from, int32_t to) {
  if (tree != nullptr) ReplaceAtoms(tree, from, to);
}

}  // namespace

// Every curve runs in u: the parameter is renamed in the coordinates and in
// the clip and radius, so that a condition on it clips. The mirror samples
// the first 3-D view's range.
void AddSpaceCurve(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z,
                   Tree radius, Tree clip, double opacity, int32_t parameter, CoordDisplayParam range) {
  const int32_t view = b.view;
  for (ExpressionRecord* tree : {x, y, z, radius.get(), clip.get()}) Rename(tree, parameter, kIdU);
  Colour mirror =
      b.ct.kind == CoordinateTransformation::kSpace ? MirrorColour(pass, view, b.ct, b.colour.get()) : nullptr;
  const Tree keep[5] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), z),
                        KeepFor(mirror.get(), radius.get()), KeepFor(mirror.get(), clip.get())};
  Compiled cx(pass.Required(Tree(x))), cy(pass.Required(Tree(y))), cz(pass.Required(Tree(z))),
      cr(pass.Optional(std::move(radius))), cc(pass.Optional(std::move(clip)));
  if (gGraphMakers.SpaceCurve == nullptr) return;
  AGraphView& target = *pass.View3D(view);
  const double(&u)[2] = target.Record().ranges[range];
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.SpaceCurve(std::move(cx), std::move(cy), std::move(cz), std::move(cr), std::move(cc),
                              std::move(b.colour), b.grain, opacity, target, u[0], u[1]);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), view);
  const double(&first)[2] = pass.View3D(0)->Record().ranges[range];
  Add_transformed_SpaceCurve(pass, b.ct, view, keep[0].get(), keep[1].get(), keep[2].get(), keep[4].get(),
                             keep[3].get(), opacity, std::move(mirror), b.grain, first[0], first[1]);
  if (range == kCoordT) pass.ShowFlags({kCoordT});
  pass.ShowXYZ(view);
}

void Add_kRThetaZ_t(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddSpaceCurve(pass, b, Times(Component(e, 0), Cos(Component(e, 1))), Times(Component(e, 0), Sin(Component(e, 1))),
                Component(e, 2), std::move(b.radius), std::move(b.clip), b.opacity, kIdT, kCoordT);
}

void Add_kRThetaPhi_t(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddSpaceCurve(pass, b, Times3(Component(e, 0), Sin(Component(e, 2)), Cos(Component(e, 1))),
                Times3(Component(e, 0), Sin(Component(e, 2)), Sin(Component(e, 1))),
                Times(Component(e, 0), Cos(Component(e, 2))), std::move(b.radius), std::move(b.clip), b.opacity, kIdT,
                kCoordT);
}

void Add_kZ_z(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* f = b.equation->operands[1];
  AddSpaceCurve(pass, b, Real(Copy(f)), Imag(Copy(f)), Atomic(kIdU), std::move(b.radius), std::move(b.clip), b.opacity,
                kIdZ, kCoordZ);
}

void Add_kXYZW_t(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  Tree c[4] = {Tree(Component(e, 0)), Tree(Component(e, 1)), Tree(Component(e, 2)), Tree(Component(e, 3))};
  for (Tree& tree : c) Rename(tree.get(), kIdT, kIdU);
  // The 4-D coordinates u and v are the third and fourth, z and w.
  ExpressionRecord* clip = b.clip.get();
  Rename(clip, kIdU, kIdZ);
  Rename(clip, kIdV, kIdW);
  Rename(clip, kIdT, kIdU);
  Compiled cx(pass.Required(std::move(c[0]))), cy(pass.Required(std::move(c[1]))), cz(pass.Required(std::move(c[2]))),
      cw(pass.Required(std::move(c[3]))), cc(pass.Optional(std::move(b.clip)));
  if (gGraphMakers.SpaceCurve4D == nullptr) return;
  AGraphView& target = *pass.View4D();
  const double(&t)[2] = target.Record().ranges[kCoordT];
  std::unique_ptr<A4DGraph> graph =
      gGraphMakers.SpaceCurve4D(std::move(cx), std::move(cy), std::move(cz), std::move(cw), std::move(cc),
                                std::move(b.colour), b.grain, target, t[0], t[1]);
  if (graph == nullptr) return;
  pass.AddGraph(std::move(graph), b.view);
  pass.ShowFlags({kCoordT, kCoordW});
  pass.ShowXYZ(0);
}

// In a 3-D view the plane curve lies in z = 0 at full opacity; its clip is
// renamed with it, so that a condition on t clips. In a 2-D view it has no
// clip.
void AddCurveInT(EquationPass& pass, EquationBuild& b, ExpressionRecord* x, ExpressionRecord* y,
                 int32_t selectionType) {
  if (b.is3D) {
    AddSpaceCurve(pass, b, x, y, Number(0), nullptr, std::move(b.clip), 1.0, kIdT, kCoordT);
    return;
  }
  Rename(x, kIdT, kIdU);
  Rename(y, kIdT, kIdU);
  AddPlaneCurve(pass, b, Tree(x), Tree(y), selectionType, kCoordT);
}

void Add_kRTheta_t(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* e = b.equation;
  AddCurveInT(pass, b, Times(Component(e, 0), Cos(Component(e, 1))), Times(Component(e, 0), Sin(Component(e, 1))), 6);
}
