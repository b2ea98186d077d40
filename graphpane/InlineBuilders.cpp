#include <array>
#include <utility>

#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"
#include "graphpane/TransformedBuilders.h"

namespace {

ExpressionRecord* InUV(const ExpressionRecord* g, int32_t toU, int32_t toV) {
  ExpressionRecord* copy = Copy(g);
  if (copy != nullptr) ReplaceAtoms(copy, toU, kIdU), ReplaceAtoms(copy, toV, kIdV);
  return copy;
}

ExpressionRecord* U() { return Atomic(kIdU); }
ExpressionRecord* V() { return Atomic(kIdV); }

const ExpressionRecord* ColumnEntry(const ExpressionRecord* column, int i) { return column->operands[i]; }

}  // namespace

// The surfaces x = f(y, z), y = f(x, z), r = f(theta, z), theta = f(r, z)
// and (r, theta, z) = G(u, v).
void AddInlineSurface(EquationPass& pass, EquationBuild& b) {
  using enum GraphKind;
  const ExpressionRecord* g = b.equation->operands[1];
  const auto surface = [&](ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, CoordDisplayParam u,
                           CoordDisplayParam v) { return AddGridSurface(pass, b, x, y, z, std::move(b.clip), u, v); };
  switch (b.kind) {
    case kX_YZ: surface(InUV(g, kIdY, kIdZ), U(), V(), kCoordY, kCoordZ); break;
    case kY_XZ: surface(U(), InUV(g, kIdX, kIdZ), V(), kCoordX, kCoordZ); break;
    case kR_ThetaZ: {
      Tree f(InUV(g, kIdTheta, kIdZ));
      if (surface(Times(Copy(f.get()), Cos(U())), Times(Copy(f.get()), Sin(U())), V(), kCoordTheta, kCoordZ))
        pass.ShowFlags({kCoordTheta});
      break;
    }
    case kTheta_RZ: {
      Tree f(InUV(g, kIdZ, kIdR));
      if (surface(Times(V(), Cos(Copy(f.get()))), Times(V(), Sin(Copy(f.get()))), U(), kCoordZ, kCoordR))
        pass.ShowFlags({kCoordR});
      break;
    }
    case kRThetaZ_uv:
      if (surface(Times(Copy(ColumnEntry(g, 0)), Cos(Copy(ColumnEntry(g, 1)))),
                  Times(Copy(ColumnEntry(g, 0)), Sin(Copy(ColumnEntry(g, 1)))), Copy(ColumnEntry(g, 2)), kCoordU,
                  kCoordV))
        pass.ShowFlags({kCoordU, kCoordV});
      break;
    default: break;
  }
}

// The fields d/dt (x, y, z) = F or (dx, dy, dz) = F on a lattice, from a
// point, or from the points of an implicit surface; or from a start surface
// x = f(y, z), y = f(x, z) or (x, y, z) = G(u, v) over the U and V ranges.
void AddInlineField(EquationPass& pass, EquationBuild& b) {
  using enum GraphKind;
  const ExpressionRecord* head = b.kind == kXYZ_XYZ ? b.equation : b.equation->operands[0];
  const ExpressionRecord* start = b.kind == kXYZ_XYZ ? nullptr : b.equation->operands[1];
  ExpressionRecord* surface[3] = {nullptr, nullptr, nullptr};
  switch (b.kind) {
    case kXYZ_XYZ_xyz: surface[0] = InUV(start->operands[1], kIdY, kIdZ), surface[1] = U(), surface[2] = V(); break;
    case kXYZ_XYZ_yzx: surface[0] = U(), surface[1] = InUV(start->operands[1], kIdX, kIdZ), surface[2] = V(); break;
    case kXYZ_XYZ_xyzuv:
      for (int i = 0; i < 3; ++i) surface[i] = Copy(ColumnEntry(start->operands[1], i));
      break;
    default: break;
  }
  if (surface[0] != nullptr || surface[1] != nullptr || surface[2] != nullptr) {
    if (AddStartOnGrid(pass, b, head, surface[0], surface[1], surface[2], kCoordU, kCoordV)) {
      if (b.kind == kXYZ_XYZ_xyzuv) pass.ShowFlags({kCoordU, kCoordV});
      pass.ShowXYZ(b.view);
    }
    return;
  }
  const int32_t fieldType = b.kind == kXYZ_XYZ_point || IsTotalDerivativeOfColumn(head->operands[0], 3) ? 1 : 0;
  std::array<Compiled, 3> field = {Compiled(pass.Required(Tree(Copy(ColumnEntry(head->operands[1], 0))))),
                                   Compiled(pass.Required(Tree(Copy(ColumnEntry(head->operands[1], 1))))),
                                   Compiled(pass.Required(Tree(Copy(ColumnEntry(head->operands[1], 2)))))};
  std::array<Compiled, 3> startPoint;
  Compiled function;
  if (b.kind == kXYZ_XYZ_point)
    for (int i = 0; i < 3; ++i) startPoint[i] = Compiled(pass.Required(Tree(Copy(ColumnEntry(start->operands[1], i)))));
  if (b.kind == kXYZ_XYZ_implicit)
    function = Compiled(pass.Required(Tree(Minus(Copy(start->operands[0]), Copy(start->operands[1])))));
  Compiled radius(pass.Optional(std::move(b.radius))), clip(pass.Optional(std::move(b.clip)));
  const bool hasMaker = (b.kind == kXYZ_XYZ && gGraphMakers.StartOnLattice) ||
                        (b.kind == kXYZ_XYZ_point && gGraphMakers.StartOnPoint) ||
                        (b.kind == kXYZ_XYZ_implicit && gGraphMakers.StartOnImplicit);
  if (!hasMaker) return;
  AGraphView& target = *pass.View3D(b.view);
  A3DGraph* solutions = nullptr;
  std::unique_ptr<A3DGraph> graph;
  switch (b.kind) {
    case kXYZ_XYZ:
      graph = gGraphMakers.StartOnLattice(std::move(field), std::move(radius), std::move(clip), b.grain, b.opacity,
                                          std::move(b.colour), fieldType, target, &solutions);
      break;
    case kXYZ_XYZ_point:
      graph = gGraphMakers.StartOnPoint(std::move(field), std::move(startPoint), std::move(radius), std::move(clip),
                                        b.opacity, std::move(b.colour), 1, target, &solutions);
      break;
    default:
      graph = gGraphMakers.StartOnImplicit(std::move(field), std::move(radius), std::move(function), std::move(clip),
                                           b.grain, b.opacity, std::move(b.colour), fieldType, target, &solutions);
      break;
  }
  if (graph == nullptr) return;
  const int32_t before = target.GraphCount();
  pass.AddGraph(std::move(graph), b.view);
  // The solutions belong to the graph, gone when the view could not keep it.
  Add_transformed_ODEPlot3D(pass, b.ct, b.view, target.GraphCount() > before ? solutions : nullptr);
  pass.ShowXYZ(b.view);
}
