#include "AlgebraTestSupport.h"
#include "MonomialReading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// Multiplying out, however its cost changes, keeps its trees: the
// benchmark's polynomials and 300 random products of powers of sums, whose
// written results (terms, their order and coefficients) are kept in
// multiply_out_trees.txt; running with ZL_WRITE_MULTIPLY_OUT_TREES=1
// rewrites that file. Their values are checked apart against sympy's
// expansions.

namespace {

struct ProductCase {
  std::string formula;
  std::map<std::string, double> reference;
};

std::vector<ProductCase> LoadProductCases() {
  std::vector<ProductCase> cases;
  for (const std::string& line : DataLines("multiply_out_identity.txt")) {
    std::istringstream fields(line);
    ProductCase c;
    std::getline(fields, c.formula, '\t');
    for (std::string entry; std::getline(fields, entry, ';');) {
      const size_t colon = entry.find(':');
      c.reference[entry.substr(colon + 1)] = std::stod(entry.substr(0, colon));
    }
    cases.push_back(c);
  }
  return cases;
}

Tree MultipliedOut(const std::string& formula) {
  Tree tree = Parse(formula);
  if (tree) RunRewrite(tree.get(), Rewrite::kMultiplyOut);
  return tree;
}

TEST(MultiplyOutIdentity, TreesAreThoseWrittenBefore) {
  std::vector<std::string> lines;
  for (const ProductCase& c : LoadProductCases()) {
    const Tree tree = MultipliedOut(c.formula);
    lines.push_back(c.formula + "\t" + (tree ? Written(tree.get(), true) : "<unreadable>"));
  }
  const std::string path = std::string(ZL_TEST_DATA_DIR) + "/multiply_out_trees.txt";
  if (std::getenv("ZL_WRITE_MULTIPLY_OUT_TREES") != nullptr) {
    std::ofstream out(path);
    for (const std::string& line : lines) out << line << "\n";
    GTEST_SKIP() << "written " << path;
  }
  const std::vector<std::string> kept = DataLines("multiply_out_trees.txt");
  ASSERT_EQ(kept.size(), lines.size());
  for (size_t k = 0; k < lines.size(); ++k) EXPECT_EQ(lines[k], kept[k]) << "case " << k;
}

TEST(MultiplyOutIdentity, ValuesAreSympysExpansions) {
  const std::vector<ProductCase> cases = LoadProductCases();
  ASSERT_EQ(cases.size(), 315u);
  for (const ProductCase& c : cases) {
    const Tree tree = MultipliedOut(c.formula);
    ASSERT_TRUE(tree) << c.formula;
    // Like terms whose factors stand in another order are left apart
    // today: their coefficients add up here.
    std::vector<std::pair<std::string, double>> terms;
    ASSERT_TRUE(ReadTerms(tree.get(), &terms)) << c.formula;
    std::map<std::string, double> ours;
    for (const auto& [key, coefficient] : terms) ours[key] += coefficient;
    std::erase_if(ours, [](const auto& term) { return term.second == 0.0; });
    // Whole coefficients below 2^53 are exact; the others carry the
    // rounding of the sums and products that made them.
    EXPECT_EQ(ours.size(), c.reference.size()) << c.formula;
    for (const auto& [key, value] : c.reference) {
      const auto found = ours.find(key);
      ASSERT_NE(found, ours.end()) << c.formula << ": no " << key;
      EXPECT_NEAR(found->second, value, 1e-12 * std::abs(value)) << c.formula << ": " << key;
    }
  }
}

}  // namespace
