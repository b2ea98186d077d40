#include "ParserTestSupport.h"

#include "expression/OperatorKinds.h"
#include "expression/SymbolTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Prints a tree in an unambiguous prefix form of our own, independent of
// the writer under test.
std::string Shape(const ExpressionRecord* node) {
  if (!node) return "null";
  switch (node->opcode) {
    case kOpNumber: {
      char text[64];
      std::snprintf(text, sizeof text, "%.17g", node->payload.number->value);
      return text;
    }
    case kOpAtom: return "@" + std::to_string(node->payload.id);
    case kOpPrompt: return "?";
    default: break;
  }
  std::string out = std::to_string(node->opcode) + "(";
  for (int32_t i = 0; i < node->operandCount; ++i) out += (i ? "," : "") + Shape(node->operands[i]);
  if (node->opcode == kOpMatrix)
    out += ";" + std::to_string(node->payload.shape.rows) + "x" + std::to_string(node->payload.shape.columns);
  return out + ")";
}

std::string ShapeOf(const std::string& text) {
  Tree tree = Parse(text);
  return tree ? Shape(tree.get()) : "<null>";
}

// a=97 b=98 c=99 x=120; plus 4104 minus 4118 times 4102 power 4159 fact 4114
TEST(ExpressionParser, ShapesOfOperatorsCallsAndVectors) {
  const std::pair<const char*, const char*> shapes[] = {
      // precedence and associativity
      {"a ^ b ^ c", "4159(@97,4159(@98,@99))"},
      {"a _ b _ c", "4100(@97,4100(@98,@99))"},
      {"a - b - c", "4104(@97,4118(@98),4118(@99))"},
      {"- 2 ^ 2", "4118(4159(2,2))"},
      {"- a * b", "4102(4118(@97),@98)"},
      {"a ^ b !", "4159(@97,4114(@98))"},
      {"a _ b !", "4114(4100(@97,@98))"},
      {"a = b = c", "4105(@97,@98,@99)"},
      {"a , b = c", "4106(@97,4105(@98,@99))"},
      {"2 * - 3", "4102(2,4118(3))"},
      {"2 ^ - 3", "4159(2,4118(3))"},
      {"|a|", "4156(@97)"},
      // calls and vectors; a one-operand form of a two-operand kind gets a prompt
      {"sin (x)", "4119(@120)"},
      {"log (2, x)", "4144(2,@120)"},
      {"choice (n)", "4161(@110,?)"},
      {"'f' (x)", "4103(@102,@120)"},
      {"vector (1, 2, 3)", "4101(1,2,3;3x1)"},
      {"vector (5)", "4101(5;1x1)"},
      {"matrix(2,2,a,b,c,d)", "4101(@97,@98,@99,@100;2x2)"},
      {"matrix(a,b)", "4101(4106(@97,@98);1x1)"},
      {"(a + b)", "4104(@97,@98)"},
      {"[a + b]", "4155(4104(@97,@98))"},
      {"sum(a,b,c)", "4152(@97,@98,@99)"},
      {"notequal(a,b,c)", "4107(@97,@98,@99)"},
      {"over(a)", "4158(@97,?)"},
      // numbers and special names; 1e is 1 followed by the letter e
      {"1e", "<null>"},
      {".5e-3", "0.00050000000000000001"},
      {"pi + theta + ldots", "4104(@1,@3,@6)"},
      {"'x''' + 'theta'''", "4104(@10,@8)"}};
  for (const auto& [text, shape] : shapes) EXPECT_EQ(ShapeOf(text), shape) << text;
  const int32_t myfunc = GetVariableIDFromString("myfunc");
  EXPECT_EQ(ShapeOf("myfunc (x, y)"), "4103(@" + std::to_string(myfunc) + ",4106(@120,@121))");
}

// Nested sums and products become one node each, however they were
// grouped; past the most operands a node takes, the rest stays nested with
// every term kept in order.
TEST(ExpressionParser, SumsAndProductsFlatten) {
  EXPECT_EQ(ShapeOf("a + (b + c) - d * (e * f) * g"), "4104(@97,@98,@99,4118(4102(@100,@101,@102,@103)))");
  EXPECT_EQ(ShapeOf("(a + b) * (c + d) * e"), "4102(4104(@97,@98),4104(@99,@100),@101)");
  std::string text = "1";
  for (int i = 2; i <= 25000; ++i) {
    text += i % 7 == 0 ? " - " : " + ";
    text += std::to_string(i);
  }
  Tree tree = Parse(text);
  ASSERT_TRUE(tree);
  std::vector<double> terms;
  std::vector<const ExpressionRecord*> pending{tree.get()};
  while (!pending.empty()) {
    const ExpressionRecord* node = pending.back();
    pending.pop_back();
    if (node->opcode == kOpNumber) {
      const bool negated = node->parent && node->parent->opcode == kOpMinus;
      terms.push_back(negated ? -node->payload.number->value : node->payload.number->value);
      continue;
    }
    EXPECT_LE(node->operandCount, 10000);
    for (int32_t i = node->operandCount - 1; i >= 0; --i) pending.push_back(node->operands[i]);
  }
  ASSERT_EQ(terms.size(), 25000u);
  for (int i = 1; i <= 25000; ++i) EXPECT_EQ(terms[size_t(i - 1)], i % 7 == 0 && i > 1 ? -i : i);
}

TEST(ExpressionParser, RejectedTextsGiveNull) {
  for (const char* text : {"2 (3)", "x y", "f (x)", "", "   ", "x;", "2 2;", "5.", "a $ b", "(a", "a)", "''",
                           "x; Zentrolabworksheet 4; Window 1 2 3 4;", "matrix(2,2,a,b,c)", "matrix(0,1)",
                           "matrix(2.5,2,a,b,c,d,e)", "?(a)", "integral(a,t,0,b,c)"})
    EXPECT_EQ(ShapeOf(text), "<null>") << text;
  EXPECT_NE(ShapeOf("integral(a,t,0,b)"), "<null>");
  // Names are zero-terminated: one holding a zero byte is refused, not cut short.
  for (const std::string& text : {std::string("'a\0b'", 5), std::string("'\0'", 3)})
    EXPECT_EQ(ShapeOf(text), "<null>") << text.size();
}

TEST(ExpressionParser, InfinityAndNaN) {
  Tree inf = Parse("Infinity");
  ASSERT_TRUE(inf);
  EXPECT_TRUE(std::isinf(inf->payload.number->value));
  Tree nan = Parse("NaN");
  ASSERT_TRUE(nan);
  EXPECT_TRUE(std::isnan(nan->payload.number->value));
}

TEST(ExpressionParser, NestingIsCapped) {
  const std::string deep = std::string(20000, '(') + "x" + std::string(20000, ')');
  EXPECT_EQ(ShapeOf(deep), "<null>");
  EXPECT_EQ(ShapeOf("x" + std::string(5000, '!')), "<null>");
  std::string chain = "x";
  for (int i = 0; i < 3000; ++i) chain += "+x";
  EXPECT_NE(ShapeOf(chain), "<null>");  // long but flat
}

}  // namespace
