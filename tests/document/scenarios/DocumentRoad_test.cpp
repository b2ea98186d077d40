#include <gtest/gtest.h>

#include <cmath>

#include "expression/MathEditRecord.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/MathEditorStartup.h"
#include "document/DocumentPaneHooks.h"
#include "tests/document/GraphedDocument.h"

namespace {

class DocumentRoad : public GraphingTest {
 protected:
  void SetUp() override {
    GraphingTest::SetUp();
    InstallMathEditor();
  }
};

TEST_F(DocumentRoad, OneFunctionGivesOneGraphAndAnEditGraphsAgain) {
  GraphedDocument g("Expr y = x^2 + 1;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(g.Graphs(), 1);
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);
  const QImage before = g.Picture().copy();

  // Copy the x over the 1, through the editor's one entry, as typing does.
  MERecord* record = g.document->fContents.blocks[0].equation;
  ExpressionRecord* sum = record->root->operands[1];
  gMathCurrentMEH = record;
  record->selected = sum->operands[0]->operands[0];
  record->caretType = kIPWholeNode;
  MATH_FunctionCode(kCodeCopy);
  record->selected = sum->operands[1];
  record->caretType = kIPWholeNode;
  MATH_FunctionCode(kCodePaste);
  gMathCurrentMEH = nullptr;
  InvalExprs(g.document.get());
  ASSERT_TRUE(g.RunUntilDone());
  EXPECT_EQ(ExpandedText(g.document.get(), 0), Reparsed("y = x^2 + x"));
  EXPECT_EQ(g.Graphs(), 1);

  GraphedDocument direct("Expr y = x^2 + x;\n");
  ASSERT_TRUE(direct.RunUntilDone());
  EXPECT_EQ(DifferingPixels(g.Picture(), direct.Picture()), 0);
  EXPECT_GT(DifferingPixels(before, direct.Picture()), 50);
}

TEST_F(DocumentRoad, DefinitionsGraphLikeTheFormulasTheyStandFor) {
  const std::pair<std::string, std::string> pairs[] = {
      {"Expr 'f'(x) = x^2;\nExpr y = 'f'(x + 1);\n", "Expr y = (x + 1)^2;\n"},
      {"Expr g = x^2;\nExpr y = g + 1;\n", "Expr y = x^2 + 1;\n"},
  };
  for (const auto& [defined, written] : pairs) {
    GraphedDocument a(defined);
    ASSERT_TRUE(a.document && a.RunUntilDone());
    GraphedDocument b(written);
    ASSERT_TRUE(b.document && b.RunUntilDone());
    EXPECT_EQ(DifferingPixels(a.Picture(), b.Picture()), 0) << defined;
    EXPECT_GT(DifferingPixels(a.Picture(), GraphedDocument("").Picture()), 50);
  }
}

TEST_F(DocumentRoad, TheCoordinateDisplayKeepsTheRangesTheGraphsUse) {
  GraphedDocument g("2D.Theta 0.5 6;\nExpr r = 1 + theta/6;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  const CoordinateDisplayValues& display = g.document->fCoordinates;
  ASSERT_TRUE(display.shown[kCoordTheta]);
  EXPECT_EQ(display.low[kCoordTheta], 0.5);
  EXPECT_EQ(display.high[kCoordTheta], 6);
  InvalExprs(g.document.get());
  for (bool field : display.shown) EXPECT_FALSE(field);
}

TEST_F(DocumentRoad, AnEquationThatMakesNoGraphSaysWhy) {
  GraphedDocument g("Expr 'f'(x) = 'f'(x) + 1;\nExpr y = 'f'(x);\nExpr y = ?;\nExpr z = x*y;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);  // a definition, not an equation to graph
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 14);
  EXPECT_EQ(EquationMessage(g.document.get(), 2), 15);  // a question mark left in it
  EXPECT_EQ(EquationMessage(g.document.get(), 3), 0);   // a surface: the document opens in space
  EXPECT_EQ(g.Graphs(), 1);
}

TEST_F(DocumentRoad, ADraggedPointRewritesItsEquationAndGraphsAgain) {
  GraphedDocument g("Expr y = x;\nExpr p = 1 + 2*i;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  const auto graphOf = [&](int32_t block) -> AGraph* {
    const AListGenericSmall<int32_t>* rows = g.document->fContents.blocks[block].graphRows;
    const GraphLookup* row = rows && rows->Count() == 1 ? g.document->fGraphPane->Lookup().At((*rows)[0]) : nullptr;
    return row && row->pairs[0].view ? row->pairs[0].view->GraphAt(row->pairs[0].index) : nullptr;
  };
  // The line is no point: its equation stays.
  ASSERT_NE(graphOf(0), nullptr);
  PaneHooks::ChangeEquation(g.document.get(), graphOf(0), 5, 5);
  EXPECT_EQ(Written(EquationTree(g.document->fContents.blocks[0])), Reparsed("y = x"));
  EXPECT_TRUE(g.document->fExpansion.expansionDone.load());
  if (graphOf(1) == nullptr) GTEST_SKIP() << "the pass makes no point graphs yet";
  PaneHooks::ChangeEquation(g.document.get(), graphOf(1), 3, -4);
  EXPECT_EQ(Written(EquationTree(g.document->fContents.blocks[1])), Reparsed("p = 3 - 4*i"));
  ASSERT_TRUE(g.RunUntilDone());
  EXPECT_EQ(ExpandedText(g.document.get(), 1), Reparsed("p = 3 - 4*i"));
}

TEST_F(DocumentRoad, SurfaceDensityContourSetsTheFocusedBlocksKindAndRegraphs) {
  GraphedDocument g("Expr y = x;\nExpr y = 2*x;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  g.document->fFocusedBlock = 1;
  SetSurfaceDensityContour(g.document.get(), 3);
  EXPECT_EQ(g.document->fContents.blocks[1].XYType, 3);
  EXPECT_FALSE(g.document->fExpansion.expansionDone.load());
  EXPECT_TRUE(g.RunUntilDone());
}

// A view of 32 pixels per unit (scale 0.5) whose bottom-left corner is the
// world point (-0.5, -0.5), without axes or paper; the table's rows are the
// points (m, h/10).
constexpr char kTableDocument[] =
    "2D.Scale 0.5 0.5 2 2;\n2D.BottomLeft -0.5 -0.5;\n2D.Axes 0;\n2D.GraphPaper 0;\n"
    "Table\n\tm\t0\t1\t2\t3\n\th\t0\t4.9\t19.6\t44.1\nEndOfTable;\n";

// The pixel of a world point in that view: 32 pixels per unit from the
// left edge, and upward from the bottom row.
QPoint PixelOf(double x, double y) {
  const double h = kGraphRect.left + (x + 0.5) * 32, v = kGraphRect.bottom - 1 - (y + 0.5) * 32;
  return {int(std::floor(h + 0.5)), int(std::floor(v + 0.5))};
}

TEST_F(DocumentRoad, ATableColumnPlotDrawsEveryRowWhereItsValuesLie) {
  GraphedDocument empty(kTableDocument);
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  for (const char* equation : {"Expr vector(x, y) = vector(m, h/10);\n", "Expr vector(m, h/10);\n"}) {
    GraphedDocument g(std::string(kTableDocument) + equation);
    ASSERT_TRUE(g.document && g.RunUntilDone()) << equation;
    EXPECT_EQ(EquationMessage(g.document.get(), 1), 0) << equation;
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.49}, {2.0, 1.96}, {3.0, 4.41}}) {
      const QPoint centre = PixelOf(x, y);
      EXPECT_NE(g.Picture().pixel(centre), empty.Picture().pixel(centre)) << equation << " row " << x;
    }
    // Between the rows and on the line through them nothing is drawn.
    for (const QPoint away : {PixelOf(1.5, 1.2), PixelOf(0.5, 0.25), PixelOf(3, 1)})
      EXPECT_EQ(g.Picture().pixel(away), empty.Picture().pixel(away)) << equation;
  }
}

}  // namespace
