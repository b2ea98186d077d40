// The slider's letter n used as a sum's index: inside the loop n is the
// index, so nothing that reads it may be taken as a constant, shared or
// hoisted at the slider's value. Expected values are worked by hand.
#include <memory>
#include <string>
#include <vector>

#include "AnExpressionTestSupport.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/grid/GridRecords.h"

namespace {

// A slider value no index takes, so a leak of it shows.
constexpr double kSlider = 7.0;

std::unique_ptr<DocumentRecord> DocumentWithTable() {
  constexpr char text[] = "Zentrolabworksheet 4;\nTable\n\tU\t1\t2\t3\t4\nEndOfTable;\n";
  auto document = ReadDocumentText(text, int32_t(sizeof text - 1));
  if (document) document->fSliderValue.store(kSlider);
  return document;
}

struct LetterCase {
  const char* text;
  double value;  // at x = 0.5
};

// 1 + 1/2 + 1/4 + 1/8 = 1.875; the nested sums with n inner or outer:
// 1.875 * (1 + 2) = 5.625, sum over k of k * (1 + 4 + .. + k^2) = 1 + 10 + 42,
// sum over n of n * n(n+1)/2 = 1 + 6 + 18; n outside its loop is the slider;
// a table statistic over the index: mean(U) = 2.5, times (1 + 2) * x; a
// subscripted index is bound the same way.
const LetterCase kCases[] = {
    {"sum(x ^ (n - 1), n = 1, 4)", 1.875},
    {"product(x ^ (n - 1) + 1, n = 1, 2)", 3.0},
    {"sum(sum(x ^ (n - 1) * k, n = 1, 4), k = 1, 2)", 5.625},
    {"sum(sum(k * n ^ 2, n = 1, k), k = 1, 3) + 0 * x", 53.0},
    {"sum(sum(n * k, k = 1, n), n = 1, 3) + 0 * x", 25.0},
    {"sum(x ^ (n - 1), n = 1, 4) + n", 1.875 + kSlider},
    {"sum(Mean(U * n) * x, n = 1, 2)", 3.75},
    {"sum(x ^ (k_1 - 1), k_1 = 1, 4)", 1.875},
};

TEST(SliderLetterIndex, PointIntervalAndComplexRunsSeeTheIndexNotTheSlider) {
  auto document = DocumentWithTable();
  ASSERT_TRUE(document);
  for (const LetterCase& c : kCases) {
    auto real = CompiledExpression(c.text, document.get());
    EXPECT_DOUBLE_EQ(real->Evaluate(0.5, 0.0), c.value) << c.text;
    double lo = 0, hi = 0;
    real->EvaluateIntervalExtension(0.5, 0.5, 0, 0, &lo, &hi);
    EXPECT_LE(lo, c.value) << c.text;
    EXPECT_GE(hi, c.value) << c.text;
    EXPECT_NEAR(hi - lo, 0.0, 1e-12) << c.text;
    auto complex = CompiledExpression(std::string(c.text) + " + 0 * i", document.get());
    const Complex z = complex->EvaluateComplex(0.5, 0.0);
    EXPECT_DOUBLE_EQ(z.re, c.value) << c.text;
    EXPECT_EQ(z.im, 0.0) << c.text;
  }
}

TEST(SliderLetterIndex, GridRunsSeeTheIndexNotTheSlider) {
  auto document = DocumentWithTable();
  ASSERT_TRUE(document);
  const std::string texts[] = {"sum(x ^ (n - 1) + y, n = 1, 4)", "sum(x ^ (k_1 - 1) + y, k_1 = 1, 4)",
                               "sum(x ^ (n - 1) + y, n = 1, 4) + 0 * i"};
  for (const std::string& text : texts) {
    auto e = MakeExpression(text, document.get());
    std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
    ASSERT_NE(data, nullptr);
    MGridVariables grid;
    AnExpression::SetupGrid(0.5, 0.25, 0.5, 1, 2, 2, data.get(), &grid);
    std::vector<double> row(2);
    e->EvaluateArrayOnGrid(0, &grid, row.data());
    // x = 0.5 then 1, y = 0.25 on row 0.
    EXPECT_DOUBLE_EQ(row[0], 1.875 + 1.0) << text;
    EXPECT_DOUBLE_EQ(row[1], 4.0 + 1.0) << text;
    EXPECT_DOUBLE_EQ(e->EvaluateOnGrid(0, 1, &grid), 1.875 + 5.0) << text;
  }
}

}  // namespace
