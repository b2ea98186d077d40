#include "algebra/PowerConditions.h"

#include "algebra/SimplifierNodes.h"
#include "algebra/WholeNumberArithmetic.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

#include <numeric>
#include <vector>

namespace {

enum class Sign { kUnknown, kNonNegative, kPositive };

// Real-valued for real letters: no i anywhere, bound or not.
bool IsReal(const ExpressionRecord* tree) {
  thread_local std::vector<const ExpressionRecord*> pending;
  pending.assign(1, tree);
  while (!pending.empty()) {
    const ExpressionRecord* node = pending.back();
    pending.pop_back();
    if (IsAtomWithId(node, kIdI)) return false;
    for (int32_t k = node->operands ? node->operandCount - 1 : -1; k >= 0; --k)
      if (node->operands[k]) pending.push_back(node->operands[k]);
  }
  return true;
}

// Whether the formula around the node takes odd roots of negatives as real
// roots: it does unless it holds i. Asked only when a rule depends on it.
class Setting {
 public:
  explicit Setting(const ExpressionRecord* node) : fNode(node) {}
  bool RealRoots() const {
    if (fRealRoots < 0) {
      const ExpressionRecord* root = fNode;
      while (root->parent) root = root->parent;
      fRealRoots = IsReal(root) ? 1 : 0;
    }
    return fRealRoots == 1;
  }

 private:
  const ExpressionRecord* fNode;
  mutable int fRealRoots = -1;
};

Sign Weaker(Sign a, Sign b) { return a < b ? a : b; }

Sign KnownSign(const ExpressionRecord* e, const Setting& setting);

// The sign a sum, product or quotient has from the signs of its operands.
Sign SignOfAll(const ExpressionRecord* e, const Setting& setting, bool sum) {
  Sign all = Sign::kPositive;
  bool anyPositive = false;
  for (int32_t k = 0; k < e->operandCount; ++k) {
    const Sign s = KnownSign(e->operands[k], setting);
    if (s == Sign::kUnknown) return Sign::kUnknown;
    anyPositive = anyPositive || s == Sign::kPositive;
    all = Weaker(all, s);
  }
  return sum && anyPositive ? Sign::kPositive : all;
}

Sign SignOfPower(const ExpressionRecord* base, const ExpressionRecord* exponent, const Setting& setting) {
  if (!IsReal(exponent)) return Sign::kUnknown;
  const Sign s = KnownSign(base, setting);
  if (s != Sign::kUnknown) return s;
  int64_t n = 0;
  int64_t d = 1;
  if (!RationalExponent(exponent, &n, &d) || n % 2 != 0 || !IsReal(base)) return Sign::kUnknown;
  return d == 1 || setting.RealRoots() ? Sign::kNonNegative : Sign::kUnknown;
}

// A sign that holds for every real value of the letters.
Sign KnownSign(const ExpressionRecord* e, const Setting& setting) {
  if (IsNumberNode(e)) {
    if (NumberValue(e) > 0.0) return Sign::kPositive;
    return NumberValue(e) == 0.0 ? Sign::kNonNegative : Sign::kUnknown;
  }
  if (IsAtomWithId(e, kIdPi) || IsAtomWithId(e, kIdE)) return Sign::kPositive;
  if (IsSum(e)) return SignOfAll(e, setting, true);
  if (IsProduct(e) || IsQuotient(e)) return SignOfAll(e, setting, false);
  if (IsPower(e)) return SignOfPower(e->operands[0], e->operands[1], setting);
  if (IsKindWith(e, kOpAbs, 1)) return ContainsMatrix(e) ? Sign::kUnknown : Sign::kNonNegative;
  if (IsKindWith(e, kOpExp, 1)) return IsReal(e) ? Sign::kPositive : Sign::kUnknown;
  if (IsKindWith(e, kOpSqrt, 1)) return KnownSign(e->operands[0], setting);
  return Sign::kUnknown;
}

bool IsWholeExponent(const ExpressionRecord* exponent) {
  int64_t n = 0;
  int64_t d = 1;
  return RationalExponent(exponent, &n, &d) && d == 1;
}

// The engine takes a fraction exponent, or its negation, as a root: odd
// roots of negatives real. Any other exponent of a negative base must be
// a whole number.
bool TakenAsRoot(const ExpressionRecord* exponent) {
  return IsQuotient(exponent) || (IsNegation(exponent) && IsQuotient(exponent->operands[0]));
}

// An exponent that may take a negative base to a real odd root; null
// stands for 1.
bool MayBeOddRoot(const ExpressionRecord* exponent) {
  int64_t n = 0;
  int64_t d = 1;
  return exponent && TakenAsRoot(exponent) && !(RationalExponent(exponent, &n, &d) && d % 2 == 0);
}

const ExpressionRecord* ExponentOf(const ExpressionRecord* factor) {
  return IsPower(factor) ? factor->operands[1] : nullptr;
}

// A whole number, a number, or a fraction of numbers; null stands for 1.
bool IsNumericExponent(const ExpressionRecord* exponent) {
  int64_t n = 0;
  int64_t d = 1;
  return !exponent || IsNumberNode(exponent) || RationalExponent(exponent, &n, &d);
}

}  // namespace

