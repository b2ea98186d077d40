#include "matheditor/TypingHints.h"

#include "expression/ExpressionParser.h"
#include "expression/MathEditRecord.h"
#include "tests/matheditor/OwnedRecord.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace {

// A record of the formula (square brackets read as grouping nodes, as the
// editor makes them) with the caret after the node the operand indexes
// reach from the root.
OwnedRecord Caret(const char* formula, std::initializer_list<int> path) {
  OwnedRecord record(NewMEPtr());
  record->root = ParseExprFromString(formula);
  ExpressionRecord* node = record->root;
  for (int i : path) node = node->operands[i];
  record->selected = node;
  record->caretType = kIPAfterNode;
  return record;
}

TEST(TypingHints, ExponentAndFractionEndsAreFoundThroughLastOperandsOnly) {
  EXPECT_TRUE(IsIPAfterExponent(Caret("y = x^2", {1, 1}).get()));
  EXPECT_FALSE(IsIPAfterExponent(Caret("y = x^2", {1, 0}).get()));  // after the base
  EXPECT_FALSE(IsIPAfterFraction(Caret("y = x^2", {1, 1}).get()));
  EXPECT_TRUE(IsIPAfterFraction(Caret("y = a/b", {1, 1}).get()));
  EXPECT_FALSE(IsIPAfterFraction(Caret("y = a/b", {1, 0}).get()));  // after the numerator
  // The exponent's sum: its last term ends the exponent, the first does not.
  EXPECT_TRUE(IsIPAfterExponent(Caret("x^(a + b)", {1, 1}).get()));
  EXPECT_FALSE(IsIPAfterExponent(Caret("x^(a + b)", {1, 0}).get()));
  // A fraction inside an exponent ends the fraction, not the exponent.
  EXPECT_TRUE(IsIPAfterFraction(Caret("x^(a/b)", {1, 1}).get()));
  EXPECT_FALSE(IsIPAfterExponent(Caret("x^(a/b)", {1, 1}).get()));
}

TEST(TypingHints, OnlyACaretAfterANodeCounts) {
  OwnedRecord caret = Caret("y = x^2", {1, 1});
  caret->caretType = kIPWholeNode;
  EXPECT_FALSE(IsIPAfterExponent(caret.get()));
  EXPECT_FALSE(IsIPAfterExponent(nullptr));
}

TEST(TypingHints, FunctionOfXWrittenAsAProduct) {
  EXPECT_TRUE(IsIPAfterFofX(Caret("f*[x] = x^2", {}).get()));
  EXPECT_TRUE(IsIPAfterFofX(Caret("f*[x]", {}).get()));
  EXPECT_FALSE(IsIPAfterFofX(Caret("g*[x] = x^2", {}).get()));
  EXPECT_FALSE(IsIPAfterFofX(Caret("f*[y] = x^2", {}).get()));
  EXPECT_FALSE(IsIPAfterFofX(Caret("y = f*[x]", {}).get()));
}

}  // namespace
