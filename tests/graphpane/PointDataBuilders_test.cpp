#include <gtest/gtest.h>

#include "document/DocumentParameters.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/GraphKindQueries.h"
#include "graphpane/GraphabilityDiagnostics.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/graphpane/RecordingMakers.h"

namespace {

// Columns P, Q, S and t of numbers; p a point off the real line.
constexpr char kTableDocument[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tP\t1\t2\t3\n\tQ\t4\t5\t6\n\tS\t7\t8\t9\n\tt\t0\t1\t2\nEndOfTable;\n"
    "Expr p = 1 - 2*i;\n";

struct KindCase {
  const char* text;
  int kind2D;
  int kind3D;
};

// Written by hand from the cascade: the data kinds 48 to 54, and any other
// kind of an equation that names a column becomes 0.
constexpr KindCase kKindCases[] = {
    {"vector(P, Q)", 48, 0},
    {"vector(P, Q, S)", 51, 51},
    {"vector(x, y) = vector(P, Q)", 49, 0},
    {"vector(r, theta) = vector(P, Q)", 50, 0},
    {"vector(x, y, z) = vector(P, Q, S)", 52, 52},
    {"vector(r, theta, z) = vector(P, Q, S)", 53, 53},
    {"vector(r, theta, phi) = vector(P, Q, S)", 54, 54},
    {"y = P*x", 0, 0},
    {"vector(P, Q), symbol = \"a\"", 48, 0},
    {"vector(P, Q), label = S", 48, 0},
    {"vector(P, Q, S), radius = 2", 0, 0},
    {"vector(P, Q, S), 0 < x", 51, 51},
    {"z = p", 44, 5},
    {"z = 2*p + x", 5, 5},
    {"p = 1 - 2*i", 43, 30},
    // A column headed t is still the curve parameter t: a column of f(t),
    // then no kind at all for naming table data.
    {"vector(t, Q)", 0, 0},
    {"vector(x, y) = vector(t, Q)", 0, 0},
};

class TableDataKinds : public testing::Test {
 protected:
  void SetUp() override {
    document = Read(kTableDocument);
    ASSERT_TRUE(document);
    RebuildParameterDefinitions(document.get());
  }
  std::unique_ptr<DocumentRecord> document;
};

TEST_F(TableDataKinds, ColumnsMakeDataPlotsOnly) {
  for (const KindCase& c : kKindCases) {
    Tree tree = Parse(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(ExprType(tree.get(), false, false, document.get()), c.kind2D) << c.text;
    EXPECT_EQ(ExprType(tree.get(), true, false, document.get()), c.kind3D) << c.text;
  }
}

TEST_F(TableDataKinds, AColumnHeadedTSaysWhereTBelongs) {
  Tree tree = Parse("vector(t, Q)");
  EXPECT_EQ(GetEqnSyntaxErr(tree.get(), false, false, document.get()), 16);
}

TEST_F(TableDataKinds, SymbolsLabelA3DDataPlot) {
  Tree labelled = Parse("vector(P, Q, S), symbol = \"a\"");
  Tree bare = Parse("vector(P, Q, S)");
  EXPECT_TRUE(GetExprTypeInfo(labelled.get(), 1, document.get()).labelled);
  EXPECT_FALSE(GetExprTypeInfo(bare.get(), 1, document.get()).labelled);
}

// Columns reach the data makers with the conditions, radius and styles in
// their places; polar and spherical columns become Cartesian.
TEST_F(TableDataKinds, ColumnsReachTheDataMakers) {
  struct Handed {
    const char* text;
    Space space;
    const char* maker;
    std::vector<bool> handed;
  };
  const Handed cases[] = {
      {"vector(P, Q)", k2D, "Data2D", {true, true, false, false, false, false, false}},
      {"vector(x, y) = vector(P, Q), x < 2, symbol = \"a\"",
       k2D,
       "Data2D",
       {true, true, true, false, true, false, false}},
      {"vector(r, theta) = vector(P, Q), label = S", k2D, "Data2D", {true, true, false, false, false, true, false}},
      {"vector(P, Q, S), 0 < x", k3D, "Data3D", {true, true, true, true, false, false, false, false}},
      {"vector(r, theta, phi) = vector(P, Q, S)", k3D, "Data3D", {true, true, true, false, false, false, false, false}},
  };
  for (const Handed& c : cases) {
    SCOPED_TRACE(c.text);
    Pane p(c.space, true, document.get());
    ASSERT_EQ(p.Add(c.text), 0);
    ASSERT_EQ(gMade.size(), 1u);
    EXPECT_EQ(gMade[0].maker, c.maker);
    ASSERT_EQ(gMade[0].formulas.size(), c.handed.size());
    for (size_t i = 0; i < c.handed.size(); ++i) EXPECT_EQ(gMade[0].formulas[i] != nullptr, c.handed[i]) << i;
  }
}

// Polar, cylindrical and spherical rows become Cartesian points, row by row
// (columns P = 1, 2, 3; Q = 4, 5, 6; S = 7, 8, 9).
TEST_F(TableDataKinds, CoordinateFormsOfRowsAreCartesian) {
  struct Form {
    const char* text;
    Space space;
    double (*x)(double, double, double), (*y)(double, double, double), (*z)(double, double, double);
  };
  const Form forms[] = {
      {"vector(r, theta) = vector(P, Q)", k2D, [](double p, double q, double) { return p * std::cos(q); },
       [](double p, double q, double) { return p * std::sin(q); }, nullptr},
      {"vector(r, theta, z) = vector(P, Q, S)", k3D, [](double p, double q, double) { return p * std::cos(q); },
       [](double p, double q, double) { return p * std::sin(q); }, [](double, double, double s) { return s; }},
      {"vector(r, theta, phi) = vector(P, Q, S)", k3D,
       [](double p, double q, double s) { return p * std::sin(s) * std::cos(q); },
       [](double p, double q, double s) { return p * std::sin(s) * std::sin(q); },
       [](double p, double, double s) { return p * std::cos(s); }},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.text);
    Pane p(form.space, true, document.get());
    ASSERT_EQ(p.Add(form.text), 0);
    for (int32_t row = 1; row <= 3; ++row) {  // rows count from 1
      const double column[3] = {0.0 + row, 3.0 + row, 6.0 + row};
      const auto at = [&](size_t i) { return gMade[0].formulas[i]->EvaluateIndexed(0, 0, 0, row); };
      EXPECT_NEAR(at(0), form.x(column[0], column[1], column[2]), 1e-12) << row;
      EXPECT_NEAR(at(1), form.y(column[0], column[1], column[2]), 1e-12) << row;
      if (form.z) {
        EXPECT_NEAR(at(2), form.z(column[0], column[1], column[2]), 1e-12) << row;
      }
    }
  }
}

// Carried forward through a plane transformation the data plot keeps its
// condition on the data point: x and y in it become the columns.
TEST_F(TableDataKinds, MirroredConditionSpeaksOfTheDataPoint) {
  Pane p(k2D, true, document.get());
  Tree f = Parse("2*x"), g = Parse("y");
  p.ct.kind = CoordinateTransformation::kPlaneFromSource;
  p.ct.formulas[0] = f.get(), p.ct.formulas[1] = g.get();
  p.pane->StartAddingEquations(false, false, false, false, p.ct);
  gMade.clear();
  ASSERT_EQ(p.Add("vector(P, Q), x < 2"), 1);  // row 0: the whole-picture plot
  ASSERT_EQ(gMade.size(), 2u);
  const Made& mirror = gMade[1];
  EXPECT_EQ(mirror.view, p.pane->View2D(1));
  ASSERT_TRUE(mirror.formulas[2]);
  EXPECT_FALSE(DIM_Contains(mirror.formulas[2]->Tree(), kIdX));
  EXPECT_TRUE(DIM_Contains(mirror.formulas[2]->Tree(), 'P'));
  EXPECT_TRUE(DIM_Contains(mirror.formulas[0]->Tree(), 'P'));
}

}  // namespace
