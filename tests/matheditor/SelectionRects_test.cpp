#include "tests/matheditor/MathLayoutFixture.h"

#include "expression/SelectionGeometry.h"
#include "matheditor/SelectionRects.h"

namespace {

using SelectionOnLayouts = MathLayoutTest;

TEST_F(SelectionOnLayouts, BoxesComeFromTheLaidOutTree) {
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("velocity"), Var("c")}));  // a at 0, velocity 30, c 130
  gMathGlobalOffset_x = 7;
  gMathGlobalOffset_y = 3;
  Select(sum, kIPOperandRange, 1, 2);
  MRect rect;
  GetSelectionRect(rect);
  EXPECT_EQ(rect.left, 30 + 7);
  EXPECT_EQ(rect.right, 140 + 7);
  EXPECT_EQ(rect.top, 3);
  EXPECT_EQ(rect.bottom, 25 + 3);

  // Offsets inside a long name go through the editor's measures.
  Select(sum->operands[1], kIPNameText, 2, 5);
  FRect box, companion;
  ME_GetIPRect(box, companion);
  EXPECT_FLOAT_EQ(box.left, 30 + 20);
  EXPECT_FLOAT_EQ(box.right, 30 + 50);

  // The operator between two operands; what a copy takes is the whole list.
  Select(sum, kIPOperator);
  fRecord->rangeStart = 0;
  GetSelectionRect(rect);
  EXPECT_EQ(rect.left, 10 + 7);
  EXPECT_EQ(rect.right, 30 + 7);
  GetSelectionRectOfWhatWillBeCopied(rect);
  EXPECT_EQ(rect.right, 140 + 7);
  EXPECT_EQ(fRecord->caretType, kIPOperator);

  GetFullExprRect(rect);
  EXPECT_EQ(rect.right, 140 + 7);
  MRect untouched{1, 2, 3, 4};
  DIM_GetScreenRectOfAtom(GetVariableIDFromString("zz"), untouched);
  EXPECT_EQ(untouched.right, 4);
  DIM_GetScreenRectOfAtom('c', untouched);
  EXPECT_EQ(untouched.left, 130 + 7);
  EXPECT_EQ(fRecord->selected, sum);
  EXPECT_EQ(GetBaselineOfFullExpr(), 5);

  fRecord->caretType = kIPWholeNode;
  fRecord->selected = sum->operands[2];
  EXPECT_TRUE(DIM_PointInSelection(MPoint{10, 146}));
  EXPECT_FALSE(DIM_PointInSelection(MPoint{10, 147}));  // the right edge lies outside
}

}  // namespace
