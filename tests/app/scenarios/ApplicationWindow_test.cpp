#include "tests/app/ApplicationFixture.h"

#include <QAction>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>

#include "app/AppMenus.h"
#include "app/ClipboardExchange.h"
#include "app/EditCommands.h"
#include "CoreUtilities/OurTime.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeComparison.h"
#include "expression/TreeDisposal.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "platform/TextBlock.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"
#include "window/WindowSlider.h"

namespace {

class ApplicationWindowTest : public WindowTest {
 protected:
  static ExpressionRecord* Formula(DocumentMainWindow* window, int32_t block) {
    return EquationTree(window->Document()->fContents.blocks[block]);
  }
  // An item by its object name, or failing that by its title.
  static QAction* Item(DocumentMainWindow* window, const QString& name) {
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
      if (action->objectName() == name || action->text() == name) return action;
    ADD_FAILURE() << "no menu item " << name.toStdString();
    return nullptr;
  }
  static bool Enabled(DocumentMainWindow* window, const char* name) {
    UpdateEditItems(window);
    return Item(window, name)->isEnabled();
  }
};

TEST_F(ApplicationWindowTest, CloseAsksOnlyWhileChangedAndKeepsTheWindowOnCancel) {
  DocumentMainWindow* unchanged = Open("a.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(unchanged, nullptr);
  EXPECT_FALSE(unchanged->isWindowModified());
  int asked = 0;
  SaveChangesAnswer answer = SaveChangesAnswer::kCancel;
  SetSaveChangesQuestion([&](QWidget*, const QString&) { return ++asked, answer; });
  EXPECT_TRUE(unchanged->close());
  EXPECT_EQ(asked, 0);

  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  QTest::keyClicks(window->MathPane(), "x");  // a new document's formula has the focus
  ASSERT_TRUE(window->Document()->fModified);
  window->UpdateModifiedMark();
  EXPECT_TRUE(window->isWindowModified());
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

// 41: the file is no document; 42: it cannot be read.
TEST_F(ApplicationWindowTest, FileThatIsNoDocumentOrUnreadableOpensNoWindow) {
  EXPECT_EQ(OpenDocumentWindow(Write("notes.zlf", "shopping: eggs\n")), nullptr);
  EXPECT_EQ(OpenDocumentWindow(Write("empty.zlf", "")), nullptr);
  EXPECT_EQ(OpenDocumentWindow(fFolder.path() + "/missing.zlf"), nullptr);
  EXPECT_EQ(OpenDocumentWindow(fFolder.path()), nullptr);
  EXPECT_EQ(RecordedAlerts(), (std::vector<int>{41, 41, 42, 42}));
  EXPECT_TRUE(AllWindows().empty());
}

TEST_F(ApplicationWindowTest, CopiedFormulaPastesAsTheSameTreeAndAsText) {
  DocumentMainWindow* window = Open("c.zlf", "Zentrolabworksheet 4;\nExpr y = (x^2 + 1)/3;\nExpr ?;\n");
  ASSERT_NE(window, nullptr);
  DocumentWindow* record = window->WindowRecord();
  FocusMathPaneBlock(record, 1);
  EXPECT_FALSE(Enabled(window, "copy"));  // a lone prompt: nothing selected
  FocusMathPaneBlock(record, 0);
  EditSelectAll(window);
  EXPECT_TRUE(Enabled(window, "copy") && Item(window, "cut")->isEnabled());
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
  EXPECT_TRUE(Enabled(window, "paste"));
  EditPaste(window);
  EXPECT_TRUE(MATH_Equal(Formula(window, 1), Formula(window, 0)));
  EXPECT_TRUE(window->Document()->fModified);

  // Plain text from elsewhere pastes as its formula.
  QGuiApplication::clipboard()->setText("x + 2");
  EditSelectAll(window);
  EditPaste(window);
  EXPECT_EQ(FormulaText(window->Document(), 1), "x+2");
}

TEST_F(ApplicationWindowTest, FocusedTextBlockUsesItsOwnEditing) {
  DocumentMainWindow* window = Open("t.zlf", "Zentrolabworksheet 4;\nText \"Notes\";\n");
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  TextBlock* text = window->Document()->fContents.blocks[0].text;
  EXPECT_FALSE(Enabled(window, "copy"));
  EXPECT_FALSE(Item(window, "Calculate")->isEnabled());
  EditSelectAll(window);
  EXPECT_TRUE(Enabled(window, "copy"));
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
  DocumentMainWindow* window = Open("m.zlf", "Zentrolabworksheet 4;\nExpr y = 2*3 + 4;\n");
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  EditSelectAll(window);
  Item(window, "Calculate")->trigger();
  EXPECT_EQ(FormulaText(window->Document(), 0), "y=10");
  EXPECT_TRUE(window->Document()->fModified);
  Item(window, "Undo")->trigger();
  EXPECT_EQ(FormulaText(window->Document(), 0), "y=2*3+4");
}

TEST_F(ApplicationWindowTest, GraphItemsZoomAndToggleTheViews) {
  DocumentMainWindow* window = Open("g.zlf", "Zentrolabworksheet 4;\nExpr y = x^2;\n2D.Axes 1;\n");
  ASSERT_NE(window, nullptr);
  AGraphPane* pane = window->Document()->fGraphPane.get();
  const bool axes = pane->IsShowingAxes(kCurrentView), paper = pane->IsShowingGraphPaper(kCurrentView);
  Item(window, "Show Axes")->trigger();
  Item(window, "Show Graph Paper")->trigger();
  EXPECT_NE(pane->IsShowingAxes(kCurrentView), axes);
  EXPECT_NE(pane->IsShowingGraphPaper(kCurrentView), paper);
  EXPECT_TRUE(window->Document()->fModified);  // a view change is a change

  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(window->Document()); }));
  window->RunIdle();
  const QImage before = window->GraphPane()->World()->image.copy();
  Item(window, "Zoom In")->trigger();
  ASSERT_TRUE(WaitFor(
      [&] { return IsDocumentGraphDone(window->Document()) && window->GraphPane()->World()->image != before; }));
}

TEST_F(ApplicationWindowTest, ResizeAndDividerRegraphAtTheNewSize) {
  DocumentMainWindow* window = Open("r.zlf", "Zentrolabworksheet 4;\nExpr y < x^2 - 1;\n");
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
  DocumentMainWindow* window =
      Open("s.zlf", "Zentrolabworksheet 4;\nSlider 0 10;\nSliderSteps 10;\nSliderControlValue 0;\nExpr y = n;\n");
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  Q_EMIT window->Slider()->MovedByUser(4);
  EXPECT_DOUBLE_EQ(document->fSliderValue.load(), 4.0);
  EXPECT_TRUE(document->fModified);
  Q_EMIT window->Slider()->PlayToggled(true);
  ASSERT_TRUE(WaitFor([&] { return document->fContents.sliderControlValue != 4; }));
  EXPECT_EQ(window->Slider()->Value(), document->fContents.sliderControlValue);
  Q_EMIT window->Slider()->PlayToggled(false);
  window->RunIdle();
  const int32_t stopped = document->fContents.sliderControlValue;
  // Idles that would step it, playing: its graph done, the throttle past.
  const uint32_t due = document->fExpansion.lastStepTime + OurDuration(document->fContents.sliderThrottle);
  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(document) && OurTimeIsPast(OurTime(), due); }));
  window->RunIdle();
  EXPECT_EQ(document->fContents.sliderControlValue, stopped);
}

}  // namespace
