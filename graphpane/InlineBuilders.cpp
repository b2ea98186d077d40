#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphMakers.h"
#include "graphpane/PassTrees.h"

namespace {

ExpressionRecord* InUV(const ExpressionRecord* g, int32_t toU, int32_t toV) {
  ExpressionRecord* copy = Copy(g);
  if (copy != nullptr) ReplaceAtoms(copy, toU, kIdU), ReplaceAtoms(copy, toV, kIdV);
  return copy;
}

ExpressionRecord* U() { return Atomic(kIdU); }
ExpressionRecord* V() { return Atomic(kIdV); }

const ExpressionRecord* Entry(const ExpressionRecord* column, int i) { return column->operands[i]; }

}  // namespace

// Surfaces 6, 7, 11, 14, 28: x = f(y, z), y = f(x, z), r = f(theta, z),
// theta = f(r, z), (r, theta, z) = G(u, v).
void AGraphPane::AddInlineSurface(EquationBuild& b) {
  const ExpressionRecord* g = b.equation->operands[1];
  ExpressionRecord* clip = b.clip.release();
  const auto surface = [&](ExpressionRecord* x, ExpressionRecord* y, ExpressionRecord* z, CoordDisplayParam u,
                           CoordDisplayParam v) {
    return AddGridSurface(x, y, z, clip, b.colour, b.ct, b.grain, b.opacity, b.mode, b.view, u, v);
  };
  switch (b.kind) {
    case 6: surface(InUV(g, kIdY, kIdZ), U(), V(), kCoordY, kCoordZ); break;
    case 7: surface(U(), InUV(g, kIdX, kIdZ), V(), kCoordX, kCoordZ); break;
    case 11: {
      Tree f(InUV(g, kIdTheta, kIdZ));
      if (surface(Times(Copy(f.get()), Cos(U())), Times(Copy(f.get()), Sin(U())), V(), kCoordTheta, kCoordZ))
        ShowFlags({kCoordTheta});
      break;
    }
    case 14: {
      Tree f(InUV(g, kIdZ, kIdR));
      if (surface(Times(V(), Cos(Copy(f.get()))), Times(V(), Sin(Copy(f.get()))), U(), kCoordZ, kCoordR))
        ShowFlags({kCoordR});
      break;
    }
    case 28:
      if (surface(Times(Copy(Entry(g, 0)), Cos(Copy(Entry(g, 1)))), Times(Copy(Entry(g, 0)), Sin(Copy(Entry(g, 1)))),
                  Copy(Entry(g, 2)), kCoordU, kCoordV))
        ShowFlags({kCoordU, kCoordV});
      break;
    default: Tree(clip).reset(); break;
  }
}

// Fields 17, 36, 67: d/dt (x, y, z) = F or (dx, dy, dz) = F, on a lattice,
// from a point, or from the points of an implicit surface; 68, 69, 77 from
// a start surface over the U and V ranges.
void AGraphPane::AddInlineField(EquationBuild& b) {
  const ExpressionRecord* head = b.kind == 17 ? b.equation : b.equation->operands[0];
  const ExpressionRecord* start = b.kind == 17 ? nullptr : b.equation->operands[1];
  ExpressionRecord* surface[3] = {nullptr, nullptr, nullptr};
  switch (b.kind) {
    case 68: surface[0] = InUV(start->operands[1], kIdY, kIdZ), surface[1] = U(), surface[2] = V(); break;
    case 69: surface[0] = U(), surface[1] = InUV(start->operands[1], kIdX, kIdZ), surface[2] = V(); break;
    case 77:
      for (int i = 0; i < 3; ++i) surface[i] = Copy(Entry(start->operands[1], i));
      break;
    default: break;
  }
  if (surface[0] != nullptr || surface[1] != nullptr || surface[2] != nullptr) {
    if (AddStartOnGrid(head, surface[0], surface[1], surface[2], b.view, b.colour, b.ct, b.grain, b.clip.release(),
                       b.radius.release(), b.opacity, kCoordU, kCoordV)) {
      if (b.kind == 77) ShowFlags({kCoordU, kCoordV});
      ShowXYZ(b.view);
    }
    return;
  }
  const int32_t fieldType = b.kind == 36 || IsTotalDerivativeOfColumn(head->operands[0], 3) ? 1 : 0;
  Compiled field[3] = {Compiled(Required(Copy(Entry(head->operands[1], 0)))),
                       Compiled(Required(Copy(Entry(head->operands[1], 1)))),
                       Compiled(Required(Copy(Entry(head->operands[1], 2))))};
  Compiled startPoint[3], function;
  if (b.kind == 36)
    for (int i = 0; i < 3; ++i) startPoint[i] = Compiled(Required(Copy(Entry(start->operands[1], i))));
  if (b.kind == 67) function = Compiled(Required(Minus(Copy(start->operands[0]), Copy(start->operands[1]))));
  Compiled radius(Optional(b.radius.release())), clip(Optional(b.clip.release()));
  const bool hasMaker = (b.kind == 17 && gGraphMakers.StartOnLattice) || (b.kind == 36 && gGraphMakers.StartOnPoint) ||
                        (b.kind == 67 && gGraphMakers.StartOnImplicit);
  if (!hasMaker) return;
  // From here on the maker owns every expression and the colour.
  AnExpression* const f[3] = {field[0].release(), field[1].release(), field[2].release()};
  AnExpression* const s[3] = {startPoint[0].release(), startPoint[1].release(), startPoint[2].release()};
  AnExpression* const r = radius.release();
  AnExpression* const c = clip.release();
  AGraphColor* const colour = HandOver(b.colour);
  AGraphView& target = *View3D(b.view);
  A3DGraph* solutions = nullptr;
  A3DGraph* graph = nullptr;
  switch (b.kind) {
    case 17:
      graph = gGraphMakers.StartOnLattice(f, r, c, b.grain, b.opacity, colour, fieldType, target, &solutions);
      break;
    case 36: graph = gGraphMakers.StartOnPoint(f, s, r, c, b.opacity, colour, 1, target, &solutions); break;
    default:
      graph = gGraphMakers.StartOnImplicit(f, r, function.release(), c, b.grain, b.opacity, colour, fieldType, target,
                                           &solutions);
      break;
  }
  if (graph == nullptr) return;
  const int32_t before = target.GraphCount();
  AddGraph(graph, b.view);
  // The solutions belong to the graph, gone when the view could not keep it.
  Add_transformed_ODEPlot3D(b.ct, b.view, target.GraphCount() > before ? solutions : nullptr);
  ShowXYZ(b.view);
}
