#include "algebra/SimpsonsRule.h"

#include "algebra/RewriteHelpers.h"
#include "algebra/Substitution.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"

#include <mutex>
#include <vector>

namespace {

constexpr double kIntervals = 512;
constexpr double kEndWeight = 0.375;
constexpr double kNextWeight = 1.1666666666666667;
constexpr double kThirdWeight = 0.9583333333333334;

// The index ids of the inner sums, one per nesting level, made once for the
// life of the process: fresh ids per rewrite would use the symbol table up.
int32_t IndexIdFor(const ExpressionRecord* integral) {
  static std::mutex guard;
  static std::vector<int32_t> ids;
  const std::lock_guard<std::mutex> lock(guard);
  for (int32_t id : ids)
    if (!DIM_Contains(integral, id)) return id;
  const int32_t id = GenerateNewAtomUID();
  if (id != 0) ids.push_back(id);
  return id;
}

struct Integral {
  const ExpressionRecord* f;
  const ExpressionRecord* x;
  const ExpressionRecord* a;
  const ExpressionRecord* b;

  ExpressionRecord* At(ExpressionRecord* t) const { return Subst(Copy(f), Copy(x), t); }
  ExpressionRecord* Step(double parts) const { return Div(Minus(Copy(b), Copy(a)), Number(parts)); }
  ExpressionRecord* Weighted(double w, ExpressionRecord* t) const { return Times(Number(w), At(t)); }
};

ExpressionRecord* SimpsonSum(const Integral& s, int32_t index) {
  ExpressionRecord* ends =
      NewTrinop(kOpPlus, Plus(s.Weighted(kEndWeight, Copy(s.a)), s.Weighted(kNextWeight, Plus(Copy(s.a), s.Step(512)))),
                Plus(s.Weighted(kThirdWeight, Plus(Copy(s.a), s.Step(256))),
                     s.Weighted(kThirdWeight, Minus(Copy(s.b), s.Step(256)))),
                Plus(s.Weighted(kNextWeight, Minus(Copy(s.b), s.Step(512))), s.Weighted(kEndWeight, Copy(s.b))));
  ExpressionRecord* inner = NewTrinop(kOpSum, s.At(Plus(Copy(s.a), Times(Atomic(index), s.Step(kIntervals)))),
                                      NewBinop(kOpEquals, Atomic(index), Number(3)), Number(509));
  return Times(s.Step(kIntervals), Plus(ends, inner));
}

}  // namespace

void RewriteDefiniteIntegralsUsingSimpsonsRule(ExpressionRecord* e) {
  if (!e) return;
  PostOrder(e, [](ExpressionRecord* n) {
    if (n->opcode != kOpIntegral || n->operandCount != 4) return;
    const int32_t index = IndexIdFor(n);
    if (index == 0) return;
    ExpressionRecord* rule = SimpsonSum({n->operands[0], n->operands[1], n->operands[2], n->operands[3]}, index);
    if (!rule) return;
    TAYLOR_SubstRecurse(rule);
    Become(n, rule);
  });
}
