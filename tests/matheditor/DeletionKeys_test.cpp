#include "MathLayoutFixture.h"

#include "expression/ExpressionWriter.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/EditorDocumentHooks.h"

#include <memory>
#include <string>

namespace {

constexpr int32_t kBackspace = 0x1609;
constexpr int32_t kForwardDelete = 0x1611;

class DeletionKeys : public SnapshotCountingTest {
 protected:
  void Use(ExpressionRecord* root, ExpressionRecord* caret, MathIPType type, int32_t offset = 0) {
    DisposExpr(record_->root);
    record_->root = root;
    record_->selected = caret;
    record_->caretType = type;
    record_->rangeStart = record_->rangeEnd = offset;
  }
  std::string Tree() const {
    std::unique_ptr<char[]> text(ExportTextFormatOfExpr(record_->root, false));
    return text ? text.get() : "(none)";
  }
  static ExpressionRecord* Num(const char16_t* text, double value) {
    ExpressionRecord* number = Number(value);
    int32_t i = 0;
    for (; text[i]; ++i) number->payload.number->text[i] = text[i];
    number->payload.number->text[i] = 0;
    return number;
  }
  static ExpressionRecord* Text(std::initializer_list<UniChar> units) {
    ExpressionRecord* string = NewExpression(kOpString, 0);
    string->text = new UniChar[units.size() + 1]{};
    std::copy(units.begin(), units.end(), string->text);
    return string;
  }
};

TEST_F(DeletionKeys, BackspaceAfterNumbersAndOnPrompts) {
  ExpressionRecord* number = Num(u"123", 123);
  Use(Node(kOpPlus, {Var("a"), number}), number, kIPAfterNode);
  MATH_FunctionCode(kBackspace);
  EXPECT_EQ(Tree(), "a+12");
  MATH_FunctionCode(kBackspace);
  MATH_FunctionCode(kBackspace);  // after "1" the number goes, leaving a prompt
  EXPECT_EQ(Tree(), "a+?");
  EXPECT_EQ(gSnapshots, 1);  // three backspaces: one undo step
  MATH_FunctionCode(kBackspace);  // the prompt takes its place with it
  EXPECT_EQ(Tree(), "a");
  EXPECT_EQ(record_->caretType, kIPAfterNode);
  MATH_FunctionCode(0x1604);  // a move between backspaces starts a new step
  MATH_FunctionCode(kBackspace);
  EXPECT_EQ(gSnapshots, 2);
  Use(NewPrompt(), nullptr, kIPWholeNode);
  record_->selected = record_->root;
  MATH_FunctionCode(kBackspace);  // the only prompt stays
  EXPECT_EQ(Tree(), "?");
  ExpressionRecord* half = Num(u".5", 0.5);
  Use(half, half, kIPAfterNode);
  MATH_FunctionCode(kBackspace);  // "." alone would read as no number
  EXPECT_EQ(Tree(), "?");
}

TEST_F(DeletionKeys, BackspaceBeforeJoinsNumbersAndDropsPrefixes) {
  ExpressionRecord* second = Num(u"34", 34);
  Use(Node(kOpTimes, {Num(u"12", 12), second}), second, kIPBeforeNode);
  MATH_FunctionCode(kBackspace);
  EXPECT_EQ(Tree(), "1234");
  EXPECT_EQ(record_->caretType, kIPNumberText);
  EXPECT_EQ(record_->rangeStart, 2);
  ExpressionRecord* tail = Num(u"1234567890123", 0);  // 11 + 13 characters: too long to join
  Use(Node(kOpTimes, {Num(u"12345678901", 0), tail}), tail, kIPBeforeNode);
  MATH_FunctionCode(kBackspace);
  EXPECT_EQ(record_->root->operandCount, 2);
  ExpressionRecord* x = Var("x");
  Use(Node(kOpPlus, {Node(kOpSin, {x}), Var("y")}), x, kIPBeforeNode);
  MATH_FunctionCode(kBackspace);  // sin goes, its argument stays
  EXPECT_EQ(Tree(), "x+y");
  EXPECT_EQ(record_->caretType, kIPBeforeNode);
}

TEST_F(DeletionKeys, PromptsLeaveRowsAndFunctions) {
  ExpressionRecord* prompt = NewPrompt();
  ExpressionRecord* row = Node(kOpMatrix, {Var("a"), prompt, Var("c")});
  row->payload.shape = {1, 3};
  Use(row, prompt, kIPWholeNode);
  MATH_FunctionCode(kBackspace);
  EXPECT_EQ(row->operandCount, 2);
  EXPECT_EQ(row->payload.shape.columns, 2);
  EXPECT_EQ(record_->selected, row->operands[0]);
  ExpressionRecord* corner = NewPrompt();
  ExpressionRecord* square = Node(kOpMatrix, {corner, Var("b"), Var("c"), Var("d")});
  square->payload.shape = {2, 2};
  Use(square, corner, kIPWholeNode);
  MATH_FunctionCode(kBackspace);  // a 2 by 2 matrix cannot lose one element
  EXPECT_EQ(square->operandCount, 4);
}

TEST_F(DeletionKeys, StringsAndLongNames) {
  ExpressionRecord* string = Text({u'a', 0xD835, 0xDC65});
  Use(Node(kOpTimes, {Var("x"), string}), string, kIPAfterNode);
  MATH_FunctionCode(kForwardDelete);  // after a node: nothing
  EXPECT_EQ(record_->caretType, kIPAfterNode);
  MATH_FunctionCode(kBackspace);  // enters the string at its end
  EXPECT_EQ(record_->caretType, kIPStringText);
  EXPECT_EQ(record_->rangeStart, 3);
  MATH_FunctionCode(kForwardDelete);  // at its end: nothing
  MATH_FunctionCode(kBackspace);  // the surrogate pair goes whole
  EXPECT_EQ(record_->rangeStart, 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(string->text)), u"a");
  MATH_FunctionCode(kBackspace);
  MATH_FunctionCode(kBackspace);  // the empty string is deleted, and its place
  EXPECT_EQ(Tree(), "x");
}

}  // namespace
