#include "algebra/AlgebraSwitches.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/TermGrouping.h"
#include "algebra/WholeNumberArithmetic.h"
#include "platform/CheckedConvert.h"
#include "expression/NodeMemory.h"
#include "expression/TreeSurgery.h"

namespace {

// Moves operand i to the end, the later operands moving down one place.
void MoveToEnd(ExpressionRecord* node, int32_t i) {
  ExpressionRecord* moved = node->operands[i];
  for (int32_t k = i; k + 1 < node->operandCount; ++k) node->operands[k] = node->operands[k + 1];
  node->operands[node->operandCount - 1] = moved;
}

// a/b + c and a/b + c/d of numbers, into the last term; false when the fold
// is not sound.
bool AddFractionIntoLast(ExpressionRecord* node, int32_t i) {
  ExpressionRecord* fraction = node->operands[i];
  ExpressionRecord* last = node->operands[node->operandCount - 1];
  const double a = NumberValue(fraction->operands[0]);
  const double b = NumberValue(fraction->operands[1]);
  if (IsNumberNode(last)) {
    const double c = NumberValue(last);
    const double numerator = a + c * b;
    if (!IsSoundFold(numerator, a, c * b)) return false;
    SetNumberValue(fraction->operands[0], numerator);
    return MATH_DeleteOperand(node, node->operandCount - 1);
  }
  const double c = NumberValue(last->operands[0]);
  const double d = NumberValue(last->operands[1]);
  const double g = IsWholeNumber(b) && IsWholeNumber(d) ? SIMP_Gcd2(DoubleToInt32(b), DoubleToInt32(d)) : 1.0;
  if (g == 0.0) return false;
  const double numerator = c * (b / g) + a * (d / g);
  const double denominator = d * (b / g);
  if (!IsSoundFold(numerator, a * c, b * d) || !IsSoundFold(denominator, b, d)) return false;
  SetNumberValue(last->operands[0], numerator);
  SetNumberValue(last->operands[1], denominator);
  return MATH_DeleteOperand(node, i);
}

}  // namespace

RuleEnd SumRule(ExpressionRecord* node) {
  if (node->operandCount == 1) {
    KeepOnlyOperand(node, 0);
    return RuleEnd::kDone;
  }
  for (int32_t i = 0; IsKind(node, kOpPlus) && i < node->operandCount;) {
    ExpressionRecord* term = node->operands[i];
    const bool beforeLast = i < node->operandCount - 1;
    ExpressionRecord* last = node->operands[node->operandCount - 1];
    if (IsSum(term) && SIMP_ReplaceNthWithAll(node, i)) continue;
    if (IsNumberNode(term) && beforeLast) {
      if (!IsNumberNode(last)) {
        MoveToEnd(node, i);
        continue;
      }
      const double total = NumberValue(last) + NumberValue(term);
      if (IsSoundFold(total, NumberValue(last), NumberValue(term))) {
        SetNumberValue(last, total);
        MATH_DeleteOperand(node, i);
        continue;
      }
    } else if (IsQuotientOfNumbers(term) && beforeLast) {
      if (IsNumberNode(last) || IsQuotientOfNumbers(last)) {
        if (AddFractionIntoLast(node, i)) return RuleEnd::kRestart;
      } else {
        MoveToEnd(node, i);
        return RuleEnd::kRestart;
      }
    }
    ++i;
  }
  if (!IsKind(node, kOpPlus)) return RuleEnd::kDone;
  if (IsNumberEqualTo(node->operands[node->operandCount - 1], 0.0)) {
    MATH_DeleteOperand(node, node->operandCount - 1);
    if (!IsKind(node, kOpPlus)) return RuleEnd::kDone;
  }
  if (gMathGroupTermsInSum == 1) GRP_OnPlus(node);
  return RuleEnd::kDone;
}
