#include "algebra/ExponentChanges.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/TermGrouping.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeSurgery.h"

namespace {

inline constexpr int32_t kWhole = -1;  // the whole numerator or denominator
inline constexpr int32_t kNone = -2;

// Where in the denominator a factor like a is: a factor's index, kWhole,
// or kNone.
int32_t LikeFactorIn(const ExpressionRecord* denominator, const ExpressionRecord* a) {
  if (!IsProduct(denominator)) return GRP_MultSimilar(a, denominator) ? kWhole : kNone;
  for (int32_t k = 0; k < denominator->operandCount; ++k)
    if (GRP_MultSimilar(a, denominator->operands[k])) return k;
  return kNone;
}

// A, at place ia of the numerator, cancels against B at place ib of the
// denominator (kWhole for the whole part); false, nothing changed, when two
// number exponents cannot be subtracted.
bool Cancel(ExpressionRecord* e, int32_t ia, int32_t ib) {
  ExpressionRecord* numerator = e->operands[0];
  ExpressionRecord* denominator = e->operands[1];
  ExpressionRecord* a = ia == kWhole ? numerator : numerator->operands[ia];
  ExpressionRecord* b = ib == kWhole ? denominator : denominator->operands[ib];
  const bool powerA = IsPower(a);
  const bool powerB = IsPower(b);
  auto removeA = [&] { MATH_DeleteOperand(numerator, ia); };
  auto removeB = [&] { MATH_DeleteOperand(denominator, ib); };
  auto dropDenominator = [&] { KeepOnlyOperand(e, 0); };

  if (powerA && powerB) {
    if (!SubtractFromExponent(a, b->operands[1])) return false;
    if (ib == kWhole)
      dropDenominator();
    else
      removeB();
  } else if (powerA) {
    StepExponent(a, -1.0);
    if (ib == kWhole)
      dropDenominator();
    else
      removeB();
  } else if (powerB) {
    StepExponent(b, -1.0);
    if (ia != kWhole) {
      if (ib != kWhole) {
        removeA();
      } else {
        ReplaceByNumber(a, 1.0);
        SIMP_OneLevel(numerator);
      }
    } else {
      ReplaceByNumber(numerator, 1.0);
      if (ib == kWhole) SIMP_OneLevel(e);
    }
  } else if (ia != kWhole && ib != kWhole) {
    removeA();
    removeB();
  } else if (ia != kWhole) {
    ReplaceByNumber(a, 1.0);
    SIMP_OneLevel(numerator);
    dropDenominator();
  } else if (ib != kWhole) {
    ReplaceByNumber(numerator, 1.0);
    removeB();
  } else {
    ReplaceByNumber(e, 1.0);
  }
  return true;
}

}  // namespace

// A cancellation can leave forms the rules change (a factor 1 where a
// power went to the 0, a denominator 1): the node and its parts are
// simplified once more.
void GRP_OnDiv(ExpressionRecord* e) {
  if (!IsQuotient(e)) return;
  bool cancelled = false;
  for (int32_t k = 0; IsQuotient(e) && IsProduct(e->operands[0]) && k < e->operands[0]->operandCount;) {
    const int32_t ib = LikeFactorIn(e->operands[1], e->operands[0]->operands[k]);
    if (ib != kNone && Cancel(e, k, ib)) {
      cancelled = true;
    } else {
      ++k;
    }
  }
  if (IsQuotient(e) && !IsProduct(e->operands[0])) {
    const int32_t ib = LikeFactorIn(e->operands[1], e->operands[0]);
    if (ib != kNone && Cancel(e, kWhole, ib)) cancelled = true;
  }
  if (cancelled) SIMP_TwoLevels(e);
}
