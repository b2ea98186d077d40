#include "algebra/AlgebraSwitches.h"
#include "algebra/ChainRuleProducts.h"
#include "algebra/Differentiation.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/RewriteStop.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

constexpr double kOneOverLn10 = 0.4342944819032518;

struct Rule {
  ExpressionRecord* e;
  OpCodeT kind;
  ExpressionRecord* var;

  // A copy of operand i, or of the node itself.
  ExpressionRecord* U(int32_t i) const { return Copy(e->operands[i]); }
  // A copy of the tree differentiated.
  ExpressionRecord* D(ExpressionRecord* copy) const {
    if (copy) Differentiate(copy, kind, var);
    return copy;
  }
  ExpressionRecord* D(int32_t i) const { return D(U(i)); }
  void InPlace(int32_t i) const { Differentiate(e->operands[i], kind, var); }
  // The derivative stays written.
  ExpressionRecord* Pair() const { return NewBinop(kind, Copy(e), Copy(var)); }
  bool Partial() const { return kind == kOpPartialPair && gMathExpandingDefinitions == 0; }
  bool VarIsAtom() const { return var->opcode == kOpAtom; }
  bool Lacks(const ExpressionRecord* tree) const { return !DIM_Contains(tree, var->payload.id); }
};

bool IsBuiltInConstant(int32_t id) {
  return id == kIdPi || id == kIdInf || id == kIdDegree || id == kIdLdots || id == kIdE || id == kIdI;
}

// Operands 1 to n-1 of a product: the operand itself for two factors.
ExpressionRecord* RestOfProduct(const ExpressionRecord* e) {
  if (e->operandCount == 2) return Copy(e->operands[1]);
  Tree rest(NewExpression(kOpTimes, e->operandCount - 1));
  if (!rest) return nullptr;
  for (int32_t i = 1; i < e->operandCount; ++i) {
    rest->operands[i - 1] = Copy(e->operands[i]);
    if (!rest->operands[i - 1]) return nullptr;
    rest->operands[i - 1]->parent = rest.get();
  }
  return rest.release();
}

ExpressionRecord* DerivativeOfProduct(const Rule& r) {
  ExpressionRecord* u = r.e->operands[0];
  ExpressionRecord* v = RestOfProduct(r.e);
  if (!v) return nullptr;
  const bool constantPartial = r.Partial() && r.VarIsAtom();
  if (u->opcode == kOpNumber || (constantPartial && r.Lacks(u))) return Times(r.U(0), r.D(v));
  // Matrices do not commute: u' stays left of v.
  const bool keepOrder = MayHoldMatrix(r.e);
  if (constantPartial && r.Lacks(v)) return keepOrder ? Times(r.D(0), v) : Times(v, r.D(0));
  ExpressionRecord* vCopy = Copy(v);
  if (keepOrder) return Plus(Times(r.D(0), vCopy), Times(r.U(0), r.D(v)));
  return Plus(Times(r.U(0), r.D(v)), Times(vCopy, r.D(0)));
}

ExpressionRecord* DerivativeOfPower(const Rule& r) {
  const ExpressionRecord* a = r.e->operands[0];
  const ExpressionRecord* b = r.e->operands[1];
  double n = 0;
  if (IsAtom(a, kIdE)) return Times(Tothe(r.U(0), r.U(1)), r.D(1));
  if (NumberValue(b, &n)) {
    ExpressionRecord* power = Times(Number(n), Tothe(r.U(0), Number(n - 1)));
    if (r.VarIsAtom() && IsAtom(a, r.var->payload.id)) return power;
    return Times(power, r.D(0));
  }
  if (r.VarIsAtom() && r.Lacks(b) && r.Partial()) {
    ExpressionRecord* power = Times(r.U(1), Tothe(r.U(0), Plus(r.U(1), Number(-1))));
    if (IsAtom(a, r.var->payload.id)) return power;
    return Times(power, r.D(0));
  }
  ExpressionRecord* rate = Plus(Times(Ln(r.U(0)), r.D(1)), Times(Div(r.U(1), r.U(0)), r.D(0)));
  return Times(Tothe(r.U(0), r.U(1)), rate);
}

ExpressionRecord* Unop(OpCodeT kind, ExpressionRecord* a) { return NewUnop(kind, a); }
ExpressionRecord* Squared(OpCodeT kind, const Rule& r) { return Square(Unop(kind, r.U(0))); }
ExpressionRecord* OneMinusSquare(const Rule& r) { return Plus(Number(1), Neg(Square(r.U(0)))); }

