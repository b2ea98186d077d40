#include "MathLayoutFixture.h"

#include "expression/ExpressionWriter.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/TreeOrder.h"

#include <string>

namespace {

class OperatorKeys : public SnapshotCountingTest {
 protected:
  void TearDown() override {
    ClearMathClipboard();
    SnapshotCountingTest::TearDown();
  }
  // Characters through the key entry, as typed.
  void Keys(const char* keys) {
    for (; *keys; ++keys) MEKey(uint8_t(*keys), uint8_t(*keys), 0, fRecord, nullptr);
  }
  // The formula after typing into a fresh prompt, or with the caret at a place.
  std::string Typed(const char* keys) { return Keyed(NewPrompt(), {}, kIPWholeNode, keys); }
  std::string Keyed(ExpressionRecord* root, std::initializer_list<int> path, MathIPType type, const char* keys) {
    UseAt(root, path, type);
    Keys(keys);
    return Formula();
  }
  // The largest operand count anywhere in the formula.
  int32_t MostOperands() const {
    int32_t most = 0;
    ForEachTopDown(fRecord->root, [&](ExpressionRecord* n) { most = std::max<int32_t>(most, n->operandCount); });
    return most;
  }
};

TEST_F(OperatorKeys, PlusAndTimesOnASelection) {
  EXPECT_EQ(Keyed(Node(kOpPlus, {Var("a"), Var("b"), Var("c")}), {1}, kIPWholeNode, "+"), "a+b+?+c");
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[2]);
  EXPECT_EQ(Keyed(Node(kOpSin, {Var("x")}), {0}, kIPWholeNode, "+"), "sin(x+?)");
  EXPECT_EQ(Selected(), "?");
  EXPECT_EQ(Keyed(Var("x"), {}, kIPWholeNode, "*"), "?*x");
  ExpectCaret(fRecord->root->operands[0], kIPWholeNode);
}

TEST_F(OperatorKeys, OperatorsAfterTheCaret) {
  EXPECT_EQ(Typed("y=x^2"), "y=x^2");
  EXPECT_EQ(gSnapshots, 1);  // one run of typing
  for (const char* key : {"-", "+", "="}) {
    EXPECT_EQ(Keyed(Node(kOpTimes, {Var("a"), Var("b")}), {0}, kIPAfterNode, key), std::string("a") + key + "b");
    EXPECT_EQ(Selected(), "b") << key;
  }
  EXPECT_EQ(fRecord->caretType, kIPBeforeNode);
  // After a function's argument: the whole function, not its argument, is the operand.
  for (const auto& [key, formula] : {std::pair{"*", "2*sin(x)*?"}, {"+", "2*sin(x)+?"}})
    EXPECT_EQ(Keyed(Node(kOpTimes, {Num(u"2"), Node(kOpSin, {Var("x")})}), {1, 0}, kIPAfterNode, key), formula);
  EXPECT_EQ(Keyed(Var("x"), {}, kIPAfterNode, "!"), "x!");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  Keys("/");
  EXPECT_EQ(Formula(), "x!/?");
  EXPECT_EQ(Selected(), "?");
}

TEST_F(OperatorKeys, DotAndCrossOnTheArgumentOfGrad) {
  EXPECT_EQ(Coded(Node(kOpGrad, {Var("f")}), {0}, kIPWholeNode, {kOpDot}), "div(f)");
  EXPECT_EQ(fRecord->root->opcode, kOpDiv);
  EXPECT_EQ(Coded(Node(kOpGrad, {Var("f")}), {0}, kIPWholeNode, {kOpCross}), "curl(f)");
  EXPECT_EQ(fRecord->root->opcode, kOpCurl);
  EXPECT_EQ(Coded(Var("u"), {}, kIPWholeNode, {kOpCross}), "cross(u,?)");
}

