#include "AlgebraTestSupport.h"
#include "MonomialReading.h"
#include "algebra/SimplifierNodes.h"
#include "expression/TreeCopying.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <sstream>
#include <thread>
#include <vector>

namespace {

struct Reference {
  char kind;  // 'E' multiplied out, 'Q' a quotient brought to normal form
  std::string formula;
  std::string monomials;
};

std::vector<Reference> LoadReferences() {
  std::vector<Reference> references;
  for (const std::string& line : DataLines("multiply_out_reference.txt")) {
    std::istringstream fields(line);
    Reference r;
    std::string kind;
    std::getline(fields, kind, '\t');
    std::getline(fields, r.formula, '\t');
    std::getline(fields, r.monomials);
    r.kind = kind.empty() ? '?' : kind[0];
    references.push_back(r);
  }
  return references;
}

std::string CoefficientText(double numerator, double denominator) {
  std::ostringstream text;
  text.precision(17);
  text << numerator;
  if (denominator != 1.0) text << '/' << denominator;
  return text.str();
}

// "coefficient:key;..." sorted as the reference file has it, or a reason.
std::string ExpandedMonomials(const ExpressionRecord* tree) {
  std::vector<std::pair<std::string, double>> terms;
  if (!ReadTerms(tree, &terms)) return "a term is not a monomial";
  std::map<std::string, double> seen;
  std::vector<std::string> entries;
  for (const auto& [key, coefficient] : terms) {
    if (!seen.emplace(key, coefficient).second) return "monomial twice: " + key;
    entries.push_back(CoefficientText(coefficient, 1.0) + ":" + key);
  }
  std::sort(entries.begin(), entries.end());
  std::string joined;
  for (const std::string& entry : entries) joined += (joined.empty() ? "" : ";") + entry;
  return joined;
}

// "p/q:key" of a quotient of monomials in lowest terms, or a reason.
std::string NormalMonomial(const ExpressionRecord* tree) {
  double sign = 1.0;
  if (IsNegation(tree)) {
    sign = -1.0;
    tree = tree->operands[0];
  }
  double numerator = sign;
  double denominator = 1.0;
  Powers powers;
  const bool read = IsQuotient(tree) ? ReadMonomial(tree->operands[0], 1, &numerator, &powers) &&
                                           ReadMonomial(tree->operands[1], -1, &denominator, &powers)
                                     : ReadMonomial(tree, 1, &numerator, &powers);
  if (!read) return "not a quotient of monomials";
  if (denominator < 0) return "negative denominator";
  if (std::gcd(int64_t(std::fabs(numerator)), int64_t(denominator)) != 1) return "not in lowest terms";
  return CoefficientText(numerator, denominator) + ":" + KeyOf(powers);
}

// The rule set alone on a copy, so that terms keep their negative numbers.
// The parser is not reentrant: threads rewrite trees parsed beforehand.
std::string Result(const ExpressionRecord* parsed, char kind, Rewrite rewrite) {
  Tree tree(Copy(parsed));
  ScopedAlgebraSwitch multiply(Math_Multiply_Out, rewrite == Rewrite::kMultiplyOut ? 1 : 0);
  ScopedAlgebraSwitch powers(gSimplifyPowers, rewrite == Rewrite::kKeepPowers ? 0 : 1);
  SIMP_Recurse(tree.get());
  return kind == 'E' ? ExpandedMonomials(tree.get()) : NormalMonomial(tree.get());
}

std::string Result(const Reference& r, Rewrite rewrite) {
  Tree tree = Parse(r.formula);
  return tree ? Result(tree.get(), r.kind, rewrite) : "<unreadable>";
}

TEST(MultiplyOutReference, ProductsAndPowersOfSumsExpandToGiNaCsMonomials) {
  const std::vector<Reference> references = LoadReferences();
  ASSERT_EQ(references.size(), 700u);
  for (const Reference& r : references) {
    if (r.kind != 'E') continue;
    EXPECT_EQ(Result(r, Rewrite::kMultiplyOut), r.monomials) << r.formula;
  }
  EXPECT_EQ(gMathError.load(), 0);
}

TEST(MultiplyOutReference, QuotientsOfMonomialsCancelToGiNaCsNormalForm) {
  for (const Reference& r : LoadReferences()) {
    if (r.kind != 'Q') continue;
    EXPECT_EQ(Result(r, Rewrite::kSimplify), r.monomials) << r.formula;
  }
}

// Eight threads rewrite the same corpus at once, alternately multiplying
// out and simplifying without power rules; each must get the answers one
// thread alone gets.
TEST(MultiplyOutReference, EightThreadsAtOnceGetTheSingleThreadAnswers) {
  std::vector<Reference> corpus = LoadReferences();
  corpus.erase(corpus.begin() + 60, corpus.end() - 60);
  std::vector<Tree> trees;
  for (const Reference& r : corpus) trees.push_back(Parse(r.formula));
  const Rewrite modes[2] = {Rewrite::kMultiplyOut, Rewrite::kKeepPowers};
  std::vector<std::string> alone[2];
  for (int m = 0; m < 2; ++m)
    for (size_t k = 0; k < corpus.size(); ++k) alone[m].push_back(Result(trees[k].get(), corpus[k].kind, modes[m]));
  std::vector<std::vector<std::string>> answers(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (size_t k = 0; k < corpus.size(); ++k)
        answers[t].push_back(Result(trees[k].get(), corpus[k].kind, modes[t % 2]));
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(answers[t], alone[t % 2]) << "thread " << t;
}

}  // namespace