// The derivative of a trigonometric or hyperbolic function of u, u' last.
ExpressionRecord* TrigRule(const Rule& r) {
  ExpressionRecord* du = r.D(0);
  switch (r.e->opcode) {
    case kOpSin: return Times(Unop(kOpCos, r.U(0)), du);
    case kOpCos: return Neg(Times(Unop(kOpSin, r.U(0)), du));
    case kOpTan: return Times(Squared(kOpSec, r), du);
    case kOpCot: return Neg(Times(Squared(kOpCsc, r), du));
    case kOpCsc: return Neg(Times3(Unop(kOpCsc, r.U(0)), Unop(kOpCot, r.U(0)), du));
    case kOpSec: return Times3(Unop(kOpSec, r.U(0)), Unop(kOpTan, r.U(0)), du);
    case kOpSinh: return Times(Unop(kOpCosh, r.U(0)), du);
    case kOpCosh: return Times(Unop(kOpSinh, r.U(0)), du);
    case kOpTanh: return Times(Squared(kOpSech, r), du);
    case kOpCoth: return Neg(Times(Squared(kOpCsch, r), du));
    case kOpCsch: return Neg(Times3(Unop(kOpCsch, r.U(0)), Unop(kOpCoth, r.U(0)), du));
    case kOpSech: return Neg(Times3(Unop(kOpSech, r.U(0)), Unop(kOpTanh, r.U(0)), du));
    case kOpAsin: return Div(du, Sqrt(OneMinusSquare(r)));
    case kOpAcos: return Neg(Div(du, Sqrt(OneMinusSquare(r))));
    case kOpAtan: return Div(du, OnePlus(r.U(0)));
    case kOpAcot: return Neg(Div(du, OnePlus(r.U(0))));
    case kOpAcsc: return Neg(Div(du, Times(Unop(kOpAbs, r.U(0)), Sqrt(MinusOne(r.U(0))))));
    case kOpAsec: return Div(du, Times(Unop(kOpAbs, r.U(0)), Sqrt(MinusOne(r.U(0)))));
    case kOpAsinh: return Div(du, Sqrt(OnePlus(r.U(0))));
    case kOpAcosh: return Div(du, Sqrt(MinusOne(r.U(0))));
    case kOpAtanh: return Div(du, OneMinusSquare(r));
    case kOpAcoth: return Div(du, Neg(MinusOne(r.U(0))));
    case kOpAcsch: return Neg(Div(du, Times(Unop(kOpAbs, r.U(0)), Sqrt(OnePlus(r.U(0))))));
    case kOpAsech: return Neg(Div(du, Times(r.U(0), Sqrt(OneMinusSquare(r)))));
    default: DisposExpr(du); return nullptr;
  }
}

bool IsCoordinate(const ExpressionRecord* n, int32_t plain, int32_t primed) {
  if (!n) return false;
  if (n->opcode == kOpPrime && n->operandCount == 1) return IsAtom(n->operands[0], plain);
  return IsAtom(n, plain) || IsAtom(n, primed);
}

// A point of coordinate names, whose time derivative is a velocity that
// stays written.
bool IsCoordinatePoint(const ExpressionRecord* m) {
  const int32_t n = m->operandCount;
  if (n != 2 && n != 3) return false;
  static constexpr int32_t kPlain[] = {kIdX, kIdY, kIdZ};
  static constexpr int32_t kPrimed[] = {10, 11, 12};
  for (int32_t i = 0; i < n; ++i)
    if (!IsCoordinate(m->operands[i], kPlain[i], kPrimed[i])) return false;
  return true;
}

