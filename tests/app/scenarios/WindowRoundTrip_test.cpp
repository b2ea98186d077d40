#include "tests/app/ApplicationFixture.h"

#include <QDir>
#include <QSplitter>
#include <QWheelEvent>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/AppCommands.h"
#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "tests/document/DocumentTestSupport.h"
#include "window/GraphPaneWidget.h"

// What a user meets first in a window: a new document's view, saving what
// was opened, and the wheel.

namespace {

// The statements of a document's ranges and formulas, in order: what an
// open and a save without an edit must leave as they were read.
std::vector<std::string> RangesAndFormulas(const std::string& text) {
  static const std::regex kStatement(
      R"(^((T|U|V|R|Theta|Phi|(2D|2Dp|3D|3Dp|4D)\.(T|U|V|R|Theta|Phi|X|Y|Z|W)) [^;]*|Expr .*);$)");
  std::vector<std::string> statements;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (std::regex_match(line, kStatement)) statements.push_back(line);
  return statements;
}

class WindowRoundTripTest : public WindowTest {
 protected:
  // Opens the file, saves it under another name without an edit (once its
  // graphs are made, when asked), and gives back the bytes written.
  std::string OpenAndSave(const QString& path, const char* savedName, bool graphed = false) {
    DocumentMainWindow* window = OpenDocumentWindow(path);
    if (!window) return {};
    if (graphed) {
      EXPECT_TRUE(WaitUntilGraphed(window));
    }
    const QString saved = fFolder.path() + "/" + savedName;
    SetFileNameQuestion([saved](QWidget*, bool, const QString&) { return saved; });
    EXPECT_TRUE(SaveWindowAs(window));
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return FileBytes(saved.toStdString());
  }
};

// Graphed, a document's other views keep their own ranges: the window's
// state (its place, a spinning view's camera) may follow the window, its
// ranges and formulas may not.
TEST_F(WindowRoundTripTest, OpenThenSaveWritesTheSameBytes) {
  QStringList files;
  for (const char* folder : {"/../../examples", ""})
    for (const QString& name : QDir(ZL_TEST_DATA_DIR + QString(folder)).entryList({"*.zlf"}, QDir::Files))
      files << QString(ZL_TEST_DATA_DIR) + folder + "/" + name;
  ASSERT_GE(files.size(), 5);
  const std::string header = "Zentrolabworksheet 4;\n";
  files << Write("views.zlf", header +
                                  "2D.T 0 1;\n3D.T 0 12.566370614359172;\n4D.T -1 1;\n"
                                  "Expr vector(cos(t),sin(t),t/4-1.5);\n")
        << Write("uv.zlf", header +
                               "2D.T 3 4;\n3D.U 0 2;\n3D.V -1 1;\n4D.T -2 5;\n4D.U 2 1;\n4D.V -9 9;\n"
                               "Expr vector(x,y,u,v)=vector(u,v,(u^2-v^2)/2,0.4*u*v+0.3);\n");
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    const std::string once = OpenAndSave(file, "once.zlf");
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(OpenAndSave(fFolder.path() + "/once.zlf", "twice.zlf"), once);
    // The examples are as the application writes them.
    if (file.contains("/examples/")) {
      EXPECT_EQ(once, FileBytes(file.toStdString()));
    }
    EXPECT_EQ(RangesAndFormulas(OpenAndSave(file, "graphed.zlf", true)), RangesAndFormulas(once));
  }
}

TEST_F(WindowRoundTripTest, ADocumentDefiningAFunctionGetsNoParameterForIt) {
  DocumentMainWindow* window =
      Open("f.zlf", "Zentrolabworksheet 4;\nExpr 'f'(x) = x^2 + a;\nExpr y = sin(x) + 'f'(x);\n");
  ASSERT_NE(window, nullptr);
  // The parameters shown are those the graphs found.
  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(window->Document()); }));
  const QString saved = fFolder.path() + "/f2.zlf";
  SetFileNameQuestion([saved](QWidget*, bool, const QString&) { return saved; });
  ASSERT_TRUE(SaveWindowAs(window));
  const std::string text = FileBytes(saved.toStdString());
  EXPECT_EQ(text.find("Parameter f"), std::string::npos) << text;
  EXPECT_NE(text.find("Parameter a = 1;"), std::string::npos) << text;
  EXPECT_NE(text.find("Expr y=sin(x)+function(f,x);"), std::string::npos) << text;
}

TEST_F(WindowRoundTripTest, ANewDocumentShowsAxesAndGraphPaper) {
  DocumentMainWindow* window = NewDocumentWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return window->Document()->fGraphPane != nullptr; }));
  AGraphPane* pane = window->Document()->fGraphPane.get();
  EXPECT_TRUE(pane->IsShowingAxes(kCurrentView));
  EXPECT_TRUE(pane->IsShowingGraphPaper(kCurrentView));
}

TEST_F(WindowRoundTripTest, OneWheelNotchScrollsTheDesktopsLines) {
  DocumentMainWindow* window = Open("w.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  GraphPaneWidget* graph = window->GraphPane();
  ASSERT_TRUE(WaitFor([&] { return window->Document()->fGraphPane && graph->World(); }));
  auto* view = dynamic_cast<A2DGraphView*>(window->Document()->fGraphPane->CurrentView());
  ASSERT_NE(view, nullptr);
  QApplication::setWheelScrollLines(3);
  const double before = view->State().yMinimum, ppu = view->State().yPixelsPerUnit;
  const QPointF centre(graph->width() / 2.0, graph->height() / 2.0);
  QWheelEvent notch(centre, graph->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(graph, &notch);
  // Three lines of three pixels each.
  EXPECT_NEAR((view->State().yMinimum - before) * ppu, 9, 0.5);
  // A finer wheel's eighths add up to the same notch.
  const double afterNotch = view->State().yMinimum;
  for (int i = 0; i < 4; ++i) {
    QWheelEvent part(centre, graph->mapToGlobal(centre), QPoint(), QPoint(0, 30), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(graph, &part);
  }
  EXPECT_NEAR((view->State().yMinimum - afterNotch) * ppu, 9, 0.5);
}

// Numbers no view can use are left unread and said, as an export says them.
TEST_F(WindowRoundTripTest, RefusedSettingsAreSaidOnOpening) {
  ASSERT_NE(Open("refused.zlf", "Zentrolabworksheet 4;\n3D.Z -Infinity 1;\n4D.X 0 1e-310;\nExpr z = x*y;\n"), nullptr);
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{0});
  EXPECT_TRUE(LastAlertText().contains("2 settings hold numbers no view can use")) << LastAlertText().toStdString();
  RecordedAlerts().clear();
  ASSERT_NE(Open("equal.zlf", "Zentrolabworksheet 4;\n3D.Z 5 5;\nExpr z = x*y;\n"), nullptr);
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{0});
  EXPECT_TRUE(LastAlertText().contains("1 setting holds numbers no view can use")) << LastAlertText().toStdString();
}

TEST_F(WindowRoundTripTest, AFileCutInsideATextIsRefused) {
  std::string welcome = FileBytes(ZL_TEST_DATA_DIR "/../../examples/welcome.zlf");
  const size_t inText = welcome.find("Welcome</B>") + 3;
  EXPECT_EQ(Open("cut.zlf", welcome.substr(0, inText)), nullptr);
  ASSERT_FALSE(RecordedAlerts().empty());
  EXPECT_NE(Open("whole.zlf", welcome), nullptr);
}

}  // namespace
