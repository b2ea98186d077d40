#include "MathLayoutFixture.h"

#include "matheditor/MathTypesetState.h"

namespace {

constexpr float kAxis = 0.26171875f * 20;  // at the root size

using LayoutGeometry = MathLayoutTest;

TEST_F(LayoutGeometry, LeavesStandOnTheTextBaseline) {
  ExpressionRecord* x = LayOut(Var("x"));
  EXPECT_FLOAT_EQ(E(x).width, 10);
  EXPECT_FLOAT_EQ(E(x).ascent, 20);
  EXPECT_FLOAT_EQ(E(x).descent, 5);
  EXPECT_EQ(E(x).composed, 1);
  EXPECT_EQ(E(x).sizeLevel, 2);
  EXPECT_FLOAT_EQ(E(x).bottom, 25);  // the root's bottom is its height
  EXPECT_EQ(fRecord->baselineOffset, 5);

  EXPECT_FLOAT_EQ(E(LayOut(StringLeaf(u"abc"))).width, 50);  // three letters between two quotes
  EXPECT_FLOAT_EQ(E(LayOut(Var("abc"))).width, 30);
  EXPECT_FLOAT_EQ(E(LayOut(NewPrompt())).width, 10);
}

TEST_F(LayoutGeometry, InfixListsSpaceTheirSigns) {
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
  EXPECT_FLOAT_EQ(E(sum).width, 10 + (10 + 5 + 5) + 10);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, 30);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).bottomOffset, 0);

  // Root equation: half the size either side; nested in a list, a third.
  EXPECT_FLOAT_EQ(E(LayOut(Node(kOpEquals, {Var("a"), Var("b")}))).width, 10 + 10 + 20 + 10);
  ExpressionRecord* list = LayOut(Node(kOpComma, {Node(kOpEquals, {Var("a"), Var("b")}), Var("c")}));
  EXPECT_NEAR(E(list->operands[0]).width, 10 + 10 + 2 * 0.333f * 20 + 10, 1e-4);
  EXPECT_FLOAT_EQ(E(list->operands[1]).leftOffset - E(list->operands[0]).width, 10 + 5);
}

TEST_F(LayoutGeometry, ProductsShowDotsOnlyWhereNeeded) {
  const float gap = 0.077f * 20;
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Number(2), Number(3)}))).width, 10 + gap + 10 + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Number(2), Var("x")}))).width, 10 + gap + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Var("x"), Var("y")}))).width, 10 + gap + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Var("ab"), Var("cd")}))).width, 20 + gap + 10 + 20, 1e-4);
}

TEST_F(LayoutGeometry, NegationTakesThePlaceOfThePlusSign) {
  // Under a plus the minus takes the plus sign's 0.25 s; alone it hugs with 0.15 s.
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), NewUnop(kOpMinus, Var("b"))}));
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, 10 + 20 - (10 + 5));
  EXPECT_FLOAT_EQ(E(sum->operands[1]).width, 5 + 10 + 10);
  EXPECT_FLOAT_EQ(E(sum).width, 15 + 25);
  ExpressionRecord* alone = LayOut(NewUnop(kOpMinus, Var("b")));
  EXPECT_FLOAT_EQ(E(alone->operands[0]).leftOffset, 3 + 10);
  EXPECT_FLOAT_EQ(E(alone).ascent, 20);  // no font minimum: the operand's own
}

TEST_F(LayoutGeometry, NamedFunctionGapsAndAxisShift) {
  ExpressionRecord* bare = LayOut(NewUnop(kOpSin, Var("x")));
  EXPECT_NEAR(E(bare->operands[0]).leftOffset, 0.154f * 20 + 30 + 2, 1e-4);
  ExpressionRecord* grouped = LayOut(NewUnop(kOpSin, NewUnop(kOpId, Var("x"))));
  EXPECT_NEAR(E(grouped->operands[0]).leftOffset, 0.154f * 20 + 30, 1e-4);

  // A 1 x 1 matrix: the cell plus 0.8 s high, plus 1.0 s wide, middle on the axis.
  ExpressionRecord* matrix = Node(kOpMatrix, {Var("x")});
  matrix->payload.shape = {1, 1};
  ExpressionRecord* f = LayOut(NewUnop(kOpSin, matrix));
  const EditData& m = E(f->operands[0]);
  EXPECT_FLOAT_EQ(m.ascent + m.descent, 25 + 16);
  EXPECT_FLOAT_EQ(m.width, 10 + 20);
  EXPECT_EQ(m.composed, 0);
  EXPECT_FLOAT_EQ(E(f).ascent, 20.5f + kAxis);
  EXPECT_FLOAT_EQ(E(f).descent, 20.5f - kAxis);
  EXPECT_FLOAT_EQ(E(matrix->operands[0]).leftOffset, 0.5f * 20 + 1);
}

