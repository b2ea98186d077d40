#include "tests/app/ApplicationFixture.h"

#include <QAction>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

#include "app/AppCommands.h"
#include "app/AppMenus.h"
#include "app/ClipboardExchange.h"
#include "app/EditCommands.h"
#include "document/DocumentRecord.h"
#include "document/MathPaneEditing.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeComparison.h"
#include "expression/TreeDisposal.h"
#include "window/MathPaneWidget.h"

namespace {

const testing::Environment* const gApplication = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

class ApplicationWindowTest : public testing::Test {
 protected:
  void TearDown() override {
    CloseEveryWindow();
    SetFileNameQuestion(nullptr);
    RecordedAlerts().clear();
  }

  QString Write(const char* name, const std::string& text) {
    const QString path = folder_.path() + "/" + name;
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
  }

  static ExpressionRecord* Formula(DocumentMainWindow* window, int32_t block) {
    return EquationTree(window->Document()->fContents.blocks[block]);
  }

  static QAction* EditItem(DocumentMainWindow* window, const char* name) {
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
      if (action->objectName() == name) return action;
    return nullptr;
  }

  QTemporaryDir folder_;
};

TEST_F(ApplicationWindowTest, CloseAsksWhileChangedAndKeepsTheWindowOnCancel) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  QTest::keyClicks(window->MathPane(), "x");
  ASSERT_TRUE(window->Document()->fModified);
  window->UpdateModifiedMark();
  EXPECT_TRUE(window->isWindowModified());

  int asked = 0;
  SaveChangesAnswer answer = SaveChangesAnswer::kCancel;
  SetSaveChangesQuestion([&](QWidget*, const QString&) { return ++asked, answer; });
  EXPECT_FALSE(window->close());
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(AllWindows().size(), 1u);

  // Save, for an untitled document, asks for the name; ".zlf" is added.
  answer = SaveChangesAnswer::kSave;
  const QString chosen = folder_.path() + "/saved";
  SetFileNameQuestion([&](QWidget*, bool forSaving, const QString&) { return forSaving ? chosen : QString(); });
  EXPECT_TRUE(window->close());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(AllWindows().empty());
  EXPECT_TRUE(QFile::exists(chosen + ".zlf"));
  SetSaveChangesQuestion(nullptr);
}

TEST_F(ApplicationWindowTest, UnchangedDocumentClosesUnasked) {
  DocumentMainWindow* window = OpenDocumentWindow(Write("a.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n"));
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->isWindowModified());
  SetSaveChangesQuestion([](QWidget*, const QString&) -> SaveChangesAnswer {
    ADD_FAILURE() << "asked about an unchanged document";
    return SaveChangesAnswer::kCancel;
  });
  EXPECT_TRUE(window->close());
  SetSaveChangesQuestion(nullptr);
}

TEST_F(ApplicationWindowTest, FileThatIsNoDocumentGives41AndNoWindow) {
  EXPECT_EQ(OpenDocumentWindow(Write("notes.zlf", "shopping: eggs\n")), nullptr);
  EXPECT_EQ(OpenDocumentWindow(folder_.path() + "/missing.zlf"), nullptr);
  EXPECT_EQ(RecordedAlerts(), (std::vector<int>{41, 42}));
  EXPECT_TRUE(AllWindows().empty());
}

TEST_F(ApplicationWindowTest, CopiedFormulaPastesAsTheSameTreeAndAsText) {
  DocumentMainWindow* window =
      OpenDocumentWindow(Write("c.zlf", "Zentrolabworksheet 4;\nExpr y = (x^2 + 1)/3;\nExpr ?;\n"));
  ASSERT_NE(window, nullptr);
  DocumentWindow* record = window->WindowRecord();

  FocusMathPaneBlock(record, 1);
  UpdateEditItems(window);
  EXPECT_FALSE(EditItem(window, "copy")->isEnabled());  // a lone prompt: nothing selected
  FocusMathPaneBlock(record, 0);
  EditSelectAll(window);
  UpdateEditItems(window);
  EXPECT_TRUE(EditItem(window, "copy")->isEnabled());
  EXPECT_TRUE(EditItem(window, "cut")->isEnabled());
  EditCopy(window);

  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->hasFormat(kFormulaMimeType));
  EXPECT_FALSE(data->data("image/png").isEmpty());
  EXPECT_TRUE(data->data("application/pdf").startsWith("%PDF"));
  const QByteArray text = data->text().toUtf8();
  ExpressionRecord* parsed = CoreParseExpr(text.constData(), static_cast<int32_t>(text.size()));
  ASSERT_NE(parsed, nullptr) << text.constData();
  EXPECT_TRUE(MATH_Equal(parsed, Formula(window, 0))) << text.constData();
  DisposExpr(parsed);

  FocusMathPaneBlock(record, 1);
  UpdateEditItems(window);
  EXPECT_TRUE(EditItem(window, "paste")->isEnabled());
  EditPaste(window);
  EXPECT_TRUE(MATH_Equal(Formula(window, 1), Formula(window, 0)));
  EXPECT_TRUE(window->Document()->fModified);

  // Plain text from elsewhere pastes as its formula.
  QGuiApplication::clipboard()->setText("x + 2");
  FocusMathPaneBlock(record, 1);
  EditSelectAll(window);
  EditPaste(window);
  ExpressionRecord* expected = ParseExprFromString("x + 2");
  EXPECT_TRUE(MATH_Equal(Formula(window, 1), expected));
  DisposExpr(expected);
}

}  // namespace
