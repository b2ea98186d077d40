#include "matheditor/TypingHints.h"

#include "expression/ExpressionParser.h"
#include "expression/MathEditRecord.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// Square brackets read as grouping nodes, as the editor makes them.
// A record of the formula with the caret after the node reached by the
// operand indexes from the root.
class Caret {
 public:
  Caret(const char* formula, std::initializer_list<int> path) : fRecord(NewMEPtr()) {
    fRecord->root = ParseExprFromString(formula);
    ExpressionRecord* node = fRecord->root;
    for (int i : path) node = node->operands[i];
    fRecord->selected = node;
    fRecord->caretType = kIPAfterNode;
  }
  ~Caret() { MEDispose(fRecord); }
  Caret(const Caret&) = delete;
  Caret& operator=(const Caret&) = delete;

  const MERecord* operator->() const { return fRecord; }
  const MERecord* get() const { return fRecord; }

 private:
  MERecord* fRecord;
};

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
  Caret caret("y = x^2", {1, 1});
  const_cast<MERecord*>(caret.get())->caretType = kIPWholeNode;
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
