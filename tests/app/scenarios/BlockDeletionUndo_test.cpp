#include "tests/app/ApplicationFixture.h"

#include <QGuiApplication>
#include <QClipboard>
#include <QTimer>

#include "app/AppMenus.h"
#include "app/EditCommands.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "expression/MathEditRecord.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"

// A deleted formula comes back with Undo.

namespace {

// The second formula's block has settings none of the defaults share.
const char* const kTwoLines =
    "Zentrolabworksheet 4;\n2D.Axes 0;\n2D.GraphPaper 0;\n"
    "Expr y = x;\n"
    "Color 2;\nGrain 0.25;\nOpacity 0.5;\nPlottingMode 1;\nXYType 1;\nMathPaneSlider 0;\nExpr y = 2*x;\n";

class BlockDeletionUndoTest : public WindowTest {
 protected:
  DocumentMainWindow* OpenGraphed() {
    DocumentMainWindow* window = Open("two.zlf", kTwoLines);
    if (window) {
      EXPECT_TRUE(WaitUntilGraphed(window));
    }
    return window;
  }
  static QImage Picture(DocumentMainWindow* window) {
    EXPECT_TRUE(WaitUntilGraphed(window));
    return window->GraphPane()->World()->image.copy();
  }
  static QAction* Item(DocumentMainWindow* window, const char* name) {
    UpdateEditItems(window);
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
      if (action->objectName() == name) return action;
    ADD_FAILURE() << "no menu item " << name;
    return nullptr;
  }
  // The second block as the document held it, and the graph, are back.
  void ExpectRestored(DocumentMainWindow* window, const QImage& before) {
    QAction* undo = Item(window, "undo");
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    DocumentRecord* document = window->Document();
    ASSERT_EQ(document->fContents.blocks.Count(), 2);
    const MBlock& block = document->fContents.blocks[1];
    EXPECT_EQ(FormulaText(document, 1), "y=2*x");
    EXPECT_EQ(FormulaText(document, 0), "y=x");
    EXPECT_EQ(block.Color, 2);
    EXPECT_EQ(block.Grain, 0.25);
    EXPECT_EQ(block.Opacity, 0.5);
    EXPECT_EQ(block.PlottingMode, 1);
    EXPECT_EQ(document->fFocusedBlock, 1);
    EXPECT_TRUE(Picture(window) == before);
  }
};

TEST_F(BlockDeletionUndoTest, UndoBringsBackABlockThatBackspaceClearOrCutDeleted) {
  const auto deletions = {
      std::pair<const char*, std::function<void(DocumentMainWindow*)>>{
          "backspace",
          [](DocumentMainWindow* window) {
            // Character by character, as a user empties it, then the block.
            for (int presses = 0; presses < 20 && window->Document()->fContents.blocks.Count() == 2; ++presses)
              QTest::keyClick(window->MathPane(), Qt::Key_Backspace);
          }},
      std::pair<const char*, std::function<void(DocumentMainWindow*)>>{"clear",
                                                                       [](DocumentMainWindow* window) {
                                                                         EditSelectAll(window);
                                                                         Item(window, "clear")->trigger();
                                                                       }},
      std::pair<const char*, std::function<void(DocumentMainWindow*)>>{"cut",
                                                                       [](DocumentMainWindow* window) {
                                                                         EditSelectAll(window);
                                                                         Item(window, "cut")->trigger();
                                                                       }},
  };
  for (const auto& [name, deleteBlock] : deletions) {
    SCOPED_TRACE(name);
    DocumentMainWindow* window = OpenGraphed();
    ASSERT_NE(window, nullptr);
    const QImage before = Picture(window);
    FocusMathPaneBlock(window->WindowRecord(), 1);
    MERecord* record = FocusedFormula(window);
    ASSERT_NE(record, nullptr);
    record->selected = record->root;
    record->caretType = kIPAfterNode;
    window->MathPane()->setFocus();

    deleteBlock(window);
    ASSERT_EQ(window->Document()->fContents.blocks.Count(), 1);
    EXPECT_EQ(FormulaText(window->Document(), 0), "y=x");
    EXPECT_FALSE(Picture(window) == before);
    ExpectRestored(window, before);
    CloseEveryWindow();
  }
}

}  // namespace
