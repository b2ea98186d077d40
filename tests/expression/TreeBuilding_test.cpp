#include "expression/NodeMemory.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"
#include "tests/expression/CountedMemory.h"
#include "tests/expression/TreeTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kX = 120, kY = 121, kT = 116;

ExpressionRecord* X() { return Atomic(kX); }
ExpressionRecord* Y() { return Atomic(kY); }

// Every operand points back at its holder, all the way down.
bool ParentsConsistent(ExpressionRecord* root) {
  std::vector<ExpressionRecord*> nodes;
  PreOrder(root, nodes);
  for (ExpressionRecord* node : nodes)
    for (int i = 0; i < node->operandCount; ++i)
      if (node->operands[i] && node->operands[i]->parent != node) return false;
  return true;
}

void ExpectTree(ExpressionRecord* actual, ExpressionRecord* expected) {
  EXPECT_TRUE(MATH_Equal(actual, expected));
  EXPECT_TRUE(ParentsConsistent(actual));
  DisposExpr(expected);
}

TEST(TreeBuilding, InPlaceMakersKeepTheNodesIdentity) {
  // (x + y) as operand 1 of a product; DO_ rewrites keep it there.
  ExpressionRecord* product = Times(Number(2), Plus(X(), Y()));
  ExpressionRecord* node = product->operands[1];
  node->AllocateEditDataIfNecessary();
  EditData* const edit = node->editData;

  ASSERT_TRUE(DO_PlusOn(node, Number(3)));
  EXPECT_EQ(product->operands[1], node);
  EXPECT_EQ(node->parent, product);
  EXPECT_EQ(node->editData, edit);
  EXPECT_EQ(node->operands[0]->editData, nullptr);
  ExpectTree(node, Plus(Plus(X(), Y()), Number(3)));  // never flattened

  ASSERT_TRUE(DO_MultOn(product, Number(5)));
  ASSERT_TRUE(DO_MultOnLeft(product, Y()));
  ExpressionRecord* expected = Times(Y(), Times(Number(2), Plus(Plus(X(), Y()), Number(3))));
  ASSERT_TRUE(SIMP_ReplaceNthWithAll(expected, 1));
  ASSERT_TRUE(DO_MultOn(expected, Number(5)));
  ExpectTree(product, expected);

  ASSERT_TRUE(DO_SubstOn(node, X(), Number(1)));
  ExpectTree(node, NewBinop(kOpSubstitution, Plus(Plus(X(), Y()), Number(3)), NewBinop(kOpEquals, X(), Number(1))));
  DisposExpr(product);
}

TEST(TreeBuilding, InPlaceMakersLeaveNoNumberBehind) {
  ExpressionRecord* number = Number(4);
  NumberBlock* const block = number->payload.number;
  ASSERT_TRUE(DO_Recipricate(number));
  EXPECT_EQ(number->payload.number, nullptr);
  EXPECT_EQ(number->operands[1]->payload.number, block);
  ExpectTree(number, Div(Number(1), Number(4)));
  ExpressionRecord* other = Number(6);
  ASSERT_TRUE(DO_NegOn(other));
  EXPECT_EQ(other->payload.number, nullptr);
  // Resizing the former number must not free the block it handed on.
  ASSERT_TRUE(SizeNode(other, 0));
  ASSERT_TRUE(SizeNode(other, 0));
  DisposExpr(number);
  DisposeNode(other);  // its operand, the number 6, is freed with its own tree
}

