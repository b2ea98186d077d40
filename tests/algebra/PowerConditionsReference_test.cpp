#include "AlgebraTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

// Formulas of powers, roots and logarithms through the commands, each result
// evaluated by our numeric engine (letters put in as numbers) against
// mpmath's value of the formula the user selected, at real points where
// that one is defined, negative arguments included.

namespace {

struct Point {
  double x = 0, y = 0, z = 0;
  double expected = 0;
  double scale = 1;
};

struct Formulas {
  std::map<std::string, std::vector<Point>> values;       // over x, y, z
  std::map<std::string, std::vector<Point>> derivatives;  // d/dx, over x
};

Formulas Load() {
  Formulas formulas;
  for (const std::string& line : DataLines("real_powers_reference.txt")) {
    std::istringstream fields(line);
    std::string kind;
    std::string formula;
    std::getline(fields, kind, '\t');
    std::getline(fields, formula, '\t');
    Point p;
    if (kind == "V") {
      fields >> p.x >> p.y >> p.z >> p.expected >> p.scale;
      formulas.values[formula].push_back(p);
    } else {
      fields >> p.x >> p.expected;
      formulas.derivatives[formula].push_back(p);
    }
  }
  return formulas;
}

struct Command {
  const char* name;
  int32_t code;
};

constexpr Command kCommands[] = {{"simplify", 0x2000}, {"multiply out", 0x2002}, {"evaluate", 0x201B}};

// Rounding grows with the sizes of the parts a rearrangement adds.
bool Agrees(double ours, const Point& p) {
  return std::abs(ours - p.expected) <= 1e-9 * std::max({1.0, std::abs(p.expected), p.scale});
}

std::string Failure(const std::string& what, const std::string& formula, const std::string& result, const Point& p,
                    double ours) {
  std::ostringstream text;
  text << what << " of " << formula << " gave " << result << ": at x=" << p.x << " y=" << p.y << " z=" << p.z << " "
       << ours << " for " << p.expected << "\n";
  return text.str();
}

TEST(RealPowersReference, TheEngineReadsTheFormulasAsTheReferenceDoes) {
  const Formulas formulas = Load();
  int compared = 0;
  for (const auto& [formula, points] : formulas.values) {
    Tree tree = Parse(formula);
    ASSERT_TRUE(tree) << formula;
    for (const Point& p : points) {
      ++compared;
      EXPECT_TRUE(Agrees(ValueAt(tree.get(), p.x, p.y, p.z), p))
          << formula << " at " << p.x << " " << p.y << " " << p.z;
    }
  }
  EXPECT_GE(formulas.values.size(), 300u);
  EXPECT_GE(formulas.derivatives.size(), 150u);
  EXPECT_GT(compared, 1000);
}

TEST(RealPowersReference, CommandsKeepTheValueOfTheSelection) {
  std::string failures;
  for (const auto& [formula, points] : Load().values) {
    for (const Command& command : kCommands) {
      const std::string result = RunCode(command.code, formula).formula;
      Tree tree = Parse(result);
      ASSERT_TRUE(tree) << command.name << " of " << formula << " gave " << result;
      for (const Point& p : points) {
        const double ours = ValueAt(tree.get(), p.x, p.y, p.z);
        if (!Agrees(ours, p)) failures += Failure(command.name, formula, result, p, ours);
      }
    }
  }
  EXPECT_EQ(failures, "");
}

TEST(RealPowersReference, DerivativesMatchSympy) {
  std::string failures;
  for (const auto& [formula, points] : Load().derivatives) {
    const std::string result = RunCode(0x2000, "function(optotal(x)," + formula + ")").formula;
    Tree tree = Parse(result);
    ASSERT_TRUE(tree) << formula << " gave " << result;
    for (const Point& p : points) {
      const double ours = ValueAt(tree.get(), p.x, 0.0);
      if (!Agrees(ours, p)) failures += Failure("d/dx", formula, result, p, ours);
    }
  }
  EXPECT_EQ(failures, "");
}

}  // namespace
