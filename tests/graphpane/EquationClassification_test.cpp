#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "evaluation/compiler/VariableRestriction.h"
#include "expression/CoordinateExchange.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/VariableIds.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/ExpressionPredicates.h"
#include "graphpane/GraphKindQueries.h"
#include "graphpane/GraphabilityDiagnostics.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

struct View {
  const char* name;
  bool is3D;
  bool is4D;
};
constexpr View kViews[] = {{"2-D", false, false}, {"3-D", true, false}, {"4-D", false, true}};

struct Row {
  std::string text;
  int kind[3];
  int message[3];
  std::string step;
};

std::vector<Row> ReadRows() {
  std::ifstream file(ZL_TEST_DATA_DIR "/equation_kinds.tsv");
  std::vector<Row> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() != 8) ADD_FAILURE() << "bad row: " << line;
    if (fields.size() != 8) continue;
    Row row{fields[0], {}, {}, fields[7]};
    for (int v = 0; v < 3; ++v) {
      row.kind[v] = std::stoi(fields[1 + 2 * v]);
      row.message[v] = fields[2 + 2 * v] == "-" ? 0 : std::stoi(fields[2 + 2 * v]);
    }
    rows.push_back(row);
  }
  return rows;
}

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = ReadRows();
  return rows;
}

// Kind sets as the graph-kind queries name them.
const std::set<int> kSurfaces{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 21, 22, 26, 27, 28, 33, 41, 58, 80};
const std::set<int> kPointPlots{44, 45, 46, 47, 48, 49, 50};

TEST(EquationClassification, TableGivesKindAndMessageInEveryView) {
  ASSERT_GE(Rows().size(), 150u);
  for (const Row& row : Rows()) {
    Tree tree = Parse(row.text);
    ASSERT_TRUE(tree) << row.text;
    const Tree original(Copy(tree.get()));
    for (int v = 0; v < 3; ++v) {
      const View& view = kViews[v];
      SCOPED_TRACE(row.text + " in " + view.name + " (" + row.step + ")");
      EXPECT_EQ(ExprType(tree.get(), view.is3D, view.is4D, nullptr), row.kind[v]);
      EXPECT_TRUE(MATH_Equal(tree.get(), original.get()));
      if (row.kind[v] != 0) continue;
      EXPECT_EQ(GetEqnSyntaxErr(tree.get(), view.is3D, view.is4D, nullptr), row.message[v]);
      EXPECT_TRUE(MATH_Equal(tree.get(), original.get()));
    }
  }
}

// Written in primed coordinates, a graphable equation keeps its kind with
// the primed flag, except the 4-D kinds, which the second view can't show.
TEST(EquationClassification, PrimedCoordinatesAddTheFlag) {
  for (const Row& row : Rows()) {
    if (row.text.find('\'') != std::string::npos) continue;
    Tree tree = Parse(row.text);
    ASSERT_TRUE(tree);
    const Tree plain(Copy(tree.get()));
    ExchangeXYZwithXYZprime(tree.get());
    if (MATH_Equal(tree.get(), plain.get())) continue;
    for (int v = 0; v < 3; ++v) {
      if (row.kind[v] == 0) continue;
      const View& view = kViews[v];
      SCOPED_TRACE(row.text + " primed in " + view.name);
      const bool fourD = row.kind[v] >= 20 && row.kind[v] <= 23;
      EXPECT_EQ(ExprType(tree.get(), view.is3D, view.is4D, nullptr), fourD ? 0 : row.kind[v] | 0x100);
    }
    ExchangeXYZwithXYZprime(tree.get());
    EXPECT_TRUE(MATH_Equal(tree.get(), plain.get())) << row.text;
  }
}

TEST(EquationClassification, QueriesAgreeWithTheKindSets) {
  for (const Row& row : Rows()) {
    Tree tree = Parse(row.text);
    ASSERT_TRUE(tree);
    SCOPED_TRACE(row.text);
    const int kind2D = ExprTypeIgnoringModifiers(tree.get(), false, false, nullptr) & 0xFF;
    const bool surface = kSurfaces.contains(kind2D), point = kPointPlots.contains(kind2D);
    EXPECT_EQ(AllowsPictures(tree.get(), false, false, nullptr), surface || point);
    const EquationList one{tree.get()};
    EXPECT_EQ(IsPointPlot(&one, false, false, nullptr), point);
    EXPECT_EQ(AllowsCheckers(&one, false, false, nullptr), surface);
    const ExprTypeInfo info = GetExprTypeInfo(tree.get(), 1, nullptr);
    const int full = ExprTypeIgnoringModifiers(tree.get(), false, false, nullptr);
    EXPECT_EQ(info.fourD, full >= 20 && full <= 23);
    EXPECT_EQ(info.primed, (full & 0x100) != 0);
    EXPECT_EQ(info.graphable, full != 0);
  }
}

