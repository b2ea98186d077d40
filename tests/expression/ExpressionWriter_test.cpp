#include "ParserTestSupport.h"

#include "CoreUtilities/text/OurString.h"
#include "expression/NodeContents.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeShorthands.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <random>

namespace {

ExpressionRecord* A(char letter) { return Atomic(letter); }
ExpressionRecord* N(double x) { return Number(x); }

TEST(ExpressionWriter, ParenthesesWhereTheGrammarNeedsThem) {
  EXPECT_EQ(Written(Tree(NewTrinop(kOpPlus, A('a'), Neg(A('b')), A('c'))).get()), "a-b+c");
  EXPECT_EQ(Written(Tree(Times(N(2), Div(N(1), A('x')))).get()), "2*(1/x)");
  EXPECT_EQ(Written(Tree(Div(Plus(A('a'), A('b')), A('c'))).get()), "(a+b)/c");
  EXPECT_EQ(Written(Tree(Tothe(A('x'), Neg(N(1)))).get()), "x^(-1)");
  EXPECT_EQ(Written(Tree(Neg(Times(A('a'), A('b')))).get()), "-(a*b)");
  // Trees the editor never lays out this way still read back.
  EXPECT_EQ(Written(Tree(Tothe(Plus(A('a'), A('b')), N(2))).get()), "(a+b)^2");
  EXPECT_EQ(Written(Tree(NewUnop(kOpFact, Tothe(A('a'), A('b')))).get()), "(a^b)!");
  EXPECT_EQ(Written(Tree(Neg(Div(A('a'), A('b')))).get()), "-(a/b)");
  EXPECT_EQ(Written(Tree(Tothe(N(-2), A('x'))).get()), "(-2)^x");
  EXPECT_EQ(Written(Tree(NewBinop(kOpLess, A('a'), NewBinop(kOpEquals, A('b'), A('c')))).get()), "a<(b=c)");
  EXPECT_EQ(Written(Tree(NewBinop(kOpDot, NewBinop(kOpComma, A('a'), A('b')), A('c'))).get()), "dot((a,b),c)");
}

TEST(ExpressionWriter, NumbersNamesAndStrings) {
  EXPECT_EQ(Written(Tree(N(0.1)).get()), "0.1");
  EXPECT_EQ(Written(Tree(N(-INFINITY)).get()), "-Infinity");
  EXPECT_EQ(Written(Tree(N(INFINITY)).get()), "Infinity");
  EXPECT_EQ(Written(Tree(N(NAN)).get()), "NaN");
  EXPECT_EQ(Written(Tree(N(0.1 + 0.2)).get()), "0.30000000000000004");  // 16 digits would not read back
  EXPECT_EQ(Written(Tree(Atomic(1)).get()), "pi");
  EXPECT_EQ(Written(Tree(Atomic(10)).get()), "'x'''");
  EXPECT_EQ(Written(Tree(Atomic('$')).get()), "'$'");
  EXPECT_EQ(Written(Tree(Atomic(GetVariableIDFromString("alpha"))).get()), "'alpha'");
  EXPECT_EQ(Written(Tree(Atomic(GetVariableIDFromString("it's"))).get()), "'it''s'");
  ExpressionRecord* matrix = NewExpression(kOpMatrix, 4);
  const char letters[] = "abcd";
  for (int i = 0; i < 4; ++i) matrix->operands[i] = A(letters[i]);
  AdoptOperands(matrix);
  matrix->payload.shape = MatrixShape{2, 2};
  EXPECT_EQ(Written(Tree(matrix).get()), "matrix(2,2,a,b,c,d)");
  Tree grouped(NewUnop(kOpId, Plus(A('x'), N(1))));
  EXPECT_EQ(Written(grouped.get(), false), "(x+1)");
  EXPECT_EQ(Written(grouped.get(), true), "[x+1]");
}

TEST(ExpressionWriter, QuotesAndControlCharactersReadBack) {
  const std::u16string text = u"say \"hi\"\tnow\nend\u00e9";
  ExpressionRecord* node = NewExpression(kOpString, 0);
  node->text = OurStringCreate(reinterpret_cast<const UniChar*>(text.c_str()), text.size());
  Tree tree(node);
  Tree back = Parse(Written(tree.get()));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->opcode, kOpString);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(back->text)), text);
  const std::string longName(600, 'n');
  for (const char* name : {"it's", "''", "a b", longName.c_str()}) {
    Tree atom(Atomic(GetVariableIDFromString(name)));
    Tree read = Parse(Written(atom.get()));
    ASSERT_TRUE(read) << name;
    EXPECT_EQ(read->payload.id, atom->payload.id) << name;
  }
}

TEST(ExpressionWriter, NumberTextIgnoresDecimalCommaLocale) {
  const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
  if (!german) german = std::setlocale(LC_ALL, "C.UTF-8");
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    uint64_t bits = random();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isfinite(x)) continue;
    x = std::fabs(x);
    Tree back = Parse(Written(Tree(N(x)).get()));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(&back->payload.number->value, &x, sizeof x), 0) << Written(Tree(N(x)).get());
  }
  std::setlocale(LC_ALL, "C");
}

}  // namespace
