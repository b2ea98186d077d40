#include "algebra/TermGrouping.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/ExponentChanges.h"
#include "algebra/FactorSummaries.h"
#include "algebra/PowerConditions.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const ExpressionRecord* BaseOf(const ExpressionRecord* factor) {
  return IsPower(factor) ? factor->operands[0] : factor;
}

// Structurally equal, and no matrix: matrix terms never combine.
bool SameTerm(const ExpressionRecord* a, const ExpressionRecord* b) { return MATH_Equal(a, b) && !MayHoldMatrix(a); }

// Factors from..count-1 of a and from b..count-1 of b pair up equal.
bool SameFactorsFrom(const ExpressionRecord* a, int32_t fromA, const ExpressionRecord* b, int32_t fromB) {
  if (a->operandCount - fromA != b->operandCount - fromB) return false;
  for (int32_t k = 0; fromA + k < a->operandCount; ++k)
    if (!SameTerm(a->operands[fromA + k], b->operands[fromB + k])) return false;
  return true;
}

bool LikeTerms(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (IsNegation(a)) a = a->operands[0];
  if (IsNegation(b)) b = b->operands[0];
  const bool productA = IsProduct(a);
  const bool productB = IsProduct(b);
  if (!productA && !productB) return SameTerm(a, b);
  if (productA != productB) {
    const ExpressionRecord* product = productA ? a : b;
    const ExpressionRecord* other = productA ? b : a;
    return product->operandCount == 2 && IsNumberNode(product->operands[0]) && SameTerm(product->operands[1], other);
  }
  return SameFactorsFrom(a, HasLeadingNumber(a) ? 1 : 0, b, HasLeadingNumber(b) ? 1 : 0);
}

// Terms that LikeTerms may pair have the same signature: the hash of what
// follows a leading negation and a leading number.
uint64_t LikeTermSignature(const ExpressionRecord* term) {
  if (IsNegation(term)) term = term->operands[0];
  if (!IsProduct(term)) return ScreenHash(term, kStructureHashOffset);
  const int32_t first = IsNumberNode(term->operands[0]) ? 1 : 0;
  if (term->operandCount - first == 1) return ScreenHash(term->operands[first], kStructureHashOffset);
  uint64_t hash = kStructureHashOffset;
  for (int32_t k = first; k < term->operandCount; ++k) hash = ScreenHash(term->operands[k], hash * 31);
  return hash;
}

double Coefficient(const ExpressionRecord* term) {
  if (HasLeadingNumber(term)) return NumberValue(term->operands[0]);
  if (!IsNegation(term)) return 1.0;
  const ExpressionRecord* inner = term->operands[0];
  return HasLeadingNumber(inner) ? -NumberValue(inner->operands[0]) : -1.0;
}

// Adds c times the common part into the term; false, unchanged, when the
// new coefficient would not be finite.
bool AddCoefficient(ExpressionRecord* term, double c) {
  ExpressionRecord* number = nullptr;
  double value = 0.0;
  if (HasLeadingNumber(term)) {
    number = term->operands[0];
    value = NumberValue(number) + c;
  } else if (IsNegation(term) && HasLeadingNumber(term->operands[0])) {
    number = term->operands[0]->operands[0];
    value = NumberValue(number) - c;
  }
  if (number) {
    if (!std::isfinite(value)) return false;
    SetNumberValue(number, value);
  } else if (IsNegation(term)) {
    if (!DO_MultOnLeft(term->operands[0], Number(1.0 - c))) return false;
  } else if (!DO_MultOnLeft(term, Number(c + 1.0))) {
    return false;
  }
  SIMP_TwoLevels(term);
  return true;
}

}  // namespace

bool GRP_MultSimilar(const ExpressionRecord* a, const ExpressionRecord* b) {
  const ExpressionRecord* baseA = BaseOf(a);
  const ExpressionRecord* baseB = BaseOf(b);
  if (IsNumberNode(baseA) && IsNumberNode(baseB))
    return NumberValue(baseA) == NumberValue(baseB) && NumberValue(baseA) != 0.0;
  return MATH_Equal(baseA, baseB) && ExponentsAdd(a, b);
}

