#include "evaluation/compiler/StackMachineRewriting.h"

#include "CoreUtilities/MathConstants.h"
#include "expression/NodeMemory.h"
#include "expression/NumericComputability.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

namespace {

bool IsOpcode(const ExpressionRecord* node, OpCodeT kind) { return node != nullptr && node->opcode == kind; }

// Calls rewrite on every node, operands before their parent. rewrite may
// change the node it is given in place but nothing outside its subtree.
template <typename Rewrite>
void ForEachBottomUp(ExpressionRecord* root, Rewrite rewrite) {
  if (root == nullptr) return;
  ExpressionRecord* node = LeftMost(root);
  for (;;) {
    const bool last = node == root;
    rewrite(node);
    if (last) return;
    node = NextBottomUp(node);
    if (node == nullptr) return;
  }
}

void FoldNegativeLiteral(ExpressionRecord* node) {
  if (!IsOpcode(node, kOpMinus) || node->operandCount != 1) return;
  ExpressionRecord* number = node->operands[0];
  if (!IsOpcode(number, kOpNumber) || number->payload.number == nullptr) return;
  number->payload.number->value = -number->payload.number->value;
  ReplaceWithFirstOperand(node);
}

// Operands from..count-1 move under a new conjunction that becomes the
// node's operand `from`.
void GatherConditions(ExpressionRecord* node, int32_t from) {
  const int32_t moved = node->operandCount - from;
  ExpressionRecord* conjunction = NewExpression(kOpConditions, moved);
  if (conjunction == nullptr) return;
  for (int32_t i = 0; i < moved; ++i) {
    conjunction->operands[i] = node->operands[from + i];
    conjunction->operands[i]->parent = conjunction;
  }
  node->operands[from] = conjunction;
  conjunction->parent = node;
  for (int32_t i = from + 1; i < node->operandCount; ++i) node->operands[i] = nullptr;
  SizeNode(node, from + 1);
}

// The two-pass form sqrt(Mean((data - Mean(data))^2)): the one-pass
// sqrt(Mean(data^2) - Mean(data)^2) cancels to a negative number, and so
// to NaN, for equal data such as {0.1, 0.1, 0.1}.
void RewriteStandardDeviation(ExpressionRecord* node) {
  ExpressionRecord* mean = Copy(node);
  ExpressionRecord* outer = Copy(node);
  if (mean == nullptr || outer == nullptr || outer->operandCount == 0) {
    DisposExpr(mean);
    DisposExpr(outer);
    return;
  }
  mean->opcode = kOpDataMean;
  outer->opcode = kOpDataMean;
  ExpressionRecord* data = outer->operands[0];
  ExpressionRecord* deviation = Square(Minus(data, mean));
  if (deviation == nullptr) {
    outer->operands[0] = Number(gNaN);
    if (outer->operands[0] != nullptr) outer->operands[0]->parent = outer;
    DisposExpr(outer);
    return;
  }
  outer->operands[0] = deviation;
  deviation->parent = outer;
  ExpressionRecord* root = Sqrt(outer);
  if (root != nullptr) DeleteOperandsTransferAndDispose(root, node);
}

void SwapFirstTwo(ExpressionRecord* node) {
  ExpressionRecord* first = node->operands[0];
  node->operands[0] = node->operands[1];
  node->operands[1] = first;
}

// (b - a) / (c - a) for the point a < b < c of an interpolation.
void RewriteInterpolationPoint(ExpressionRecord* less) {
  ExpressionRecord* a = less->operands[0];
  ExpressionRecord* b = less->operands[1];
  ExpressionRecord* c = less->operands[2];
  ExpressionRecord* quotient = Div(Minus(Copy(b), Copy(a)), Minus(Copy(c), Copy(a)));
  if (quotient != nullptr) DeleteOperandsTransferAndDispose(quotient, less);
}

void MungeOneMinMaxModClamp(ExpressionRecord* node, DocumentRecord* document) {
  if (!MinMaxModClampMayChange(node)) return;
  if (IsMinMaxModClamp(node->opcode) && node->operandCount >= 1 && IsOpcode(node->operands[0], kOpComma) &&
      node->operands[0]->operandCount > 0) {
    SIMP_ReplaceNthWithAll(node, 0);
    if ((IsScalarDataOpcode(node->opcode) || IsDataMinMax(node, document)) && node->operandCount > 2) {
      GatherConditions(node, 1);
    }
  }
  if (node->opcode == kOpDataStdDev) {
    RewriteStandardDeviation(node);
  } else if (IsOpcode(node, kOpIndexes) && node->operandCount == 2 &&
             ExprReferencesTableData(node->operands[0], document)) {
    SwapFirstTwo(node);
    node->opcode = kOpTableIndex;
  } else if (IsOpcode(node, kOpInterpolate)) {
    for (int32_t i = 1; i < node->operandCount; ++i) {
      ExpressionRecord* point = node->operands[i];
      if (IsOpcode(point, kOpLess) && point->operandCount == 3) RewriteInterpolationPoint(point);
    }
  }
}

void ReorderLoop(ExpressionRecord* node) {
  const bool sum = IsOpcode(node, kOpSum);
  if (!sum && !IsOpcode(node, kOpProduct)) return;
  if (node->operandCount != 3 || !IsOpcode(node->operands[1], kOpEquals) || node->operands[1]->operandCount != 2)
    return;
  ExpressionRecord** operands = node->operands;
  ExpressionRecord* summand = operands[0];
  operands[0] = operands[1];
  operands[1] = operands[2];
  operands[2] = summand;
  node->opcode = sum ? kOpPreparedSum : kOpPreparedProduct;
}

void SplitChain(ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpLeq: MungeInequality(node, kOpLess); break;
    case kOpLess: MungeInequality(node, kOpLeq); break;
    case kOpGreater: MungeInequality(node, kOpGeq); break;
    case kOpGeq: MungeInequality(node, kOpGreater); break;
    default: break;
  }
}

