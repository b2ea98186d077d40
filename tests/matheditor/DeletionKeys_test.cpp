#include "MathLayoutFixture.h"

#include "matheditor/CommandDispatch.h"

#include <string>

namespace {

using DeletionKeys = SnapshotCountingTest;

TEST_F(DeletionKeys, BackspaceAfterNumbersAndOnPrompts) {
  EXPECT_EQ(Coded(Node(kOpPlus, {Var("a"), Num(u"123")}), {1}, kIPAfterNode, {kCodeBackspace}), "a+12");
  MATH_FunctionCode(kCodeBackspace);
  MATH_FunctionCode(kCodeBackspace);  // after "1" the number goes, leaving a prompt
  EXPECT_EQ(Formula(), "a+?");
  EXPECT_EQ(gSnapshots, 1);           // three backspaces: one undo step
  MATH_FunctionCode(kCodeBackspace);  // the prompt takes its place with it
  EXPECT_EQ(Formula(), "a");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  MATH_FunctionCode(0x1604);  // a move between backspaces starts a new step
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(gSnapshots, 2);
  EXPECT_EQ(Coded(NewPrompt(), {}, kIPWholeNode, {kCodeBackspace}), "?");  // the only prompt stays
  EXPECT_EQ(Coded(Num(u".5"), {}, kIPAfterNode, {kCodeBackspace}), "?");   // "." alone would read as no number
}

TEST_F(DeletionKeys, BackspaceBeforeJoinsNumbersAndDropsPrefixes) {
  EXPECT_EQ(Coded(Node(kOpTimes, {Num(u"12"), Num(u"34")}), {1}, kIPBeforeNode, {kCodeBackspace}), "1234");
  EXPECT_EQ(fRecord->caretType, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 2);
  // 11 + 13 characters: too long to join.
  Coded(Node(kOpTimes, {Num(u"12345678901"), Num(u"1234567890123")}), {1}, kIPBeforeNode, {kCodeBackspace});
  EXPECT_EQ(fRecord->root->operandCount, 2);
  // sin goes, its argument stays.
  EXPECT_EQ(Coded(Node(kOpPlus, {Node(kOpSin, {Var("x")}), Var("y")}), {0, 0}, kIPBeforeNode, {kCodeBackspace}), "x+y");
  EXPECT_EQ(fRecord->caretType, kIPBeforeNode);
  // Every digit of a factor selected: the factor goes, as when selected whole.
  UseAt(Node(kOpTimes, {Num(u"25"), Var("x")}), {0}, kIPNumberText, 0, 2);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Formula(), "x");
  // A selected relation sign stays.
  EXPECT_EQ(Coded(Node(kOpLess, {Var("y"), Var("x")}), {}, kIPOperator, {kCodeBackspace, kCodeForwardDelete}), "y<x");
}

TEST_F(DeletionKeys, PromptsLeaveRowsAndFunctions) {
  ExpressionRecord* row = Matrix(1, 3, {Var("a"), NewPrompt(), Var("c")});
  Coded(row, {1}, kIPWholeNode, {kCodeBackspace});
  EXPECT_EQ(row->operandCount, 2);
  EXPECT_EQ(row->payload.shape.columns, 2);
  EXPECT_EQ(fRecord->selected, row->operands[0]);
  ExpressionRecord* square = Matrix(2, 2, {NewPrompt(), Var("b"), Var("c"), Var("d")});
  Coded(square, {0}, kIPWholeNode, {kCodeBackspace});  // a 2 by 2 matrix cannot lose one element
  EXPECT_EQ(square->operandCount, 4);
}

TEST_F(DeletionKeys, StringsAndLongNames) {
  ExpressionRecord* string = StringLeaf(u"a\xD835\xDC65");
  Use(Node(kOpTimes, {Var("x"), string}), string, kIPAfterNode);
  MATH_FunctionCode(kCodeForwardDelete);  // after a node: nothing
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  MATH_FunctionCode(kCodeBackspace);  // enters the string at its end
  EXPECT_EQ(fRecord->caretType, kIPStringText);
  EXPECT_EQ(fRecord->rangeStart, 3);
  MATH_FunctionCode(kCodeForwardDelete);  // at its end: nothing
  MATH_FunctionCode(kCodeBackspace);      // the surrogate pair goes whole
  EXPECT_EQ(fRecord->rangeStart, 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(string->text)), u"a");
  MATH_FunctionCode(kCodeBackspace);
  MATH_FunctionCode(kCodeBackspace);  // the empty string is deleted, and its place
  EXPECT_EQ(Formula(), "x");
}

}  // namespace
