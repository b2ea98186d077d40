#include "MathLayoutFixture.h"

#include "expression/MathEditorHooks.h"
#include "matheditor/CaretMovement.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"

namespace {

class CaretPlacement : public MathLayoutTest {
 protected:
  // The caret asked for at a place is held at the other.
  void ExpectHeld(ExpressionRecord* node, MathIPType type, const ExpressionRecord* held, MathIPType heldType,
                  int line = __builtin_LINE()) {
    MOVE_SetIP(node, type);
    ExpectCaret(held, heldType, line);
  }
  void ExpectMove(void (*move)(), const ExpressionRecord* node, MathIPType type, int line = __builtin_LINE()) {
    move();
    ExpectCaret(node, type, line);
  }
};

TEST_F(CaretPlacement, EveryPlaceIsHeldOneWay) {
  ExpressionRecord *a = Var("a"), *b = Var("b"), *three = Number(3);
  ExpressionRecord* sum = Node(kOpPlus, {Node(kOpTimes, {a, b}), Node(kOpTimes, {Number(2), three})});
  UseWhole(sum);
  ExpectHeld(b, kIPBeforeNode, a, kIPAfterNode);           // before b in a*b: after a
  ExpectHeld(three, kIPBeforeNode, three, kIPBeforeNode);  // two numbers side by side keep the boundary
  ExpectHeld(sum, kIPAfterNode, three, kIPAfterNode);  // after an infix list: after its last operand, all the way down
  ExpectHeld(sum, kIPBeforeNode, a, kIPBeforeNode);    // before it: before its first operand

  ExpressionRecord *f = Var("f"), *y = Var("y"), *prompt = NewPrompt(), *typing = Var("\\ab");
  ExpressionRecord* application = Node(kOpFunction, {f, Var("x")});
  ExpressionRecord* hat = Node(kOpHat, {y});
  UseWhole(Node(kOpComma, {application, hat, prompt, typing}));
  ExpectHeld(f, kIPBeforeNode, application, kIPBeforeNode);
  ExpectHeld(y, kIPAfterNode, hat, kIPAfterNode);
  ExpectHeld(prompt, kIPAfterNode, prompt, kIPWholeNode);
  ExpectHeld(typing, kIPAfterNode, typing, kIPNameText);  // the long name is still being typed
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
  ExpectMove(EditorGoUpExpr, root, kIPWholeNode);  // the algebra's upward call reaches the same routine
  ExpectMove(MOVE_GoDownRight, root->operands[1], kIPWholeNode);
  ExpectMove(MOVE_DownArrowKey, power, kIPWholeNode);
  ExpectMove(MOVE_DownArrowKey, x, kIPWholeNode);
  ExpectMove(MOVE_DownArrowKey, x, kIPAfterNode);  // a selected leaf: the caret after it
  // After a leaf: after the first ancestor that is not infix or prefix.
  ExpectMove(MOVE_DownArrowKey, power, kIPAfterNode);
  Select(root->operands[1], kIPOperator);  // an operator selected: nothing
  ExpectMove(MOVE_DownArrowKey, root->operands[1], kIPOperator);
  Select(root->operands[1], kIPOperandRange, 1, 1);
  ExpectMove(MOVE_DownArrowKey, root->operands[1]->operands[1], kIPWholeNode);
}

TEST_F(CaretPlacement, NextPromptAndTabWrapToTheFirst) {
  ExpressionRecord *first = NewPrompt(), *second = NewPrompt();
  UseWhole(Node(kOpPlus, {first, Var("a"), second}));
  MOVE_SetIP(first, kIPWholeNode);
  ExpectMove(MOVE_GoToNextPrompt, second, kIPWholeNode);
  ExpectMove(MOVE_GoToNextPrompt, first, kIPWholeNode);
  UseWhole(Var("a"));
  ExpectMove(MOVE_GoToNextPrompt, fRecord->root, kIPWholeNode);  // none: nothing

  ExpressionRecord* x = Var("x");
  ExpressionRecord* group = Node(kOpId, {Node(kOpComma, {x, second = NewPrompt()})});
  UseWhole(Node(kOpPlus, {first = NewPrompt(), Node(kOpMin, {group})}));
  MOVE_SetIP(first, kIPWholeNode);
  ExpectMove(MOVE_CycleForward, second, kIPWholeNode);
  ExpectMove(MOVE_CycleForward, first, kIPWholeNode);
  MOVE_SetIP(x, kIPAfterNode);
  ExpectMove(MOVE_CloseParen, group, kIPAfterNode);  // after the whole min, held as after its argument

  ExpressionRecord *name = Var("\\ab"), *two = Number(2);
  UseWhole(Node(kOpPlus, {name, two}));
  ExpectHeld(name, kIPAfterNode, name, kIPNameText);  // typing the long name
  // No prompt: on to the next operand, not with offsets into a number.
  ExpectMove(MOVE_CycleForward, two, kIPBeforeNode);
}

TEST_F(CaretPlacement, ArrowsStepThroughLettersAndDigits) {
  ExpressionRecord *a = Var("a"), *b = Var("b"), *number = Num(u"123");
  UseWhole(Node(kOpPlus, {Node(kOpTimes, {a, b}), number}));
  MOVE_SetIP(a, kIPAfterNode);
  ExpectMove(MOVE_RightArrowKey, b, kIPAfterNode);  // between two letters: the place before b is the place after a
  ExpectMove(MOVE_RightArrowKey, number, kIPBeforeNode);
  ExpectMove(MOVE_RightArrowKey, number, kIPNumberText);  // enters the number after its first digit
  EXPECT_EQ(fRecord->rangeStart, 1);
  MOVE_RightArrowKey();
  MOVE_RightArrowKey();
  EXPECT_EQ(fRecord->rangeEnd, 3);
  ExpectMove(MOVE_RightArrowKey, number, kIPAfterNode);  // at its end it leaves
  ExpectMove(MOVE_LeftArrowKey, number, kIPNumberText);  // back in, before the last digit
  EXPECT_EQ(fRecord->rangeStart, 2);
  MOVE_SetIP(number, kIPBeforeNode);
  ExpectMove(MOVE_LeftArrowKey, b, kIPAfterNode);
}

TEST_F(CaretPlacement, ShiftArrowsGrowATextRangeByWholeCharactersAndOutsideARunOfTerms) {
  UseWhole(StringLeaf(u"a\xD835\xDC65"
                      u"b"),
           kIPStringText, 1, 1);
  MOVE_ShiftRightArrowKey();  // a surrogate pair is one character
  ExpectRange(1, 3);
  MOVE_ShiftLeftArrowKey();
  ExpectRange(0, 3);
  MOVE_RightArrowKey();  // a range collapses to its right end
  ExpectRange(3, 3);

  // Outside a text the selection grows as a drag from the caret node to
  // where the plain arrow would go.
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
