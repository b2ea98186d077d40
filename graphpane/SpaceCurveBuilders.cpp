#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"

namespace {

ExpressionRecord* Component(const ExpressionRecord* e, int i) { return Copy(e->operands[1]->operands[i]); }

void Rename(ExpressionRecord* tree, int32_t from, int32_t to) {
  if (tree != nullptr) ReplaceAtoms(tree, from, to);
}

}  // namespace

// Every curve runs in u: the parameter is renamed in the coordinates and in
// the clip and radius, so that a condition on it clips. The mirror samples
// the first 3-D view's range.
void AGraphPane::AddSpaceCurve(ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, ExpressionRecord* radius,
                               ExpressionRecord* clip, AGraphColor* colour, const CoordinateTransformation& ct,
                               double grain, double opacity, int32_t view, int32_t parameter, CoordDisplayParam range) {
  for (ExpressionRecord* tree : {x, y, z, radius, clip}) Rename(tree, parameter, kIdU);
  Colour mirror(ct.kind == CoordinateTransformation::kSpace ? MirrorColour(view, ct, colour) : nullptr);
  const Tree keep[5] = {KeepFor(mirror.get(), x), KeepFor(mirror.get(), y), KeepFor(mirror.get(), z),
                        KeepFor(mirror.get(), radius), KeepFor(mirror.get(), clip)};
  Compiled cx(Required(x)), cy(Required(y)), cz(Required(z)), cr(Optional(radius)), cc(Optional(clip));
  if (gGraphMakers.SpaceCurve == nullptr) return;
  AGraphView& target = *View3D(view);
  const double(&u)[2] = target.Record().ranges[range];
  A3DGraph* graph = gGraphMakers.SpaceCurve(cx.release(), cy.release(), cz.release(), cr.release(), cc.release(),
                                            HandOver(colour), grain, opacity, target, u[0], u[1]);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  const double(&first)[2] = View3D(0)->Record().ranges[range];
  Add_transformed_SpaceCurve(ct, view, keep[0].get(), keep[1].get(), keep[2].get(), keep[4].get(), keep[3].get(),
                             opacity, mirror.release(), grain, first[0], first[1]);
  if (range == kCoordT) ShowFlags({kCoordT});
  ShowXYZ(view);
}

void AGraphPane::Add_kRThetaZ_t(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                ExpressionRecord* radius, double opacity) {
  AddSpaceCurve(Times(Component(e, 0), Cos(Component(e, 1))), Times(Component(e, 0), Sin(Component(e, 1))),
                Component(e, 2), radius, clip, colour, ct, grain, opacity, view, kIdT, kCoordT);
}

void AGraphPane::Add_kRThetaPhi_t(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                  ExpressionRecord* radius, double opacity) {
  AddSpaceCurve(Times3(Component(e, 0), Sin(Component(e, 2)), Cos(Component(e, 1))),
                Times3(Component(e, 0), Sin(Component(e, 2)), Sin(Component(e, 1))),
                Times(Component(e, 0), Cos(Component(e, 2))), radius, clip, colour, ct, grain, opacity, view, kIdT,
                kCoordT);
}

void AGraphPane::Add_kZ_z(ExpressionRecord* e, int32_t view, AGraphColor* colour, const CoordinateTransformation& ct,
                          double grain, ExpressionRecord* clip, ExpressionRecord* radius, double opacity) {
  const ExpressionRecord* f = e->operands[1];
  AddSpaceCurve(Real(Copy(f)), Imag(Copy(f)), Atomic(kIdU), radius, clip, colour, ct, grain, opacity, view, kIdZ,
                kCoordZ);
}

void AGraphPane::Add_kXYZW_t(ExpressionRecord* e, int32_t view, AGraphColor* colour, double grain,
                             ExpressionRecord* clip) {
  Tree c[4] = {Tree(Component(e, 0)), Tree(Component(e, 1)), Tree(Component(e, 2)), Tree(Component(e, 3))};
  for (Tree& tree : c) Rename(tree.get(), kIdT, kIdU);
  // The 4-D coordinates u and v are the third and fourth, z and w.
  Rename(clip, kIdU, kIdZ);
  Rename(clip, kIdV, kIdW);
  Rename(clip, kIdT, kIdU);
  Compiled cx(Required(c[0].release())), cy(Required(c[1].release())), cz(Required(c[2].release())),
      cw(Required(c[3].release())), cc(Optional(clip));
  if (gGraphMakers.SpaceCurve4D == nullptr) return;
  AGraphView& target = *View4D();
  const double(&t)[2] = target.Record().ranges[kCoordT];
  A4DGraph* graph = gGraphMakers.SpaceCurve4D(cx.release(), cy.release(), cz.release(), cw.release(), cc.release(),
                                              HandOver(colour), grain, target, t[0], t[1]);
  if (graph == nullptr) return;
  AddGraph(graph, view);
  ShowFlags({kCoordT, kCoordW});
  ShowXYZ(0);
}

void AGraphPane::Add_kRTheta_t(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                               const CoordinateTransformation& ct, double grain, ExpressionRecord* clip, bool threeD) {
  ExpressionRecord* x = Times(Component(e, 0), Cos(Component(e, 1)));
  ExpressionRecord* y = Times(Component(e, 0), Sin(Component(e, 1)));
  if (threeD) {
    AddSpaceCurve(x, y, Number(0), nullptr, clip, colour, ct, grain, 1.0, view, kIdT, kCoordT);
    return;
  }
  Tree(clip).reset();
  Rename(x, kIdT, kIdU);
  Rename(y, kIdT, kIdU);
  AddPlaneCurve(x, y, view, colour, ct, grain, 6, kCoordT);
}
