#include <numbers>

#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphView.h"
#include "graphpane/EquationPass.h"
#include "graphpane/BuildSteps.h"
#include "graphpane/GraphBuilders.h"
#include "graphpane/GraphRewrites.h"
#include "graphpane/PassTrees.h"

namespace {

// A range item low < x < high.
bool IsRange(const ExpressionRecord* item) { return item->opcode == kOpLess && item->operandCount == 3; }

// The axis solved for id, x first set to *x when given; null when the solve
// fails.
Tree Solved(const ExpressionRecord* axis, int32_t id, const double* x = nullptr) {
  ExpressionRecord* work = Copy(axis);
  if (work == nullptr) return nullptr;
  bool set = true;
  if (x != nullptr) {
    const Tree value(Number(*x));
    set = value && ReplaceAtom(work, kIdX, value.get());
  }
  if (set && SolveFor(work, id)) return Tree(work);
  DisposExpr(work);
  return nullptr;
}

ExpressionRecord* C(const Tree& t) { return Copy(t.get()); }

}  // namespace

// The plane curve turned about a line of its plane: u runs along the curve,
// v over [0, 1] turns it through the angle (a full turn unless given).
void Add_kRotation(EquationPass& pass, EquationBuild& b) {
  const ExpressionRecord* items = b.equation->operands[0];
  const ExpressionRecord* curve = items->operands[0];
  if (curve->opcode == kOpEquals && curve->operandCount == 2) curve = curve->operands[1];
  const ExpressionRecord* axis = items->operands[1];
  const ExpressionRecord* angle = nullptr;
  const ExpressionRecord* range = nullptr;
  if (items->operandCount >= 3) (IsRange(items->operands[2]) ? range : angle) = items->operands[2];
  if (items->operandCount == 4 && IsRange(items->operands[3])) range = items->operands[3];

  // The point along the curve: p, its height Y, the turn a·v.
  Tree p(range != nullptr ? Plus(Copy(range->operands[0]),
                                 Times(Atomic(kIdU), Minus(Copy(range->operands[2]), Copy(range->operands[0]))))
                          : Atomic(kIdU));
  Tree y(Copy(curve));
  if (!p || !y || !ReplaceAtom(y.get(), kIdX, p.get())) return;
  Tree turn(Times(angle != nullptr ? Copy(angle) : Number(2 * std::numbers::pi), Atomic(kIdV)));
  const Tree s(Sin(C(turn))), c(Cos(C(turn)));
  const Tree oneMinusC(Minus(Number(1), C(c)));

  ExpressionRecord *x = nullptr, *yTurned = nullptr, *z = nullptr;
  const bool holdsY = DIM_Contains(axis, kIdY), holdsX = DIM_Contains(axis, kIdX);
  if (!holdsY && holdsX) {
    // The line x = k.
    const Tree k = Solved(axis, kIdX);
    if (!k) return;
    const Tree offset(Minus(C(p), C(k)));
    x = Plus(Times(C(c), C(offset)), C(k));
    yTurned = Times(C(y), Plus(C(oneMinusC), C(c)));
    z = Times(C(s), C(offset));
  } else if (holdsY) {
    // The line through (0, y0) with slope y1 - y0, turned about by Rodrigues'
    // rotation about its unit direction (dx, dy).
    constexpr double kAt0 = 0, kAt1 = 1;
    const Tree y0 = Solved(axis, kIdY, &kAt0), y1 = Solved(axis, kIdY, &kAt1);
    if (!y0 || !y1) return;
    const Tree m(Minus(C(y1), C(y0)));
    const Tree length(Sqrt(Plus(Number(1), Square(C(m)))));
    const Tree dx(Div(Number(1), C(length))), dy(Div(C(m), C(length)));
    const Tree height(Minus(C(y), C(y0)));
    const Tree cross(Times3(C(oneMinusC), C(dx), C(dy)));
    x = Plus(Times(C(p), Plus(Times(C(oneMinusC), Square(C(dx))), C(c))), Times(C(height), C(cross)));
    yTurned =
        Plus(Plus(Times(C(p), C(cross)), Times(C(height), Plus(Times(C(oneMinusC), Square(C(dy))), C(c)))), C(y0));
    z = Times(C(s), Minus(Times(C(dy), C(p)), Times(C(dx), C(height))));
  } else {
    return;
  }
  static constexpr double kUnit[2] = {0, 1};
  const GraphViewRecord& record = pass.View3D(b.view)->Record();
  const double(&u)[2] = range != nullptr ? kUnit : record.ranges[kCoordU];
  const double(&firstU)[2] = range != nullptr ? kUnit : pass.View3D(0)->Record().ranges[kCoordU];
  AddGridSurface(pass, b, x, yTurned, z, std::move(b.clip), u, kUnit, firstU, kUnit);
}
