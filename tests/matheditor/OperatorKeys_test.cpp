#include "MathLayoutFixture.h"

#include "expression/ExpressionWriter.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/TreeOrder.h"

#include <memory>
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
    for (; *keys; ++keys) MEKey(uint8_t(*keys), uint8_t(*keys), 0, record_, nullptr);
  }
  static std::string Text(const ExpressionRecord* tree) {
    std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
    return text ? text.get() : "(none)";
  }
  std::string Tree() const { return Text(record_->root); }
  std::string Selected() const { return Text(record_->selected); }
  static ExpressionRecord* Num(double x) {
    ExpressionRecord* number = Number(x);
    number->payload.number->text[0] = UniChar('0' + int(x));
    number->payload.number->text[1] = 0;
    return number;
  }
  static ExpressionRecord* Matrix(int rows, int columns, std::initializer_list<ExpressionRecord*> elements) {
    ExpressionRecord* matrix = Node(kOpMatrix, elements);
    matrix->payload.shape = {uint16_t(rows), uint16_t(columns)};
    return matrix;
  }
  // The largest operand count anywhere in the formula.
  int32_t MostOperands() const {
    int32_t most = 0;
    ForEachTopDown(record_->root, [&](ExpressionRecord* n) { most = std::max<int32_t>(most, n->operandCount); });
    return most;
  }
};

TEST_F(OperatorKeys, PlusAndTimesOnASelection) {
  ExpressionRecord* b = Var("b");
  Use(Node(kOpPlus, {Var("a"), b, Var("c")}), b, kIPWholeNode);
  Keys("+");
  EXPECT_EQ(Tree(), "a+b+?+c");
  EXPECT_EQ(record_->selected, record_->root->operands[2]);

  ExpressionRecord* x = Var("x");
  Use(Node(kOpSin, {x}), x, kIPWholeNode);
  Keys("+");
  EXPECT_EQ(Tree(), "sin(x+?)");
  EXPECT_EQ(Selected(), "?");

  x = Var("x");
  Use(x, x, kIPWholeNode);
  Keys("*");
  EXPECT_EQ(Tree(), "?*x");
  EXPECT_EQ(record_->selected, record_->root->operands[0]);
  EXPECT_EQ(record_->caretType, kIPWholeNode);
}

TEST_F(OperatorKeys, OperatorsAfterTheCaret) {
  record_->selected = record_->root;
  Keys("y=x^2");
  EXPECT_EQ(Tree(), "y=x^2");
  EXPECT_EQ(gSnapshots, 1);  // one run of typing

  ExpressionRecord* a = Var("a");
  for (const char* key : {"-", "+", "="}) {
    a = Var("a");
    Use(Node(kOpTimes, {a, Var("b")}), a, kIPAfterNode);
    Keys(key);
    EXPECT_EQ(Tree(), std::string("a") + key + "b") << key;
    EXPECT_EQ(Selected(), "b") << key;
  }
  EXPECT_EQ(record_->caretType, kIPBeforeNode);

  ExpressionRecord* x = Var("x");
  Use(Node(kOpTimes, {Num(2), Node(kOpSin, {x})}), x, kIPAfterNode);
  Keys("*");  // multiplies the whole function, not its argument
  EXPECT_EQ(Tree(), "2*sin(x)*?");
  x = Var("x");
  Use(Node(kOpTimes, {Num(2), Node(kOpSin, {x})}), x, kIPAfterNode);
  Keys("+");
  EXPECT_EQ(Tree(), "2*sin(x)+?");
  x = Var("x");
  Use(x, x, kIPAfterNode);
  Keys("!");
  EXPECT_EQ(Tree(), "x!");
  EXPECT_EQ(record_->caretType, kIPAfterNode);
  Keys("/");
  EXPECT_EQ(Tree(), "x!/?");
  EXPECT_EQ(Selected(), "?");
}

