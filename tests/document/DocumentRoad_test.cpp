#include <gtest/gtest.h>

#include "expression/MathEditRecord.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/MathEditorStartup.h"
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

TEST_F(DocumentRoad, AnEquationThatMakesNoGraphSaysWhy) {
  GraphedDocument g("Expr 'f'(x) = 'f'(x) + 1;\nExpr y = 'f'(x);\nExpr y = ?;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);  // a definition, not an equation to graph
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 14);
  EXPECT_EQ(g.Graphs(), 0);
}

}  // namespace