bool RationalExponent(const ExpressionRecord* exponent, int64_t* n, int64_t* d) {
  const bool negated = IsNegation(exponent);
  if (negated) exponent = exponent->operands[0];
  int64_t top = 0;
  int64_t bottom = 1;
  if (IsNumberNode(exponent) && IsWholeNumber(NumberValue(exponent))) {
    top = static_cast<int64_t>(NumberValue(exponent));
  } else if (IsQuotientOfNumbers(exponent) && IsWholeNumber(NumberValue(exponent->operands[0])) &&
             IsWholeNumber(NumberValue(exponent->operands[1])) && NumberValue(exponent->operands[1]) != 0.0) {
    top = static_cast<int64_t>(NumberValue(exponent->operands[0]));
    bottom = static_cast<int64_t>(NumberValue(exponent->operands[1]));
  } else {
    return false;
  }
  const int64_t g = std::gcd(top, bottom);
  const int64_t sign = (bottom < 0) != negated ? -1 : 1;
  *n = sign * (top / g);
  *d = (bottom < 0 ? -bottom : bottom) / g;
  return true;
}

bool ExponentSpreadsOverFactors(const ExpressionRecord* power) {
  const ExpressionRecord* base = power->operands[0];
  const ExpressionRecord* exponent = power->operands[1];
  if (IsWholeExponent(exponent)) return true;
  const Setting setting(power);
  int32_t notPositive = 0;
  bool allNonNegative = true;
  for (int32_t k = 0; k < base->operandCount; ++k) {
    const Sign s = KnownSign(base->operands[k], setting);
    if (s != Sign::kPositive) ++notPositive;
    allNonNegative = allNonNegative && s != Sign::kUnknown;
  }
  // One factor of unknown sign gives the product its sign; the positive
  // ones change only its size.
  if (notPositive <= 1 || allNonNegative) return true;
  int64_t n = 0;
  int64_t d = 1;
  return RationalExponent(exponent, &n, &d) && d % 2 != 0 && setting.RealRoots();
}

bool ExponentSpreadsOverNegation(const ExpressionRecord* power) { return IsWholeExponent(power->operands[1]); }

PowerJoin JoinOfPowers(const ExpressionRecord* power) {
  const ExpressionRecord* a = power->operands[0]->operands[0];
  const ExpressionRecord* b = power->operands[0]->operands[1];
  const ExpressionRecord* e = power->operands[1];
  if (IsWholeExponent(e)) return PowerJoin::kJoin;
  const Setting setting(power);
  if (KnownSign(a, setting) != Sign::kUnknown && IsReal(b)) return PowerJoin::kJoin;
  int64_t n1 = 0;
  int64_t d1 = 1;
  int64_t n2 = 0;
  int64_t d2 = 1;
  const bool rationalInner = RationalExponent(b, &n1, &d1);
  const bool rationalOuter = RationalExponent(e, &n2, &d2);
  if (rationalInner && n1 % 2 == 0 && d1 % 2 != 0 && IsReal(a) && (d1 == 1 || setting.RealRoots())) {
    // a^b is |a|^b; a^(b e) is too when b e keeps an even numerator over
    // an odd denominator.
    const int64_t top = n1 * n2;
    const int64_t g = std::gcd(top, d1 * d2);
    const int64_t bottom = (d1 * d2) / g;
    const bool evenOverOdd =
        rationalOuter && (top / g) % 2 == 0 && bottom % 2 != 0 && (bottom == 1 || setting.RealRoots());
    return evenOverOdd ? PowerJoin::kJoin : PowerJoin::kJoinOfAbsolute;
  }
  if (!rationalInner || !setting.RealRoots()) return PowerJoin::kLeave;
  // Only a >= 0 has a^b, or a^b keeps a's sign and the outer power takes a
  // negative base as a^(b e) does.
  if (d1 % 2 == 0 || rationalOuter) return PowerJoin::kJoin;
  return d1 == 1 && !TakenAsRoot(e) ? PowerJoin::kJoin : PowerJoin::kLeave;
}

bool ExponentsAdd(const ExpressionRecord* a, const ExpressionRecord* b) {
  const ExpressionRecord* ea = ExponentOf(a);
  const ExpressionRecord* eb = ExponentOf(b);
  if (IsNumericExponent(ea) && IsNumericExponent(eb)) return true;
  if (!MayBeOddRoot(ea) && !MayBeOddRoot(eb)) return true;
  const Setting setting(a);
  return KnownSign(IsPower(a) ? a->operands[0] : a, setting) != Sign::kUnknown || !setting.RealRoots();
}

bool LogSpreadsOverFactors(const ExpressionRecord* product) {
  const Setting setting(product);
  int32_t notPositive = 0;
  for (int32_t k = 0; k < product->operandCount; ++k)
    if (KnownSign(product->operands[k], setting) != Sign::kPositive) ++notPositive;
  return notPositive <= 1;
}

LogOfPower BringingDownExponent(const ExpressionRecord* power) {
  const ExpressionRecord* a = power->operands[0];
  const ExpressionRecord* b = power->operands[1];
  const Setting setting(power);
  const Sign s = KnownSign(a, setting);
  if (s == Sign::kPositive && IsReal(b)) return LogOfPower::kBring;
  int64_t n = 0;
  int64_t d = 1;
  if (!RationalExponent(b, &n, &d) || !setting.RealRoots()) return LogOfPower::kLeave;
  const bool evenOverOdd = n % 2 == 0 && d % 2 != 0;
  return evenOverOdd && s == Sign::kUnknown ? LogOfPower::kBringAbsolute : LogOfPower::kBring;
}