// A chain of copies of operands [from, to) of the node, of the node's kind.
ExpressionRecord* ChainOfCopies(const ExpressionRecord* node, int32_t from, int32_t to) {
  ExpressionRecord* chain = NewExpression(node->opcode, to - from);
  if (chain == nullptr) return nullptr;
  for (int32_t i = from; i < to; ++i) {
    ExpressionRecord* copy = Copy(node->operands[i]);
    if (copy == nullptr) {
      DisposExpr(chain);
      return nullptr;
    }
    chain->operands[i - from] = copy;
    copy->parent = chain;
  }
  return chain;
}

ExpressionRecord* Conjoin(ExpressionRecord* left, ExpressionRecord* right) {
  if (right == nullptr) return left;
  return NewBinop(kOpConditions, left, right);
}

void DefaultCase(ExpressionRecord* node) {
  if (!IsOpcode(node->parent, kOpBranch) || IsOpcode(node, kOpIf) || IsOpcode(node, kOpSwappedCondition)) return;
  DO_BinOpOn(node, Number(1.0), 1, kOpIf);
}

}  // namespace

bool IsMinMaxModClamp(OpCodeT kind) {
  return (kind >= kOpMod && kind <= kOpDataStdDev) || kind == kOpSlider || kind == kOpRotate ||
         kind == kOpInterpolate || kind == kOpAnd || kind == kOpOr;
}

bool IsScalarDataOpcode(OpCodeT kind) { return kind >= kOpDataSum && kind <= kOpDataStdDev; }

void MungeInequality(ExpressionRecord* node, OpCodeT partner) {
  const int32_t n = node->operandCount;
  if (n < 2) return;
  int32_t k = -1;
  for (int32_t i = 0; i < n; ++i) {
    if (IsOpcode(node->operands[i], partner)) {
      k = i;
      break;
    }
  }
  if (k < 0) return;
  const ExpressionRecord* inner = node->operands[k];
  if (inner->operandCount == 0) return;
  ExpressionRecord* result = Copy(inner);
  if (k < n - 1) {
    ExpressionRecord* right =
        NewBinop(node->opcode, Copy(inner->operands[inner->operandCount - 1]), Copy(node->operands[k + 1]));
    result = right ? Conjoin(result, right) : (DisposExpr(result), nullptr);
  }
  if (result != nullptr && k > 0) {
    ExpressionRecord* left = NewBinop(node->opcode, Copy(node->operands[k - 1]), Copy(inner->operands[0]));
    result = left ? Conjoin(result, left) : (DisposExpr(result), nullptr);
  }
  if (result != nullptr && k < n - 2) {
    ExpressionRecord* rest = ChainOfCopies(node, k + 1, n);
    result = rest ? Conjoin(result, rest) : (DisposExpr(result), nullptr);
  }
  if (result != nullptr && k > 1) {
    ExpressionRecord* rest = ChainOfCopies(node, 0, k);
    result = rest ? Conjoin(result, rest) : (DisposExpr(result), nullptr);
  }
  if (result != nullptr) DeleteOperandsTransferAndDispose(result, node);
}

bool MinMaxModClampMayChange(const ExpressionRecord* node) {
  const bool argumentList = IsMinMaxModClamp(node->opcode) && node->operandCount >= 1 &&
                            IsOpcode(node->operands[0], kOpComma) && node->operands[0]->operandCount > 0;
  return argumentList || node->opcode == kOpDataStdDev || IsOpcode(node, kOpIndexes) || IsOpcode(node, kOpInterpolate);
}

void MungeMinMaxModClamp(ExpressionRecord* root, DocumentRecord* document) {
  ForEachBottomUp(root, [document](ExpressionRecord* node) { MungeOneMinMaxModClamp(node, document); });
}

void MungeExprForStackMachine(ExpressionRecord* root, DocumentRecord* document) {
  if (root == nullptr) return;
  MATH_RemoveIdentities(root);
  ForEachBottomUp(root, FoldNegativeLiteral);
  MungeMinMaxModClamp(root, document);
  ForEachBottomUp(root, ReorderLoop);
  ForEachBottomUp(root, SplitChain);
  ForEachBottomUp(root, DefaultCase);
  int32_t branchNumber = 0;
  ForEachBottomUp(root, [&branchNumber](ExpressionRecord* node) {
    if (IsOpcode(node, kOpIf) && IsOpcode(node->parent, kOpBranch) && node->operandCount == 2) {
      SwapFirstTwo(node);
      node->opcode = kOpSwappedCondition;
    } else if (IsOpcode(node, kOpBranch)) {
      node->payload.branchNumber = branchNumber++;
    }
  });
}
