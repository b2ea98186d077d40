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
  record_->selected = sum->operands[0];
  record_->caretType = kIPWholeNode;
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(record_->selected, sum);
  EXPECT_EQ(record_->caretType, kIPOperandRange);
  EXPECT_EQ(record_->rangeStart, 0);
  EXPECT_EQ(record_->rangeEnd, 1);
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(record_->selected, sum);
  EXPECT_EQ(record_->caretType, kIPWholeNode);

  record_->selected = sum->operands[2];
  record_->caretType = kIPWholeNode;
  MATH_FunctionCode(kShiftLeft);
  EXPECT_EQ(record_->selected, sum);
  EXPECT_EQ(record_->caretType, kIPOperandRange);
  EXPECT_EQ(record_->rangeStart, 1);
  EXPECT_EQ(record_->rangeEnd, 2);
}

TEST_F(ShiftArrows, InsideAStringTheRangeGrowsByACharacter) {
  ExpressionRecord* string = NewExpression(kOpString, 0);
  string->text = new UniChar[4]{u'a', 0xD835, 0xDC65, 0};  // a and one character of two units
  LayOut(string);
  record_->selected = string;
  record_->caretType = kIPStringText;
  record_->rangeStart = record_->rangeEnd = 1;
  MATH_FunctionCode(kShiftRight);
  EXPECT_EQ(record_->rangeStart, 1);
  EXPECT_EQ(record_->rangeEnd, 3);
  MATH_FunctionCode(kShiftLeft);
  EXPECT_EQ(record_->rangeStart, 0);
  EXPECT_EQ(record_->rangeEnd, 3);
}

}  // namespace
