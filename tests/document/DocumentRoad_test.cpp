#include <gtest/gtest.h>

#include "CoreUtilities/OurGWorld.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/MathEditorStartup.h"
#include "expression/MathEditRecord.h"
#include "platform/OurPort.h"
#include "tests/document/ExpansionTestSupport.h"

namespace {

constexpr MRect kGraphRect{0, 0, 200, 240};

// A document with its graph pane and a graph world, run by the idle as the
// window's timer would.
struct GraphedDocument {
  explicit GraphedDocument(const std::string& statements) : document(DocumentOf(statements)) {
    if (!document) return;
    document->fGraphPane = MakeDocumentGraphPane(document.get(), kGraphRect, nullptr);
    world = OurNewGWorld(kGraphRect);
    sWorld = world;
    InvalExprs(document.get());
  }
  ~GraphedDocument() {
    document.reset();
    OurDisposeGWorld(world);
  }
  bool RunUntilDone() {
    sWorld = world;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!IsDocumentGraphDone(document.get())) {
      if (std::chrono::steady_clock::now() > end) return false;
      DocumentIdle(document.get());
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    DrawDocumentGraph(document.get());
    return true;
  }
  int32_t Graphs() { return document->fGraphPane->Lookup().Count(); }
  const QImage& Picture() const { return world->image; }

  static inline OurPort* sWorld = nullptr;
  std::unique_ptr<DocumentRecord> document;
  OurPort* world = nullptr;
};

class DocumentRoad : public ThreadsRunning {
 protected:
  void SetUp() override {
    InstallMathEditor();
    gGraphPaneHooks.GetOffscreenGWorld = [](DocumentRecord*) { return GraphedDocument::sWorld; };
  }
  void TearDown() override { gGraphPaneHooks.GetOffscreenGWorld = nullptr; }
};

int InkPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
  return differing;
}

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
  EXPECT_EQ(InkPixels(g.Picture(), direct.Picture()), 0);
  EXPECT_GT(InkPixels(before, direct.Picture()), 50);
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
    EXPECT_EQ(InkPixels(a.Picture(), b.Picture()), 0) << defined;
    EXPECT_GT(InkPixels(a.Picture(), GraphedDocument("").Picture()), 50);
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
