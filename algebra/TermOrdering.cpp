#include "algebra/TermOrdering.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/SimplifierNodes.h"
#include "platform/CheckedConvert.h"
#include "CoreUtilities/text/OurString.h"
#include "expression/SymbolTable.h"
#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"

#include <utility>
#include <vector>

namespace {

bool IsLetterId(int32_t id) { return (id >= 'a' && id <= 'z') || (id >= 'A' && id <= 'Z'); }

bool AtomLessThan(int32_t a, int32_t b) {
  if (a == kIdDegree) return false;
  if (b == kIdDegree) return true;
  if (IsSpecialSymbolChar(a) && IsLetterId(b)) return true;
  if (IsLetterId(a) && IsSpecialSymbolChar(b)) return false;
  if (a == kIdE) return false;
  if (b == kIdE) return true;
  if (a < 256 || b < 256) return a < b;
  return OurStringCompare(GetVariableStringFromID(a), GetVariableStringFromID(b)) < 0;
}

bool IsPowerOf(const ExpressionRecord* base, const ExpressionRecord* x) {
  return MATH_Equal(base, x) || (IsKindWith(base, kOpId, 1) && MATH_Equal(base->operands[0], x));
}

// checkMatrices false: the caller knows neither holds a matrix.
bool MultLessThan(const ExpressionRecord* a, const ExpressionRecord* b, bool checkMatrices) {
  while (a && b) {
    if (IsPower(a) && IsPower(b)) {
      a = a->operands[0];
      b = b->operands[0];
    }
    if (IsNumberNode(b)) return false;
    if (IsNumberNode(a)) return true;
    if (checkMatrices && (ContainsMatrix(a) || ContainsMatrix(b))) return false;
    if (a->opcode != b->opcode) return a->opcode < b->opcode;
    if (a->opcode == kOpAtom) return AtomLessThan(a->payload.id, b->payload.id);
    if (a->operandCount == 0 || b->operandCount == 0 || !HasFilledOperands(a) || !HasFilledOperands(b)) return false;
    const bool secondDecides = a->operandCount > 1 && b->operandCount > 1 && MATH_Equal(a->operands[0], b->operands[0]);
    a = a->operands[secondDecides ? 1 : 0];
    b = b->operands[secondDecides ? 1 : 0];
  }
  return false;
}

}  // namespace

bool ORDR_MultLessThan(const ExpressionRecord* a, const ExpressionRecord* b) { return MultLessThan(a, b, true); }

int32_t ORDR_Power1(const ExpressionRecord* factor, const ExpressionRecord* x) {
  if (!IsPower(factor)) return MATH_Equal(factor, x) ? 1 : 0;
  if (!IsPowerOf(factor->operands[0], x)) return 0;
  const ExpressionRecord* exponent = factor->operands[1];
  if (IsNumberNode(exponent)) return DoubleToInt32(NumberValue(exponent));
  if (IsNegation(exponent) && IsNumberNode(exponent->operands[0]))
    return -DoubleToInt32(NumberValue(exponent->operands[0]));
  return 0;
}

int32_t ORDR_Power(const ExpressionRecord* term, const ExpressionRecord* x) {
  if (IsNegation(term)) term = term->operands[0];
  if (IsQuotient(term)) term = term->operands[0];
  if (IsNegation(term)) term = term->operands[0];
  if (!IsProduct(term)) return ORDR_Power1(term, x);
  for (int32_t k = 0; k < term->operandCount; ++k)
    if (const int32_t power = ORDR_Power1(term->operands[k], x); power != 0) return power;
  return 0;
}

namespace {

// Bubble passes until one swaps nothing; at most one pass per operand, so
// an order that is not transitive (factors that keep their places) cannot
// cycle. swapped(k) follows each swap of operands k-1 and k.
template <typename Before, typename Swapped>
void BubbleSort(ExpressionRecord* e, Before before, Swapped swapped) {
  ExpressionRecord** operands = e->operands;
  for (int32_t pass = 0; pass < e->operandCount; ++pass) {
    bool any = false;
    for (int32_t k = 1; k < e->operandCount; ++k) {
      if (!before(k)) continue;
      std::swap(operands[k], operands[k - 1]);
      swapped(k);
      any = true;
    }
    if (!any) return;
  }
}

void SortFactors(ExpressionRecord* e, std::vector<FactorSummary>& factors) {
  const auto before = [&](int32_t k) {
    return MultLessThan(e->operands[k], e->operands[k - 1], factors[k].holdsMatrix || factors[k - 1].holdsMatrix);
  };
  BubbleSort(e, before, [&](int32_t k) { std::swap(factors[k], factors[k - 1]); });
}

}  // namespace

void ORDR_Generic(ExpressionRecord* e, const ExpressionRecord* x, bool byFactor) {
  if (!e || e->operandCount < 2 || !HasFilledOperands(e)) return;
  if (byFactor) {
    std::vector<FactorSummary> factors(e->operandCount);
    for (int32_t k = 0; k < e->operandCount; ++k) factors[k] = SummariseFactor(e->operands[k]);
    SortFactors(e, factors);
    return;
  }
  const auto before = [&](int32_t k) {
    const int32_t pa = ORDR_Power(e->operands[k], x);
    const int32_t pb = ORDR_Power(e->operands[k - 1], x);
    return Order_By_Increasing != 0 ? pa > pb : pa < pb;
  };
  BubbleSort(e, before, [](int32_t) {});
}

void ORDR_OnMult(ExpressionRecord* e, std::vector<FactorSummary>* summaries) {
  if (!e || e->operandCount < 2 || !HasFilledOperands(e)) return;
  SortFactors(e, *summaries);
}