TEST_F(LayoutGeometry, SubscriptSitsBelowItsBase) {
  ExpressionRecord* indexes = Node(kOpIndexes, {Var("x"), Number(1)});
  indexes->payload.shape = {0, 1};
  LayOut(indexes);
  // Script size 10: height 12.5; drop = min(0.5 * 25 - 0.5, 0.75 * 12.5).
  const float u = 12.5f - 9.375f;
  EXPECT_FLOAT_EQ(E(indexes).width, 10 + 0.038f * 20 + 5);
  EXPECT_FLOAT_EQ(E(indexes).descent, 5 + u);
  EXPECT_FLOAT_EQ(E(indexes).ascent, 20);
  EXPECT_FLOAT_EQ(E(indexes->operands[0]).bottomOffset, -u);
  EXPECT_EQ(E(indexes->operands[1]).sizeLevel, 3);
}

TEST_F(LayoutGeometry, SumWithALowerLimitOnly) {
  fSizes[0] = 40;  // the symbol's size
  ExpressionRecord* sum = LayOut(Node(kOpSum, {Var("k"), Var("k")}));
  // Symbol: descent 4, ascent 36, middle 20; up = axis + 20, dn = 20 - axis.
  const float up = kAxis + 20, dn = 20 - kAxis;
  EXPECT_FLOAT_EQ(E(sum).ascent, 0.05f * 20 + up);
  EXPECT_FLOAT_EQ(E(sum).descent, dn + 12.5f);
  EXPECT_FLOAT_EQ(E(sum).width, 20 + 2 + 10);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, (20 - 5) / 2.0f);
}

TEST_F(LayoutGeometry, SizeLevelsOfScripts) {
  ExpressionRecord* inner = NewBinop(kOpPower, Var("y"), NewBinop(kOpPower, Var("z"), Var("w")));
  ExpressionRecord* root = LayOut(NewBinop(kOpPower, Var("x"), inner));
  EXPECT_EQ(E(root->operands[0]).sizeLevel, 2);
  EXPECT_EQ(E(inner).sizeLevel, 3);
  EXPECT_EQ(E(inner->operands[1]).sizeLevel, 4);
  EXPECT_EQ(E(inner->operands[1]->operands[1]).sizeLevel, 4);
}

// A stand-in power: base and exponent side by side.
void SideBySide(ExpressionRecord* node, int32_t mode, MathGraphicsContext*) {
  if (mode != 0) return;
  float x = 0;
  for (int32_t i = 0; i < node->operandCount; ++i) {
    node->operands[i]->editData->leftOffset = x;
    x += node->operands[i]->editData->width;
  }
  node->editData->width = x;
  node->editData->ascent = 20;
  node->editData->descent = 5;
  node->editData->composed = 1;
}

TEST_F(LayoutGeometry, OverflowingPowerGetsAFullSizeExponentOnTheSecondPass) {
  const TypesetHandler saved = GetTypesetHandler(Typesetter::kTothe);
  SetTypesetHandler(Typesetter::kTothe, SideBySide);
  ExpressionRecord* root = LayOut(NewBinop(kOpPower, Var("x"), Var("y")), 14);
  EXPECT_EQ(E(root->operands[1]).sizeLevel, 2);
  EXPECT_FLOAT_EQ(E(root).width, 20);
  ExpressionRecord* narrow = LayOut(NewBinop(kOpPower, Var("x"), Var("y")), 16);
  EXPECT_EQ(E(narrow->operands[1]).sizeLevel, 3);
  EXPECT_FLOAT_EQ(E(narrow).width, 15);
  SetTypesetHandler(Typesetter::kTothe, saved);
}

TEST_F(LayoutGeometry, CaretCoordinatesFollowTheCaretType) {
  LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
  float x = -1, y1 = -1, y2 = -1;
  fRecord->caretType = kIPWholeNode;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, 20);
  EXPECT_FLOAT_EQ(y1, 25);
  EXPECT_FLOAT_EQ(y2, 0);
  fRecord->caretType = kIPAfterNode;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, 39);
  EXPECT_FLOAT_EQ(y1, 24);
  fRecord->caretType = kIPOperandRange;
  x = -7;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, -7);
}

TEST_F(LayoutGeometry, RecalculateEmptiesTheRootUntilTheNextLayout) {
  ExpressionRecord* root = LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
  ORIGINS_RecalculateAndDraw2();
  EXPECT_EQ(fRecord->layoutValid, 0);
  EXPECT_FLOAT_EQ(E(root).width, 0);
  MATH_Hmm();
  EXPECT_FLOAT_EQ(E(root).width, 40);
}

TEST_F(LayoutGeometry, NumbersThatDoNotReadBackBecomeScientific) {
  ExpressionRecord* root = LayOut(Number(1.5e30));
  ASSERT_EQ(root->opcode, kOpSn);
  EXPECT_DOUBLE_EQ(root->operands[0]->payload.number->value, 1.5);
  EXPECT_DOUBLE_EQ(root->operands[1]->payload.number->value, 30);
}

}  // namespace
