#include "tests/app/ApplicationFixture.h"

#include <QClipboard>
#include <QGuiApplication>

#include "app/EditCommands.h"
#include "document/MathPaneEditing.h"

namespace {

class RefusedPaste : public WindowTest {
 protected:
  void SetUp() override {
    SetAlertShower([this](int id, const QString& text) { fShown.push_back({id, text}); });
  }
  void TearDown() override {
    SetAlertShower(RecordAlert);
    WindowTest::TearDown();
  }
  std::vector<std::pair<int, QString>> fShown;
};

// A text the reader refuses is pasted as nothing, and says so with the
// reader's own words and where it stopped reading; a text it takes shows
// nothing.
TEST_F(RefusedPaste, ShowsTheReadersMessageAndLeavesTheFormula) {
  DocumentMainWindow* window = Open("p.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  EditSelectAll(window);

  QGuiApplication::clipboard()->setText("vector(cos(3t), sin(3t), t)");
  EditPaste(window);
  EXPECT_EQ(FormulaText(window->Document(), 0), "y=x");
  ASSERT_EQ(fShown.size(), 1u);
  EXPECT_EQ(fShown[0].first, 0);
  EXPECT_TRUE(fShown[0].second.contains("syntax error after \"vector(cos(3t\"")) << fShown[0].second.toStdString();

  fShown.clear();
  QGuiApplication::clipboard()->setText("vector(cos(3*t), sin(3*t), t)");
  EditPaste(window);
  EXPECT_EQ(FormulaText(window->Document(), 0), "vector(cos(3*t),sin(3*t),t)");
  EXPECT_TRUE(fShown.empty());
}

}  // namespace