TEST(TreeBuilding, SizeNodeKeepsOperandsAndOwnership) {
  ExpressionRecord* node = NewTrinop(kOpComma, Number(1), Number(2), Number(3));
  ExpressionRecord* first[3] = {node->operands[0], node->operands[1], node->operands[2]};
  ASSERT_TRUE(SizeNode(node, 5));
  EXPECT_EQ(node->operandCount, 5);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(node->operands[i], first[i]);
  EXPECT_EQ(node->operands[3], nullptr);
  ASSERT_TRUE(SizeNode(node, 2));
  DisposExpr(first[2]);
  EXPECT_FALSE(SizeNode(node, -1));
  EXPECT_FALSE(SizeNode(node, 70000));
  ExpectTree(node, NewBinop(kOpComma, Number(1), Number(2)));
  DisposExpr(node);

  ExpressionRecord* number = Number(8);
  NumberBlock* const block = number->payload.number;
  ASSERT_TRUE(SizeNode(number, 0));  // the block stays with its holder
  EXPECT_EQ(number->payload.number, nullptr);
  number->payload.number = block;
  ASSERT_TRUE(SizeNode(number, 2));  // now the block is released
  EXPECT_EQ(number->payload.number, nullptr);
  DisposeNode(number);
}

TEST(TreeBuilding, RemovingOperands) {
  ExpressionRecord* sum = Plus(X(), Y());
  ExpressionRecord* x = sum->operands[0];
  ASSERT_TRUE(MATH_RemoveOperand(sum, 0));
  EXPECT_EQ(sum->opcode, kOpAtom);  // collapsed into y, in place
  EXPECT_EQ(sum->payload.id, kY);
  DisposExpr(x);
  DisposExpr(sum);

  ExpressionRecord* three = NewTrinop(kOpPlus, X(), Y(), Number(1));
  ASSERT_TRUE(MATH_DeleteOperand(three, 0));
  ExpectTree(three, Plus(Y(), Number(1)));
  ASSERT_TRUE(MATH_DeleteNOpOperand(three, 0));
  EXPECT_EQ(three->opcode, kOpPlus);
  EXPECT_EQ(three->operandCount, 1);
  EXPECT_FALSE(MATH_DeleteOperand(three, 1));
  DisposExpr(three);

  ExpressionRecord* wrapped = NewTrinop(kOpId, X(), Y(), Number(1));
  ASSERT_TRUE(ReplaceWithFirstOperand(wrapped));  // the others are freed, not lost
  ExpectTree(wrapped, X());
  EXPECT_FALSE(ReplaceWithFirstOperand(wrapped));
  DisposExpr(wrapped);
}

TEST(TreeBuilding, TransfersReplaceContentsInPlace) {
  ExpressionRecord* tree = Times(Number(2), Sqrt(Plus(X(), Y())));
  ExpressionRecord* target = tree->operands[1];
  ASSERT_TRUE(DeleteOperandsTransferAndDispose(Tothe(Y(), Number(3)), target));
  EXPECT_EQ(tree->operands[1], target);
  ExpectTree(tree, Times(Number(2), Tothe(Y(), Number(3))));
  // A replacement taken from under the target would be freed with it.
  EXPECT_FALSE(DeleteOperandsTransferAndDispose(target->operands[0], target));
  DisposExpr(tree);
}

// A tree the caller held is freed when the transfer is refused: counted
// memory comes back.
TEST(TreeBuilding, ARefusedHeldTreeIsFreed) {
  ExpressionRecord* tree = Times(Number(2), X());
  const int64_t before = CountedMemory();
  EXPECT_FALSE(DeleteOperandsTransferAndDispose(Tree(Plus(X(), Y())), nullptr));
  EXPECT_EQ(CountedMemory(), before);
  ASSERT_TRUE(DeleteOperandsTransferAndDispose(Tree(Tothe(Y(), Number(3))), tree->operands[1]));
  ExpectTree(tree, Times(Number(2), Tothe(Y(), Number(3))));
  DisposExpr(tree);
}

TEST(TreeBuilding, SplicingStopsAtTenThousandOperands) {
  for (int32_t outerCount : {9998, 9999}) {
    ExpressionRecord* outer = NewExpression(kOpTimes, outerCount);
    for (int32_t i = 0; i < outerCount; ++i) {
      outer->operands[i] = Number(i);
      outer->operands[i]->parent = outer;
    }
    DisposExpr(outer->operands[5]);
    outer->operands[5] = NewTrinop(kOpTimes, X(), Y(), Number(-1));
    outer->operands[5]->parent = outer;
    const bool spliced = SIMP_ReplaceNthWithAll(outer, 5);
    EXPECT_EQ(spliced, outerCount == 9998);
    EXPECT_EQ(outer->operandCount, spliced ? 10000 : outerCount);
    if (spliced) {
      EXPECT_EQ(outer->operands[6]->payload.id, kY);
      EXPECT_EQ(outer->operands[8]->payload.number->value, 6.0);
      EXPECT_TRUE(ParentsConsistent(outer));
    }
    DisposExpr(outer);
  }
}

