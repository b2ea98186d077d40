#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "expression/NodeMemory.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/expression/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

namespace {

// A sum of `count` terms, each a small tree with numbers and strings.
ExpressionRecord* WideSum(int count) {
  ExpressionRecord* sum = NewExpression(kOpPlus, count);
  for (int i = 0; i < count; ++i) {
    sum->operands[i] = i % 3 == 0 ? Times(Number(i), StringLeaf(u"label")) : Tothe(Atomic(120), Number(i));
    sum->operands[i]->parent = sum;
  }
  return sum;
}

class NodeMemoryTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetDeferredErrors();
    gMathError = 0;
  }
  void TearDown() override {
    ResetDeferredErrors();
    gMathError = 0;
  }
};

// Whatever block runs out first, the copy is given up cleanly: the result
// is NaN, message 36 comes once, and every block of the partial copy is
// back (the budget's total returns to where it was).
TEST_F(NodeMemoryTest, CopyGivesNaNWhenMemoryRunsOut) {
  ExpressionRecord* source = WideSum(1500);
  int failures = 0;
  // At least room for the NaN that a failed copy gives.
  for (int64_t room = 4096; room <= 160 * 1024; room += 4096 + 1024) {
    MEM_FlushExprCaches();
    const int64_t before = gApproximateTotalMemoryUsed.load();
    ExpressionRecord* copy = nullptr;
    {
      BudgetRoom budget(room);
      copy = Copy(source);
    }
    if (MATH_Equal(copy, source)) {
      EXPECT_EQ(gMathError.load(), 0);
      EXPECT_FALSE(IsDeferredErrorWaiting());
    } else {
      ++failures;
      ASSERT_NE(copy, nullptr);
      EXPECT_EQ(copy->opcode, kOpNumber);
      EXPECT_TRUE(std::isnan(copy->payload.number->value));
      EXPECT_EQ(copy->parent, nullptr);
      EXPECT_EQ(gMathError.load(), 1);
      EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
      EXPECT_FALSE(IsDeferredErrorWaiting());
    }
    DisposExpr(copy);
    MEM_FlushExprCaches();
    EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before) << "room " << room;
    ResetDeferredErrors();
    gMathError = 0;
  }
  EXPECT_GT(failures, 10);  // the sweep did reach the failure paths
  DisposExpr(source);
}

