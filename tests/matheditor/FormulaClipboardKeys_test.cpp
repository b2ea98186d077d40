#include "MathLayoutFixture.h"

#include "expression/ExpressionWriter.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"

#include <string>

namespace {

class ClipboardKeys : public MathLayoutTest {
 protected:
  void TearDown() override {
    ClearMathClipboard();
    MathLayoutTest::TearDown();
  }
};

TEST_F(ClipboardKeys, CutAFactorAndPasteItAfterATerm) {
  ExpressionRecord* a = Var("a");
  EXPECT_EQ(Coded(Node(kOpTimes, {a, Var("b"), Var("c")}), {1}, kIPWholeNode, {kCodeCut}), "a*c");  // no prompt left
  EXPECT_EQ(Written(gMathClipboard), "b");
  MOVE_SetIP(a, kIPAfterNode);
  MATH_FunctionCode(kCodeCopy);  // a caret copies nothing
  EXPECT_EQ(Written(gMathClipboard), "b");
  MATH_FunctionCode(kCodePaste);
  EXPECT_EQ(Formula(), "a*b*c");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  EXPECT_EQ(Coded(Node(kOpEquals, {Var("y"), Var("x")}), {1}, kIPWholeNode, {kCodeCut}), "y=?");  // a side stays
  EXPECT_EQ(Coded(Node(kOpPlus, {Var("x"), Var("y")}), {}, kIPOperator, {kCodeCut}), "x*y");      // as Backspace
}

TEST_F(ClipboardKeys, DigitsPasteIntoANumberWithinTheLimit) {
  UseWhole(Num(u"45"), kIPNumberText, 0, 2);
  MATH_FunctionCode(kCodeCopy);
  ExpressionRecord* number = Num(u"123");
  UseWhole(number, kIPNumberText, 1, 1);
  MATH_FunctionCode(kCodePaste);
  EXPECT_EQ(Digits(number), u"14523");
  EXPECT_EQ(number->payload.number->value, 14523);
  EXPECT_EQ(fRecord->caretType, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 3);
  ExpressionRecord* longer = Num(u"12345678901234567890");  // 20 + 2 fits, 21 + 2 does not
  UseWhole(longer, kIPNumberText, 20, 20);
  MATH_FunctionCode(kCodePaste);
  EXPECT_EQ(Digits(longer), u"1234567890123456789045");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  fRecord->caretType = kIPNumberText;
  fRecord->rangeStart = fRecord->rangeEnd = 0;
  MATH_FunctionCode(kCodePaste);
  EXPECT_EQ(Digits(longer), u"1234567890123456789045");
}

// Copying a lone decimal character would put a NaN number on the
// clipboard; clearing every digit would leave a number without text.
TEST_F(ClipboardKeys, DigitsThatReadAsNoNumber) {
  UseWhole(Num(u"12"), kIPNumberText, 0, 2);
  MATH_FunctionCode(kCodeCopy);
  UseAt(Node(kOpPlus, {Var("a"), Num(u"12.")}), {1}, kIPNumberText, 2, 3);
  MATH_FunctionCode(kCodeCopy);
  EXPECT_EQ(Digits(gMathClipboard), u"12");
  fRecord->rangeStart = 0;
  fRecord->rangeEnd = 2;
  MATH_FunctionCode(kCodeClear);  // "." would be left: the number goes
  EXPECT_EQ(Formula(), "a+?");
  MATH_FunctionCode(kCodePaste);  // and pasting fills its prompt
  EXPECT_EQ(Formula(), "a+12");
}

TEST_F(ClipboardKeys, SubMatrixBlocks) {
  ExpressionRecord* nine = Grid(3, 3);
  UseWhole(nine, kIPMatrixBlock, 4, 8);  // rows 1-2, columns 1-2
  MATH_FunctionCode(kCodeCopy);
  ASSERT_EQ(gMathClipboard->opcode, kOpMatrix);
  EXPECT_EQ(gMathClipboard->payload.shape.rows, 2);
  EXPECT_EQ(gMathClipboard->payload.shape.columns, 2);
  EXPECT_EQ(Written(gMathClipboard->operands[2]), "8");
  ExpressionRecord* six = Grid(2, 3);
  UseWhole(six, kIPMatrixBlock, 0, 4);  // both rows, columns 0-1: they go
  MATH_FunctionCode(kCodeClear);
  EXPECT_EQ(six->payload.shape.rows, 2);
  EXPECT_EQ(six->payload.shape.columns, 1);
  EXPECT_EQ(Written(six->operands[1]), "6");
  ExpressionRecord* four = Grid(2, 2);
  UseWhole(four, kIPMatrixBlock, 0, 0);  // one element: neither whole rows nor columns
  MATH_FunctionCode(kCodeClear);
  EXPECT_EQ(four->operandCount, 4);
  UseWhole(four = Grid(2, 2), kIPMatrixBlock, 0, 3);
  MATH_FunctionCode(kCodeClear);  // the whole matrix: nothing
  EXPECT_EQ(four->operandCount, 4);
}

// As when the atom is selected whole: a term goes.
TEST_F(ClipboardKeys, ClearingAWholeLongNameDeletesTheAtom) {
  ExpressionRecord* name = Var("abc");
  Use(Node(kOpPlus, {name, Var("d")}), name, kIPNameText, 0, 3);
  MATH_FunctionCode(kCodeClear);
  EXPECT_EQ(Formula(), "d");
}

}  // namespace
