#include "expression/TreeWalking.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace {

ExpressionRecord* FirstOperand(const ExpressionRecord* node) {
  if (!node->operands) return nullptr;
  for (int32_t i = 0; i < node->operandCount; ++i)
    if (node->operands[i]) return node->operands[i];
  return nullptr;
}

ExpressionRecord* LastOperand(const ExpressionRecord* node) {
  if (!node->operands) return nullptr;
  for (int32_t i = node->operandCount - 1; i >= 0; --i)
    if (node->operands[i]) return node->operands[i];
  return nullptr;
}

// Walks step through the operands of a wide node one after another, with
// whole subtrees between the steps: remembering the last place found per
// parent keeps each step constant instead of a scan of the siblings. A
// remembered place is only a guess, checked against the operands.
struct RememberedPlace {
  const ExpressionRecord* parent = nullptr;
  int32_t place = -1;
};
constexpr size_t kRememberedPlaces = 64;
thread_local RememberedPlace tRememberedPlaces[kRememberedPlaces];

RememberedPlace& RememberedFor(const ExpressionRecord* parent) {
  const auto bits = reinterpret_cast<uintptr_t>(parent);
  return tRememberedPlaces[(bits >> 4 ^ bits >> 10) % kRememberedPlaces];
}

int32_t PlaceInParent(const ExpressionRecord* node) {
  constexpr int32_t kShortScan = 8;
  const ExpressionRecord* parent = node->parent;
  if (!parent || !parent->operands) return -1;
  if (parent->operandCount <= kShortScan) {
    for (int32_t i = 0; i < parent->operandCount; ++i)
      if (parent->operands[i] == node) return i;
    return -1;
  }
  RememberedPlace& remembered = RememberedFor(parent);
  if (remembered.parent == parent)
    for (const int32_t guess : {remembered.place, remembered.place + 1})
      if (guess >= 0 && guess < parent->operandCount && parent->operands[guess] == node) {
        remembered.place = guess;
        return guess;
      }
  for (int32_t i = 0; i < parent->operandCount; ++i)
    if (parent->operands[i] == node) {
      remembered = {parent, i};
      return i;
    }
  return -1;
}

ExpressionRecord* NextSibling(const ExpressionRecord* node) {
  const int32_t place = PlaceInParent(node);
  if (place < 0) return nullptr;
  const ExpressionRecord* parent = node->parent;
  for (int32_t i = place + 1; i < parent->operandCount; ++i)
    if (parent->operands[i]) return parent->operands[i];
  return nullptr;
}

ExpressionRecord* PreviousSibling(const ExpressionRecord* node) {
  const int32_t place = PlaceInParent(node);
  for (int32_t i = place - 1; i >= 0; --i)
    if (node->parent->operands[i]) return node->parent->operands[i];
  return nullptr;
}

// A node counts as having a parent only when the parent holds it.
ExpressionRecord* HoldingParent(const ExpressionRecord* node) {
  return PlaceInParent(node) >= 0 ? node->parent : nullptr;
}

}  // namespace

ExpressionRecord* LeftMost(ExpressionRecord* node) {
  if (!node) return nullptr;
  while (ExpressionRecord* first = FirstOperand(node)) node = first;
  return node;
}

ExpressionRecord* RightMost(ExpressionRecord* node) {
  if (!node) return nullptr;
  while (ExpressionRecord* last = LastOperand(node)) node = last;
  return node;
}

ExpressionRecord* NextTopDown(ExpressionRecord* node) {
  if (!node) return nullptr;
  if (ExpressionRecord* first = FirstOperand(node)) return first;
  return NextOperand(node);
}

ExpressionRecord* NextTopDownWithin(ExpressionRecord* node, const ExpressionRecord* root) {
  if (!node) return nullptr;
  if (ExpressionRecord* first = FirstOperand(node)) return first;
  for (; node && node != root; node = HoldingParent(node))
    if (ExpressionRecord* sibling = NextSibling(node)) return sibling;
  return nullptr;
}

ExpressionRecord* NextBottomUp(ExpressionRecord* node) {
  if (!node) return nullptr;
  ExpressionRecord* parent = HoldingParent(node);
  if (!parent) return nullptr;
  if (ExpressionRecord* sibling = NextSibling(node)) return LeftMost(sibling);
  return parent;
}

ExpressionRecord* NextOperand(ExpressionRecord* node) {
  for (; node; node = HoldingParent(node))
    if (ExpressionRecord* sibling = NextSibling(node)) return sibling;
  return nullptr;
}

ExpressionRecord* PreviousOperand(ExpressionRecord* node) {
  for (; node; node = HoldingParent(node))
    if (ExpressionRecord* sibling = PreviousSibling(node)) return sibling;
  return nullptr;
}

int32_t OP_NUM(const ExpressionRecord* node) { return node ? PlaceInParent(node) : -1; }

bool OP_NUMeq(const ExpressionRecord* node, int32_t k) {
  if (!node || !node->parent || !node->parent->operands) return false;
  if (k < 0 || k >= node->parent->operandCount) return false;
  return node->parent->operands[k] == node;
}

int32_t MATH_NodeCount(ExpressionRecord* tree) {
  int32_t count = 0;
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree)) ++count;
  return count;
}
