#include "MathLayoutFixture.h"

#include "expression/ExpressionWriter.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/OperandInsertion.h"

#include <string>

namespace {

class TypingKeys : public SnapshotCountingTest {
 protected:
  static void Keys(const char* keys) {
    for (; *keys; ++keys) MATH_FunctionCode(static_cast<unsigned char>(*keys));
  }
  // The formula after typing into a fresh prompt, or with the caret at a place.
  std::string Typed(const char* keys) { return Keyed(NewPrompt(), {}, kIPWholeNode, keys); }
  std::string Keyed(ExpressionRecord* root, std::initializer_list<int> path, MathIPType type, const char* keys,
                    int32_t start = 0, int32_t end = 0) {
    UseAt(root, path, type, start, end);
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
  ExpressionRecord* power = Node(kOpPower, {Var("x"), Number(2)});
  EXPECT_EQ(Keyed(Node(kOpCos, {power}), {0, 0}, kIPBeforeNode, "h"), "cosh(x^2)");
  ExpectCaret(power, kIPBeforeNode);
}

TEST_F(TypingKeys, DigitsAndTheDecimalKey) {
  EXPECT_EQ(Typed("x12"), "x*12");
  Keys("..");  // a second decimal changes nothing
  EXPECT_EQ(Digits(fRecord->root->operands[1]), u"12.");
  UseWhole(NewPrompt());
  Keys(".");
  EXPECT_EQ(Digits(fRecord->root), u"0.");
  Keyed(Num(u"123456789012345678"), {}, kIPAfterNode, "9");  // 18 characters: full from outside
  fRecord->caretType = kIPBeforeNode;
  Keys("9");
  EXPECT_EQ(Digits(fRecord->root), u"123456789012345678");
  Keyed(Num(u"1e999"), {}, kIPAfterNode, ".");
  EXPECT_EQ(Digits(fRecord->root), u"1e999");  // the text reads as infinity: no decimal
  EXPECT_EQ(Keyed(Num(u"5"), {}, kIPBeforeNode, "3"), "35");
  EXPECT_EQ(fRecord->caretType, kIPNumberText);
  EXPECT_EQ(fRecord->rangeStart, 1);
}

TEST_F(TypingKeys, ALetterInsideANumberSplitsIt) {
  EXPECT_EQ(Keyed(Num(u"1234"), {}, kIPNumberText, "x", 2, 2), "12*x*34");
  EXPECT_EQ(Keyed(Num(u"12"), {}, kIPNumberText, "y"), "y*12");  // at the front: no empty number is made
  ExpressionRecord* dotted = Num(u"2.");
  EXPECT_EQ(Keyed(dotted, {}, kIPNumberText, "z", 1, 1), "2*z");  // "." alone would read as no number
  EXPECT_EQ(Digits(dotted), u"2.");
}

// Clearing every digit must not leave a number without text (read as NaN,
// shown as "NaN"): the number gives way to a prompt the digit fills.
TEST_F(TypingKeys, TypingOverAWholeNumberLeavesNoEmptyNumber) {
  EXPECT_EQ(Keyed(Node(kOpPlus, {Var("a"), Num(u"12")}), {1}, kIPNumberText, "7", 0, 2), "a+7");
  EXPECT_EQ(Keyed(Num(u"12."), {}, kIPNumberText, "5", 2, 0), "5");
}

TEST_F(TypingKeys, LongNamesAfterABackslash) {
  Keyed(Num(u"2"), {}, kIPAfterNode, "\\");
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