// A grouping that leaves a number among the factors (x x^-1 y gives 1 y)
// runs the product rule once more, so the result is in normal form. Hashes
// of the bases screen the pairs, so a long product of long factors is not
// compared factor by factor to the end of each.
void GRP_OnMult(ExpressionRecord* e, std::vector<FactorSummary>* summaries) {
  if (!IsProduct(e) || e->operandCount < 2) return;
  std::vector<FactorSummary>& factors = *summaries;
  const auto summarise = [&](int32_t k) { factors[k] = SummariseFactor(e->operands[k]); };
  // A product of two takes the other factor's contents, maybe a product.
  const auto drop = [&](int32_t k) {
    const bool collapses = e->operandCount == 2;
    MATH_DeleteOperand(e, k);
    factors.erase(factors.begin() + k);
    if (collapses) factors = SummariseFactors(e);
  };
  bool grouped = false;
  for (int32_t i = 0; IsKind(e, kOpTimes) && i < e->operandCount - 1;) {
    ExpressionRecord* a = e->operands[i];
    const auto similar = [&](int32_t k) {
      return factors[k].baseHash == factors[i].baseHash && GRP_MultSimilar(e->operands[k], a);
    };
    int32_t j = -1;
    // Matrix factors do not commute: one combines only with its neighbour.
    if (factors[i].holdsMatrix) {
      if (similar(i + 1)) j = i + 1;
    } else {
      for (int32_t k = i + 1; j < 0 && k < e->operandCount; ++k)
        if (similar(k)) j = k;
    }
    if (j < 0) {
      ++i;
      continue;
    }
    ExpressionRecord* b = e->operands[j];
    const bool powerA = IsPower(a);
    const bool powerB = IsPower(b);
    if (powerA && powerB && !AddToExponent(b, a->operands[1])) {
      ++i;
      continue;
    }
    grouped = true;
    if (powerB) {
      if (!powerA) StepExponent(b, 1.0);
      summarise(j);
      drop(i);
    } else {
      if (powerA) {
        StepExponent(a, 1.0);
      } else if (DO_ToTheOn(a, Number(2.0))) {
        SIMP_OneLevel(a);
      } else {
        return;
      }
      summarise(i);
      drop(j);
    }
  }
  if (grouped && IsKind(e, kOpTimes)) {
    for (int32_t k = 0; k < e->operandCount; ++k)
      if (IsNumberNode(e->operands[k])) return SIMP_OneLevel(e);
  }
}

namespace {

// The later terms of each term's signature, in order: a chain through the
// term indices, one per signature, so that a sum whose terms all differ
// costs one sort and no bucket at all.
class SignatureChains {
 public:
  explicit SignatureChains(const std::vector<ExpressionRecord*>& terms)
      : fSignatures(terms.size()), fNext(terms.size(), -1), fPrevious(terms.size(), -1) {
    std::vector<int32_t> order(terms.size());
    for (int32_t k = 0; k < int32_t(terms.size()); ++k) {
      fSignatures[k] = LikeTermSignature(terms[k]);
      order[k] = k;
    }
    std::sort(order.begin(), order.end(), [this](int32_t a, int32_t b) {
      return fSignatures[a] != fSignatures[b] ? fSignatures[a] < fSignatures[b] : a < b;
    });
    for (size_t k = 1; k < order.size(); ++k)
      if (fSignatures[order[k - 1]] == fSignatures[order[k]]) Join(order[k - 1], order[k]);
  }

  bool AnyShared() const { return fShared; }
  uint64_t Signature(int32_t k) const { return fSignatures[k]; }
  int32_t Next(int32_t k) const { return fNext[k]; }

  void Remove(int32_t k) {
    if (fPrevious[k] >= 0) fNext[fPrevious[k]] = fNext[k];
    if (fNext[k] >= 0) fPrevious[fNext[k]] = fPrevious[k];
    fNext[k] = fPrevious[k] = -1;
  }

  // Term k, whose signature changed, joins the chain of its new one among
  // the terms after `from` (those before it have left their chains).
  void Move(int32_t k, uint64_t signature, int32_t from) {
    Remove(k);
    fSignatures[k] = signature;
    int32_t before = -1, after = -1;
    for (int32_t m = from + 1; m < int32_t(fSignatures.size()); ++m) {
      if (m == k || fSignatures[m] != signature) continue;
      if (m < k)
        before = m;
      else if (after < 0)
        after = m;
    }
    if (before >= 0) Join(before, k);
    if (after >= 0) Join(k, after);
  }

 private:
  void Join(int32_t a, int32_t b) {
    fNext[a] = b;
    fPrevious[b] = a;
    fShared = true;
  }

  std::vector<uint64_t> fSignatures;
  std::vector<int32_t> fNext;
  std::vector<int32_t> fPrevious;
  bool fShared = false;
};

}  // namespace

// Terms are met in order and each is paired only with later terms of its
// signature, found through their chain, so a long sum groups in time that
// grows with its length. Only the term in hand is ever deleted: the terms
// after it keep their order, and a term's place is its first index less
// the deletions so far.
void GRP_OnPlus(ExpressionRecord* e) {
  if (!IsSum(e) || e->operandCount < 2) return;
  const std::vector<ExpressionRecord*> terms(e->operands, e->operands + e->operandCount);
  SignatureChains chains(terms);
  // Terms of different signatures never combine.
  if (!chains.AnyShared()) return;
  bool grouped = false;
  for (int32_t i = 0, o = 0; IsKind(e, kOpPlus) && i < e->operandCount - 1 && e->operands[i] == terms[o]; ++o) {
    const int32_t first = chains.Next(o);
    chains.Remove(o);
    bool combined = false;
    for (int32_t j = first; !combined && j >= 0; j = chains.Next(j)) {
      if (!LikeTerms(terms[o], terms[j])) continue;
      combined = AddCoefficient(terms[j], Coefficient(terms[o]));
      if (!combined) continue;
      const uint64_t signature = LikeTermSignature(terms[j]);
      if (signature != chains.Signature(j)) chains.Move(j, signature, o);
      break;
    }
    if (!combined) {
      ++i;
      continue;
    }
    grouped = true;
    // Down to one term the sum takes its contents: nothing is left to pair.
    const bool collapses = e->operandCount == 2;
    MATH_DeleteOperand(e, i);
    if (collapses) break;
  }
  if (!grouped) return;
  ScopedAlgebraSwitch noRegrouping(gMathGroupTermsInSum, 0);
  SIMP_OneLevel(e);
}
