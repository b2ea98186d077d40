#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/TermGrouping.h"
#include "algebra/WholeNumberArithmetic.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"

namespace {

bool IsNegativeNumber(const ExpressionRecord* node) { return IsNumberNode(node) && NumberValue(node) < 0.0; }

// The negative number whose sign moves out of the quotient: the numerator
// or denominator itself, else the leading factor of either.
ExpressionRecord* NegativeNumberToLift(ExpressionRecord* numerator, ExpressionRecord* denominator) {
  if (IsNegativeNumber(numerator)) return numerator;
  if (IsNegativeNumber(denominator)) return denominator;
  if (HasLeadingNumber(numerator) && IsNegativeNumber(numerator->operands[0])) return numerator->operands[0];
  if (HasLeadingNumber(denominator) && IsNegativeNumber(denominator->operands[0])) return denominator->operands[0];
  return nullptr;
}

// Common factors of the numbers in front; false when there is no such pair.
bool CancelNumbers(ExpressionRecord* numerator, ExpressionRecord* denominator) {
  if (IsNumberNode(numerator) && IsNumberNode(denominator)) {
    SIMP_GCD(numerator, denominator);
  } else if (IsNumberNode(numerator) && HasLeadingNumber(denominator)) {
    SIMP_GCD(numerator, denominator->operands[0]);
    SIMP_OneLevel(denominator);
  } else if (HasLeadingNumber(numerator) && IsNumberNode(denominator)) {
    SIMP_GCD(numerator->operands[0], denominator);
    SIMP_OneLevel(numerator);
  } else if (HasLeadingNumber(numerator) && HasLeadingNumber(denominator)) {
    SIMP_GCD(numerator->operands[0], denominator->operands[0]);
    SIMP_OneLevel(numerator);
    SIMP_OneLevel(denominator);
  } else {
    return false;
  }
  return true;
}

// (a/b)/(c/d) -> (ad)/(bc); (a/b)/D -> a/(bD); N/(c/d) -> (Nd)/c. Null when
// neither part is a quotient.
ExpressionRecord* FlattenedQuotient(const ExpressionRecord* numerator, const ExpressionRecord* denominator) {
  const bool upper = IsQuotient(numerator);
  const bool lower = IsQuotient(denominator);
  if (upper && lower)
    return Div(Times(Copy(numerator->operands[0]), Copy(denominator->operands[1])),
               Times(Copy(numerator->operands[1]), Copy(denominator->operands[0])));
  if (upper) return Div(Copy(numerator->operands[0]), Times(Copy(numerator->operands[1]), Copy(denominator)));
  if (lower) return Div(Times(Copy(numerator), Copy(denominator->operands[1])), Copy(denominator->operands[0]));
  return nullptr;
}

}  // namespace

RuleEnd QuotientRule(ExpressionRecord* node) {
  ExpressionRecord* numerator = node->operands[0];
  ExpressionRecord* denominator = node->operands[1];
  if (IsNegation(numerator) || IsNegation(denominator)) {
    ExpressionRecord* negation = IsNegation(numerator) ? numerator : denominator;
    if (!DO_NegOn(node)) return RuleEnd::kDone;
    KeepOnlyOperand(negation, 0);
    SimplifyOperands(node);
    return RuleEnd::kRestart;
  }
  if (ExpressionRecord* negative = NegativeNumberToLift(numerator, denominator)) {
    if (!DO_NegOn(node)) return RuleEnd::kDone;
    SetNumberValue(negative, -NumberValue(negative));
    SimplifyOperands(node);
    return RuleEnd::kRestart;
  }
  if (!CancelNumbers(numerator, denominator)) {
    if (ExpressionRecord* flattened = FlattenedQuotient(numerator, denominator)) {
      if (!ReplaceContents(node, flattened)) return RuleEnd::kDone;
      SimplifyOperands(node);
      return RuleEnd::kRestart;
    }
  }
  if (IsNumberEqualTo(numerator, 0.0) && !IsNumberEqualTo(denominator, 0.0)) {
    ReplaceByNumber(node, 0.0);
  } else if (IsNumberEqualTo(denominator, 1.0)) {
    KeepOnlyOperand(node, 0);
  } else {
    GRP_OnDiv(node);
  }
  return RuleEnd::kDone;
}
