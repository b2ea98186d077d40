#include "expression/TreeSurgery.h"

#include "expression/NodeContents.h"
#include "expression/NodeMemory.h"
#include "expression/TreeDisposal.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool LiesUnder(const ExpressionRecord* node, const ExpressionRecord* ancestor) {
  for (const ExpressionRecord* above = node->parent; above; above = above->parent)
    if (above == ancestor) return true;
  return false;
}

bool HasOperand(const ExpressionRecord* node, int32_t n) {
  return node && node->operands && n >= 0 && n < node->operandCount;
}

// Removes operand n from the array; false, unchanged, when the smaller
// array cannot be had.
bool CloseGap(ExpressionRecord* node, int32_t n) {
  ExpressionRecord** operands = node->operands;
  const int32_t count = node->operandCount;
  ExpressionRecord* removed = operands[n];
  for (int32_t i = n; i + 1 < count; ++i) operands[i] = operands[i + 1];
  if (SizeNode(node, count - 1)) return true;
  for (int32_t i = count - 1; i > n; --i) operands[i] = operands[i - 1];
  operands[n] = removed;
  return false;
}

void FreeSubtreesBelow(ExpressionRecord* node) {
  if (!node->operands) return;
  for (int32_t i = 0; i < node->operandCount; ++i) DisposExpr(node->operands[i]);
}

}  // namespace

bool MATH_TransferAndDispose(ExpressionRecord* from, ExpressionRecord* into) {
  if (!from || !into || from == into) return false;
  MEM_DisposeOperands(into);
  MoveContents(from, into);
  FreeNodeShell(from);
  return true;
}

bool DeleteOperandsTransferAndDispose(ExpressionRecord* from, ExpressionRecord* into) {
  if (!from || !into || from == into || LiesUnder(from, into)) return false;
  FreeSubtreesBelow(into);
  return MATH_TransferAndDispose(from, into);
}

bool DeleteOperandsTransferAndDispose(Tree from, ExpressionRecord* into) {
  if (!DeleteOperandsTransferAndDispose(from.get(), into)) return false;
  (void)from.release();  // its contents are into's now, its shell freed
  return true;
}

bool ReplaceWithFirstOperand(ExpressionRecord* node) {
  if (!HasOperand(node, 0) || !node->operands[0]) return false;
  ExpressionRecord* first = node->operands[0];
  for (int32_t i = 1; i < node->operandCount; ++i) DisposExpr(node->operands[i]);
  return MATH_TransferAndDispose(first, node);
}

bool MATH_RemoveOperand(ExpressionRecord* node, int32_t n) {
  if (!HasOperand(node, n)) return false;
  if (node->operandCount == 2 && node->operands[1 - n]) {
    ExpressionRecord* remaining = node->operands[1 - n];
    return MATH_TransferAndDispose(remaining, node);
  }
  return CloseGap(node, n);
}

bool MATH_DeleteOperand(ExpressionRecord* node, int32_t n) {
  if (!HasOperand(node, n)) return false;
  ExpressionRecord* removed = node->operands[n];
  if (!MATH_RemoveOperand(node, n)) return false;
  DisposExpr(removed);
  return true;
}

bool MATH_DeleteNOpOperand(ExpressionRecord* node, int32_t n) {
  if (!HasOperand(node, n)) return false;
  ExpressionRecord* removed = node->operands[n];
  if (!CloseGap(node, n)) return false;
  DisposExpr(removed);
  return true;
}

bool SIMP_ReplaceNthWithAll(ExpressionRecord* node, int32_t n) {
  if (!HasOperand(node, n)) return false;
  ExpressionRecord* inner = node->operands[n];
  if (!inner || inner == node || inner->operandCount == 0 || !inner->operands) return false;
  const int32_t extra = inner->operandCount - 1;
  const int32_t count = node->operandCount;
  if (count + extra > kMostSplicedOperands) return false;
  if (extra > 0 && !SizeNode(node, count + extra)) return false;
  ExpressionRecord** operands = node->operands;
  for (int32_t i = count - 1; i > n; --i) operands[i + extra] = operands[i];
  for (int32_t i = 0; i <= extra; ++i) operands[n + i] = inner->operands[i];
  AdoptOperands(node);
  MEM_DisposeOperands(inner);
  FreeNodeShell(inner);
  return true;
}

namespace {

bool IsChainKind(OpCodeT kind) { return kind == kOpPlus || kind == kOpTimes; }

bool HasOperandOfItsKind(const ExpressionRecord* node) {
  for (int32_t i = 0; i < node->operandCount; ++i)
    if (node->operands[i] && node->operands[i]->opcode == node->opcode) return true;
  return false;
}

// The node's operands with those of its kind replaced by their own,
// depth first and in order; the shells taken in are collected for freeing.
void GatherChain(ExpressionRecord* node, std::vector<ExpressionRecord*>& flat, std::vector<ExpressionRecord*>& shells) {
  std::vector<std::pair<ExpressionRecord*, int32_t>> stream{{node, 0}};
  int32_t total = node->operandCount;
  while (!stream.empty()) {
    auto& [source, next] = stream.back();
    if (next == source->operandCount) {
      stream.pop_back();
      continue;
    }
    ExpressionRecord* operand = source->operands[next++];
    const bool takeIn = operand && operand->opcode == node->opcode && operand->operandCount > 0 && operand->operands &&
                        total + operand->operandCount - 1 <= kMostSplicedOperands;
    if (takeIn) {
      total += operand->operandCount - 1;
      shells.push_back(operand);
      stream.emplace_back(operand, 0);
    } else {
      flat.push_back(operand);
    }
  }
}

}  // namespace

void FlattenSumsAndProducts(ExpressionRecord* tree) {
  std::vector<ExpressionRecord*> pending;
  if (tree) pending.push_back(tree);
  std::vector<ExpressionRecord*> flat;
  std::vector<ExpressionRecord*> shells;
  while (!pending.empty()) {
    ExpressionRecord* node = pending.back();
    pending.pop_back();
    if (IsChainKind(node->opcode) && node->operands && HasOperandOfItsKind(node)) {
      flat.clear();
      shells.clear();
      GatherChain(node, flat, shells);
      if (SizeNode(node, static_cast<int32_t>(flat.size()))) {
        std::copy(flat.begin(), flat.end(), node->operands);
        AdoptOperands(node);
        for (ExpressionRecord* shell : shells) {
          MEM_DisposeOperands(shell);
          FreeNodeShell(shell);
        }
      }
    }
    if (!node->operands) continue;
    for (int32_t i = node->operandCount - 1; i >= 0; --i)
      if (node->operands[i]) pending.push_back(node->operands[i]);
  }
}
