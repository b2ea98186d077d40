#include "MathLayoutFixture.h"

#include "matheditor/CommandDispatch.h"

namespace {

using ShiftArrows = MathLayoutTest;

constexpr int32_t kShiftRight = 0x160C;
constexpr int32_t kShiftLeft = 0x160D;

// Outside a text the selection grows as a drag from the caret node to
// where the plain arrow would go.
TEST_F(ShiftArrows, GrowARunOfTermsThenTheWholeSum) {
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c")}));
  fRecord->selected = sum->operands[0];
  fRecord->caretType = kIPWholeNode;
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(fRecord->selected, sum);
  EXPECT_EQ(fRecord->caretType, kIPOperandRange);
  EXPECT_EQ(fRecord->rangeStart, 0);
  EXPECT_EQ(fRecord->rangeEnd, 1);
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(fRecord->selected, sum);
  EXPECT_EQ(fRecord->caretType, kIPWholeNode);

  fRecord->selected = sum->operands[2];
  fRecord->caretType = kIPWholeNode;
  MATH_FunctionCode(kShiftLeft);
  EXPECT_EQ(fRecord->selected, sum);
  EXPECT_EQ(fRecord->caretType, kIPOperandRange);
  EXPECT_EQ(fRecord->rangeStart, 1);
  EXPECT_EQ(fRecord->rangeEnd, 2);
}

TEST_F(ShiftArrows, InsideAStringTheRangeGrowsByACharacter) {
  ExpressionRecord* string = NewExpression(kOpString, 0);
  string->text = new UniChar[4]{u'a', 0xD835, 0xDC65, 0};  // a and one character of two units
  LayOut(string);
  fRecord->selected = string;
  fRecord->caretType = kIPStringText;
  fRecord->rangeStart = fRecord->rangeEnd = 1;
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(fRecord->rangeStart, 1);
  EXPECT_EQ(fRecord->rangeEnd, 3);
  MATH_FunctionCode(kShiftLeft);
  EXPECT_EQ(fRecord->rangeStart, 0);
  EXPECT_EQ(fRecord->rangeEnd, 3);
}

}  // namespace
