#include "tests/expression/ParserTestSupport.h"
#include "tests/expression/RandomExpressionTrees.h"

#include "CoreUtilities/text/OurString.h"
#include "expression/NodeContents.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeRewriting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>

namespace {

// Strict equality: kinds, counts, number bits (NaN as NaN), ids, texts and
// the shapes of matrices and subscripts.
::testing::AssertionResult SameTree(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (!a || !b) return ::testing::AssertionFailure() << "missing node";
  if (a->opcode != b->opcode || a->operandCount != b->operandCount)
    return ::testing::AssertionFailure() << "kind " << a->opcode << "/" << b->opcode;
  switch (a->opcode) {
    case kOpNumber: {
      const double x = a->payload.number->value, y = b->payload.number->value;
      if (std::isnan(x) ? !std::isnan(y) : std::memcmp(&x, &y, sizeof x) != 0)
        return ::testing::AssertionFailure() << x << " vs " << y;
      break;
    }
    case kOpAtom:
      if (a->payload.id != b->payload.id) return ::testing::AssertionFailure() << "id";
      break;
    case kOpString:
      if (!OurStringEqual(a->text, b->text)) return ::testing::AssertionFailure() << "text";
      break;
    case kOpMatrix:
    case kOpIndexes:
      if (a->payload.shape.rows != b->payload.shape.rows || a->payload.shape.columns != b->payload.shape.columns)
        return ::testing::AssertionFailure() << "shape";
      break;
    default: break;
  }
  if (a->opcode == kOpString) return ::testing::AssertionSuccess();
  for (int32_t i = 0; i < a->operandCount; ++i) {
    auto same = SameTree(a->operands[i], b->operands[i]);
    if (!same) return same;
  }
  return ::testing::AssertionSuccess();
}

void RoundTrips(uint32_t seed, bool brackets) {
  TreeMaker maker(seed, brackets);
  for (int i = 0; i < 5000; ++i) {
    Tree tree(maker.Make(1 + i % 4, 0, true));
    const std::string text = Written(tree.get(), brackets);
    Tree back = Parse(text);
    ASSERT_TRUE(back) << text;
    ASSERT_TRUE(SameTree(tree.get(), back.get())) << text;
    ASSERT_EQ(Written(back.get(), brackets), text);
  }
  EXPECT_EQ(maker.fSeen.size(), size_t(brackets ? 104 : 103));
}

TEST(RoundTrip, RandomTreesWithoutGrouping) { RoundTrips(11, false); }
TEST(RoundTrip, RandomTreesWithGroupingBrackets) { RoundTrips(12, true); }

TEST(RoundTrip, TokenSoupsAndPrefixesNeverCrash) {
  const char* pieces[] = {
      "a",      "1",   "2.5e3", "+", "-", "*",  "/",        "^",        "_",   "=",        "<",
      ">",      ",",   "!",     "(", ")", "[",  "]",        "|",        "?",   "sin",      "vector",
      "matrix", "'q'", "\"s\"", ";", "$", "pi", "Infinity", "notequal", "sum", "function", "Window 1 2 3 4",
      "Expr",   " "};
  std::mt19937 random(5);
  for (int i = 0; i < 10000; ++i) {
    std::string text;
    const int length = 1 + int(random() % 12);
    for (int k = 0; k < length; ++k) text += pieces[random() % std::size(pieces)];
    Tree tree = Parse(text);
    if (tree) {
      EXPECT_TRUE(Parse(Written(tree.get()))) << text;
    }
  }
  const std::string edge = "-a*b+vector(1,2,3)^sum(x,y,z)! = notequal(a,b,c), matrix(2,1,'x''',\"s\"\"t\")_[q]";
  for (size_t n = 0; n <= edge.size(); ++n) Parse(edge.substr(0, n));
}

}  // namespace
