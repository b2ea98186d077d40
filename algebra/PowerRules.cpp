#include "algebra/AlgebraSwitches.h"
#include "algebra/FactorSummaries.h"
#include "algebra/InnerExpansions.h"
#include "algebra/PowerConditions.h"
#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeNumberArithmetic.h"
#include "platform/CheckedConvert.h"
#include "expression/NumericComputability.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

namespace {

inline constexpr int32_t kMostBinomialExponent = 23;

// C(n + m - 1, m - 1): the terms of an m-term sum to the n before like
// terms combine.
double PredictedPowerTerms(int32_t termCount, int32_t n) {
  double terms = 1.0;
  for (int32_t j = 1; j < termCount; ++j) terms = terms * (n + j) / j;
  return terms;
}

// The sum without its first term: the term itself when two were left.
ExpressionRecord* CopyOfRest(const ExpressionRecord* sum) {
  if (sum->operandCount == 2) return Copy(sum->operands[1]);
  ExpressionRecord* rest = NewExpression(kOpPlus, sum->operandCount - 1);
  for (int32_t k = 1; rest && k < sum->operandCount; ++k) {
    ExpressionRecord* term = Copy(sum->operands[k]);
    rest->operands[k - 1] = term;
    if (term) term->parent = rest;
  }
  return rest;
}

ExpressionRecord* SimplifiedPower(ExpressionRecord* base, int32_t n) {
  ExpressionRecord* power = Tothe(base, Number(n));
  SIMP_OneLevel(power);
  return power;
}

void LinkTerm(ExpressionRecord* sum, int32_t k, ExpressionRecord* term) {
  if (!term) return;
  sum->operands[k] = term;
  term->parent = sum;
}

// i^n for a whole n.
ExpressionRecord* PowerOfI(int32_t n) {
  switch (static_cast<int32_t>(((int64_t{n} % 4) + 4) % 4)) {
    case 0: return Number(1.0);
    case 1: return Atomic(kIdI);
    case 2: return Number(-1.0);
    default: return Neg(Atomic(kIdI));
  }
}

// The atom i, unless a sum or product around it binds it as its index or an
// integral as its variable: then it is a real number, not the imaginary unit.
bool IsImaginaryUnit(ExpressionRecord* atom) {
  if (!IsAtomWithId(atom, kIdI) || IsSummationIndex(atom, nullptr, nullptr)) return false;
  for (const ExpressionRecord* n = atom; n->parent; n = n->parent) {
    const ExpressionRecord* p = n->parent;
    if (IsKind(p, kOpIntegral) && p->operandCount >= 2 && p->operands[0] == n && IsAtomWithId(p->operands[1], kIdI))
      return false;
  }
  return true;
}

// Every factor of the base's product or quotient gets the exponent.
RuleEnd DistributeExponent(ExpressionRecord* node) {
  ExpressionRecord* base = node->operands[0];
  const ExpressionRecord* exponent = node->operands[1];
  for (int32_t k = 0; k < base->operandCount; ++k)
    if (!DO_ToTheOn(base->operands[k], Copy(exponent))) return RuleEnd::kDone;
  KeepOnlyOperand(node, 0);
  SimplifyOperands(node);
  return RuleEnd::kRestart;
}

// (a^b)^E becomes a^(b E), or |a|^(b E) where only that keeps the value;
// left as it is where neither does.
RuleEnd JoinPowers(ExpressionRecord* node) {
  ExpressionRecord* inner = node->operands[0];
  const PowerJoin join = JoinOfPowers(node);
  if (join == PowerJoin::kLeave) return RuleEnd::kDone;
  // |a|^b is a^b here, so a refused second step leaves the value as it was.
  if (join == PowerJoin::kJoinOfAbsolute && !DO_UnopOn(inner->operands[0], kOpAbs)) return RuleEnd::kDone;
  if (!DO_MultOn(inner->operands[1], Copy(node->operands[1]))) return RuleEnd::kDone;
  KeepOnlyOperand(node, 0);
  SimplifyOperands(node);
  return RuleEnd::kRestart;
}

// base^E becomes (-1)^E * base^E, the base first made positive by the caller.
bool PutMinusOneFactorInFront(ExpressionRecord* node) {
  return DO_MultOnLeft(node, Tothe(Number(-1.0), Copy(node->operands[1])));
}

}  // namespace