TEST_F(OperatorKeys, DotAndCrossOnTheArgumentOfGrad) {
  for (const OpCodeT key : {kOpDot, kOpCross}) {
    ExpressionRecord* f = Var("f");
    Use(Node(kOpGrad, {f}), f, kIPWholeNode);
    MATH_FunctionCode(key);
    EXPECT_EQ(record_->root->opcode, key == kOpDot ? kOpDiv : kOpCurl);
    EXPECT_EQ(Tree(), key == kOpDot ? "div(f)" : "curl(f)");
  }
  ExpressionRecord* u = Var("u");
  Use(u, u, kIPWholeNode);
  MATH_FunctionCode(kOpCross);
  EXPECT_EQ(Tree(), "cross(u,?)");
}

TEST_F(OperatorKeys, ClipboardMatrixAddsToABlockOfItsShapeOnly) {
  gMathClipboard = Matrix(2, 2, {Num(1), Num(2), Num(3), Num(4)});
  const auto letters = [] {
    return Matrix(2, 3, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e"), Var("f")});
  };
  Use(letters(), nullptr, kIPMatrixBlock, 0, 5);  // the whole 2 by 3 block
  record_->selected = record_->root;
  Keys("+");
  EXPECT_EQ(Tree(), "matrix(2,3,a,b,c,d,e,f)");
  Use(letters(), nullptr, kIPMatrixBlock, 1, 5);  // columns 1 and 2
  record_->selected = record_->root;
  Keys("-");
  EXPECT_EQ(Tree(), "matrix(2,3,a,b-1,c-2,d,e-3,f-4)");
  EXPECT_EQ(record_->caretType, kIPMatrixBlock);
}

TEST_F(OperatorKeys, NewRowsColumnsAndPieces) {
  ExpressionRecord* x = Var("x");
  Use(Matrix(1, 1, {x}), x, kIPWholeNode);
  MATH_FunctionCode(0x18A0);
  EXPECT_EQ(Tree(), "vector(x,?)");
  EXPECT_EQ(record_->selected, record_->root->operands[1]);
  MATH_FunctionCode(0x18A1);
  EXPECT_EQ(Tree(), "matrix(2,2,x,?,?,?)");
  EXPECT_EQ(record_->selected, record_->root->operands[1]);

  ExpressionRecord* b = Var("b");
  Use(Node(kOpBranch, {Var("a"), Node(kOpTimes, {b, Var("c")})}), b, kIPAfterNode);
  MATH_FunctionCode(0x18A0);  // outside a matrix: a new piece
  EXPECT_EQ(record_->root->operandCount, 3);
  EXPECT_EQ(record_->root->operands[2]->opcode, kOpPrompt);
  EXPECT_EQ(record_->selected, record_->root->operands[2]);
}

TEST_F(OperatorKeys, OptionalOperandsUpToEachKindsMost) {
  ExpressionRecord* x = Var("x");
  Use(Node(kOpSum, {x, Node(kOpEquals, {Var("k"), Num(0)})}), x, kIPWholeNode);
  MATH_FunctionCode(0x1902);
  EXPECT_EQ(record_->root->operandCount, 3);
  record_->selected = x;
  MATH_FunctionCode(0x1902);
  EXPECT_EQ(record_->root->operandCount, 3);

  x = Var("x");
  Use(Node(kOpIntegral, {x, Var("t")}), x, kIPWholeNode);
  for (int i = 0; i < 3; ++i) {
    record_->selected = x;
    record_->caretType = kIPWholeNode;
    MATH_FunctionCode(0x1902);
  }
  EXPECT_EQ(record_->root->operandCount, 4);
}

// Operand counts are 16-bit: no edit may grow a list past 10,000.
TEST_F(OperatorKeys, GrowthStopsAtTheOperandLimit) {
  ExpressionRecord* sum = NewExpression(kOpPlus, kMostEditedOperands);
  ExpressionRecord* a = Var("a");
  for (int32_t i = 0; i < kMostEditedOperands; ++i) {
    sum->operands[i] = i == 0 ? Node(kOpTimes, {a, Var("b")}) : Num(1);
    sum->operands[i]->parent = sum;
  }
  Use(sum, a, kIPAfterNode);
  Keys("+");  // a + b stays a group of its own: merged it would be 10,001
  EXPECT_EQ(MostOperands(), kMostEditedOperands);
  EXPECT_EQ(sum->operands[0]->opcode, kOpPlus);

  ExpressionRecord* matrix = NewExpression(kOpMatrix, kMostEditedOperands);
  matrix->payload.shape = {100, 100};
  for (int32_t i = 0; i < kMostEditedOperands; ++i) {
    matrix->operands[i] = Num(0);
    matrix->operands[i]->parent = matrix;
  }
  Use(matrix, matrix->operands[0], kIPWholeNode);
  MATH_FunctionCode(0x18A0);
  MATH_FunctionCode(0x18A1);
  EXPECT_EQ(matrix->operandCount, kMostEditedOperands);
  EXPECT_EQ(matrix->payload.shape.rows, 100);
  EXPECT_EQ(matrix->payload.shape.columns, 100);
}

TEST_F(OperatorKeys, Comparisons) {
  ExpressionRecord* x = Var("x");
  Use(Node(kOpTimes, {Var("f"), Node(kOpId, {x})}), x, kIPAfterNode);
  Keys("=");  // f(x) = starts a definition
  EXPECT_EQ(Tree(), "function(f,x)=?");
  EXPECT_EQ(Selected(), "?");

  Use(Node(kOpEquals, {Var("a"), Var("b")}), nullptr, kIPOperator);
  record_->selected = record_->root;
  Keys("<");
  EXPECT_EQ(Tree(), "a<b");

  ExpressionRecord* minus = Node(kOpMinus, {Var("b")});
  Use(Node(kOpPlus, {Var("a"), minus}), minus, kIPOperator);
  MATH_FunctionCode(0x1909);
  EXPECT_EQ(Tree(), "leq(a,b)");

  ExpressionRecord* k = Var("k");
  Use(Node(kOpSum, {Var("x"), k}), k, kIPAfterNode);
  Keys("=");  // the bound of the sum
  EXPECT_EQ(Tree(), "sum(x,k=?)");
}

TEST_F(OperatorKeys, DeletingSigns) {
  ExpressionRecord* b = Var("b");
  Use(Node(kOpOver, {Var("a"), b}), b, kIPBeforeNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Tree(), "a*b");
  EXPECT_EQ(Selected(), "a");
  EXPECT_EQ(record_->caretType, kIPAfterNode);

  b = Var("b");
  Use(Node(kOpPlus, {Var("a"), b}), b, kIPBeforeNode);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Tree(), "a*b");

  Use(Node(kOpPlus, {Node(kOpTimes, {Var("a"), Var("c")}), Var("b")}), nullptr, kIPOperator);
  record_->selected = record_->root;
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Tree(), "a*c*b");
  EXPECT_EQ(record_->root->operandCount, 3);  // merged into one product
  EXPECT_EQ(Selected(), "b");
  EXPECT_EQ(record_->caretType, kIPAfterNode);

  Use(Node(kOpPlus, {Var("a"), Var("b")}), nullptr, kIPOperator);
  record_->selected = record_->root;
  Keys("-");  // typed over the sign
  EXPECT_EQ(Tree(), "a-b");

  ExpressionRecord* minus = Node(kOpMinus, {Var("b")});
  Use(Node(kOpPlus, {Var("a"), minus}), minus, kIPOperator);
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Tree(), "a*b");
}

