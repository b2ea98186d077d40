#include <gtest/gtest.h>

#include "document/DocumentParameters.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/GraphKindQueries.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

// Columns P, Q, S of numbers; p a point off the real line.
constexpr char kDocument[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tP\t1\t2\t3\n\tQ\t4\t5\t6\n\tS\t7\t8\t9\nEndOfTable;\n"
    "Expr p = 1 - 2*i;\n";

struct Case {
  const char* text;
  int kind2D;
  int kind3D;
};

// Written by hand from the cascade: the data kinds 48 to 54, and any other
// kind of an equation that names a column becomes 0.
constexpr Case kCases[] = {
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
};

class TableDataKinds : public testing::Test {
 protected:
  void SetUp() override {
    document = Read(kDocument);
    ASSERT_TRUE(document);
    RebuildParameterDefinitions(document.get());
  }
  std::unique_ptr<DocumentRecord> document;
};

TEST_F(TableDataKinds, ColumnsMakeDataPlotsOnly) {
  for (const Case& c : kCases) {
    Tree tree = Parse(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(ExprType(tree.get(), false, false, document.get()), c.kind2D) << c.text;
    EXPECT_EQ(ExprType(tree.get(), true, false, document.get()), c.kind3D) << c.text;
  }
}

TEST_F(TableDataKinds, SymbolsLabelA3DDataPlot) {
  Tree labelled = Parse("vector(P, Q, S), symbol = \"a\"");
  Tree bare = Parse("vector(P, Q, S)");
  EXPECT_TRUE(GetExprTypeInfo(labelled.get(), 1, document.get()).labelled);
  EXPECT_FALSE(GetExprTypeInfo(bare.get(), 1, document.get()).labelled);
}

}  // namespace
