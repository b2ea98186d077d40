#include "tests/app/ApplicationFixture.h"

#include <QAction>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

#include "app/AppCommands.h"
#include "app/AppMenus.h"
#include "app/ClipboardExchange.h"
#include "app/EditCommands.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "document/MathPaneEditing.h"
#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "platform/TextBlock.h"
#include "window/GraphPaneWidget.h"
#include "window/WindowSlider.h"
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
    const QString path = fFolder.path() + "/" + name;
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

  static QAction* MenuItem(DocumentMainWindow* window, const QString& title) {
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
      if (action->text() == title) return action;
    ADD_FAILURE() << "no menu item " << title.toStdString();
    return nullptr;
  }

  static std::string Text(const ExpressionRecord* tree) {
    std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
    return text ? text.get() : "";
  }

  QTemporaryDir fFolder;
};

TEST_F(ApplicationWindowTest, CloseAsksWhileChangedAndKeepsTheWindowOnCancel) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  QTest::keyClicks(window->MathPane(), "x");  // a new document's formula has the focus
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
  const QString chosen = fFolder.path() + "/saved";
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
  EXPECT_EQ(OpenDocumentWindow(fFolder.path() + "/missing.zlf"), nullptr);
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

TEST_F(ApplicationWindowTest, FocusedTextBlockUsesItsOwnEditing) {
  DocumentMainWindow* window = OpenDocumentWindow(Write("t.zlf", "Zentrolabworksheet 4;\nText \"Notes\";\n"));
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  TextBlock* text = window->Document()->fContents.blocks[0].text;
  UpdateEditItems(window);
  EXPECT_FALSE(EditItem(window, "copy")->isEnabled());
  EXPECT_FALSE(MenuItem(window, "Calculate")->isEnabled());
  EditSelectAll(window);
  UpdateEditItems(window);
  EXPECT_TRUE(EditItem(window, "copy")->isEnabled());
  EditCopy(window);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Notes");
  EditClear(window);
  EXPECT_TRUE(text->Contents().trimmed().isEmpty());
  EditPaste(window);
  EditPaste(window);
  EXPECT_EQ(text->Contents().trimmed(), "NotesNotes");
  EXPECT_TRUE(window->Document()->fModified);
}

TEST_F(ApplicationWindowTest, MathItemRewritesTheSelectionAndUndoTakesItBack) {
  DocumentMainWindow* window = OpenDocumentWindow(Write("m.zlf", "Zentrolabworksheet 4;\nExpr y = 2*3 + 4;\n"));
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  EditSelectAll(window);
  MenuItem(window, "Calculate")->trigger();
  EXPECT_EQ(Text(Formula(window, 0)), "y=10");
  EXPECT_TRUE(window->Document()->fModified);
  MenuItem(window, "Undo")->trigger();
  EXPECT_EQ(Text(Formula(window, 0)), "y=2*3+4");
}

TEST_F(ApplicationWindowTest, GraphItemsZoomAndToggleTheViews) {
  DocumentMainWindow* window = OpenDocumentWindow(Write("g.zlf", "Zentrolabworksheet 4;\nExpr y = x^2;\n2D.Axes 1;\n"));
  ASSERT_NE(window, nullptr);
  AGraphPane* pane = window->Document()->fGraphPane.get();
  const bool axes = pane->IsShowingAxes(0);
  MenuItem(window, "Show Axes")->trigger();
  EXPECT_NE(pane->IsShowingAxes(0), axes);
  const bool paper = pane->IsShowingGraphPaper(0);
  MenuItem(window, "Show Graph Paper")->trigger();
  EXPECT_NE(pane->IsShowingGraphPaper(0), paper);
  EXPECT_TRUE(window->Document()->fModified);  // a view change is a change

  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(window->Document()); }));
  window->RunIdle();
  const QImage before = window->GraphPane()->World()->image.copy();
  MenuItem(window, "Zoom In")->trigger();
  ASSERT_TRUE(WaitFor([&] {
    return IsDocumentGraphDone(window->Document()) && window->GraphPane()->World()->image != before;
  }));
}

TEST_F(ApplicationWindowTest, ResizeAndDividerRegraphAtTheNewSize) {
  DocumentMainWindow* window = OpenDocumentWindow(Write("r.zlf", "Zentrolabworksheet 4;\nExpr y < x^2 - 1;\n"));
  ASSERT_NE(window, nullptr);
  GraphPaneWidget* graph = window->GraphPane();
  const auto shownAtSize = [&] {
    const QImage& image = graph->World()->image;
    return IsDocumentGraphDone(window->Document()) && image.size() == graph->size() &&
           (image.pixel(image.width() / 2, image.height() - 2) & 0xFFFFFF) != 0xFFFFFF;
  };
  ASSERT_TRUE(WaitFor(shownAtSize));
  window->resize(900, 700);
  ASSERT_TRUE(WaitFor(shownAtSize));
  window->Divider()->setSizes({200, 700});
  ASSERT_TRUE(WaitFor(shownAtSize));
  window->StoreLayoutInDocument();
  EXPECT_EQ(window->Document()->fContents.paneDivider, window->Divider()->sizes()[0]);
}

TEST_F(ApplicationWindowTest, SliderMovesTheVariableAndPlayAnimatesIt) {
  DocumentMainWindow* window = OpenDocumentWindow(
      Write("s.zlf", "Zentrolabworksheet 4;\nSlider 0 10;\nSliderSteps 10;\nSliderControlValue 0;\nExpr y = n;\n"));
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  emit window->Slider()->MovedByUser(4);
  EXPECT_DOUBLE_EQ(document->fSliderValue.load(), 4.0);
  EXPECT_TRUE(document->fModified);
  emit window->Slider()->PlayToggled(true);
  ASSERT_TRUE(WaitFor([&] { return document->fContents.sliderControlValue != 4; }));
  EXPECT_EQ(window->Slider()->Value(), document->fContents.sliderControlValue);
  emit window->Slider()->PlayToggled(false);
  window->RunIdle();
  const int32_t stopped = document->fContents.sliderControlValue;
  QTest::qWait(100);
  EXPECT_EQ(document->fContents.sliderControlValue, stopped);
}

}  // namespace
