#include "algebra/AlgebraStartup.h"
#include "algebra/Differentiation.h"
#include "tests/algebra/AlgebraTestSupport.h"
#include "tests/algebra/Derivatives.h"
#include "tests/evaluation/RandomFormulas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The derivatives' trees, printed, against those the differentiation wrote
// before its hashing of long sums was bounded: 10,000 random formulas and
// the nests the long-formula benchmark derives. The file holds a hash of
// each case's printed trees (the nests' run to megabytes); running with
// ZL_WRITE_DERIVATIVE_TREES=1 rewrites it.

namespace {

constexpr char kFile[] = "derivative_trees.txt";

std::string NestOf(const char* opening, int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += opening;
  return text + "x" + std::string(size_t(depth), ')');
}

// The command's simplified derivative and the compiled expression's.
std::string SimplifiedAndCompiledDerivatives(const std::string& text) {
  Tree simplified = SimplifiedDerivative(text);
  Tree plain = Parse(text);
  if (!simplified || !plain) return "<unreadable>";
  std::unique_ptr<AnExpression> compiled = CompiledDerivative(plain.get());
  return Written(simplified.get(), true) + "\n" + (compiled ? Written(compiled->Tree(), true) : "<none>");
}

uint64_t Fnv(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
  return hash;
}

std::vector<std::string> Cases() {
  std::vector<std::string> cases;
  for (const char* opening : {"sin(", "tan(", "sec(", "sin(x^2*"})
    for (const int depth : {1, 2, 3, 10, 50, 150}) cases.push_back(NestOf(opening, depth));
  // Products of matrices, whose factors keep their order.
  for (const char* text :
       {"matrix(2,2,x,1,0,2) * matrix(2,2,1,x,3,0)", "sin(x) * matrix(2,2,1,x,3,0) * matrix(2,2,x,1,0,2)",
        "x^2 * matrix(1,2,x,1) * matrix(2,1,1,x)", "matrix(2,2,y,x,3,0) * matrix(2,2,x,y,0,2) * x"})
    cases.push_back(text);
  FormulaMaker maker(73);
  for (int k = 0; k < 10000; ++k) {
    if (k % 100 == 0) maker.NewPool();
    // Most of the maker's leaves are other variables: y, z, w and v become
    // x, so that most formulas depend on x (no function name holds them).
    std::string text = maker.Make(4, "");
    for (char& c : text)
      if (c == 'y' || c == 'z' || c == 'w' || c == 'v') c = 'x';
    cases.push_back(text);
  }
  return cases;
}

TEST(DerivativeTrees, AreTheTreesWrittenBefore) {
  InstallAlgebra();
  const std::vector<std::string> cases = Cases();
  std::vector<std::string> lines;
  for (const std::string& text : cases) {
    char hash[24];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(Fnv(SimplifiedAndCompiledDerivatives(text))));
    lines.push_back(std::string(hash) + " " + text);
  }
  const std::string path = std::string(ZL_TEST_DATA_DIR) + "/" + kFile;
  if (std::getenv("ZL_WRITE_DERIVATIVE_TREES") != nullptr) {
    std::ofstream out(path);
    for (const std::string& line : lines) out << line << "\n";
    GTEST_SKIP() << "written " << path;
  }
  std::ifstream in(path);
  std::string line;
  size_t k = 0;
  for (; std::getline(in, line); ++k) {
    ASSERT_LT(k, lines.size());
    EXPECT_EQ(lines[k], line) << "case " << k;
  }
  EXPECT_EQ(k, lines.size());
}

}  // namespace
