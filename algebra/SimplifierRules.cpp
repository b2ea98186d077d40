#include "algebra/SimplifierRules.h"

#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/WholeNumberArithmetic.h"
#include "evaluation/special/RealFunctions.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/VariableIds.h"

#include <cmath>

void SimplifyOperands(ExpressionRecord* node) {
  for (int32_t i = 0; i < node->operandCount; ++i) SIMP_OneLevel(node->operands[i]);
}

bool ReplaceContents(ExpressionRecord* node, ExpressionRecord* tree) {
  return DeleteOperandsTransferAndDispose(Tree(tree), node);
}

bool ReplaceByNumber(ExpressionRecord* node, double value) { return ReplaceContents(node, Number(value)); }

bool KeepOnlyOperand(ExpressionRecord* node, int32_t i) {
  ExpressionRecord* kept = node->operands[i];
  for (int32_t j = 0; j < node->operandCount; ++j)
    if (j != i) DisposExpr(node->operands[j]);
  return MATH_TransferAndDispose(kept, node);
}

bool IsSoundFold(double result, double a, double b) {
  return std::isfinite(result) || !std::isfinite(a) || !std::isfinite(b);
}

namespace {

double Negated(double x) { return x == 0.0 ? 0.0 : -x; }

RuleEnd NegationRule(ExpressionRecord* node) {
  if (!IsNegation(node)) return RuleEnd::kDone;
  ExpressionRecord* x = node->operands[0];
  if (IsNumberNode(x)) {
    SetNumberValue(x, Negated(NumberValue(x)));
    KeepOnlyOperand(node, 0);
  } else if (IsSum(x)) {
    for (int32_t k = x->operandCount - 1; k >= 0; --k) {
      ExpressionRecord* term = x->operands[k];
      if (!DO_NegOn(term)) return RuleEnd::kDone;
      SIMP_OneLevel(term);
    }
    KeepOnlyOperand(node, 0);
    SimplifyOperands(node);
    return RuleEnd::kRestart;
  } else if (HasLeadingNumber(x)) {
    SetNumberValue(x->operands[0], Negated(NumberValue(x->operands[0])));
    KeepOnlyOperand(node, 0);
  } else if (IsQuotientOfNumbers(x)) {
    SetNumberValue(x->operands[0], Negated(NumberValue(x->operands[0])));
    KeepOnlyOperand(node, 0);
  } else if (IsNegation(x)) {
    KeepOnlyOperand(node, 0);
    KeepOnlyOperand(node, 0);
  }
  return RuleEnd::kDone;
}

// The node becomes base^(exponent), reusing its own operand 0 as the base.
RuleEnd BecomePower(ExpressionRecord* node, Tree exponent) {
  if (!exponent || (node->operandCount == 1 && !SizeNode(node, 2))) return RuleEnd::kDone;
  node->operands[1] = exponent.release();
  node->operands[1]->parent = node;
  node->opcode = kOpPower;
  return RuleEnd::kRestart;
}

RuleEnd SquareRootRule(ExpressionRecord* node) {
  double root = 0.0;
  if (node->operandCount == 1) {
    ExpressionRecord* x = node->operands[0];
    if (IsNumberNode(x) && WholeRootOf(NumberValue(x), 2.0, &root)) {
      ReplaceByNumber(node, root);
      return RuleEnd::kDone;
    }
    return BecomePower(node, Tree(Div(Number(1.0), Number(2.0))));
  }
  if (node->operandCount != 2) return RuleEnd::kDone;
  ExpressionRecord* radicand = node->operands[0];
  ExpressionRecord* index = node->operands[1];
  if (IsNumberNode(radicand) && IsNumberNode(index) && WholeRootOf(NumberValue(radicand), NumberValue(index), &root)) {
    ReplaceByNumber(node, root);
    return RuleEnd::kDone;
  }
  if (!DO_BinOpOn(index, Number(1.0), 0, kOpOver)) return RuleEnd::kDone;
  node->opcode = kOpPower;
  return RuleEnd::kRestart;
}

// The two numbers of a call written with one list of two items.
bool NumberPairArgument(const ExpressionRecord* node, double* a, double* b) {
  if (node->operandCount != 1) return false;
  const ExpressionRecord* list = node->operands[0];
  if (!IsKindWith(list, kOpComma, 2) || !IsNumberNode(list->operands[0]) || !IsNumberNode(list->operands[1]))
    return false;
  *a = NumberValue(list->operands[0]);
  *b = NumberValue(list->operands[1]);
  return true;
}

RuleEnd SpecialValueRule(ExpressionRecord* node) {
  const ExpressionRecord* x = node->operands[0];
  double a = 0.0;
  double b = 0.0;
  switch (node->opcode) {
    case kOpLn:
      if (node->operandCount != 1) break;
      if (IsAtomWithId(x, kIdE))
        ReplaceByNumber(node, 1.0);
      else if (IsNumberEqualTo(x, 1.0))
        ReplaceByNumber(node, 0.0);
      break;
    case kOpExp:
      if (node->operandCount == 1 && IsNumberEqualTo(x, 0.0)) ReplaceByNumber(node, 1.0);
      break;
    case kOpLog:
      if (node->operandCount == 1 && IsNumberEqualTo(x, 1.0)) ReplaceByNumber(node, 0.0);
      break;
    case kOpFact:
      if (node->operandCount == 1 && IsNumberNode(x) && IsWholeNumber(NumberValue(x)) && NumberValue(x) >= 0.0 &&
          NumberValue(x) <= 4.0)
        ReplaceByNumber(node, Fact(NumberValue(x)));
      break;
    case kOpSn:
      if (node->operandCount == 2 && IsNumberNode(x) && IsNumberNode(node->operands[1])) {
        a = NumberValue(x);
        b = NumberValue(node->operands[1]);
        const double value = a * std::pow(10.0, b);
        if (IsSoundFold(value, a, b)) ReplaceByNumber(node, value);
      }
      break;
    case kOpMod:
      if (NumberPairArgument(node, &a, &b) && IsWholeNumber(a) && IsWholeNumber(b) && b != 0.0)
        ReplaceByNumber(node, Mod(a, b));
      break;
    case kOpMin:
    case kOpMax:
      if (NumberPairArgument(node, &a, &b) && !std::isnan(a) && !std::isnan(b))
        ReplaceByNumber(node, (node->opcode == kOpMin) == (a < b) ? a : b);
      break;
    default: break;
  }
  return RuleEnd::kDone;
}

// k in k*pi, a product of exactly a whole number and pi.
bool IsWholeMultipleOfPi(const ExpressionRecord* node, int32_t* k) {
  if (!IsKindWith(node, kOpTimes, 2) || !IsNumberNode(node->operands[0]) || !IsAtomWithId(node->operands[1], kIdPi) ||
      !IsWholeNumber(NumberValue(node->operands[0])))
    return false;
  *k = static_cast<int32_t>(NumberValue(node->operands[0]));
  return true;
}

int32_t QuarterTurns(int32_t k) { return static_cast<int32_t>(((int64_t{k} % 4) + 4) % 4); }

RuleEnd EquationRule(ExpressionRecord* node) {
  for (int32_t i = 0; i < node->operandCount;) {
    const ExpressionRecord* operand = node->operands[i];
    if (IsKind(operand, kOpEquals) && operand->operandCount > 0 && SIMP_ReplaceNthWithAll(node, i)) continue;
    ++i;
  }
  return RuleEnd::kDone;
}

RuleEnd DerivativeOperatorRule(ExpressionRecord* node) {
  if (node->operandCount == 2 && IsNumberEqualTo(node->operands[1], 1.0)) MATH_DeleteNOpOperand(node, 1);
  return RuleEnd::kDone;
}

RuleEnd ApplyRule(ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpTimes: return ProductRule(node);
    case kOpPlus: return SumRule(node);
    case kOpOver: return node->operandCount == 2 ? QuotientRule(node) : RuleEnd::kDone;
    case kOpPower: return node->operandCount == 2 ? PowerRule(node) : RuleEnd::kDone;
    case kOpSqrt: return SquareRootRule(node);
    case kOpMinus: return NegationRule(node);
    case kOpEquals: return EquationRule(node);
    case kOpOpTotal:
    case kOpOpPartial: return DerivativeOperatorRule(node);
    case kOpSin:
    case kOpCos: SIMP_OnTrig(node); return RuleEnd::kDone;
    default: return SpecialValueRule(node);
  }
}

}  // namespace