TEST(GraphKindQueries, ListsAndOptions) {
  const EquationList empty;
  EXPECT_TRUE(IsPointPlot(&empty, false, false, nullptr));
  EXPECT_TRUE(AllowsCheckers(&empty, false, false, nullptr));
  EXPECT_FALSE(MayUseTransparency(&empty, nullptr));
  EXPECT_FALSE(MayUseTransparency(nullptr, nullptr));
  EXPECT_FALSE(IsPointPlot(nullptr, false, false, nullptr));
  Tree curve = Parse("vector(x, y, z) = vector(cos(t), sin(t), t)");
  Tree tube = Parse("vector(x, y, z) = vector(cos(t), sin(t), t), radius = 0.1");
  const EquationList bare{curve.get()}, thick{tube.get()};
  EXPECT_FALSE(MayUseTransparency(&bare, nullptr));
  EXPECT_TRUE(MayUseTransparency(&thick, nullptr));

  Tree surface = Parse("z = x*y");
  EXPECT_TRUE(GetExprTypeInfo(surface.get(), 1, nullptr).threeD);
  EXPECT_TRUE(GetExprTypeInfo(surface.get(), 5, nullptr).threeD);
  EXPECT_FALSE(GetExprTypeInfo(surface.get(), 2, nullptr).threeD);
  for (const auto& [text, may] : {std::pair{"x*y", true},
                                  {"z = r*theta", true},
                                  {"z^2", true},
                                  {"'x''' + 'y'''", true},
                                  {"z = x*y, 0 < x < 1", true},
                                  {"sin(x)", false},
                                  {"y = x", false},
                                  {"vector(1, 2)", false}}) {
    Tree tree = Parse(text);
    const EquationList list{tree.get()};
    EXPECT_EQ(MayBeContourOrDensityPlot(&list, nullptr), may) << text;
  }
  EXPECT_FALSE(MayBeContourOrDensityPlot(&empty, nullptr));

  Tree definition = Parse("'f'(x) = x^2");
  EXPECT_FALSE(GetExprTypeInfo(definition.get(), 1, nullptr).graphable);
  Tree subscripted = Parse("y_1 = x^2");
  EXPECT_TRUE(GetExprTypeInfo(subscripted.get(), 1, nullptr).graphable);
}

// Only the base of a subscripted name stops being a coordinate.
TEST(ExpressionPredicates, SubscriptBaseIsNoCoordinate) {
  Tree indexed = Parse("x_y");
  Tree based = Parse("x_1");
  ASSERT_TRUE(indexed && based);
  EXPECT_FALSE(HasOnly(indexed.get(), nullptr, 32, 32, 32, 32));
  EXPECT_TRUE(HasOnly(based.get(), nullptr, 32, 32, 32, 32));
}

TEST(ExpressionPredicates, FormsAndLogic) {
  EXPECT_TRUE(HasOnly(Parse("3").get(), nullptr, kIdX, 32, 32, 32));
  EXPECT_FALSE(HasOnly(Parse("y + 1").get(), nullptr, kIdX, 32, 32, 32));
  EXPECT_TRUE(HasOnly(Parse("a + x").get(), nullptr, kIdX, 32, 32, 32));
  for (const char* text : {"y = x^2", "y_2 = x", "sin(x) = y"})
    EXPECT_TRUE(IsForm(Parse(text).get(), nullptr, kIdY, kIdX, 32)) << text;
  EXPECT_FALSE(IsForm(Parse("x = y").get(), nullptr, kIdY, kIdX, 32));
  EXPECT_FALSE(IsForm(Parse("radius = y").get(), nullptr, kIdY, 32, 32));
  EXPECT_TRUE(IsLogical(Parse("And(x < 1, Or(y > 0, y < -1))").get()));
  EXPECT_FALSE(IsLogical(Parse("And(x < 1, x = 2)").get()));
  Tree zero(MakeZeroExpr(nullptr, Parse("0 < x < 1").get()));
  EXPECT_TRUE(MATH_Equal(zero.get(), Parse("(0 - x)*(x - 1)").get()));
  Tree scaled(MakeZeroExpr(Parse("2").get(), Parse("And(x < 1)").get()));
  EXPECT_TRUE(MATH_Equal(scaled.get(), Parse("2").get()));
}

TEST(ExpressionPredicates, CoordinateTransformForms) {
  EXPECT_TRUE(IsForm2DCoordinateTransform(Parse("vector(x, y) = vector('x''' + 'y''', 2)").get(), nullptr, kIdX, kIdY,
                                          kIdXPrime, kIdYPrime));
  EXPECT_FALSE(IsForm2DCoordinateTransform(Parse("vector(x, y) = vector(1, 2)").get(), nullptr, kIdX, kIdY, kIdXPrime,
                                           kIdYPrime));
  EXPECT_TRUE(IsForm3DCoordinateTransform(Parse("vector(x, y, z) = vector(r*cos(theta), r*sin(theta), z)").get(),
                                          nullptr, kIdX, kIdY, kIdZ, kIdR, kIdTheta, kIdZ));
}

// The red channel of a colour equation is no coordinate r.
TEST(CoordinateExchange, LeavesTheRedChannelAlone) {
  Tree tree = Parse("vector(r, g, b) = vector(r, x, 1)");
  ExchangeXYZwithXYZprime(tree.get());
  EXPECT_TRUE(MATH_Equal(tree.get(), Parse("vector(r, g, b) = vector('r''', 'x''', 1)").get()));
}

}  // namespace
