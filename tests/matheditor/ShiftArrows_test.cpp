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
  Select(sum->operands[0], kIPWholeNode);
  MATH_FunctionCode(kShiftRight);
  ExpectCaret(sum, kIPOperandRange);
  ExpectRange(0, 1);
  MATH_FunctionCode(kShiftRight);
  ExpectCaret(sum, kIPWholeNode);

  Select(sum->operands[2], kIPWholeNode);
  MATH_FunctionCode(kShiftLeft);
  ExpectCaret(sum, kIPOperandRange);
  ExpectRange(1, 2);
}

}  // namespace
