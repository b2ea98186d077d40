#include "expression/SimplifierPasses.h"

#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

#include <cmath>

namespace {

constexpr double kMostMatrixSide = 65535.0;

bool IsInfixList(OpCodeT kind) {
  const OperatorInfo* info = FindOperatorInfo(kind);
  return info && info->syntacticKind == kInfixList;
}

// Runs the step on every node of the tree, children first; the step may
// rewrite the node it is given but nothing outside it.
template <typename Step>
void ForEachBottomUp(ExpressionRecord* tree, Step step) {
  if (!tree) return;
  for (ExpressionRecord* node = LeftMost(tree);;) {
    ExpressionRecord* next = node == tree ? nullptr : NextBottomUp(node);
    step(node);
    if (!next) return;
    node = next;
  }
}

ExpressionRecord* SoleCommaOperand(const ExpressionRecord* node) {
  if (node->operandCount != 1 || !node->operands || !node->operands[0]) return nullptr;
  ExpressionRecord* operand = node->operands[0];
  return operand->opcode == kOpComma ? operand : nullptr;
}

void SpreadCommaList(ExpressionRecord* node, int32_t mostItems) {
  const ExpressionRecord* comma = SoleCommaOperand(node);
  if (comma && comma->operandCount <= mostItems) SIMP_ReplaceNthWithAll(node, 0);
}

bool IsNumberLeaf(const ExpressionRecord* node) { return node && node->opcode == kOpNumber && node->payload.number; }

bool IsMatrixSide(double value) { return value >= 1.0 && value <= kMostMatrixSide && std::floor(value) == value; }

void FixMatrix(ExpressionRecord* node) {
  const ExpressionRecord* comma = SoleCommaOperand(node);
  if (!comma) return;
  const ExpressionRecord* first = comma->operands[0];
  const ExpressionRecord* second = comma->operandCount > 1 ? comma->operands[1] : nullptr;
  if (!IsNumberLeaf(first) || !IsNumberLeaf(second)) {
    node->payload.shape = MatrixShape{1, 1};
    return;
  }
  const double rows = first->payload.number->value;
  const double columns = second->payload.number->value;
  const int32_t elements = comma->operandCount - 2;
  if (!IsMatrixSide(rows) || !IsMatrixSide(columns) || rows * columns != elements) return;
  if (!SIMP_ReplaceNthWithAll(node, 0)) return;
  MATH_DeleteNOpOperand(node, 0);
  MATH_DeleteNOpOperand(node, 0);
  node->payload.shape = MatrixShape{static_cast<uint16_t>(rows), static_cast<uint16_t>(columns)};
}

// f(a1, ..., an) written as one list: the function, then its arguments (one,
// or the rest of the list).
void FixApplication(ExpressionRecord* node) {
  ExpressionRecord* comma = SoleCommaOperand(node);
  if (!comma || comma->operandCount < 2) return;
  ExpressionRecord* function = comma->operands[0];
  if (!SizeNode(node, 2)) return;
  if (!MATH_RemoveOperand(comma, 0)) {
    SizeNode(node, 1);
    return;
  }
  node->operands[0] = function;
  node->operands[1] = comma;
  function->parent = node;
  comma->parent = node;
}

// sum(a, b, c, d) in the parser's raw form: sum(a, b = c, d).
void FixRawSummation(ExpressionRecord* node) {
  ExpressionRecord* comma = SoleCommaOperand(node);
  if (!comma || comma->operandCount != 4) return;
  ExpressionRecord* range = NewExpression(kOpEquals, 2);
  if (!range) return;
  ExpressionRecord* from = comma->operands[1];
  ExpressionRecord* to = comma->operands[2];
  if (!MATH_RemoveOperand(comma, 2)) {
    DisposeNode(range);
    return;
  }
  range->operands[0] = from;
  range->operands[1] = to;
  from->parent = to->parent = range;
  comma->operands[1] = range;
  range->parent = comma;
  node->opcode = kOpSum;
  SIMP_ReplaceNthWithAll(node, 0);
}

void FixOneNode(ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpSum:
    case kOpProduct:
    case kOpBranch:
    case kOpLeq:
    case kOpGeq: SpreadCommaList(node, kMostOperands); break;
    case kOpIntegral: SpreadCommaList(node, 4); break;
    case kOpSubstitution: SpreadCommaList(node, 3); break;
    case kOpRawSummation: FixRawSummation(node); break;
    case kOpBracket: node->opcode = kOpId; break;
    case kOpFunction: FixApplication(node); break;
    case kOpMatrix: FixMatrix(node); break;
    default: break;
  }
}

}  // namespace

void SIMP_RemoveParensOneLevel(ExpressionRecord* node) {
  if (!node || !IsInfixList(node->opcode) || !node->operands) return;
  for (int32_t i = 0; i < node->operandCount;) {
    const ExpressionRecord* operand = node->operands[i];
    if (operand && operand->opcode == node->opcode && SIMP_ReplaceNthWithAll(node, i)) continue;
    ++i;
  }
}

void SIMP_RemoveParensRecurse(ExpressionRecord* tree) { ForEachBottomUp(tree, SIMP_RemoveParensOneLevel); }

void SIMP_FixSummationCommaMess(ExpressionRecord* tree) { ForEachBottomUp(tree, FixOneNode); }
