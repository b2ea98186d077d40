#include "MathLayoutFixture.h"

#include "expression/MathEditorHooks.h"
#include "matheditor/CaretMovement.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"

namespace {

using CaretPlacement = MathLayoutTest;

TEST_F(CaretPlacement, EveryPlaceIsHeldOneWay) {
  ExpressionRecord* a = Var("a");
  ExpressionRecord* b = Var("b");
  ExpressionRecord* two = Number(2);
  ExpressionRecord* three = Number(3);
  ExpressionRecord* numbers = Node(kOpTimes, {two, three});
  ExpressionRecord* letters = Node(kOpTimes, {a, b});
  ExpressionRecord* sum = Node(kOpPlus, {letters, numbers});
  UseWhole(sum);
  MOVE_SetIP(b, kIPBeforeNode);  // before b in a*b: after a
  ExpectCaret(a, kIPAfterNode);
  MOVE_SetIP(three, kIPBeforeNode);  // two numbers side by side keep the boundary
  ExpectCaret(three, kIPBeforeNode);
  MOVE_SetIP(sum, kIPAfterNode);  // after an infix list: after its last operand, all the way down
  ExpectCaret(three, kIPAfterNode);
  MOVE_SetIP(sum, kIPBeforeNode);  // before it: before its first operand
  ExpectCaret(a, kIPBeforeNode);
}

TEST_F(CaretPlacement, ApplicationsHatsPromptsAndLongNames) {
  ExpressionRecord* f = Var("f");
  ExpressionRecord* x = Var("x");
  ExpressionRecord* application = Node(kOpFunction, {f, x});
  ExpressionRecord* y = Var("y");
  ExpressionRecord* hat = Node(kOpHat, {y});
  ExpressionRecord* prompt = NewPrompt();
  ExpressionRecord* typing = Var("\\ab");
  UseWhole(Node(kOpComma, {application, hat, prompt, typing}));
  MOVE_SetIP(f, kIPBeforeNode);
  ExpectCaret(application, kIPBeforeNode);
  MOVE_SetIP(y, kIPAfterNode);
  ExpectCaret(hat, kIPAfterNode);
  MOVE_SetIP(prompt, kIPAfterNode);
  ExpectCaret(prompt, kIPWholeNode);
  MOVE_SetIP(typing, kIPAfterNode);  // the long name is still being typed
  ExpectCaret(typing, kIPNameText);
  ExpectRange(3, 3);
}

TEST_F(CaretPlacement, UpAndDownWalkTheTreeAndStopAtItsEnds) {
  ExpressionRecord* x = Var("x");
  ExpressionRecord* power = Node(kOpPower, {x, Number(2)});
  ExpressionRecord* root = Node(kOpEquals, {Var("y"), Node(kOpPlus, {power, Var("z")})});
  UseWhole(root);
  MOVE_SetIP(x, kIPWholeNode);
  for (int i = 0; i < 4; ++i) MOVE_GoUpExpr();  // three levels, then the root stays
  ExpectCaret(root, kIPWholeNode);
  EditorGoUpExpr();  // the algebra's upward call reaches the same routine
  ExpectCaret(root, kIPWholeNode);
  MOVE_GoDownRight();
  ExpectCaret(root->operands[1], kIPWholeNode);
  MOVE_DownArrowKey();
  ExpectCaret(power, kIPWholeNode);
  MOVE_DownArrowKey();
  ExpectCaret(x, kIPWholeNode);
  MOVE_DownArrowKey();  // a selected leaf: the caret after it
  ExpectCaret(x, kIPAfterNode);
  MOVE_DownArrowKey();  // after a leaf: after the first ancestor that is not infix or prefix
  ExpectCaret(power, kIPAfterNode);
  Select(root->operands[1], kIPOperator);  // an operator selected: nothing
  MOVE_DownArrowKey();
  ExpectCaret(root->operands[1], kIPOperator);
  Select(root->operands[1], kIPOperandRange, 1, 1);
  MOVE_DownArrowKey();
  ExpectCaret(root->operands[1]->operands[1], kIPWholeNode);
}

TEST_F(CaretPlacement, NextPromptWrapsToTheFirst) {
  ExpressionRecord* first = NewPrompt();
  ExpressionRecord* second = NewPrompt();
  ExpressionRecord* root = Node(kOpPlus, {first, Var("a"), second});
  UseWhole(root);
  MOVE_SetIP(first, kIPWholeNode);
  MOVE_GoToNextPrompt();
  ExpectCaret(second, kIPWholeNode);
  MOVE_GoToNextPrompt();
  ExpectCaret(first, kIPWholeNode);
  UseWhole(Var("a"));
  MOVE_GoToNextPrompt();  // none: nothing
  ExpectCaret(fRecord->root, kIPWholeNode);
}

TEST_F(CaretPlacement, ArrowsStepThroughLettersAndDigits) {
  ExpressionRecord* a = Var("a");
  ExpressionRecord* b = Var("b");
  ExpressionRecord* number = Num(u"123");
  UseWhole(Node(kOpPlus, {Node(kOpTimes, {a, b}), number}));
  MOVE_SetIP(a, kIPAfterNode);
  MOVE_RightArrowKey();  // between two letters: the place before b is the place after a
  ExpectCaret(b, kIPAfterNode);
  MOVE_RightArrowKey();
  ExpectCaret(number, kIPBeforeNode);
  MOVE_RightArrowKey();  // enters the number after its first digit
  ExpectCaret(number, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 1);
  MOVE_RightArrowKey();
  MOVE_RightArrowKey();
  EXPECT_EQ(fRecord->rangeEnd, 3);
  MOVE_RightArrowKey();  // at its end it leaves
  ExpectCaret(number, kIPAfterNode);
  MOVE_LeftArrowKey();  // back in, before the last digit
  ExpectCaret(number, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 2);
  MOVE_SetIP(number, kIPBeforeNode);
  MOVE_LeftArrowKey();
  ExpectCaret(b, kIPAfterNode);
}

TEST_F(CaretPlacement, TabCyclesPromptsAndCloseParenLeavesTheArgument) {
  ExpressionRecord* first = NewPrompt();
  ExpressionRecord* second = NewPrompt();
  ExpressionRecord* x = Var("x");
  ExpressionRecord* group = Node(kOpId, {Node(kOpComma, {x, second})});
  UseWhole(Node(kOpPlus, {first, Node(kOpMin, {group})}));
  MOVE_SetIP(first, kIPWholeNode);
  MOVE_CycleForward();
  ExpectCaret(second, kIPWholeNode);
  MOVE_CycleForward();  // wraps to the first
  ExpectCaret(first, kIPWholeNode);
  ExpressionRecord* name = Var("\\ab");
  ExpressionRecord* two = Number(2);
  UseWhole(Node(kOpPlus, {name, two}));
  MOVE_SetIP(name, kIPAfterNode);  // typing the long name
  ASSERT_EQ(fRecord->caretType, kIPNameText);
  MOVE_CycleForward();  // no prompt: on to the next operand, not with offsets into a number
  ExpectCaret(two, kIPBeforeNode);
  UseWhole(Node(kOpPlus, {first = NewPrompt(), Node(kOpMin, {group = Node(kOpId, {Node(kOpComma, {x = Var("x"), NewPrompt()})})})}));
  MOVE_SetIP(x, kIPAfterNode);
  MOVE_CloseParen();  // after the whole min, held as after its argument
  ExpectCaret(group, kIPAfterNode);
}

TEST_F(CaretPlacement, ShiftArrowsGrowATextRangeByWholeCharacters) {
  UseWhole(StringLeaf(u"a\xD835\xDC65" u"b"), kIPStringText, 1, 1);
  MOVE_ShiftRightArrowKey();  // a surrogate pair is one character
  ExpectRange(1, 3);
  MOVE_ShiftLeftArrowKey();
  ExpectRange(0, 3);
  MOVE_RightArrowKey();  // a range collapses to its right end
  ExpectRange(3, 3);
}

// Outside a text the selection grows as a drag from the caret node to
// where the plain arrow would go.
TEST_F(CaretPlacement, ShiftArrowsGrowARunOfTermsThenTheWholeSum) {
  constexpr int32_t kShiftRight = 0x160C, kShiftLeft = 0x160D;
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