TEST_F(OperatorKeys, ClipboardMatrixAddsToABlockOfItsShapeOnly) {
  gMathClipboard = Matrix(2, 2, {Num(u"1"), Num(u"2"), Num(u"3"), Num(u"4")});
  const auto letters = [] { return Matrix(2, 3, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e"), Var("f")}); };
  UseWhole(letters(), kIPMatrixBlock, 0, 5);  // the whole 2 by 3 block
  Keys("+");
  EXPECT_EQ(Formula(), "matrix(2,3,a,b,c,d,e,f)");
  UseWhole(letters(), kIPMatrixBlock, 1, 5);  // columns 1 and 2
  Keys("-");
  EXPECT_EQ(Formula(), "matrix(2,3,a,b-1,c-2,d,e-3,f-4)");
  EXPECT_EQ(fRecord->caretType, kIPMatrixBlock);
}

TEST_F(OperatorKeys, NewRowsColumnsAndPieces) {
  EXPECT_EQ(Coded(Matrix(1, 1, {Var("x")}), {0}, kIPWholeNode, {0x18A0}), "vector(x,?)");
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[1]);
  MATH_FunctionCode(0x18A1);
  EXPECT_EQ(Formula(), "matrix(2,2,x,?,?,?)");
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[1]);
  // Outside a matrix: a new piece.
  Coded(Node(kOpBranch, {Var("a"), Node(kOpTimes, {Var("b"), Var("c")})}), {1, 0}, kIPAfterNode, {0x18A0});
  EXPECT_EQ(fRecord->root->operandCount, 3);
  EXPECT_EQ(fRecord->root->operands[2]->opcode, kOpPrompt);
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[2]);
}

TEST_F(OperatorKeys, OptionalOperandsUpToEachKindsMost) {
  Coded(Node(kOpSum, {Var("x"), Node(kOpEquals, {Var("k"), Num(u"0")})}), {0}, kIPWholeNode, {0x1902});
  EXPECT_EQ(fRecord->root->operandCount, 3);
  Select(fRecord->root->operands[0], kIPWholeNode);
  MATH_FunctionCode(0x1902);
  EXPECT_EQ(fRecord->root->operandCount, 3);
  ExpressionRecord* x = Var("x");
  Use(Node(kOpIntegral, {x, Var("t")}), x, kIPWholeNode);
  for (int i = 0; i < 3; ++i) {
    Select(x, kIPWholeNode);
    MATH_FunctionCode(0x1902);
  }
  EXPECT_EQ(fRecord->root->operandCount, 4);
}

// Operand counts are 16-bit: no edit may grow a list past 10,000.
TEST_F(OperatorKeys, GrowthStopsAtTheOperandLimit) {
  ExpressionRecord* a = Var("a");
  ExpressionRecord* sum = Filled(kOpPlus, kMostEditedOperands, [&](int32_t i) {
    return i == 0 ? Node(kOpTimes, {a, Var("b")}) : Num(u"1");
  });
  Use(sum, a, kIPAfterNode);
  Keys("+");  // a + b stays a group of its own: merged it would be 10,001
  EXPECT_EQ(MostOperands(), kMostEditedOperands);
  EXPECT_EQ(sum->operands[0]->opcode, kOpPlus);

  ExpressionRecord* matrix =
      Shaped(Filled(kOpMatrix, kMostEditedOperands, [](int32_t) { return Num(u"0"); }), 100, 100);
  Use(matrix, matrix->operands[0], kIPWholeNode);
  MATH_FunctionCode(0x18A0);
  MATH_FunctionCode(0x18A1);
  EXPECT_EQ(matrix->operandCount, kMostEditedOperands);
  EXPECT_EQ(matrix->payload.shape.rows, 100);
  EXPECT_EQ(matrix->payload.shape.columns, 100);
}

TEST_F(OperatorKeys, Comparisons) {
  // f(x) = starts a definition.
  EXPECT_EQ(Keyed(Node(kOpTimes, {Var("f"), Node(kOpId, {Var("x")})}), {1, 0}, kIPAfterNode, "="), "function(f,x)=?");
  EXPECT_EQ(Selected(), "?");
  EXPECT_EQ(Keyed(Node(kOpEquals, {Var("a"), Var("b")}), {}, kIPOperator, "<"), "a<b");
  EXPECT_EQ(Coded(Node(kOpPlus, {Var("a"), Node(kOpMinus, {Var("b")})}), {1}, kIPOperator, {0x1909}), "leq(a,b)");
  EXPECT_EQ(Keyed(Node(kOpSum, {Var("x"), Var("k")}), {1}, kIPAfterNode, "="), "sum(x,k=?)");  // the bound
}

