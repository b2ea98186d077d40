#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"

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
ExpressionRecord* C(const ExpressionRecord* e, int i) { return Copy(Surface(e)->operands[1]->operands[i]); }

ExpressionRecord* U() { return Atomic(kIdU); }
ExpressionRecord* V() { return Atomic(kIdV); }

// Cylindrical and spherical coordinates to Cartesian, over trees taken
// over: (r cos t, r sin t) and (r sin p cos t, r sin p sin t, r cos p).
struct Cartesian {
  ExpressionRecord *x, *y, *z;
};
Cartesian Cylindrical(ExpressionRecord* r, ExpressionRecord* theta, ExpressionRecord* z) {
  Tree tr(r), tt(theta);
  return {Times(Copy(tr.get()), Cos(Copy(tt.get()))), Times(Copy(tr.get()), Sin(Copy(tt.get()))), z};
}
Cartesian Spherical(ExpressionRecord* r, ExpressionRecord* theta, ExpressionRecord* phi) {
  Tree tr(r), tt(theta), tp(phi);
  return {Times3(Copy(tr.get()), Sin(Copy(tp.get())), Cos(Copy(tt.get()))),
          Times3(Copy(tr.get()), Sin(Copy(tp.get())), Sin(Copy(tt.get()))), Times(Copy(tr.get()), Cos(Copy(tp.get())))};
}

}  // namespace

bool AGraphPane::AddStartOnGrid(const ExpressionRecord* head, ExpressionRecord* x, ExpressionRecord* y,
                                ExpressionRecord* z, int32_t view, AGraphColor* colour,
                                const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                ExpressionRecord* radius, double opacity, CoordDisplayParam uRange,
                                CoordDisplayParam vRange) {
  const ExpressionRecord* field = head->operands[1];
  Compiled f[3] = {Compiled(Required(Copy(field->operands[0]))), Compiled(Required(Copy(field->operands[1]))),
                   Compiled(Required(Copy(field->operands[2])))};
  Compiled s[3] = {Compiled(Required(x)), Compiled(Required(y)), Compiled(Required(z))};
  Compiled r(Optional(radius)), c(Optional(clip));
  // Arrows of the field for (dx, dy, dz) = F, solution curves otherwise.
  const int32_t fieldType = head->operands[0]->opcode == kOpMatrix ? 0 : 1;
  if (gGraphMakers.StartOnGrid == nullptr) return false;
  AGraphView& target = *View3D(view);
  const GraphViewRecord& record = target.Record();
  AnExpression* const fields[3] = {f[0].release(), f[1].release(), f[2].release()};
  AnExpression* const start[3] = {s[0].release(), s[1].release(), s[2].release()};
  A3DGraph* solutions = nullptr;
  A3DGraph* graph = gGraphMakers.StartOnGrid(
      fields, start, r.release(), c.release(), grain, opacity, HandOver(colour), record.ranges[uRange][0],
      record.ranges[uRange][1], record.ranges[vRange][0], record.ranges[vRange][1], fieldType, target, &solutions);
  if (graph == nullptr) return false;
  const int32_t before = target.GraphCount();
  AddGraph(graph, view);
  // The solutions belong to the graph, gone when the view could not keep it.
  Add_transformed_ODEPlot3D(ct, view, target.GraphCount() > before ? solutions : nullptr);
  return true;
}

void AGraphPane::Add_kXYZ_XYZ_zxy(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                  const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                  ExpressionRecord* radius, double opacity) {
  if (AddStartOnGrid(e->operands[0], U(), V(), G(e, kIdX, kIdY), view, colour, ct, grain, clip, radius, opacity,
                     kCoordX, kCoordY))
    ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_rthetaphi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                        const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                        ExpressionRecord* radius, double opacity) {
  const Cartesian p = Spherical(G(e, kIdTheta, kIdPhi), U(), V());
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordTheta,
                     kCoordPhi))
    ShowFlags({kCoordTheta, kCoordPhi}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_thetarphi(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                        const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                        ExpressionRecord* radius, double opacity) {
  const Cartesian p = Spherical(U(), G(e, kIdR, kIdPhi), V());
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordR, kCoordPhi))
    ShowFlags({kCoordR, kCoordPhi}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_phirtheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                        const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                        ExpressionRecord* radius, double opacity) {
  const Cartesian p = Spherical(U(), V(), G(e, kIdR, kIdTheta));
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordR,
                     kCoordTheta))
    ShowFlags({kCoordR, kCoordTheta}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_rthetaz(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                      const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                      ExpressionRecord* radius, double opacity) {
  const Cartesian p = Cylindrical(G(e, kIdTheta, kIdZ), U(), V());
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordTheta,
                     kCoordZ))
    ShowFlags({kCoordTheta}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_zrtheta(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                      const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                      ExpressionRecord* radius, double opacity) {
  const Cartesian p = Cylindrical(U(), V(), G(e, kIdR, kIdTheta));
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordR,
                     kCoordTheta))
    ShowFlags({kCoordR, kCoordTheta}), ShowXYZ(view);
}

// u runs along z and v along r.
void AGraphPane::Add_kXYZ_XYZ_thetarz(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                      const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                      ExpressionRecord* radius, double opacity) {
  const Cartesian p = Cylindrical(V(), G(e, kIdZ, kIdR), U());
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordZ, kCoordR))
    ShowFlags({kCoordR}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_rthphiuv(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                       const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                       ExpressionRecord* radius, double opacity) {
  const Cartesian p = Spherical(C(e, 0), C(e, 1), C(e, 2));
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordU, kCoordV))
    ShowFlags({kCoordU, kCoordV}), ShowXYZ(view);
}

void AGraphPane::Add_kXYZ_XYZ_rthetazuv(ExpressionRecord* e, int32_t view, AGraphColor* colour,
                                        const CoordinateTransformation& ct, double grain, ExpressionRecord* clip,
                                        ExpressionRecord* radius, double opacity) {
  const Cartesian p = Cylindrical(C(e, 0), C(e, 1), C(e, 2));
  if (AddStartOnGrid(e->operands[0], p.x, p.y, p.z, view, colour, ct, grain, clip, radius, opacity, kCoordU, kCoordV))
    ShowFlags({kCoordU, kCoordV}), ShowXYZ(view);
}
