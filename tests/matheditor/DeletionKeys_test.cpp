#include "MathLayoutFixture.h"

#include "matheditor/CommandDispatch.h"

#include <string>

namespace {

using DeletionKeys = SnapshotCountingTest;

TEST_F(DeletionKeys, BackspaceAfterNumbersAndOnPrompts) {
  ExpressionRecord* number = Num(u"123");
  Use(Node(kOpPlus, {Var("a"), number}), number, kIPAfterNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Formula(), "a+12");
  MATH_FunctionCode(kCodeBackspace);
  MATH_FunctionCode(kCodeBackspace);  // after "1" the number goes, leaving a prompt
  EXPECT_EQ(Formula(), "a+?");
  EXPECT_EQ(gSnapshots, 1);  // three backspaces: one undo step
  MATH_FunctionCode(kCodeBackspace);  // the prompt takes its place with it
  EXPECT_EQ(Formula(), "a");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  MATH_FunctionCode(0x1604);  // a move between backspaces starts a new step
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(gSnapshots, 2);
  UseWhole(NewPrompt());
  MATH_FunctionCode(kCodeBackspace);  // the only prompt stays
  EXPECT_EQ(Formula(), "?");
  ExpressionRecord* half = Num(u".5");
  Use(half, half, kIPAfterNode);
  MATH_FunctionCode(kCodeBackspace);  // "." alone would read as no number
  EXPECT_EQ(Formula(), "?");
}

TEST_F(DeletionKeys, BackspaceBeforeJoinsNumbersAndDropsPrefixes) {
  ExpressionRecord* second = Num(u"34");
  Use(Node(kOpTimes, {Num(u"12"), second}), second, kIPBeforeNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Formula(), "1234");
  EXPECT_EQ(fRecord->caretType, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 2);
  ExpressionRecord* tail = Num(u"1234567890123");  // 11 + 13 characters: too long to join
  Use(Node(kOpTimes, {Num(u"12345678901"), tail}), tail, kIPBeforeNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(fRecord->root->operandCount, 2);
  ExpressionRecord* x = Var("x");
  Use(Node(kOpPlus, {Node(kOpSin, {x}), Var("y")}), x, kIPBeforeNode);
  MATH_FunctionCode(kCodeBackspace);  // sin goes, its argument stays
  EXPECT_EQ(Formula(), "x+y");
  EXPECT_EQ(fRecord->caretType, kIPBeforeNode);
}

TEST_F(DeletionKeys, PromptsLeaveRowsAndFunctions) {
  ExpressionRecord* prompt = NewPrompt();
  ExpressionRecord* row = Matrix(1, 3, {Var("a"), prompt, Var("c")});
  Use(row, prompt, kIPWholeNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(row->operandCount, 2);
  EXPECT_EQ(row->payload.shape.columns, 2);
  EXPECT_EQ(fRecord->selected, row->operands[0]);
  ExpressionRecord* corner = NewPrompt();
  ExpressionRecord* square = Matrix(2, 2, {corner, Var("b"), Var("c"), Var("d")});
  Use(square, corner, kIPWholeNode);
  MATH_FunctionCode(kCodeBackspace);  // a 2 by 2 matrix cannot lose one element
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
  MATH_FunctionCode(kCodeBackspace);  // the surrogate pair goes whole
  EXPECT_EQ(fRecord->rangeStart, 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(string->text)), u"a");
  MATH_FunctionCode(kCodeBackspace);
  MATH_FunctionCode(kCodeBackspace);  // the empty string is deleted, and its place
  EXPECT_EQ(Formula(), "x");
}

}  // namespace