bool BINOMIAL_EXPANSION(ExpressionRecord* node) {
  if (!IsPower(node) || !IsSum(node->operands[0]) || node->operands[0]->operandCount < 2 ||
      !IsNumberNode(node->operands[1]))
    return false;
  const double exponent = NumberValue(node->operands[1]);
  if (!IsWholeNumber(exponent) || exponent < 2.0 || exponent > kMostBinomialExponent) return false;
  const int32_t n = DoubleToInt32(exponent);
  const ExpressionRecord* sum = node->operands[0];
  if (PredictedPowerTerms(sum->operandCount, n) > kMostMultipliedOutTerms) return false;
  InnerExpansions* inner = InnerExpansions::Open();
  const ExpressionRecord* kept = nullptr;
  const InnerExpansions::Seen seen = inner ? inner->Meet(sum, n, &kept) : InnerExpansions::Seen::kFirstTime;
  if (seen == InnerExpansions::Seen::kKept) {
    Tree copy(Copy(kept));
    return !MathRewriteMustStop() && DeleteOperandsTransferAndDispose(std::move(copy), node);
  }
  // Kept for the second time it is met, when it is likely to recur.
  const Tree base(seen == InnerExpansions::Seen::kSecondTime ? Copy(sum) : nullptr);
  const InnerExpansions outermost;
  // Multiplying out makes no matrix: the products on the way need not be
  // searched for one.
  const MatrixFreeScope matrixFree(!MayHoldMatrix(sum));

  Tree first(Copy(sum->operands[0]));
  Tree rest(CopyOfRest(sum));
  Tree result(NewExpression(kOpPlus, n + 1));
  bool failed = !first || !rest || !result;
  if (!failed) SIMP_OneLevel(rest.get());
  for (int32_t k = 1; !failed && k < n; ++k) {
    failed = MathRewriteMustStop();
    if (failed) break;
    ExpressionRecord* term = Times3(Number(BinomialCoefficient(n, k)), Tothe(Copy(first.get()), Number(n - k)),
                                    Tothe(Copy(rest.get()), Number(k)));
    failed = term == nullptr;
    if (failed) break;
    SimplifyOperands(term);
    SIMP_OneLevel(term);
    LinkTerm(result.get(), k, term);
  }
  if (!failed) {
    ExpressionRecord* head = SimplifiedPower(first.release(), n);
    ExpressionRecord* tail = SimplifiedPower(rest.release(), n);
    failed = !head || !tail;
    LinkTerm(result.get(), 0, head);
    LinkTerm(result.get(), n, tail);
  }
  if (!failed) SIMP_OneLevel(result.get());
  if (failed || MathRewriteMustStop()) return false;
  const bool replaced = DeleteOperandsTransferAndDispose(std::move(result), node);
  if (replaced && base) inner->Keep(base.get(), n, node);
  return replaced;
}

RuleEnd PowerRule(ExpressionRecord* node) {
  ExpressionRecord* base = node->operands[0];
  ExpressionRecord* exponent = node->operands[1];
  if (IsNumberNode(exponent)) {
    const double e = NumberValue(exponent);
    if (e == 1.0) {
      KeepOnlyOperand(node, 0);
      return RuleEnd::kDone;
    }
    if (e == 0.0) {
      ReplaceByNumber(node, 1.0);
      return RuleEnd::kDone;
    }
    const bool whole = IsWholeNumber(e);
    if (whole && e > 0.0 && IsNumberNode(base)) {
      const double value = SIMP_Power(NumberValue(base), DoubleToInt32(e));
      if (IsSoundFold(value, NumberValue(base), e)) {
        ReplaceByNumber(node, value);
        return RuleEnd::kDone;
      }
    }
    if (Math_Multiply_Out != 0 && IsSum(base) && whole && e > 1.0 && e <= kMostBinomialExponent) {
      BINOMIAL_EXPANSION(node);
      return RuleEnd::kDone;
    }
    if (whole && IsImaginaryUnit(base)) {
      ReplaceContents(node, PowerOfI(DoubleToInt32(e)));
      return RuleEnd::kDone;
    }
  }
  const bool simplifyPowers = gSimplifyPowers != 0;
  if (simplifyPowers && ((IsProduct(base) && !ContainsMatrix(base)) || IsQuotient(base)))
    return ExponentSpreadsOverFactors(node) ? DistributeExponent(node) : RuleEnd::kDone;
  if (simplifyPowers && IsPower(base)) return JoinPowers(node);
  if (IsNumberNode(base)) {
    const double b = NumberValue(base);
    // 0 to a negative number is a pole, not 0.
    const bool negativeExponent = IsNumberNode(exponent) && NumberValue(exponent) < 0.0;
    if (b == 1.0 || (b == 0.0 && !negativeExponent)) {
      KeepOnlyOperand(node, 0);
    } else if (b < -1.0) {
      SetNumberValue(base, -b);
      if (!PutMinusOneFactorInFront(node)) SetNumberValue(base, b);
    }
    return RuleEnd::kDone;
  }
  if (simplifyPowers && IsNegation(base) && ExponentSpreadsOverNegation(node)) {
    if (!PutMinusOneFactorInFront(node)) return RuleEnd::kDone;
    KeepOnlyOperand(base, 0);
    SimplifyOperands(node);
    return RuleEnd::kRestart;
  }
  return RuleEnd::kDone;
}
