#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/NodeMemory.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "tests/expression/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <map>

namespace {

struct Reference {
  std::vector<ExpressionRecord*> preOrder, postOrder;
  std::map<ExpressionRecord*, ExpressionRecord*> nextOperand, previousOperand;
  std::map<ExpressionRecord*, int> place;
};

// Siblings found from the recursion's own path, not from parent links.
void FillSiblings(ExpressionRecord* node, std::vector<std::pair<ExpressionRecord*, int>>& path, Reference& ref) {
  ExpressionRecord* next = nullptr;
  ExpressionRecord* previous = nullptr;
  for (auto level = path.rbegin(); level != path.rend() && !next; ++level)
    for (int i = level->second + 1; i < level->first->operandCount && !next; ++i) next = level->first->operands[i];
  for (auto level = path.rbegin(); level != path.rend() && !previous; ++level)
    for (int i = level->second - 1; i >= 0 && !previous; --i) previous = level->first->operands[i];
  ref.nextOperand[node] = next;
  ref.previousOperand[node] = previous;
  ref.place[node] = path.empty() ? -1 : path.back().second;
  for (int i = 0; i < node->operandCount; ++i) {
    if (!node->operands[i]) continue;
    path.emplace_back(node, i);
    FillSiblings(node->operands[i], path, ref);
    path.pop_back();
  }
}

Reference ReferenceOf(ExpressionRecord* root) {
  Reference ref;
  PreOrder(root, ref.preOrder);
  PostOrder(root, ref.postOrder);
  std::vector<std::pair<ExpressionRecord*, int>> path;
  FillSiblings(root, path, ref);
  return ref;
}

std::vector<ExpressionRecord*> BoundedPreOrder(ExpressionRecord* r) {
  std::vector<ExpressionRecord*> visited;
  ExpressionRecord* const end = RightMost(r);
  for (ExpressionRecord* n = r;; n = NextTopDown(n)) {
    visited.push_back(n);
    if (n == end) break;
  }
  return visited;
}

std::vector<ExpressionRecord*> PostOrderWalk(ExpressionRecord* r) {
  std::vector<ExpressionRecord*> visited;
  for (ExpressionRecord* n = LeftMost(r);; n = NextBottomUp(n)) {
    visited.push_back(n);
    if (n == r) break;
  }
  return visited;
}

void CheckWalkersAgainstRecursion(unsigned seed, double nullSlotChance) {
  RandomTrees trees(seed, nullSlotChance);
  for (int round = 0; round < 1000; ++round) {
    ExpressionRecord* root = trees.Make(1 + round % 6);
    const Reference ref = ReferenceOf(root);
    // Every subtree, so that the walks are seen to stop at their bound.
    for (ExpressionRecord* r : ref.preOrder) {
      std::vector<ExpressionRecord*> pre, post;
      PreOrder(r, pre);
      PostOrder(r, post);
      ASSERT_EQ(BoundedPreOrder(r), pre);
      std::vector<ExpressionRecord*> within;
      for (ExpressionRecord* n = r; n; n = NextTopDownWithin(n, r)) within.push_back(n);
      ASSERT_EQ(within, pre);
      ASSERT_EQ(PostOrderWalk(r), post);
      ASSERT_EQ(LeftMost(r), post.front());
      ASSERT_EQ(RightMost(r), pre.back());
      ASSERT_EQ(MATH_NodeCount(r), static_cast<int32_t>(pre.size()));
      ASSERT_EQ(NextOperand(r), ref.nextOperand.at(r));
      ASSERT_EQ(PreviousOperand(r), ref.previousOperand.at(r));
      ASSERT_EQ(OP_NUM(r), ref.place.at(r));
      if (ref.place.at(r) >= 0) {
        ASSERT_TRUE(OP_NUMeq(r, ref.place.at(r)));
      }
    }
    // Over the whole tree the unbounded walks end with null.
    ASSERT_EQ(NextTopDown(ref.preOrder.back()), nullptr);
    ASSERT_EQ(NextBottomUp(root), nullptr);
    DisposExpr(root);
  }
}

TEST(TreeWalking, AgreesWithRecursionOnRandomTrees) { CheckWalkersAgainstRecursion(7, 0.0); }

TEST(TreeWalking, EmptyOperandSlotsAreSteppedOver) { CheckWalkersAgainstRecursion(11, 0.15); }

TEST(TreeWalking, PlacesOutsideTheParentAreRefused) {
  ExpressionRecord* sum = NewBinop(kOpPlus, Number(1), Number(2));
  EXPECT_FALSE(OP_NUMeq(sum->operands[1], 2));
  EXPECT_FALSE(OP_NUMeq(sum->operands[1], -1));
  EXPECT_FALSE(OP_NUMeq(sum, 0));
  // A node whose parent no longer holds it is walked as a root.
  ExpressionRecord* stray = Number(3);
  stray->parent = sum;
  EXPECT_EQ(OP_NUM(stray), -1);
  EXPECT_EQ(NextBottomUp(stray), nullptr);
  EXPECT_EQ(NextOperand(stray), nullptr);
  stray->parent = nullptr;
  DisposExpr(stray);
  DisposExpr(sum);
}

TEST(TreeCopying, CopiesEqualTheirSourceAndShareNothing) {
  RandomTrees trees(3, 0.1);
  for (int round = 0; round < 1000; ++round) {
    ExpressionRecord* source = trees.Make(1 + round % 5);
    source->AllocateEditDataIfNecessary();
    ExpressionRecord* copy = Copy(source);
    ASSERT_TRUE(RecursiveEqual(source, copy));
    ASSERT_TRUE(MATH_Equal(source, copy));
    ASSERT_TRUE(MATH_Equal(copy, source));
    EXPECT_EQ(copy->parent, nullptr);
    std::vector<ExpressionRecord*> sourceNodes, copyNodes;
    PreOrder(source, sourceNodes);
    PreOrder(copy, copyNodes);
    for (size_t i = 0; i < copyNodes.size(); ++i) {
      ASSERT_NE(copyNodes[i], sourceNodes[i]);
      ASSERT_EQ(copyNodes[i]->editData, nullptr);
      if (copyNodes[i]->opcode == kOpNumber) {
        ASSERT_NE(copyNodes[i]->payload.number, sourceNodes[i]->payload.number);
      }
      if (copyNodes[i]->opcode == kOpString) {
        ASSERT_NE(copyNodes[i]->text, sourceNodes[i]->text);
      }
    }
    // One changed leaf makes them differ.
    ExpressionRecord* leaf = copyNodes[trees.Pick(0, static_cast<int>(copyNodes.size()) - 1)];
    if (leaf->operandCount == 0) {
      if (leaf->opcode == kOpNumber)
        leaf->payload.number->value += 1;
      else if (leaf->opcode == kOpString)
        leaf->text[0] = u'z';
      else
        leaf->payload.id += 1;
      ASSERT_FALSE(MATH_Equal(source, copy));
    }
    DisposExpr(source);
    DisposExpr(copy);
  }
}

// Node by node, without recursion: the same kinds, counts and values, no
// node shared, and each operand of the copy linked to its own parent.
bool CopyMatchesNodeByNode(const ExpressionRecord* source, const ExpressionRecord* copy) {
  std::vector<std::pair<const ExpressionRecord*, const ExpressionRecord*>> pending{{source, copy}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    if (a == b || a->opcode != b->opcode || a->operandCount != b->operandCount) return false;
    if (a->opcode == kOpNumber && a->payload.number->value != b->payload.number->value) return false;
    if (a->opcode == kOpAtom && a->payload.id != b->payload.id) return false;
    for (int32_t k = 0; k < a->operandCount; ++k) {
      if (b->operands[k]->parent != b) return false;
      pending.emplace_back(a->operands[k], b->operands[k]);
    }
  }
  return true;
}

// Copying and freeing keep their place on a stack of their own: a chain far
// deeper than a recursion could go, and a sum wider than the stack's first
// frames, are copied whole and every block comes back.
TEST(TreeCopying, DeepAndWideTreesCopyAndFreeWhole) {
  MEM_FlushExprCaches();
  const int64_t before = gApproximateTotalMemoryUsed.load();
  ExpressionRecord* deep = Number(1);
  for (int k = 0; k < 200000; ++k) deep = Neg(deep);
  ExpressionRecord* wide = NewExpression(kOpPlus, 5000);
  for (int32_t k = 0; k < wide->operandCount; ++k) {
    wide->operands[k] = Times(Number(k), Atomic(120 + k % 7));
    wide->operands[k]->parent = wide;
  }
  for (ExpressionRecord* source : {deep, wide}) {
    ExpressionRecord* copy = Copy(source);
    EXPECT_EQ(copy->parent, nullptr);
    EXPECT_TRUE(CopyMatchesNodeByNode(source, copy));
    DisposExpr(copy);
  }
  DisposExpr(deep);
  DisposExpr(wide);
  MEM_FlushExprCaches();
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

// Pairs of a tree and a copy with one random change (or none), so that the
// oracle sees both answers often.
TEST(TreeComparison, AgreesWithRecursiveEquality) {
  RandomTrees trees(5, 0.1);
  int equalPairs = 0;
  for (int round = 0; round < 3000; ++round) {
    ExpressionRecord* a = trees.Make(1 + round % 4);
    ExpressionRecord* b = Copy(a);
    std::vector<ExpressionRecord*> nodes;
    PreOrder(b, nodes);
    ExpressionRecord* victim = nodes[trees.Pick(0, static_cast<int>(nodes.size()) - 1)];
    switch (trees.Pick(0, 4)) {
      case 0:
        if (victim->operandCount > 0)
          victim->opcode = victim->opcode == kOpPlus ? kOpTimes : kOpPlus;
        else if (victim->opcode == kOpAtom)
          victim->opcode = kOpDummy;
        break;
      case 1:
        if (victim->operandCount > 0 && victim->operands[0]) {
          DisposExpr(victim->operands[0]);
          victim->operands[0] = nullptr;
        }
        break;
      case 2:
        if (victim->operandCount > 1) std::swap(victim->operands[0], victim->operands[1]);
        break;
      case 3:
        if (victim->opcode == kOpAtom) victim->payload.id ^= 1;
        break;
      default: break;
    }
    const bool expected = RecursiveEqual(a, b);
    equalPairs += expected;
    ASSERT_EQ(MATH_Equal(a, b), expected);
    ASSERT_EQ(MATH_Equal(b, a), expected);
    DisposExpr(a);
    DisposExpr(b);
  }
  EXPECT_GT(equalPairs, 500);
  EXPECT_LT(equalPairs, 2500);
}

TEST(TreeComparison, ValuesAndShapes) {
  ExpressionRecord* nan = Number(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(MATH_Equal(nan, nan));
  ExpressionRecord* zero = Number(0.0);
  ExpressionRecord* negativeZero = Number(-0.0);
  EXPECT_TRUE(MATH_Equal(zero, negativeZero));
  EXPECT_FALSE(MATH_Equal(zero, nullptr));
  ExpressionRecord* wide = NewExpression(kOpMatrix, 4);
  ExpressionRecord* tall = NewExpression(kOpMatrix, 4);
  for (int i = 0; i < 4; ++i) {
    wide->operands[i] = Number(i);
    wide->operands[i]->parent = wide;
    tall->operands[i] = Number(i);
    tall->operands[i]->parent = tall;
  }
  wide->payload.shape = MatrixShape{1, 4};
  tall->payload.shape = MatrixShape{2, 2};
  EXPECT_TRUE(MATH_Equal(wide, tall));
  for (ExpressionRecord* tree : {nan, zero, negativeZero, wide, tall}) DisposExpr(tree);
}

}  // namespace
