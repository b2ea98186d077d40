#include "MathLayoutFixture.h"

#include "expression/MathEditorHooks.h"
#include "matheditor/CaretMovement.h"
#include "matheditor/CaretPlacement.h"

namespace {

class CaretPlacement : public MathLayoutTest {
 protected:
  void Use(ExpressionRecord* root) {
    DisposExpr(record_->root);
    record_->root = root;
    record_->selected = root;
    record_->caretType = kIPWholeNode;
  }
  void ExpectCaret(const ExpressionRecord* node, MathIPType type) {
    EXPECT_EQ(record_->selected, node);
    EXPECT_EQ(record_->caretType, type);
  }
};

TEST_F(CaretPlacement, EveryPlaceIsHeldOneWay) {
  ExpressionRecord* a = Var("a");
  ExpressionRecord* b = Var("b");
  ExpressionRecord* two = Number(2);
  ExpressionRecord* three = Number(3);
  ExpressionRecord* numbers = Node(kOpTimes, {two, three});
  ExpressionRecord* letters = Node(kOpTimes, {a, b});
  ExpressionRecord* sum = Node(kOpPlus, {letters, numbers});
  Use(sum);
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
  Use(Node(kOpComma, {application, hat, prompt, typing}));
  MOVE_SetIP(f, kIPBeforeNode);
  ExpectCaret(application, kIPBeforeNode);
  MOVE_SetIP(y, kIPAfterNode);
  ExpectCaret(hat, kIPAfterNode);
  MOVE_SetIP(prompt, kIPAfterNode);
  ExpectCaret(prompt, kIPWholeNode);
  MOVE_SetIP(typing, kIPAfterNode);  // the long name is still being typed
  ExpectCaret(typing, kIPNameText);
  EXPECT_EQ(record_->rangeStart, 3);
  EXPECT_EQ(record_->rangeEnd, 3);
}

TEST_F(CaretPlacement, UpAndDownWalkTheTreeAndStopAtItsEnds) {
  ExpressionRecord* x = Var("x");
  ExpressionRecord* power = Node(kOpPower, {x, Number(2)});
  ExpressionRecord* root = Node(kOpEquals, {Var("y"), Node(kOpPlus, {power, Var("z")})});
  Use(root);
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
  record_->selected = root->operands[1];
  record_->caretType = kIPOperator;  // an operator selected: nothing
  MOVE_DownArrowKey();
  ExpectCaret(root->operands[1], kIPOperator);
  record_->caretType = kIPOperandRange;
  record_->rangeStart = 1;
  record_->rangeEnd = 1;
  MOVE_DownArrowKey();
  ExpectCaret(root->operands[1]->operands[1], kIPWholeNode);
}

TEST_F(CaretPlacement, NextPromptWrapsToTheFirst) {
  ExpressionRecord* first = NewPrompt();
  ExpressionRecord* second = NewPrompt();
  ExpressionRecord* root = Node(kOpPlus, {first, Var("a"), second});
  Use(root);
  MOVE_SetIP(first, kIPWholeNode);
  MOVE_GoToNextPrompt();
  ExpectCaret(second, kIPWholeNode);
  MOVE_GoToNextPrompt();
  ExpectCaret(first, kIPWholeNode);
  Use(Var("a"));
  MOVE_GoToNextPrompt();  // none: nothing
  ExpectCaret(record_->root, kIPWholeNode);
}

ExpressionRecord* NumberText(const char16_t* text) {
  ExpressionRecord* number = Number(0);
  int32_t i = 0;
  for (; text[i]; ++i) number->payload.number->text[i] = text[i];
  number->payload.number->text[i] = 0;
  return number;
}

TEST_F(CaretPlacement, ArrowsStepThroughLettersAndDigits) {
  ExpressionRecord* a = Var("a");
  ExpressionRecord* b = Var("b");
  ExpressionRecord* number = NumberText(u"123");
  Use(Node(kOpPlus, {Node(kOpTimes, {a, b}), number}));
  MOVE_SetIP(a, kIPAfterNode);
  MOVE_RightArrowKey();  // between two letters: the place before b is the place after a
  ExpectCaret(b, kIPAfterNode);
  MOVE_RightArrowKey();
  ExpectCaret(number, kIPBeforeNode);
  MOVE_RightArrowKey();  // enters the number after its first digit
  ExpectCaret(number, kIPNumberText);
  EXPECT_EQ(record_->rangeStart, 1);
  MOVE_RightArrowKey();
  MOVE_RightArrowKey();
  EXPECT_EQ(record_->rangeEnd, 3);
  MOVE_RightArrowKey();  // at its end it leaves
  ExpectCaret(number, kIPAfterNode);
  MOVE_LeftArrowKey();  // back in, before the last digit
  ExpectCaret(number, kIPNumberText);
  EXPECT_EQ(record_->rangeStart, 2);
  MOVE_SetIP(number, kIPBeforeNode);
  MOVE_LeftArrowKey();
  ExpectCaret(b, kIPAfterNode);
}

TEST_F(CaretPlacement, TabCyclesPromptsAndCloseParenLeavesTheArgument) {
  ExpressionRecord* first = NewPrompt();
  ExpressionRecord* second = NewPrompt();
  ExpressionRecord* x = Var("x");
  ExpressionRecord* group = Node(kOpId, {Node(kOpComma, {x, second})});
  Use(Node(kOpPlus, {first, Node(kOpMin, {group})}));
  MOVE_SetIP(first, kIPWholeNode);
  MOVE_CycleForward();
  ExpectCaret(second, kIPWholeNode);
  MOVE_CycleForward();  // wraps to the first
  ExpectCaret(first, kIPWholeNode);
  ExpressionRecord* name = Var("\\ab");
  ExpressionRecord* two = Number(2);
  Use(Node(kOpPlus, {name, two}));
  MOVE_SetIP(name, kIPAfterNode);  // typing the long name
  ASSERT_EQ(record_->caretType, kIPNameText);
  MOVE_CycleForward();  // no prompt: on to the next operand, not with offsets into a number
  ExpectCaret(two, kIPBeforeNode);
  Use(Node(kOpPlus, {first = NewPrompt(), Node(kOpMin, {group = Node(kOpId, {Node(kOpComma, {x = Var("x"), NewPrompt()})})})}));
  MOVE_SetIP(x, kIPAfterNode);
  MOVE_CloseParen();  // after the whole min, held as after its argument
  ExpectCaret(group, kIPAfterNode);
}

TEST_F(CaretPlacement, ShiftArrowsGrowATextRangeByWholeCharacters) {
  ExpressionRecord* string = NewExpression(kOpString, 0);
  string->text = new UniChar[5]{u'a', 0xD835, 0xDC65, u'b', 0};
  Use(string);
  record_->caretType = kIPStringText;
  record_->rangeStart = record_->rangeEnd = 1;
  MOVE_ShiftRightArrowKey();  // a surrogate pair is one character
  EXPECT_EQ(record_->rangeStart, 1);
  EXPECT_EQ(record_->rangeEnd, 3);
  MOVE_ShiftLeftArrowKey();
  EXPECT_EQ(record_->rangeStart, 0);
  EXPECT_EQ(record_->rangeEnd, 3);
  MOVE_RightArrowKey();  // a range collapses to its right end
  EXPECT_EQ(record_->rangeStart, 3);
  EXPECT_EQ(record_->rangeEnd, 3);
}

}  // namespace
