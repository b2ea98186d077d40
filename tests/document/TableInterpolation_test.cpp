#include "CoreUtilities/MathConstants.h"
#include "document/DocumentParameters.h"
#include "document/TableHeadings.h"
#include "document/TableInterpolation.h"
#include "evaluation/DocumentQueries.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// Column x: 0 10 20 40; y: 5, text, empty; name: text; matrix M = [1 2 3; 4 5 9].
constexpr char kDocument[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tx\t0\t10\t20\t40\n\ty\t5\tfive\t\n\tname\tone\t\ttwo\nEndOfTable;\n"
    "Table\n\tM\t1\t4\n\t\t2\t5\n\t\t3\t9\nEndOfTable;\n"
    "MathPaneSlider 5;\nExpr k = slider(2, 4, 10);\nExpr p = 1 - 2*i;\nExpr x = 3;\n"
    "Slider -1 3;\nSliderSteps 8;\nSliderControlValue 2;\n";

class TableQueries : public testing::Test {
 protected:
  void SetUp() override {
    document = Read(kDocument);
    ASSERT_TRUE(document);
  }
  std::unique_ptr<DocumentRecord> document;
  const int32_t x = 'x', y = 'y', M = 'M', k = 'k', p = 'p';
};

TEST_F(TableQueries, HeadingsCellsAndTypes) {
  const DocumentContents& c = document->fContents;
  ASSERT_EQ(c.tableHeadings.size(), 4u);
  EXPECT_EQ(c.tableHeadings[3].variableId, M);
  EXPECT_EQ(c.tableHeadings[3].matrixFlag, 1);
  EXPECT_EQ(c.tableHeadings[0].matrixFlag, 0);
  EXPECT_EQ(TableDataSizeForId(document.get(), x), 4);
  EXPECT_EQ(TableDataSizeForId(document.get(), y), 3);
  EXPECT_EQ(TableDataSizeForId(document.get(), 'q'), 0);
  EXPECT_EQ(std::u16string(TableStringForId(y, 2, document.get())), u"five");
  EXPECT_EQ(TableStringForId(y, 4, document.get()), nullptr);
  EXPECT_EQ(TableStringForId(y, 0, document.get()), nullptr);
  EXPECT_EQ(TableStringForId('q', 0, document.get()), nullptr);
  EXPECT_TRUE(DoesIDRepresentString(y, document.get()));
  EXPECT_FALSE(DoesIDRepresentString(x, document.get()));
  EXPECT_FALSE(DoesIDRepresentString('q', document.get()));
  EXPECT_EQ(GetTableData(x, 4, document.get()), 40);
  EXPECT_TRUE(std::isnan(GetTableData(x, 0, document.get())));
  EXPECT_TRUE(std::isnan(GetTableData(y, 3, document.get())));  // the empty cell
  AddTableHeadingsToDocumentNameList(document.get());
  EXPECT_FALSE(c.names.stale);
  ASSERT_EQ(c.names.names.size(), 4u);
  EXPECT_EQ(c.names.names[2][0], u'n');
}

TEST_F(TableQueries, OneArgumentInterpolationByHand) {
  const DocumentRecord* d = document.get();
  EXPECT_EQ(GetInterpolatedTableData(x, 0.0, d), 0);
  EXPECT_EQ(GetInterpolatedTableData(x, 1.0, d), 40);
  EXPECT_DOUBLE_EQ(GetInterpolatedTableData(x, 0.5, d), 15);      // halfway between rows 1 and 2
  EXPECT_DOUBLE_EQ(GetInterpolatedTableData(x, 5.0 / 6, d), 30);  // halfway between rows 2 and 3
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData(x, -0.01, d)));
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData(x, 1.01, d)));
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData(x, gNaN, d)));
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData('q', 0.5, d)));
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData(x, 0.5, 0.5, d)));  // not a matrix
  const Interval hull = GetInterpolatedTableData(x, Interval{0.1, 0.9}, d);
  EXPECT_DOUBLE_EQ(hull.lower, 3);
  EXPECT_DOUBLE_EQ(hull.upper, 34);  // row 2.7: 20 + 0.7 * 20
  EXPECT_TRUE(IsUndefined(GetInterpolatedTableData(x, Interval{-0.1, 0.5}, d)));
  EXPECT_TRUE(IsUndefined(GetInterpolatedTableData(y, Interval{0, 1}, d)));
}

TEST_F(TableQueries, TwoArgumentInterpolationOverAMatrix) {
  const DocumentRecord* d = document.get();
  EXPECT_EQ(GetInterpolatedTableData(M, 0.0, 0.0, d), 1);
  EXPECT_EQ(GetInterpolatedTableData(M, 1.0, 1.0, d), 9);
  EXPECT_DOUBLE_EQ(GetInterpolatedTableData(M, 0.5, 1.0, d), 5);      // middle column, last row
  EXPECT_DOUBLE_EQ(GetInterpolatedTableData(M, 0.75, 0.5, d), 4.75);  // (2.5 + 7) / 2
  EXPECT_TRUE(std::isnan(GetInterpolatedTableData(M, 1.5, 0.5, d)));
  const Interval hull = GetInterpolatedTableData(M, Interval{0.25, 1}, Interval{0, 0.5}, d);
  EXPECT_DOUBLE_EQ(hull.lower, 1.5);
  EXPECT_DOUBLE_EQ(hull.upper, 6);  // row 0.5 at the last column: (3 + 9) / 2
}

TEST_F(TableQueries, ParametersAndSlider) {
  const DocumentRecord* d = document.get();
  EXPECT_DOUBLE_EQ(LookUpParameter(k, 0, d).re, 3);  // 2 + 2 * 5 / 10
  const Complex point = LookUpParameter(p, 0, d);
  EXPECT_EQ(point.re, 1);
  EXPECT_EQ(point.im, -2);
  EXPECT_EQ(LookUpParameter(x, 3, d).re, 20);  // x is a coordinate: the table column answers
  EXPECT_EQ(LookUpParameter('q', 0, d).re, 1);
  EXPECT_EQ(LookUpParameter('q', 0, nullptr).re, 1);
  EXPECT_DOUBLE_EQ(DocumentSliderValue(d), 0);  // -1 + 4 * 2 / 8
  EXPECT_EQ(SliderVariable(document.get()), 'n');
}

TEST_F(TableQueries, InterpreterQueriesReachTheTables) {
  DocumentRecord* d = document.get();
  EXPECT_DOUBLE_EQ(GetInterpolation(x, Complex{0.5, 0}, d).re, 15);
  EXPECT_TRUE(std::isnan(GetInterpolation(x, Complex{0.5, 1e-300}, d).re));
  const ComplexInterval hull = GetInterpolation(M, ComplexInterval{{0, 1}, {0, 0}}, ComplexInterval{{1, 1}, {0, 0}}, d);
  EXPECT_EQ(hull.re.lower, 4);
  EXPECT_EQ(hull.re.upper, 9);
  EXPECT_EQ(GetMachineFromDocumentFunction(0, d), nullptr);
  EXPECT_EQ(GetMachineFromDocumentFunction(-1, d), nullptr);
}

}  // namespace
