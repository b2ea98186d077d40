#include "expression/TreeHashing.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace {

constexpr uint64_t kNoOperand = 0x6A09E667F3BCC909u;
constexpr uint64_t kNoOperandArray = 0xBB67AE8584CAA73Bu;

uint64_t Mix(uint64_t h, uint64_t value) {
  uint64_t z = h ^ (value + 0x9E3779B97F4A7C15u + (h << 6) + (h >> 2));
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// What MATH_Equal compares of a leaf: numbers as doubles (0 and -0
// alike), names by id, strings by text.
uint64_t LeafValue(const ExpressionRecord* leaf) {
  switch (leaf->opcode) {
    case kOpNumber: {
      const double value = leaf->payload.number != nullptr ? leaf->payload.number->value : 0.0;
      return std::bit_cast<uint64_t>(value == 0.0 ? 0.0 : value);
    }
    case kOpAtom:
    case kOpDummy: return uint64_t(uint32_t(leaf->payload.id));
    case kOpString: {
      uint64_t h = 0;
      if (leaf->text != nullptr)
        for (const UniChar* c = leaf->text; *c != 0; ++c) h = Mix(h, *c);
      return h;
    }
    default: return 0;
  }
}

}  // namespace

constexpr size_t kFirstSlots = 1024;

void SubtreeHashes::Clear() {
  if (fCount == 0) return;
  fSlots.assign(kFirstSlots, Slot{});
  fCount = 0;
}

size_t SubtreeHashes::Home(const ExpressionRecord* node) const {
  return size_t(Mix(0, reinterpret_cast<uintptr_t>(node))) & (fSlots.size() - 1);
}

const SubtreeHashes::Slot* SubtreeHashes::Find(const ExpressionRecord* node) const {
  if (fSlots.empty()) return nullptr;
  for (size_t i = Home(node);; i = (i + 1) & (fSlots.size() - 1)) {
    if (fSlots[i].node == node) return &fSlots[i];
    if (fSlots[i].node == nullptr) return nullptr;
  }
}

void SubtreeHashes::Insert(const ExpressionRecord* node, uint64_t hash) {
  if (2 * (fCount + 1) > fSlots.size()) {
    std::vector<Slot> old(std::max(kFirstSlots, 2 * fSlots.size()));
    old.swap(fSlots);
    fCount = 0;
    for (const Slot& slot : old)
      if (slot.node != nullptr) Insert(slot.node, slot.hash);
  }
  size_t i = Home(node);
  while (fSlots[i].node != nullptr && fSlots[i].node != node) i = (i + 1) & (fSlots.size() - 1);
  if (fSlots[i].node == nullptr) ++fCount;
  fSlots[i] = {node, hash};
}

uint64_t SubtreeHashes::OfNode(const ExpressionRecord* node) const {
  uint64_t h = Mix(node->opcode, node->operandCount);
  if (node->operandCount == 0) return Mix(h, LeafValue(node));
  if (node->operands == nullptr) return Mix(h, kNoOperandArray);
  for (int32_t i = 0; i < node->operandCount; ++i) {
    const ExpressionRecord* operand = node->operands[i];
    h = Mix(h, operand != nullptr ? Find(operand)->hash : kNoOperand);
  }
  return h;
}

// Post-order without recursion: nests may run thousands deep.
uint64_t SubtreeHashes::Of(const ExpressionRecord* tree) {
  if (const Slot* found = Find(tree)) return found->hash;
  std::vector<std::pair<const ExpressionRecord*, int32_t>> pending{{tree, 0}};
  while (!pending.empty()) {
    const ExpressionRecord* node = pending.back().first;
    const int32_t next = pending.back().second;
    if (node->operands != nullptr && next < node->operandCount) {
      ++pending.back().second;
      const ExpressionRecord* operand = node->operands[next];
      if (operand != nullptr && Find(operand) == nullptr) pending.push_back({operand, 0});
      continue;
    }
    Insert(node, OfNode(node));
    pending.pop_back();
  }
  return Find(tree)->hash;
}
