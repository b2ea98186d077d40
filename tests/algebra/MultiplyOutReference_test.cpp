#include "AlgebraTestSupport.h"
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

// Exponents by variable name; the key text of the reference file.
using Powers = std::map<std::string, int64_t>;

std::string KeyOf(const Powers& powers) {
  std::string key;
  for (const auto& [name, exponent] : powers) {
    if (exponent == 0) continue;
    if (!key.empty()) key += '*';
    key += name;
    if (exponent != 1) key += '^' + std::to_string(exponent);
  }
  return key.empty() ? "1" : key;
}

// Reads one monomial of the rewritten tree: a number, a letter, a letter
// to a whole power, or a product of these, each letter once. The sign
// multiplies the coefficient; false for anything else.
bool ReadMonomial(const ExpressionRecord* node, int64_t sign, double* coefficient, Powers* powers) {
  auto letter = [&](const ExpressionRecord* atom, int64_t exponent) {
    if (!IsKind(atom, kOpAtom) || atom->payload.id < 'a' || atom->payload.id > 'z') return false;
    const std::string name(1, char(atom->payload.id));
    if (powers->count(name)) return false;  // the same letter twice: not grouped
    (*powers)[name] = sign * exponent;
    return true;
  };
  auto factor = [&](const ExpressionRecord* f) {
    if (IsNumberNode(f)) {
      *coefficient *= NumberValue(f);
      return true;
    }
    if (IsPower(f) && IsNumberNode(f->operands[1]) && std::trunc(NumberValue(f->operands[1])) == NumberValue(f->operands[1]))
      return letter(f->operands[0], int64_t(NumberValue(f->operands[1])));
    return letter(f, 1);
  };
  if (IsNegation(node)) {
    *coefficient = -*coefficient;
    node = node->operands[0];
  }
  if (!IsProduct(node)) return factor(node);
  for (int32_t k = 0; k < node->operandCount; ++k) {
    if (IsNumberNode(node->operands[k]) && k != 0) return false;  // numbers gather in front
    if (!factor(node->operands[k])) return false;
  }
  return true;
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
  std::vector<const ExpressionRecord*> terms;
  if (IsSum(tree)) {
    for (int32_t k = 0; k < tree->operandCount; ++k) terms.push_back(tree->operands[k]);
  } else if (!IsNumberEqualTo(tree, 0.0)) {
    terms.push_back(tree);
  }
  std::map<std::string, double> seen;
  std::vector<std::string> entries;
  for (const ExpressionRecord* term : terms) {
    double coefficient = 1.0;
    Powers powers;
    if (!ReadMonomial(term, 1, &coefficient, &powers)) return "a term is not a monomial";
    const std::string key = KeyOf(powers);
    if (seen.count(key)) return "monomial twice: " + key;
    seen[key] = coefficient;
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
