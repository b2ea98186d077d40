#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "document/MathPaneResults.h"
#include "graphs2d/APointPlot.h"
#include "tests/document/GraphedDocument.h"

namespace {

using ComplexValue = std::complex<double>;

constexpr double kPointPi = 3.141592653589793;
const ComplexValue kUnitI(0, 1);

// x from -3.75 to 3.75 and y from -3.125 to 3.125 at 32 pixels per unit:
// every point below is in view.
constexpr char kWidePointView[] = "2D.Scale 0.5 0.5 2 2;\n2D.BottomLeft -3.125 -3.75;\n";

class ComplexPoints : public GraphingTest {};

// The point the block's equation drew, or null.
APointPlot* PointOfBlock(GraphedDocument& g, int32_t block) {
  const AListGenericSmall<int32_t>* rows = g.document->fContents.blocks[block].graphRows;
  if (rows == nullptr || rows->Count() == 0) return nullptr;
  const GraphLookup::Pair& pair = g.document->fGraphPane->Lookup()[(*rows)[0]].pairs[0];
  return pair.view ? dynamic_cast<APointPlot*>(pair.view->GraphAt(pair.index)) : nullptr;
}

// The value as the sum a point is written as; an imaginary part below the
// digits keeps its sign, so the point stays off the real line.
std::string WrittenAsPoint(ComplexValue z) {
  const double im = std::abs(z.imag()) < 1e-11 ? std::copysign(1e-11, z.imag()) : z.imag();
  char text[96];
  std::snprintf(text, sizeof text, "(%.12f) + (%.12f)*i", z.real(), im);
  return text;
}

void ExpectComplexNear(ComplexValue got, ComplexValue want, double tolerance, const std::string& what) {
  const double scale = std::max(1.0, std::abs(want));
  EXPECT_NEAR(got.real(), want.real(), tolerance * scale) << what;
  EXPECT_NEAR(got.imag(), want.imag(), tolerance * scale) << what;
}

// A point's equation among other blocks.
struct PointForm {
  std::string before, name, formula, after;
  ComplexValue value;
  std::string Statements(const std::string& right) const {
    return kWidePointView + before + "Expr " + name + " = " + right + ";\n" + after;
  }
  int32_t Block() const { return int32_t(std::count(before.begin(), before.end(), '\n')); }
};

// Names set to values that need a function, a power or a division, alone,
// through other definitions in either order, and as z = ...
std::vector<PointForm> PointForms() {
  return {
      {"", "p", "(2+4*i)/2", "", ComplexValue(2, 4) / 2.0},
      {"", "s", "3*e^(i*pi/3)", "", 3.0 * std::exp(kUnitI * kPointPi / 3.0)},
      {"", "p", "sqrt(-4)", "", ComplexValue(0, 2)},
      {"", "p", "cos(pi)+2*i", "", std::cos(kPointPi) + 2.0 * kUnitI},
      {"", "p", "(1+i)^2", "", std::pow(ComplexValue(1, 1), 2)},
      {"", "q", "e^(i*pi)", "", std::exp(kUnitI * kPointPi)},
      {"", "p", "i*e^(i*pi/4)/(1-i)", "", kUnitI * std::exp(kUnitI * kPointPi / 4.0) / ComplexValue(1, -1)},
      {"", "p", "ln(-2)", "", std::log(ComplexValue(-2, 0))},
      {"Expr a = 2/3;\n", "p", "a + a*i", "", ComplexValue(2.0 / 3, 2.0 / 3)},
      {"", "p", "a*e^(i*pi/4)", "Expr a = sqrt(2);\n", std::sqrt(2.0) * std::exp(kUnitI * kPointPi / 4.0)},
      {"Expr 'f'(x) = x^2;\n", "p", "'f'(1+i)", "", ComplexValue(0, 2)},
      {"", "z", "(2+4*i)/2", "", ComplexValue(1, 2)},
      {"", "z", "sqrt(-4) - 1", "", ComplexValue(-1, 2)},
  };
}

TEST_F(ComplexPoints, NamesSetToComputedValuesAreDrawnAtThoseValues) {
  for (const PointForm& form : PointForms()) {
    SCOPED_TRACE(form.name + " = " + form.formula);
    GraphedDocument g(form.Statements(form.formula));
    ASSERT_TRUE(g.document && g.RunUntilDone());
    APointPlot* point = PointOfBlock(g, form.Block());
    ASSERT_NE(point, nullptr);
    ExpectComplexNear({point->X(), point->Y()}, form.value, 1e-12, "computed");
    // The picture is that of the point written out as its value.
    GraphedDocument written(form.Statements(WrittenAsPoint(form.value)));
    ASSERT_TRUE(written.RunUntilDone());
    EXPECT_EQ(DifferingPixels(g.Picture(), written.Picture()), 0);
  }
}

// A random constant formula in i, numbers, pi and e, with its value by
// std::complex; formulas that come near a branch cut, a pole or large
// values are left out, as the two libraries may part there.
class ComplexFormulaMaker {
 public:
  explicit ComplexFormulaMaker(uint64_t seed) : fRandom(seed) {}

