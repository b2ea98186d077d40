#pragma once

#include "expression/ExpressionRecord.h"

#include <vector>

// Walks over a subtree that keep their place on a stack of operand indexes:
// the tree's own steps find a node's place among its siblings anew each
// time, which a layout repeats many times over a node of many operands.

// A layout walks the tree a dozen times; each walk borrows a vector kept
// from an earlier one instead of allocating its own. Walks may nest.
template <typename Element>
class BorrowedVector {
 public:
  BorrowedVector() {
    std::vector<std::vector<Element>>& pool = Pool();
    if (!pool.empty()) {
      fVector = std::move(pool.back());
      pool.pop_back();
    }
  }
  ~BorrowedVector() {
    fVector.clear();
    Pool().push_back(std::move(fVector));
  }
  BorrowedVector(const BorrowedVector&) = delete;
  BorrowedVector& operator=(const BorrowedVector&) = delete;
  std::vector<Element>& operator*() { return fVector; }

 private:
  static std::vector<std::vector<Element>>& Pool() {
    thread_local std::vector<std::vector<Element>> pool;
    return pool;
  }
  std::vector<Element> fVector;
};

namespace tree_order_detail {

struct Frame {
  ExpressionRecord* node;
  int32_t next;
};

}  // namespace tree_order_detail

// Post-order, operands left to right, root last. The visit may replace the
// node it is given in its parent, or the operands of that node.
template <typename Visit>
void ForEachBottomUp(ExpressionRecord* root, Visit visit) {
  if (!root) return;
  BorrowedVector<tree_order_detail::Frame> borrowed;
  std::vector<tree_order_detail::Frame>& stack = *borrowed;
  stack.push_back({root, 0});
  while (!stack.empty()) {
    tree_order_detail::Frame& top = stack.back();
    if (top.node->operands && top.next < top.node->operandCount) {
      ExpressionRecord* operand = top.node->operands[top.next++];
      if (operand) stack.push_back({operand, 0});
      continue;
    }
    ExpressionRecord* node = top.node;
    stack.pop_back();
    visit(node);
  }
}

// Pre-order, operands left to right, root first; a node's operands are
// visited only when `descend` returns true for it. It must not change the
// tree.
template <typename Descend>
void ForEachTopDownWhere(ExpressionRecord* root, Descend descend) {
  if (!root) return;
  BorrowedVector<ExpressionRecord*> borrowed;
  std::vector<ExpressionRecord*>& stack = *borrowed;
  stack.push_back(root);
  while (!stack.empty()) {
    ExpressionRecord* node = stack.back();
    stack.pop_back();
    if (!descend(node) || !node->operands) continue;
    for (int32_t i = node->operandCount - 1; i >= 0; --i)
      if (node->operands[i]) stack.push_back(node->operands[i]);
  }
}

template <typename Visit>
void ForEachTopDown(ExpressionRecord* root, Visit visit) {
  ForEachTopDownWhere(root, [&](ExpressionRecord* node) {
    visit(node);
    return true;
  });
}
