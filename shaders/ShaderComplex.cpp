#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "algebra/AlgebraSwitches.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/OperatorKinds.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"
#include "shaders/ShaderTransforms.h"

namespace {

// A kind without a rule: the formula is left to the processor.
struct NotSplittable : std::runtime_error {
  NotSplittable() : std::runtime_error("no real and imaginary parts") {}
};

Tree Made(ExpressionRecord* e) {
  if (!e) throw std::bad_alloc();
  return Tree(e);
}
ExpressionRecord* C(const Tree& e) { return Copy(e.get()); }
Tree N(double x) { return Made(Number(x)); }

struct Pair {
  Tree re, im;
};

bool IsNumber(const Tree& e, double value) {
  return e->opcode == kOpNumber && e->payload.number && e->payload.number->value == value;
}

bool IsBuiltInName(int32_t id) {
  return (id >= 1 && id <= 14) || id == kIdE || id == kIdR || (id >= kIdT && id <= kIdZ);
}

Tree Angle(const Pair& a) { return Made(NewBinop(kOpAngle, C(a.re), C(a.im))); }
Tree SquaredModulus(const Pair& a) { return Made(Plus(Square(C(a.re)), Square(C(a.im)))); }

Pair ComplexTimes(const Pair& a, const Pair& b) {
  return {Made(Minus(Times(C(a.re), C(b.re)), Times(C(a.im), C(b.im)))),
          Made(Plus(Times(C(a.re), C(b.im)), Times(C(a.im), C(b.re))))};
}

Pair Divide(const Pair& a, const Pair& b) {
  Tree d = SquaredModulus(b);
  return {Made(Div(Plus(Times(C(a.re), C(b.re)), Times(C(a.im), C(b.im))), C(d))),
          Made(Div(Minus(Times(C(a.im), C(b.re)), Times(C(a.re), C(b.im))), d.release()))};
}

Pair Log(const Pair& a) { return {Made(Ln(Sqrt(SquaredModulus(a).release()))), Angle(a)}; }

Pair Exponential(const Pair& a) {
  return {Made(Times(NewUnop(kOpExp, C(a.re)), Cos(C(a.im)))), Made(Times(NewUnop(kOpExp, C(a.re)), Sin(C(a.im))))};
}

Pair SquareRoot(const Pair& a) {
  if (IsNumber(a.im, 0)) return {Made(Sqrt(C(a.re))), N(0)};
  Tree m = Made(Sqrt(Sqrt(SquaredModulus(a).release())));
  Tree h = Made(Div(Angle(a).release(), Number(2)));
  return {Made(Times(C(m), Cos(C(h)))), Made(Times(m.release(), Sin(h.release())))};
}

Pair Plain(Tree re) { return {std::move(re), N(0)}; }
Pair TimesI(const Pair& a) { return {Made(Neg(C(a.im))), Made(C(a.re))}; }
Pair OnePlus(const Pair& a) { return {Made(Plus(Number(1), C(a.re))), Made(C(a.im))}; }
Pair OneMinus(const Pair& a) { return {Made(Minus(Number(1), C(a.re))), Made(Neg(C(a.im)))}; }

Pair ArcTangent(const Pair& a) {
  const Pair ia = TimesI(a);
  Pair l = Log(Divide(OnePlus(ia), OneMinus(ia)));
  return {Made(Div(l.im.release(), Number(2))), Made(Div(l.re.release(), Number(-2)))};
}

Pair Split(const ExpressionRecord* node);

std::vector<Pair> SplitOperands(const ExpressionRecord* node) {
  std::vector<Pair> parts;
  for (uint16_t i = 0; i < node->operandCount; ++i) parts.push_back(Split(node->operands[i]));
  return parts;
}

Pair Power(const Pair& a, const Pair& b) {
  if (IsNumber(b.re, 2) && IsNumber(b.im, 0)) {
    return {Made(Minus(Square(C(a.re)), Square(C(a.im)))), Made(Times3(Number(2), C(a.re), C(a.im)))};
  }
  if (IsNumber(a.im, 0) && IsNumber(b.im, 0)) return Plain(Made(Tothe(C(a.re), C(b.re))));
  const bool baseIsE = a.re->opcode == kOpAtom && a.re->payload.id == kIdE && IsNumber(a.im, 0);
  return Exponential(baseIsE ? Pair{Made(C(b.re)), Made(C(b.im))} : ComplexTimes(b, Log(a)));
}

Pair Split(const ExpressionRecord* node) {
  if (node->opcode == kOpNumber) return Plain(Made(Copy(node)));
  if (node->opcode == kOpAtom) {
    const int32_t id = node->payload.id;
    if (id == kIdI) return {N(0), N(1)};
    if (IsBuiltInName(id)) return Plain(Made(Copy(node)));
    return {Made(Real(Copy(node))), Made(Imag(Copy(node)))};
  }
  std::vector<Pair> p = SplitOperands(node);
  if (p.empty()) throw NotSplittable();
  // The parts are this call's own: where one is used once it is moved, not
  // copied.
  Pair& a = p[0];
  switch (node->opcode) {
    case kOpMinus: return {Made(Neg(a.re.release())), Made(Neg(a.im.release()))};
    case kOpPlus: {
      Pair sum{std::move(a.re), std::move(a.im)};
      for (size_t i = 1; i < p.size(); ++i) {
        sum = {Made(Plus(sum.re.release(), p[i].re.release())), Made(Plus(sum.im.release(), p[i].im.release()))};
      }
      return sum;
    }
    case kOpTimes: {
      Pair product{std::move(a.re), std::move(a.im)};
      for (size_t i = 1; i < p.size(); ++i) product = ComplexTimes(product, p[i]);
      return product;
    }
    case kOpOver:
      if (p.size() == 2) return Divide(a, p[1]);
      break;
    case kOpAbs: return Plain(Made(Sqrt(SquaredModulus(a).release())));
    case kOpOverline: return {std::move(a.re), Made(Neg(a.im.release()))};
    case kOpReal:
    case kOpRe: return Plain(std::move(a.re));
    case kOpImag:
    case kOpIm: return Plain(std::move(a.im));
    case kOpArg: return Plain(Angle(a));
    case kOpLn: return Log(a);
    case kOpExp: return Exponential(a);
    case kOpLog: {
      if (p.size() != 1) break;
      Pair l = Log(a);
      return {Made(Div(l.re.release(), Ln(Number(10)))), Made(Div(l.im.release(), Ln(Number(10))))};
    }
    case kOpSqrt:
      if (p.size() == 1) return SquareRoot(a);
      break;
    case kOpPower:
      if (p.size() == 2) return Power(a, p[1]);
      break;
    case kOpSin:
      return {Made(Times(Sin(C(a.re)), NewUnop(kOpCosh, C(a.im)))),
              Made(Times(Cos(C(a.re)), NewUnop(kOpSinh, C(a.im))))};
    case kOpCos:
      return {Made(Times(Cos(C(a.re)), NewUnop(kOpCosh, C(a.im)))),
              Made(Neg(Times(Sin(C(a.re)), NewUnop(kOpSinh, C(a.im)))))};
    case kOpAsin: {
      const Pair square = ComplexTimes(a, a);
      Pair root = SquareRoot(OneMinus(square));
      Pair ia = TimesI(a);
      Pair l = Log({Made(Plus(ia.re.release(), root.re.release())), Made(Plus(ia.im.release(), root.im.release()))});
      return {std::move(l.im), Made(Neg(l.re.release()))};
    }
    case kOpAtan: return ArcTangent(a);
    case kOpAcot: return ArcTangent(Divide({N(1), N(0)}, a));
    case kOpFloor:
    case kOpSgn:
    case kOpLess:
    case kOpGreater:
    case kOpMod:
    case kOpMin:
    case kOpMax:
    case kOpConditions: {
      Tree same = Made(NewExpression(node->opcode, int32_t(p.size())));
      for (size_t i = 0; i < p.size(); ++i) {
        same->operands[i] = p[i].re.release();
        same->operands[i]->parent = same.get();
      }
      return Plain(std::move(same));
    }
    default: break;
  }
  throw NotSplittable();
}

bool IsOneHalf(const ExpressionRecord* e) {
  return e->opcode == kOpOver && e->operandCount == 2 && e->operands[0]->opcode == kOpNumber &&
         e->operands[1]->opcode == kOpNumber && e->operands[0]->payload.number->value == 1 &&
         e->operands[1]->payload.number->value == 2;
}

void HalfPowersToRoots(ExpressionRecord* root) {
  for (ExpressionRecord* node = LeftMost(root); node;) {
    ExpressionRecord* next = node == root ? nullptr : NextBottomUp(node);
    if (node->opcode == kOpPower && node->operandCount == 2 && IsOneHalf(node->operands[1])) {
      ExpressionRecord* root2 = Sqrt(Copy(node->operands[0]));
      if (!root2 || !DeleteOperandsTransferAndDispose(root2, node)) throw std::bad_alloc();
    }
    node = next;
  }
}

}  // namespace

void ShaderTransformExprComplex(ExpressionRecord* tree, DocumentRecord* document) {
  if (!DIM_Complex(tree, document)) return;
  Tree real;
  try {
    real = std::move(Split(tree).re);
  } catch (const NotSplittable&) {
    return;
  }
  ShaderTransformTreeReal(real.get());
  {
    ScopedAlgebraSwitch powersKept(gSimplifyPowers, 0);
    SIMP_Recurse(real.get());
  }
  HalfPowersToRoots(real.get());
  if (!DeleteOperandsTransferAndDispose(std::move(real), tree)) throw std::bad_alloc();
}