  bool Make(int depth, std::string& text, ComplexValue& value) {
    bool usesI = false;
    return Node(depth, text, value, usesI) && usesI && std::abs(value) < 1e4 &&
           std::abs(value.imag()) > 1e-3 * std::abs(value);
  }

 private:
  int Pick(int n) { return static_cast<int>(fRandom() % static_cast<uint64_t>(n)); }

  static bool Sound(ComplexValue z) { return std::isfinite(z.real()) && std::isfinite(z.imag()) && std::abs(z) < 1e4; }
  static bool OffTheCut(ComplexValue z) {
    return std::abs(z) > 1e-3 && !(z.real() < 0 && std::abs(z.imag()) < 1e-6 * std::abs(z));
  }

  bool Leaf(std::string& text, ComplexValue& value, bool& usesI) {
    switch (Pick(6)) {
      case 0: value = 1 + Pick(9), text = std::to_string(int(value.real())); return true;
      case 1: value = 0.5, text = "0.5"; return true;
      case 2: value = kUnitI, text = "i", usesI = true; return true;
      case 3: value = kPointPi, text = "pi"; return true;
      case 4: value = std::exp(1.0), text = "e"; return true;
      default: value = ComplexValue(3, -1), text = "(3-i)", usesI = true; return true;
    }
  }

  bool Node(int depth, std::string& text, ComplexValue& value, bool& usesI) {
    if (depth == 0 || Pick(4) == 0) return Leaf(text, value, usesI);
    std::string a, b;
    ComplexValue x, y;
    if (!Node(depth - 1, a, x, usesI)) return false;
    const int kind = Pick(11);
    if (kind < 6) {
      static const char* const kNames[] = {"sqrt", "exp", "sin", "cos", "ln", "-"};
      text = std::string(kNames[kind]) + "(" + a + ")";
      switch (kind) {
        case 0: value = std::sqrt(x); return OffTheCut(x) && Sound(value);
        case 1: value = std::exp(x); return Sound(value);
        case 2: value = std::sin(x); return Sound(value);
        case 3: value = std::cos(x); return Sound(value);
        case 4: value = std::log(x); return OffTheCut(x) && Sound(value);
        default: value = -x; return true;
      }
    }
    if (!Node(depth - 1, b, y, usesI)) return false;
    text = "(" + a + ")" + "+-*/^"[kind - 6] + "(" + b + ")";
    switch (kind) {
      case 6: value = x + y; return true;
      case 7: value = x - y; return true;
      case 8: value = x * y; return Sound(value);
      case 9: value = x / y; return std::abs(y) > 1e-3 && Sound(value);
      default: value = std::pow(x, y); return OffTheCut(x) && std::abs(y) < 4 && Sound(value);
    }
  }

  std::mt19937_64 fRandom;
};

// "a + b i" or "a - b i" as the math pane shows a complex value.
bool ReadShownComplex(const std::u16string& shown, ComplexValue& value) {
  const std::string text(shown.begin(), shown.end());
  size_t sign = text.find(" + ");
  if (sign == std::string::npos) sign = text.find(" - ");
  if (sign == std::string::npos || text.size() < 2 || text.substr(text.size() - 2) != " i") return false;
  const double re = std::strtod(text.c_str(), nullptr);
  const double im = std::strtod(text.c_str() + sign + 3, nullptr);
  value = ComplexValue(re, text[sign + 1] == '-' ? -im : im);
  return true;
}

TEST_F(ComplexPoints, RandomFormulasDrawWhereTheMathPaneAndStdComplexPutThem) {
  ComplexFormulaMaker maker(20261208);
  std::vector<std::string> texts;
  std::vector<ComplexValue> values;
  std::string statements = "SignificantDigits 15;\n";
  while (texts.size() < 60) {
    std::string text;
    ComplexValue value;
    if (!maker.Make(3, text, value)) continue;
    const size_t k = texts.size();
    const std::string name = std::string("q") + char('a' + k / 26) + char('a' + k % 26);
    statements += "Expr " + name + " = " + text + ";\nExpr " + text + ";\n";
    texts.push_back(text);
    values.push_back(value);
  }
  GraphedDocument g(statements);
  ASSERT_TRUE(g.document && g.RunUntilDone() && AwaitResults(g.document.get()));
  for (size_t k = 0; k < texts.size(); ++k) {
    SCOPED_TRACE(texts[k]);
    APointPlot* point = PointOfBlock(g, int32_t(2 * k));
    ASSERT_NE(point, nullptr);
    const ComplexValue drawn(point->X(), point->Y());
    ComplexValue shown;
    ASSERT_TRUE(ReadShownComplex(MathPaneResultForBlock(g.document.get(), int32_t(2 * k + 1)), shown));
    ExpectComplexNear(drawn, shown, 1e-13, "against the math pane");
    ExpectComplexNear(drawn, values[k], 1e-9, "against std::complex");
  }
}

}  // namespace