TEST_F(NodeMemoryTest, MakersFailWholeWhenTheNodePoolIsEmpty) {
  MEM_FlushExprCaches();
  const int64_t before = gApproximateTotalMemoryUsed.load();
  {
    BudgetRoom budget(0);
    // Blocks still free in existing chunks are used up first; then a
    // maker gives null and frees what it was given.
    std::vector<ExpressionRecord*> made;
    ExpressionRecord* tree = nullptr;
    do {
      tree = Plus(Atomic(120), Neg(Number(1)));
      if (tree) made.push_back(tree);
    } while (tree && made.size() < 100000);
    EXPECT_EQ(tree, nullptr);
    EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
    for (ExpressionRecord* t : made) DisposExpr(t);
  }
  MEM_FlushExprCaches();
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

TEST_F(NodeMemoryTest, EditDataFailureLeavesTheNodeUsable) {
  MEM_FlushExprCaches();
  // Freed nodes wait in the node pool's cache, so that only the edit data
  // can run out below.
  std::vector<ExpressionRecord*> spare;
  for (int i = 0; i < 2000; ++i) spare.push_back(NewPrompt());
  BudgetRoom budget(0);
  for (ExpressionRecord* node : spare) DisposeNode(node);
  std::vector<ExpressionRecord*> atoms;
  ExpressionRecord* atom = nullptr;
  do {
    atom = Atomic(120);
    ASSERT_NE(atom, nullptr);
    atoms.push_back(atom);
  } while (atom->editData && atoms.size() < 2000);
  EXPECT_EQ(atom->editData, nullptr);
  EXPECT_EQ(atom->payload.id, 120);
  EXPECT_EQ(gMathError.load(), 1);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  for (ExpressionRecord* a : atoms) DisposExpr(a);
}

// Trees made, copied, compared and freed on several threads at once in
// the shared pools; a race would corrupt them.
TEST_F(NodeMemoryTest, SharedPoolsServeSeveralThreads) {
  Watchdog watchdog("shared pools");
  auto work = [](unsigned seed, bool* ok) {
    RandomTrees trees(seed, 0.05);
    for (int round = 0; round < 400; ++round) {
      ExpressionRecord* tree = trees.Make(4);
      ExpressionRecord* copy = Copy(tree);
      if (!MATH_Equal(tree, copy) || !RecursiveEqual(tree, copy)) *ok = false;
      DisposExpr(tree);
      DisposExpr(copy);
      if (round % 50 == 0) MEM_FlushExprCaches();
    }
  };
  bool ok[3] = {true, true, true};
  std::thread first(work, 1u, &ok[0]);
  std::thread second(work, 2u, &ok[1]);
  work(3u, &ok[2]);
  first.join();
  second.join();
  EXPECT_TRUE(ok[0] && ok[1] && ok[2]);
}

// The math-pane thread has pools of its own: freeing all of them at once
// leaves the other side's trees alone, and its pools come back on use.
TEST_F(NodeMemoryTest, MathPaneSideIsFreedAsAWhole) {
  ExpressionRecord* mine = Plus(Atomic(120), Number(2));
  ExpressionRecord* expected = Copy(mine);
  int64_t usedBefore = 0, usedWithTrees = 0, usedAfter = 0;
  bool remade = false;
  std::thread mathPane([&] {
    SetThisIsMathPaneResultsThread();
    MEM_CreateEmptyNodes();
    usedBefore = gApproximateTotalMemoryUsed.load();
    for (int i = 0; i < 2000; ++i) Copy(mine);  // never freed one by one
    usedWithTrees = gApproximateTotalMemoryUsed.load();
    MEM_DeallocateAll();
    usedAfter = gApproximateTotalMemoryUsed.load();
    ExpressionRecord* again = Number(1);
    remade = again != nullptr;
    MEM_DeallocateAll();
  });
  mathPane.join();
  EXPECT_GT(usedWithTrees, usedBefore + 2000 * 3 * 48);
  EXPECT_LE(usedAfter, usedBefore);
  EXPECT_TRUE(remade);
  EXPECT_TRUE(MATH_Equal(mine, expected));
  DisposExpr(mine);
  DisposExpr(expected);
}

// Blocks a thread kept for its next trees went with its side's pools when
// they were freed whole: with no room left for a new chunk, the next node is
// refused rather than made in freed memory.
TEST_F(NodeMemoryTest, KeptBlocksGoWithPoolsFreedWhole) {
  bool refused = false;
  std::thread mathPane([&] {
    SetThisIsMathPaneResultsThread();
    DisposExpr(Plus(Atomic(120), Number(2)));
    MEM_DeallocateAll();
    {
      BudgetRoom budget(0);
      refused = NewZeroedNode() == nullptr;
    }
    MEM_DeallocateAll();
  });
  mathPane.join();
  EXPECT_TRUE(refused);
}

TEST_F(NodeMemoryTest, OperandArraysByCount) {
  ExpressionRecord* node = NewExpression(kOpComma, 0);
  EXPECT_EQ(node->operands, nullptr);
  ExpressionRecord* string = StringLeaf(u"text");
  MEM_DisposeOperands(string);  // frees the text
  EXPECT_EQ(string->text, nullptr);
  ExpressionRecord* number = Number(1);
  MEM_DisposeOperands(number);
  EXPECT_EQ(number->payload.number, nullptr);
  MEM_DisposeOperands(number);  // nothing left to free
  for (ExpressionRecord* n : {node, string, number}) DisposeNode(n);
}

// Trees made on some threads and freed on others, in shuffled order while
// the makers go on: every block comes back, and the budget with it.
TEST_F(NodeMemoryTest, TreesFreedOnOtherThreadsAllComeBack) {
  Watchdog watchdog("trees freed on other threads");
  MEM_FlushExprCaches();
  const int64_t before = gApproximateTotalMemoryUsed.load();
  constexpr int kThreads = 3;
  std::vector<ExpressionRecord*> made[kThreads];
  auto make = [&made](int which) {
    RandomTrees trees(unsigned(40 + which), 0.05);
    for (int round = 0; round < 300; ++round) made[which].push_back(trees.Make(4));
  };
  auto dispose = [&made](int which) {
    std::mt19937 random{unsigned(which)};
    std::shuffle(made[which].begin(), made[which].end(), random);
    for (ExpressionRecord* tree : made[which]) DisposExpr(tree);
  };
  std::thread makers[kThreads];
  for (int i = 0; i < kThreads; ++i) makers[i] = std::thread(make, i);
  for (std::thread& maker : makers) maker.join();
  std::thread freers[kThreads];
  for (int i = 0; i < kThreads; ++i) {
    freers[i] = std::thread(dispose, i);
    makers[i] = std::thread([i] {
      RandomTrees trees(unsigned(80 + i), 0.05);
      for (int round = 0; round < 300; ++round) DisposExpr(trees.Make(4));
    });
  }
  for (int i = 0; i < kThreads; ++i) {
    freers[i].join();
    makers[i].join();
  }
  MEM_FlushExprCaches();
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

// Chains of blocks one thread freed serve the next thread's nodes: with no
// room for a new chunk, as many nodes as the first thread freed are made
// again, and every block comes back.
TEST_F(NodeMemoryTest, FreedChainsServeAnotherThreadWithinTheBudget) {
  MEM_FlushExprCaches();
  const int64_t before = gApproximateTotalMemoryUsed.load();
  constexpr int kNodes = 20000;
  std::thread freer([] {
    std::vector<ExpressionRecord*> nodes;
    for (int k = 0; k < kNodes; ++k) nodes.push_back(NewZeroedNode());
    for (ExpressionRecord* node : nodes) DisposeNode(node);
  });
  freer.join();
  int made = 0;
  std::thread maker([&made] {
    std::vector<ExpressionRecord*> nodes;
    {
      BudgetRoom budget(0);
      for (ExpressionRecord* node = nullptr; made < kNodes && (node = NewZeroedNode()) != nullptr; ++made)
        nodes.push_back(node);
    }
    for (ExpressionRecord* node : nodes) DisposeNode(node);
  });
  maker.join();
  EXPECT_EQ(made, kNodes);
  EXPECT_FALSE(IsDeferredErrorWaiting());
  MEM_FlushExprCaches();
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

// A thread's own thread_local state may free a tree after the blocks the
// thread kept went back at its end: those blocks go straight to their pool,
// not into a cache no one will empty.
TEST_F(NodeMemoryTest, TreesFreedAfterAThreadsBlocksWentBackComeBack) {
  MEM_FlushExprCaches();
  const int64_t before = gApproximateTotalMemoryUsed.load();
  std::thread worker([] {
    struct HeldTree {
      ExpressionRecord* tree = nullptr;
      ~HeldTree() { DisposExpr(tree); }
    };
    // Made before the thread's first node, so destroyed after its kept
    // blocks go back.
    thread_local HeldTree held;
    held.tree = WideSum(3000);
  });
  worker.join();
  MEM_FlushExprCaches();
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

}  // namespace
