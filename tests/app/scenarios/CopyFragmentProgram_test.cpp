#include "tests/app/ApplicationFixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>

#include "app/GraphMenuItems.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "graphpane/GraphColorGlobals.h"
#include "window/DocumentMainWindow.h"

namespace {

class CopyFragmentProgramTest : public WindowTest {
 protected:
  // Graphed, with the given block focused.
  DocumentMainWindow* OpenFocused(const char* name, const std::string& statements, int32_t block) {
    DocumentMainWindow* window = Open(name, "Zentrolabworksheet 4;\n" + statements);
    if (!window) return nullptr;
    EXPECT_TRUE(WaitFor([&] { return IsDocumentGraphDone(window->Document()); }));
    FocusMathPaneBlock(window->WindowRecord(), block);
    return window;
  }
  static void Trigger(DocumentMainWindow* window) {
    UpdateGraphSettingItems(window);
    for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
      if (action->text() != "Copy Fragment Program") continue;
      ASSERT_TRUE(action->isEnabled());
      action->trigger();
      return;
    }
    FAIL() << "no Copy Fragment Program item";
  }
};

TEST_F(CopyFragmentProgramTest, TheFocusedColourEquationsProgramGoesToTheClipboard) {
  DocumentMainWindow* window =
      OpenFocused("p.zlf", "Expr z = x*y;\nExpr z = x^2, vector(r, g, b) = vector(sqrt(x), y, 1);\n", 1);
  ASSERT_NE(window, nullptr);
  QGuiApplication::clipboard()->setText("before");
  Trigger(window);
  const QString text = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(text.startsWith("!!ARBfp1.0\r\r")) << text.toStdString();
  EXPECT_FALSE(text.contains('\n'));
  EXPECT_TRUE(text.contains("KIL")) << "the square root's domain";
  EXPECT_TRUE(text.endsWith("END\r"));
  EXPECT_TRUE(RecordedAlerts().empty());
  EXPECT_EQ(gHackExportShaderPointer, nullptr);
  EXPECT_FALSE(gHackExportShaderFlag);
  EXPECT_FALSE(gHackExportShaderFlag2);
  EXPECT_EQ(gHackExportShaderBlock, -1);
}

// The other block's colour equations must not answer for the focused one.
TEST_F(CopyFragmentProgramTest, AColourWithoutAProgramSaysSoAndLeavesTheClipboard) {
  DocumentMainWindow* window =
      OpenFocused("n.zlf", "Expr z = x*y, vector(r, g, b) = vector(x, y, 1);\nExpr z = x^2;\n", 1);
  ASSERT_NE(window, nullptr);
  QGuiApplication::clipboard()->setText("before");
  Trigger(window);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{0});
  EXPECT_FALSE(gHackExportShaderFlag);
  EXPECT_EQ(gHackExportShaderPointer, nullptr);
}

}  // namespace