TEST_F(OperatorKeys, BackspaceOnABlockOfWholeRowsRemovesThem) {
  Use(Matrix(2, 2, {Var("a"), Var("b"), Var("c"), Var("d")}), nullptr, kIPMatrixBlock, 2, 3);
  record_->selected = record_->root;
  MATH_FunctionCode(kCodeBackspace);
  EXPECT_EQ(Tree(), "matrix(1,2,a,b)");
  MATH_FunctionCode(kCodeForwardDelete);  // the whole matrix now selected: it goes
  EXPECT_EQ(Tree(), "?");
}

TEST_F(OperatorKeys, Templates) {
  const auto onX = [this](int32_t code) {
    ExpressionRecord* x = Var("x");
    Use(x, x, kIPWholeNode);
    MATH_FunctionCode(code);
    return Tree();
  };
  EXPECT_EQ(onX('@'), "x");  // '@' is not a code: only the key map makes it one
  ExpressionRecord* x = Var("x");
  Use(x, x, kIPWholeNode);
  Keys("@");
  EXPECT_EQ(Tree(), "x^2");
  EXPECT_EQ(Selected(), "x^2");
  EXPECT_EQ(record_->caretType, kIPAfterNode);
  EXPECT_EQ(onX(0x18AB), "x^3");
  EXPECT_EQ(onX(0x18AC), "e^x");
  EXPECT_EQ(onX(0x18B6), "x_1");
  EXPECT_EQ(onX(0x18BB), "sum(x,k=0,5)");
  EXPECT_EQ(onX(0x18C0), "integral(x,x,0,1)");
  EXPECT_EQ(onX(0x18BD), "substitution(x,x=0)");
  EXPECT_EQ(onX(0x18AF), "sqrt(x,3)");
  EXPECT_EQ(onX(0x18B0), "sqrt(x,?)");
  EXPECT_EQ(record_->selected, record_->root->operands[1]);
  EXPECT_EQ(onX(0x18A9), "1/x");
  record_->selected = record_->root;
  record_->caretType = kIPWholeNode;
  MATH_FunctionCode(0x18A9);  // and back
  EXPECT_EQ(Tree(), "x");
  EXPECT_EQ(onX(0x1809), "function(optotal(?),x)");
  EXPECT_EQ(Selected(), "?");
  EXPECT_EQ(onX(0x18B2), "function(oppartial(x),x)");
  EXPECT_EQ(onX(0x18B3), "x*vector(x,y)");
  EXPECT_EQ(onX(0x18C1), "x*matrix(2,2,1,0,0,1)");
  EXPECT_EQ(onX(0x18FF), "x");  // a code of the range without a template

  Use(NewPrompt(), nullptr, kIPWholeNode);
  record_->selected = record_->root;
  Keys("abc");
  MATH_FunctionCode(0x18C4);
  EXPECT_EQ(Tree(), "'abc'");
  EXPECT_EQ(record_->root->opcode, kOpAtom);

  Use(NewPrompt(), nullptr, kIPWholeNode);
  record_->selected = record_->root;
  Keys("f(x;");  // f unknown: the group after f becomes its argument list
  EXPECT_EQ(Tree(), "function(f,(x,?))");
}