TEST_F(OperatorKeys, DeletingSigns) {
  EXPECT_EQ(Coded(Node(kOpOver, {Var("a"), Var("b")}), {1}, kIPBeforeNode, {kCodeBackspace}), "a*b");
  EXPECT_EQ(Selected(), "a");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  EXPECT_EQ(Coded(Node(kOpPlus, {Var("a"), Var("b")}), {1}, kIPBeforeNode, {kCodeBackspace}), "a*b");
  UseWhole(Node(kOpPlus, {Node(kOpTimes, {Var("a"), Var("c")}), Var("b")}), kIPOperator);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Formula(), "a*c*b");
  EXPECT_EQ(fRecord->root->operandCount, 3);  // merged into one product
  EXPECT_EQ(Selected(), "b");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  EXPECT_EQ(Coded(Node(kOpPlus, {Var("a"), Node(kOpMinus, {Var("b")})}), {1}, kIPOperator, {kCodeBackspace}), "a*b");
}

TEST_F(OperatorKeys, BackspaceOnABlockOfWholeRowsRemovesThem) {
  UseWhole(Matrix(2, 2, {Var("a"), Var("b"), Var("c"), Var("d")}), kIPMatrixBlock, 2, 3);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Formula(), "matrix(1,2,a,b)");
  MATH_FunctionCode(kCodeForwardDelete);  // the whole matrix now selected: it goes
  EXPECT_EQ(Formula(), "?");
}

TEST_F(OperatorKeys, Templates) {
  const auto onX = [this](int32_t code) { return Coded(Var("x"), {}, kIPWholeNode, {code}); };
  EXPECT_EQ(onX('@'), "x");  // '@' is not a code: only the key map makes it one
  EXPECT_EQ(Keyed(Var("x"), {}, kIPWholeNode, "@"), "x^2");
  EXPECT_EQ(Selected(), "x^2");
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
  for (const auto& [code, formula] : {std::pair{0x18AB, "x^3"},
                                      {0x18AC, "e^x"},
                                      {0x18B6, "x_1"},
                                      {0x18BB, "sum(x,k=0,5)"},
                                      {0x18C0, "integral(x,x,0,1)"},
                                      {0x18BD, "substitution(x,x=0)"},
                                      {0x18AF, "sqrt(x,3)"},
                                      {0x18B2, "function(oppartial(x),x)"},
                                      {0x18B3, "x*vector(x,y)"},
                                      {0x18C1, "x*matrix(2,2,1,0,0,1)"},
                                      {0x18FF, "x"}})  // the last: a code of the range without a template
    EXPECT_EQ(onX(code), formula) << std::hex << code;
  EXPECT_EQ(onX(0x18B0), "sqrt(x,?)");
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[1]);
  EXPECT_EQ(onX(0x18A9), "1/x");
  Select(fRecord->root, kIPWholeNode);
  MATH_FunctionCode(0x18A9);  // and back
  EXPECT_EQ(Formula(), "x");
  EXPECT_EQ(onX(0x1809), "function(optotal(?),x)");
  EXPECT_EQ(Selected(), "?");

  UseWhole(NewPrompt());
  Keys("abc");
  MATH_FunctionCode(0x18C4);
  EXPECT_EQ(Formula(), "'abc'");
  EXPECT_EQ(fRecord->root->opcode, kOpAtom);

  EXPECT_EQ(Typed("f(x;"), "function(f,(x,?))");  // f unknown: the group after f becomes its argument list
}

TEST_F(OperatorKeys, IfFromTheLettersIAndF) {
  EXPECT_EQ(Typed("x+1if"), "if(x+1,?)");
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[1]);
  EXPECT_EQ(Typed("y=2if"), "y=if(2,?)");  // the condition stays on the right of the equation
}

TEST_F(OperatorKeys, KeysTypedOverASign) {
  for (const auto& [key, formula] : {std::pair{"x", "a*x*b"}, {"7", "a*7*b"}, {"-", "a-b"}})
    EXPECT_EQ(Keyed(Node(kOpPlus, {Var("a"), Var("b")}), {}, kIPOperator, key), formula) << key;
}

// The algebra's numbers have no text until a layout writes it.
TEST_F(OperatorKeys, DigitsTypedAfterAComputedNumber) {
  EXPECT_EQ(Keyed(Number(3), {}, kIPAfterNode, ".5"), "3.5");
  EXPECT_EQ(fRecord->root->payload.number->value, 3.5);
}

TEST_F(OperatorKeys, TimesTypedAfterALetterEndsItsName) {
  EXPECT_EQ(Typed("s*in"), "s*i*n");
  EXPECT_EQ(Typed("sin"), "sin(?)");
}

}  // namespace
