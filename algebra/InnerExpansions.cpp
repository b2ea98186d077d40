#include "algebra/InnerExpansions.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/RewriteStop.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"

#include <utility>

namespace {

thread_local InnerExpansions* tOpen = nullptr;

// The switches a rewrite reads, packed: an expansion is reused only under
// the ones it was made with.
uint64_t CurrentSwitches() {
  uint64_t packed = 0;
  for (const int32_t value : {gMathExpandingDefinitions, gMathGroupTermsInSum, gMathOrderTerms, gSimplifyPowers,
                              Math_Multiply_Out, gMathMoveLR, Order_By_Increasing, gPlaceChainRuleFactors})
    packed = packed * 31 + static_cast<uint32_t>(value);
  return packed;
}

}  // namespace

InnerExpansions::InnerExpansions() : fOutermost(tOpen == nullptr) {
  if (fOutermost) tOpen = this;
}

InnerExpansions::~InnerExpansions() {
  if (fOutermost) tOpen = nullptr;
}

InnerExpansions* InnerExpansions::Open() { return tOpen; }

InnerExpansions::Expansion* InnerExpansions::Find(const ExpressionRecord* base, int32_t n) {
  const uint64_t switches = CurrentSwitches();
  for (Expansion& met : fMet)
    if (met.n == n && met.switches == switches && MATH_Equal(met.base.get(), base)) return &met;
  return nullptr;
}

InnerExpansions::Seen InnerExpansions::Meet(const ExpressionRecord* base, int32_t n, const ExpressionRecord** kept) {
  if (Expansion* met = Find(base, n)) {
    *kept = met->expansion.get();
    return met->expansion ? Seen::kKept : Seen::kSecondTime;
  }
  Tree copy(Copy(base));
  if (!MathRewriteMustStop()) fMet.push_back({std::move(copy), n, CurrentSwitches(), nullptr});
  return Seen::kFirstTime;
}

void InnerExpansions::Keep(const ExpressionRecord* base, int32_t n, const ExpressionRecord* expansion) {
  Expansion* met = Find(base, n);
  if (!met || met->expansion) return;
  Tree copy(Copy(expansion));
  if (!MathRewriteMustStop()) met->expansion = std::move(copy);
}