TEST(TreeRewriting, IdentitiesPrimesAndAtoms) {
  ExpressionRecord* tree = NewUnop(kOpId, NewUnop(kOpId, Plus(NewUnop(kOpId, X()), NewUnop(kOpId, Y()))));
  MATH_RemoveIdentities(tree);
  ExpectTree(tree, Plus(X(), Y()));
  DisposExpr(tree);

  // x' is the atom 10, (x')' is x again; the prime of an application stays.
  ExpressionRecord* primes =
      NewTrinop(kOpComma, NewUnop(kOpPrime, X()), NewUnop(kOpPrime, NewUnop(kOpPrime, Atomic(3))),
                NewUnop(kOpPrime, NewBinop(kOpFunction, Atomic(102), X())));
  RewritePrimedCoordinates(primes);
  ExpectTree(primes,
             NewTrinop(kOpComma, Atomic(10), Atomic(3), NewUnop(kOpPrime, NewBinop(kOpFunction, Atomic(102), X()))));
  DisposExpr(primes);

  ExpressionRecord* subscripted = Plus(Sub(X(), X()), X());
  EXPECT_TRUE(DIM_Contains(subscripted, kX));
  ReplaceAtoms(subscripted, kX, kT);
  ExpectTree(subscripted, Plus(Sub(X(), Atomic(kT)), Atomic(kT)));
  ReplaceAtoms(subscripted, kX, kT);
  EXPECT_TRUE(DIM_Contains(subscripted, kX));  // only the base name is left
  EXPECT_FALSE(DIM_Contains(subscripted, kY));
  DisposExpr(subscripted);
}

TEST(TreeBuilding, DamagedTreesAreRefusedOrWalkedAround) {
  // A fraction of three operands, one slot empty, and a sine of none.
  ExpressionRecord* damaged = NewExpression(kOpOver, 3);
  damaged->operands[0] = NewExpression(kOpSin, 0);
  damaged->operands[2] = NewUnop(kOpId, NewExpression(kOpPrime, 0));
  for (int i = 0; i < 3; ++i)
    if (damaged->operands[i]) damaged->operands[i]->parent = damaged;
  ExpressionRecord* copy = Copy(damaged);
  EXPECT_TRUE(MATH_Equal(copy, damaged));
  EXPECT_EQ(MATH_NodeCount(copy), 4);
  MATH_RemoveIdentities(copy);
  RewritePrimedCoordinates(copy);
  EXPECT_FALSE(MATH_RemoveOperand(copy, 3));
  EXPECT_FALSE(SIMP_ReplaceNthWithAll(copy, 0));  // the sine has nothing to splice
  EXPECT_FALSE(SIMP_ReplaceNthWithAll(copy, 1));  // empty slot
  EXPECT_FALSE(ReplaceWithFirstOperand(copy->operands[0]));
  EXPECT_FALSE(DO_PlusOn(copy, nullptr));
  EXPECT_FALSE(DO_BinOpOn(copy, X(), 2, kOpPlus));  // no such side; x is freed
  EXPECT_FALSE(DO_NegOn(nullptr));
  EXPECT_EQ(NewExpression(kOpPlus, -1), nullptr);
  MATH_ShiftUpOps(copy, 3);                 // would write past the array: ignored
  EXPECT_FALSE(MATH_Equal(copy, damaged));  // the wrapper went
  DisposExpr(copy);
  DisposExpr(damaged);
  DisposExpr(nullptr);
  EXPECT_EQ(Copy(nullptr), nullptr);
}

}  // namespace