TEST_F(OperatorKeys, IfFromTheLettersIAndF) {
  record_->selected = record_->root;
  Keys("x+1if");
  EXPECT_EQ(Tree(), "if(x+1,?)");
  EXPECT_EQ(record_->selected, record_->root->operands[1]);
  Use(NewPrompt(), nullptr, kIPWholeNode);
  record_->selected = record_->root;
  Keys("y=2if");  // the condition stays on the right of the equation
  EXPECT_EQ(Tree(), "y=if(2,?)");
}

TEST_F(OperatorKeys, LettersAndDigitsTypedOverASign) {
  Use(Node(kOpPlus, {Var("a"), Var("b")}), nullptr, kIPOperator);
  record_->selected = record_->root;
  Keys("x");
  EXPECT_EQ(Tree(), "a*x*b");
  Use(Node(kOpPlus, {Var("a"), Var("b")}), nullptr, kIPOperator);
  record_->selected = record_->root;
  Keys("7");
  EXPECT_EQ(Tree(), "a*7*b");
}

// The algebra's numbers have no text until a layout writes it.
TEST_F(OperatorKeys, DigitsTypedAfterAComputedNumber) {
  ExpressionRecord* three = Number(3);
  Use(three, three, kIPAfterNode);
  Keys(".5");
  EXPECT_EQ(Tree(), "3.5");
  EXPECT_EQ(three->payload.number->value, 3.5);
}

TEST_F(OperatorKeys, TimesTypedAfterALetterEndsItsName) {
  record_->selected = record_->root;
  Keys("s*in");
  EXPECT_EQ(Tree(), "s*i*n");
  Use(NewPrompt(), nullptr, kIPWholeNode);
  record_->selected = record_->root;
  Keys("sin");
  EXPECT_EQ(Tree(), "sin(?)");
}

}  // namespace