// The rule for the node's kind; false when the derivative is e itself
// rewritten (in place rules), true with *out the replacement otherwise.
bool ApplyDerivativeRule(const Rule& r, ExpressionRecord** out) {
  ExpressionRecord* e = r.e;
  *out = nullptr;
  switch (e->opcode) {
    case kOpPlus:
    case kOpBranch:
      for (int32_t i = 0; i < e->operandCount; ++i) r.InPlace(i);
      return false;
    case kOpMinus:
    case kOpLParen:
    case kOpSum:
    case kOpIf:
    case kOpImag:
    case kOpReal:
    case kOpDataSum:
    case kOpDataMean:
    case kOpRe:
    case kOpIm:
    case kOpTableIndex:
      if (e->operandCount > 0) r.InPlace(0);
      return false;
    case kOpPreparedSum:
      if (e->operandCount > 2) r.InPlace(2);
      return false;
    case kOpSwappedCondition:
      if (e->operandCount > 1) r.InPlace(1);
      return false;
    case kOpSgn:
    case kOpFloor:
    case kOpCeil:
    case kOpAnd:
    case kOpOr:
    case kOpNot:
    case kOpConditions:
    case kOpNotEqual:  // a comparison is a step, like its compiled form
    case kOpLess:
    case kOpLeq:
    case kOpGreater:
    case kOpGeq:
    case kOpDataCount:  // a row count does not vary
      *out = Number(0);
      return true;
    case kOpTimes: *out = e->operandCount >= 2 ? DerivativeOfProduct(r) : r.Pair(); return true;
    case kOpOver: *out = Div(Plus(Times(r.U(1), r.D(0)), Neg(Times(r.U(0), r.D(1)))), Square(r.U(1))); return true;
    case kOpPower: *out = DerivativeOfPower(r); return true;
    case kOpSqrt:
      if (e->operandCount == 2) {
        Become(e, Tothe(r.U(0), Oneover(r.U(1))));
        Differentiate(e, r.kind, r.var);
        return false;
      }
      *out = Div(r.D(0), Times(Number(2), Sqrt(r.U(0))));
      return true;
    case kOpLog:
      if (e->operandCount == 2) {
        Become(e, Div(Ln(r.U(0)), Ln(r.U(1))));
        Differentiate(e, r.kind, r.var);
        return false;
      }
      *out = Div(Times(Number(kOneOverLn10), r.D(0)), r.U(0));
      return true;
    case kOpLn: *out = Div(r.D(0), r.U(0)); return true;
    case kOpExp: *out = Times(Unop(kOpExp, r.U(0)), r.D(0)); return true;
    case kOpAbs: *out = ContainsMatrix(e) ? r.Pair() : Times(Unop(kOpSgn, r.U(0)), r.D(0)); return true;
    case kOpMatrix:
      if (r.kind == kOpTotalPair && IsAtom(r.var, 't') && IsCoordinatePoint(e)) {
        *out = r.Pair();
        return true;
      }
      for (int32_t i = 0; i < e->operandCount; ++i) r.InPlace(i);
      return false;
    default:
      if (e->opcode >= kOpSin && e->opcode <= kOpAsech && e->operandCount == 1) {
        *out = TrigRule(r);
        return true;
      }
      *out = r.Pair();
      return true;
  }
}

bool HasOperandsFor(const ExpressionRecord* e) {
  switch (e->opcode) {
    case kOpOver:
    case kOpPower: return e->operandCount == 2;
    case kOpSqrt:
    case kOpLog: return e->operandCount == 1 || e->operandCount == 2;
    case kOpLn:
    case kOpExp:
    case kOpAbs: return e->operandCount == 1;
    default: return true;
  }
}

}  // namespace

bool DIFF_NoDep(const ExpressionRecord* e, const ExpressionRecord* var) {
  if (var->opcode == kOpAtom) return !DIM_Contains(e, var->payload.id);
  for (ExpressionRecord* n = const_cast<ExpressionRecord*>(e); n; n = NextTopDownWithin(n, e))
    if (MATH_Equal(n, var)) return false;
  return true;
}

void Differentiate(ExpressionRecord* e, OpCodeT kind, ExpressionRecord* var) {
  if (!e || !var) return;
  ForgetSortedChainProduct();
  const Rule r{e, kind, var};
  OurYield();
  if (MathRewriteMustStop()) {
    // Out of stack or memory the derivative stays written, never a value.
    DO_BinOpOn(e, Copy(var), 1, kind);
    return;
  }
  if (var->opcode != kOpAtom && MATH_Equal(e, var)) {
    Become(e, Number(1));
    return;
  }
  if (kind == kOpPartialPair && DIFF_NoDep(e, var)) {
    if (gMathExpandingDefinitions == 0) {
      Become(e, Number(0));
    } else {
      DO_BinOpOn(e, Copy(var), 1, kind);
    }
    return;
  }
  if (e->opcode == kOpNumber) {
    e->payload.number->value = 0;
    e->payload.number->text[0] = 0;
    return;
  }
  if (e->opcode == kOpAtom) {
    if (IsBuiltInConstant(e->payload.id)) {
      Become(e, Number(0));
    } else if (IsAtom(var, e->payload.id)) {
      Become(e, Number(1));
    } else {
      Become(e, r.Pair());
    }
    return;
  }
  ExpressionRecord* replacement = nullptr;
  if (!HasOperandsFor(e)) {
    Become(e, r.Pair());
  } else if (ApplyDerivativeRule(r, &replacement)) {
    if (!Become(e, replacement)) DO_BinOpOn(e, Copy(var), 1, kind);
  }
  SimplifyDerivativeResult(e);
}
