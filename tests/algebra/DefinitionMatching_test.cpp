#include "algebra/DefinitionMatching.h"
#include "tests/algebra/AlgebraTestSupport.h"

#include "expression/TreeComparison.h"
#include "expression/TreeShorthands.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The parsed text with every atom named in `placeholders` turned into the
// placeholder of that letter's id.
Tree Rule(const std::string& text, const std::string& placeholders) {
  Tree rule = Parse(text);
  PostOrder(rule.get(), [&](ExpressionRecord* n) {
    if (n->opcode == kOpAtom && placeholders.find(static_cast<char>(n->payload.id)) != std::string::npos)
      Become(n, Dummy(n->payload.id));
  });
  return rule;
}

std::string Applied(const std::string& text, const std::string& rule, const std::string& placeholders = "") {
  Tree tree = Parse(text);
  Tree r = Rule(rule, placeholders);
  MATCH_Single(tree.get(), r.get());
  MATCH_NullifyBindings();
  return Written(tree.get());
}

std::string AppliedEverywhere(const std::string& text, const std::string& rule, const std::string& placeholders = "") {
  Tree tree = Parse(text);
  Tree r = Rule(rule, placeholders);
  MATCH_ApplyDefinitionOnce(tree.get(), r.get());
  return Written(tree.get());
}

TEST(DefinitionMatching, PlaceholdersBindAndRepeatsMustAgree) {
  EXPECT_EQ(Applied("function(f,3)", "function(f,p)=p^2", "p"), "9");
  EXPECT_EQ(Applied("function(f,a+b)", "function(f,p)=p^2", "p"), Reparsed("(a+b)^2"));
  EXPECT_EQ(Applied("function(g,3)", "function(f,p)=p^2", "p"), "function(g,3)");
  EXPECT_EQ(Applied("function(h,x,x)", "function(h,p,p)=2*p", "p"), "2*x");
  EXPECT_EQ(Applied("function(h,x,y)", "function(h,p,p)=2*p", "p"), Reparsed("function(h,x,y)"));
  // A rule that is no equation of two sides matches nothing.
  EXPECT_EQ(Applied("function(f,3)", "function(f,p)", "p"), "function(f,3)");
}

TEST(DefinitionMatching, FirstAlternativeWinsAndFailedBindingsAreDiscarded) {
  EXPECT_EQ(Applied("function(f,5)", "function(f,p)=function(f,p,0)=p+1", "p"), "6");
  // q binds to 1 in the first alternative before it fails on the 2; the
  // second must see q unbound.
  EXPECT_EQ(Applied("function(h,1,2,2)", "function(h,q,1,q)=function(h,r,q,q)=q*r", "qr"), "2");
}

TEST(DefinitionMatching, ApplyingOnceDoesNotEnterWhatItPutThere) {
  EXPECT_EQ(AppliedEverywhere("x^2+sin(x)", "x=x+1"), Reparsed("(x+1)^2+sin(x+1)"));
  // Nested applications: the outer one is rewritten, its argument is not.
  EXPECT_EQ(AppliedEverywhere("function(f,function(f,2))", "function(f,p)=p+1", "p"), Reparsed("function(f,2)+1"));
  EXPECT_EQ(AppliedEverywhere("y", "x=2"), "y");
}

TEST(DefinitionMatching, SeveralRulesFirstThatRewritesWins) {
  Tree tree = Parse("function(f,1)+function(g,2)");
  Tree f = Rule("function(f,p)=10*p", "p");
  Tree g = Rule("function(g,p)=100*p", "p");
  const ExpressionRecord* rules[] = {f.get(), g.get()};
  EXPECT_TRUE(MATCH_ApplyDefinitionsOnce(tree.get(), rules, 2));
  EXPECT_EQ(Written(tree.get()), Reparsed("10+200"));
  EXPECT_FALSE(MATCH_ApplyDefinitionsOnce(tree.get(), rules, 2));
}

TEST(DefinitionMatching, ColourAndDirectionColumnsStayUntouched) {
  EXPECT_EQ(AppliedEverywhere("matrix(3,1,r,g,b)=matrix(3,1,r,0,0)", "r=5"),
            Reparsed("matrix(3,1,r,g,b)=matrix(3,1,5,0,0)"));
  EXPECT_EQ(AppliedEverywhere("matrix(3,1,h,s,v)", "s=5"), Reparsed("matrix(3,1,h,s,v)"));
  EXPECT_EQ(AppliedEverywhere("matrix(2,1,d*x,d*y)=matrix(2,1,y,x)", "x=2"),
            Reparsed("matrix(2,1,d*x,d*y)=matrix(2,1,y,2)"));
}

TEST(DefinitionMatching, ATableThatCannotGrowFailsTheMatch) {
  Tree tree = Parse("function(f,3)");
  Tree rule = Rule("function(f,p)=p^2", "p");
  const double memory = gPhysicalMemory.load();
  gPhysicalMemory = 1;  // every further block is refused
  const int32_t matched = MATCH_Single(tree.get(), rule.get());
  gPhysicalMemory = memory;
  gMathError = 0;
  EXPECT_EQ(matched, 0);
  EXPECT_EQ(Written(tree.get()), "function(f,3)");
}

// The parser and the writer run on the main thread only; the matching runs
// on eight at once, each with its own rule.
TEST(DefinitionMatching, EachThreadHasItsOwnBindings) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 200;
  std::vector<Tree> rules;
  std::vector<std::vector<Tree>> trees(kThreads);
  std::vector<Tree> alone;
  for (int k = 0; k < kThreads; ++k) {
    const std::string n = std::to_string(k + 1);
    rules.push_back(Rule("function(h,p,q,p)=p*q+" + n, "pq"));
    for (int round = 0; round < kRounds; ++round)
      trees[k].push_back(Parse("function(h," + n + ",y+" + std::to_string(round) + "," + n + ")+function(h,1,2,3)"));
    alone.push_back(Tree(Copy(trees[k].back().get())));
    MATCH_ApplyDefinitionOnce(alone.back().get(), rules.back().get());
  }
  std::vector<std::thread> threads;
  for (int k = 0; k < kThreads; ++k)
    threads.emplace_back([&, k] {
      for (Tree& t : trees[k]) MATCH_ApplyDefinitionOnce(t.get(), rules[k].get());
    });
  for (auto& t : threads) t.join();
  for (int k = 0; k < kThreads; ++k) EXPECT_TRUE(MATH_Equal(trees[k].back().get(), alone[k].get())) << k;
  EXPECT_EQ(Written(alone[2].get()), Reparsed("3*(y+199)+3+function(h,1,2,3)"));
}

}  // namespace
