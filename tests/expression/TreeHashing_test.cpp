#include <gtest/gtest.h>

#include "expression/ExpressionParser.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeHashing.h"
#include "tests/expression/RandomExpressionTrees.h"

namespace {

// Equal trees must hash alike, or sharing would miss them; unequal ones
// should not, or every search would compare them.
TEST(TreeHashing, HashesAgreeWithTreeEquality) {
  TreeMaker maker(55, true);
  std::vector<ExpressionRecord*> trees;
  for (int i = 0; i < 300; ++i) {
    trees.push_back(maker.Make(1 + i % 3, kOpNumber, true));
    if (i % 5 == 0) trees.push_back(Copy(trees.back()));
  }
  SubtreeHashes hashes;
  int equalPairs = 0, unequalPairs = 0, collisions = 0;
  for (size_t i = 0; i < trees.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      const bool sameHash = hashes.Of(trees[i]) == hashes.Of(trees[j]);
      if (MATH_Equal(trees[i], trees[j])) {
        ++equalPairs;
        EXPECT_TRUE(sameHash) << i << " " << j;
      } else {
        ++unequalPairs;
        collisions += sameHash;
      }
    }
  }
  EXPECT_GT(equalPairs, 60);
  // NaN is unequal to itself: trees differing by nothing else hash alike.
  EXPECT_LT(collisions, unequalPairs / 100);
  for (ExpressionRecord* tree : trees) DisposExpr(tree);
}

TEST(TreeHashing, SignedZerosStringsAndNamesHashAsTheyCompare) {
  const auto hashOf = [](const char* text) {
    ExpressionRecord* tree = ParseExprFromString(text);
    SubtreeHashes hashes;
    const uint64_t hash = hashes.Of(tree);
    DisposExpr(tree);
    return hash;
  };
  EXPECT_EQ(hashOf("sin(x) + \"ab\""), hashOf("sin(x) + \"ab\""));
  EXPECT_NE(hashOf("sin(x) + \"ab\""), hashOf("sin(x) + \"ac\""));
  EXPECT_NE(hashOf("sin(x)"), hashOf("sin(y)"));
  EXPECT_NE(hashOf("x - y"), hashOf("y - x"));
  ExpressionRecord* zero = ParseExprFromString("0 * x");
  ExpressionRecord* negativeZero = Copy(zero);
  negativeZero->operands[0]->payload.number->value = -0.0;
  ASSERT_TRUE(MATH_Equal(zero, negativeZero));
  SubtreeHashes hashes;
  EXPECT_EQ(hashes.Of(zero), hashes.Of(negativeZero));
  // Cleared, the hashes are worked out again, the same.
  const uint64_t before = hashes.Of(zero);
  hashes.Clear();
  EXPECT_EQ(hashes.Of(zero), before);
  DisposExpr(zero);
  DisposExpr(negativeZero);
}

}  // namespace
