#include <array>
#include <initializer_list>
#include <utility>

#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"

namespace {

// The start surface S: the second item after the field's head.
const ExpressionRecord* Surface(const ExpressionRecord* e) { return e->operands[1]; }

// A copy of S's right side with two coordinates renamed u and v.
ExpressionRecord* G(const ExpressionRecord* e, int32_t toU, int32_t toV) {
  ExpressionRecord* copy = Copy(Surface(e)->operands[1]);
  if (copy != nullptr) ReplaceAtoms(copy, toU, kIdU), ReplaceAtoms(copy, toV, kIdV);
  return copy;
}

// Entry i of S's right-side column.
ExpressionRecord* CopiedCoordinate(const ExpressionRecord* e, int i) {
  return Copy(Surface(e)->operands[1]->operands[i]);
}

ExpressionRecord* AtomU() { return Atomic(kIdU); }
ExpressionRecord* AtomV() { return Atomic(kIdV); }

// Cylindrical and spherical coordinates to Cartesian, over trees taken
// over: (r cos t, r sin t) and (r sin p cos t, r sin p sin t, r cos p).
struct CartesianTrees {
  ExpressionRecord *x, *y, *z;
};
CartesianTrees CylindricalTrees(ExpressionRecord* r, ExpressionRecord* theta, ExpressionRecord* z) {
  Tree tr(r), tt(theta);
  return {Times(Copy(tr.get()), Cos(Copy(tt.get()))), Times(Copy(tr.get()), Sin(Copy(tt.get()))), z};
}
CartesianTrees SphericalTrees(ExpressionRecord* r, ExpressionRecord* theta, ExpressionRecord* phi) {
  Tree tr(r), tt(theta), tp(phi);
  return {Times3(Copy(tr.get()), Sin(Copy(tp.get())), Cos(Copy(tt.get()))),
          Times3(Copy(tr.get()), Sin(Copy(tp.get())), Sin(Copy(tt.get()))), Times(Copy(tr.get()), Cos(Copy(tp.get())))};
}

// The field started on the surface p over two of the view's ranges, with
// the flags of the ranges that are not coordinates.
void AddStartSurface(EquationPass& pass, EquationBuild& b, CartesianTrees p, CoordDisplayParam uRange,
                     CoordDisplayParam vRange, std::initializer_list<CoordDisplayParam> flags) {
  if (!AddStartOnGrid(pass, b, b.equation->operands[0], p.x, p.y, p.z, uRange, vRange)) return;
  pass.ShowFlags(flags);
  pass.ShowXYZ(b.view);
}

}  // namespace

bool AddStartOnGrid(EquationPass& pass, EquationBuild& b, const ExpressionRecord* head, ExpressionRecord* x,
                    ExpressionRecord* y, ExpressionRecord* z, CoordDisplayParam uRange, CoordDisplayParam vRange) {
  const ExpressionRecord* field = head->operands[1];
  std::array<Compiled, 3> f = {Compiled(pass.Required(Tree(Copy(field->operands[0])))),
                               Compiled(pass.Required(Tree(Copy(field->operands[1])))),
                               Compiled(pass.Required(Tree(Copy(field->operands[2]))))};
  std::array<Compiled, 3> s = {Compiled(pass.Required(Tree(x))), Compiled(pass.Required(Tree(y))),
                               Compiled(pass.Required(Tree(z)))};
  Compiled r(pass.Optional(std::move(b.radius))), c(pass.Optional(std::move(b.clip)));
  // Arrows of the field for (dx, dy, dz) = F, solution curves otherwise.
  const int32_t fieldType = head->operands[0]->opcode == kOpMatrix ? 0 : 1;
  if (gGraphMakers.StartOnGrid == nullptr) return false;
  AGraphView& target = *pass.View3D(b.view);
  const GraphViewRecord& record = target.Record();
  A3DGraph* solutions = nullptr;
  std::unique_ptr<A3DGraph> graph =
      gGraphMakers.StartOnGrid(std::move(f), std::move(s), std::move(r), std::move(c), b.grain, b.opacity,
                               std::move(b.colour), record.ranges[uRange][0], record.ranges[uRange][1],
                               record.ranges[vRange][0], record.ranges[vRange][1], fieldType, target, &solutions);
  if (graph == nullptr) return false;
  const int32_t before = target.GraphCount();
  pass.AddGraph(std::move(graph), b.view);
  // The solutions belong to the graph, gone when the view could not keep it.
  Add_transformed_ODEPlot3D(pass, b.ct, b.view, target.GraphCount() > before ? solutions : nullptr);
  return true;
}

void Add_kXYZ_XYZ_zxy(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, {AtomU(), AtomV(), G(b.equation, kIdX, kIdY)}, kCoordX, kCoordY, {});
}

void Add_kXYZ_XYZ_rthetaphi(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, SphericalTrees(G(b.equation, kIdTheta, kIdPhi), AtomU(), AtomV()), kCoordTheta, kCoordPhi,
                  {kCoordTheta, kCoordPhi});
}

void Add_kXYZ_XYZ_thetarphi(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, SphericalTrees(AtomU(), G(b.equation, kIdR, kIdPhi), AtomV()), kCoordR, kCoordPhi,
                  {kCoordR, kCoordPhi});
}

void Add_kXYZ_XYZ_phirtheta(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, SphericalTrees(AtomU(), AtomV(), G(b.equation, kIdR, kIdTheta)), kCoordR, kCoordTheta,
                  {kCoordR, kCoordTheta});
}

void Add_kXYZ_XYZ_rthetaz(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, CylindricalTrees(G(b.equation, kIdTheta, kIdZ), AtomU(), AtomV()), kCoordTheta, kCoordZ,
                  {kCoordTheta});
}

void Add_kXYZ_XYZ_zrtheta(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, CylindricalTrees(AtomU(), AtomV(), G(b.equation, kIdR, kIdTheta)), kCoordR, kCoordTheta,
                  {kCoordR, kCoordTheta});
}

// u runs along z and v along r.
void Add_kXYZ_XYZ_thetarz(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b, CylindricalTrees(AtomV(), G(b.equation, kIdZ, kIdR), AtomU()), kCoordZ, kCoordR, {kCoordR});
}

void Add_kXYZ_XYZ_rthphiuv(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(
      pass, b,
      SphericalTrees(CopiedCoordinate(b.equation, 0), CopiedCoordinate(b.equation, 1), CopiedCoordinate(b.equation, 2)),
      kCoordU, kCoordV, {kCoordU, kCoordV});
}

void Add_kXYZ_XYZ_rthetazuv(EquationPass& pass, EquationBuild& b) {
  AddStartSurface(pass, b,
                  CylindricalTrees(CopiedCoordinate(b.equation, 0), CopiedCoordinate(b.equation, 1),
                                   CopiedCoordinate(b.equation, 2)),
                  kCoordU, kCoordV, {kCoordU, kCoordV});
}