void SIMP_OnTrig(ExpressionRecord* node) {
  if (!(IsKindWith(node, kOpSin, 1) || IsKindWith(node, kOpCos, 1))) return;
  const bool isSine = node->opcode == kOpSin;
  const ExpressionRecord* x = node->operands[0];
  int32_t k = 0;
  if (IsNumberEqualTo(x, 0.0)) {
    ReplaceByNumber(node, isSine ? 0.0 : 1.0);
  } else if (IsAtomWithId(x, kIdPi)) {
    ReplaceByNumber(node, isSine ? 0.0 : -1.0);
  } else if (IsWholeMultipleOfPi(x, &k)) {
    ReplaceByNumber(node, isSine ? 0.0 : (k % 2 == 0 ? 1.0 : -1.0));
  } else if (IsQuotient(x) && IsNumberEqualTo(x->operands[1], 2.0) && IsWholeMultipleOfPi(x->operands[0], &k) &&
             k % 2 != 0) {
    ReplaceByNumber(node, isSine ? (QuarterTurns(k) == 1 ? 1.0 : -1.0) : 0.0);
  }
}

void SIMP_OneLevel(ExpressionRecord* node) {
  for (;;) {
    if (!node || node->operandCount == 0 || !HasFilledOperands(node)) return;
    if (MathRewriteMustStop()) return;
    if (ApplyRule(node) == RuleEnd::kDone) return;
  }
}
