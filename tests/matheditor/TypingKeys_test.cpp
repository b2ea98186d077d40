#include "MathLayoutFixture.h"

#include "CoreUtilities/MemoryBudget.h"
#include "expression/ExpressionWriter.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/EditorDocumentHooks.h"
#include "matheditor/OperandInsertion.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

class TypingKeys : public SnapshotCountingTest {
 protected:
  static void Keys(const char* keys) {
    for (; *keys; ++keys) MATH_FunctionCode(static_cast<unsigned char>(*keys));
  }
  // The formula after typing into a fresh prompt.
  std::string Typed(const char* keys) {
    UseWhole(NewPrompt());
    Keys(keys);
    return Formula();
  }
};

TEST_F(TypingKeys, LettersJoinIntoFunctionsAndSymbols) {
  Keys("sin");
  EXPECT_EQ(Formula(), "sin(?)");
  EXPECT_EQ(Selected(), "?");
  EXPECT_EQ(fRecord->caretType, kIPWholeNode);
  Keys("x");
  EXPECT_EQ(Formula(), "sin(x)");

  EXPECT_EQ(Typed("asin"), "asin(?)");  // the longer inverse name wins over sin

  EXPECT_EQ(Typed("2pi"), "2*pi");
  EXPECT_EQ(fRecord->root->operands[1]->payload.id, 1);
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);

  EXPECT_EQ(Typed("sinh"), "sinh(?)");  // h typed into sin's argument
  EXPECT_EQ(Selected(), "?");
}

TEST_F(TypingKeys, HBeforeACircularArgumentMakesItHyperbolic) {
  ExpressionRecord* x = Var("x");
  Use(Node(kOpCos, {Node(kOpPower, {x, Number(2)})}), x, kIPBeforeNode);
  Keys("h");
  EXPECT_EQ(Formula(), "cosh(x^2)");
  ExpectCaret(x->parent, kIPBeforeNode);
}

TEST_F(TypingKeys, DigitsAndTheDecimalKey) {
  EXPECT_EQ(Typed("x12"), "x*12");
  Keys("..");  // a second decimal changes nothing
  EXPECT_EQ(Digits(fRecord->root->operands[1]), u"12.");
  UseWhole(NewPrompt());
  Keys(".");
  EXPECT_EQ(Digits(fRecord->root), u"0.");
  ExpressionRecord* big = Num(u"123456789012345678");  // 18 characters: full from outside
  Use(big, big, kIPAfterNode);
  Keys("9");
  fRecord->caretType = kIPBeforeNode;
  Keys("9");
  EXPECT_EQ(Digits(big), u"123456789012345678");
  ExpressionRecord* infinite = Num(u"1e999");
  Use(infinite, infinite, kIPAfterNode);
  Keys(".");
  EXPECT_EQ(Digits(infinite), u"1e999");  // the text reads as infinity: no decimal
  ExpressionRecord* front = Num(u"5");
  Use(front, front, kIPBeforeNode);
  Keys("3");
  EXPECT_EQ(Formula(), "35");
  EXPECT_EQ(fRecord->caretType, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 1);
}

TEST_F(TypingKeys, ALetterInsideANumberSplitsIt) {
  ExpressionRecord* number = Num(u"1234");
  Use(number, number, kIPNumberText, 2, 2);
  Keys("x");
  EXPECT_EQ(Formula(), "12*x*34");
  ExpressionRecord* edge = Num(u"12");
  Use(edge, edge, kIPNumberText, 0, 0);  // at the front: no empty number is made
  Keys("y");
  EXPECT_EQ(Formula(), "y*12");
  ExpressionRecord* dotted = Num(u"2.");
  Use(dotted, dotted, kIPNumberText, 1, 1);  // "." alone would read as no number
  Keys("z");
  EXPECT_EQ(Formula(), "2*z");
  EXPECT_EQ(Digits(dotted), u"2.");
}

// Clearing every digit must not leave a number without text (read as NaN,
// shown as "NaN"): the number gives way to a prompt the digit fills.
TEST_F(TypingKeys, TypingOverAWholeNumberLeavesNoEmptyNumber) {
  ExpressionRecord* number = Num(u"12");
  ExpressionRecord* sum = Node(kOpPlus, {Var("a"), number});
  Use(sum, number, kIPNumberText, 0, 2);
  Keys("7");
  EXPECT_EQ(Formula(), "a+7");
  ExpressionRecord* dotted = Num(u"12.");
  Use(dotted, dotted, kIPNumberText, 2, 0);
  Keys("5");
  EXPECT_EQ(Formula(), "5");
}

TEST_F(TypingKeys, LongNamesAfterABackslash) {
  ExpressionRecord* two = Num(u"2");
  Use(two, two, kIPAfterNode);
  Keys("\\");
  EXPECT_EQ(fRecord->caretType, kIPNameText);
  EXPECT_EQ(fRecord->rangeStart, 1);
  Keys("ab");
  EXPECT_EQ(fRecord->rangeStart, 3);
  Keys("\\");
  EXPECT_EQ(Formula(), "2*'ab'");
  EXPECT_EQ(fRecord->caretType, kIPWholeNode);
  EXPECT_EQ(Typed("\\\\"), "?");  // a lone backslash ended gives the prompt back
  EXPECT_EQ(fRecord->caretType, kIPWholeNode);
}

TEST_F(TypingKeys, StringsTakeCharactersAndTheQuoteLeaves) {
  ExpressionRecord* string = StringLeaf(u"ab");
  Use(Node(kOpTimes, {Var("x"), string}), string, kIPStringText, 1, 1);
  MATH_UnicodeInput(0x1D465);  // a surrogate pair: two units
  EXPECT_EQ(fRecord->rangeStart, 3);
  Keys("=");
  EXPECT_EQ(fRecord->rangeStart, 4);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(string->text)), u"a\U0001D465=b");
  MATH_FunctionCode(kOpString);
  ExpectCaret(string, kIPAfterNode);
}

// Operand counts are 16-bit: growing a list past the limit would wrap it.
TEST_F(TypingKeys, ListsStopGrowingAtTheOperandLimit) {
  ExpressionRecord* sum = Filled(kOpPlus, kMostEditedOperands, [](int32_t) { return Number(1); });
  ExpressionRecord* last = sum->operands[kMostEditedOperands - 1];
  Use(sum, last, kIPWholeNode);
  EXPECT_EQ(KEY_NOpAfterExpr(kOpPlus), nullptr);
  EXPECT_EQ(KEY_NOpBeforeExpr(kOpPlus), nullptr);
  EXPECT_EQ(KEY_AppendNOpTo(sum, 0), nullptr);
  EXPECT_EQ(sum->operandCount, kMostEditedOperands);
  EXPECT_EQ(fRecord->selected, last);
}

}  // namespace
