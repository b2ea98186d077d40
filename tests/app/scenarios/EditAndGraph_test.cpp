#include "tests/app/ApplicationFixture.h"
#include "tests/support/FileBytes.h"

#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "app/HeadlessExport.h"
#include "app/WindowExport.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "document/DocumentIdle.h"
#include "document/GraphingPass.h"
#include "document/MathPaneEditing.h"
#include "expression/MathEditRecord.h"
#include "graphpane/GraphHooks.h"
#include "platform/OurPort.h"
#include "platform/TextBlock.h"
#include "window/GraphPaneWidget.h"
#include "window/MathPaneWidget.h"

namespace {

constexpr int kGuardSeconds = std::chrono::seconds(kHangLimit).count();

// Pixels that are not white (the top byte carries no meaning).
int InkCount(const QImage& image) {
  int ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) ink += (row[x] & 0xFFFFFF) != 0xFFFFFF;
  }
  return ink;
}

class EditAndGraphTest : public WindowTest {
 protected:
  QString SaveAs(DocumentMainWindow* window, const char* name) {
    const QString path = fFolder.path() + "/" + name;
    SetFileNameQuestion([path](QWidget*, bool, const QString&) { return path; });
    EXPECT_TRUE(SaveWindowAs(window));
    return path;
  }

  static QImage GraphPicture(DocumentMainWindow* window) { return window->GraphPane()->World()->image.copy(); }
};

TEST_F(EditAndGraphTest, TypedChangeRegraphsAndSurvivesSaveAndReopen) {
  DocumentMainWindow* window = Open("line.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(document) && InkCount(GraphPicture(window)) > 0; }));
  window->RunIdle();
  const QImage before = GraphPicture(window);

  // A click just right of the formula puts the caret at its end.
  int16_t rect[4];
  GetDrawRect(document->fContents.blocks[0].equation, rect);
  const QPoint end(rect[kDrawRight] + 2, (rect[kDrawTop] + rect[kDrawBottom]) / 2);
  window->MathPane()->setFocus();
  Click(window->MathPane(), end);
  ASSERT_EQ(document->fFocusedBlock, 0);
  QTest::keyClicks(window->MathPane(), "3");
  EXPECT_EQ(FormulaText(document, 0), "y=x*3");
  EXPECT_TRUE(document->fModified);

  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(document) && GraphPicture(window) != before; }));
  SaveAs(window, "line2");
  EXPECT_FALSE(document->fModified);
  DocumentMainWindow* reopened = OpenDocumentWindow(window->FilePath());
  ASSERT_NE(reopened, nullptr);
  EXPECT_TRUE(window->FilePath().endsWith("line2.zlf"));
  EXPECT_EQ(FormulaText(reopened->Document(), 0), FormulaText(document, 0));
}

TEST_F(EditAndGraphTest, TextBlockEditSurvivesSaveAndReopen) {
  DocumentMainWindow* window = Open("text.zlf", "Zentrolabworksheet 4;\nText \"Notes\";\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  FocusMathPaneBlock(window->WindowRecord(), 0);
  TextBlock* text = document->fContents.blocks[0].text;
  ASSERT_NE(text, nullptr);
  text->cursor.movePosition(QTextCursor::End);
  QTest::keyClicks(window->MathPane(), " on lines");
  EXPECT_EQ(text->Contents().trimmed(), "Notes on lines");
  EXPECT_TRUE(document->fModified);
  SaveAs(window, "text2.zlf");
  DocumentMainWindow* reopened = OpenDocumentWindow(window->FilePath());
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->Document()->fContents.blocks[0].text->Contents(), text->Contents());
}

// Restarting the threads, or running out of memory, computes every
// window's graphs again.
TEST_F(EditAndGraphTest, RestartAndOutOfMemoryAlertRegraphEveryWindow) {
  DocumentMainWindow* first = Open("one.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  DocumentMainWindow* second = Open("two.zlf", "Zentrolabworksheet 4;\nExpr y < x;\n");
  ASSERT_TRUE(first && second);
  const auto allDone = [&] {
    return IsDocumentGraphDone(first->Document()) && IsDocumentGraphDone(second->Document()) &&
           InkCount(GraphPicture(first)) > 0 && InkCount(GraphPicture(second)) > 0;
  };
  ASSERT_TRUE(WaitFor(allDone));
  CancelGraphThreadsAllWindows();
  EXPECT_FALSE(IsDocumentGraphDone(first->Document()));
  ASSERT_TRUE(WaitFor(allDone));
  EXPECT_FALSE(first->Document()->fModified);
  RecordedAlerts().clear();
  ReportError(36);
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{36});
  EXPECT_FALSE(IsDocumentGraphDone(second->Document()));
  ASSERT_TRUE(WaitFor(allDone));
}

TEST_F(EditAndGraphTest, MenuExportEqualsExportOfTheSavedFile) {
  const std::string text = Golden("export_road.zlf");
  DocumentMainWindow* window = Open("road.zlf", text);
  ASSERT_NE(window, nullptr);
  const QString saved = SaveAs(window, "road2.zlf");
  const double formerTimeout = SetWindowExportTimeout(kGuardSeconds);
  for (const auto& [format, extension] :
       {std::pair{ExportFormat::kPng, ".png"}, std::pair{ExportFormat::kPdf, ".pdf"}}) {
    const QString fromMenu = fFolder.path() + "/menu" + extension,
                  fromCommand = fFolder.path() + "/command" + extension;
    ASSERT_EQ(ExportWindow(window, fromMenu, format), 0);
    const std::string command = std::string(ZL_EXECUTABLE) + " --export " + saved.toStdString() +
                                (format == ExportFormat::kPng ? " --png " : " --pdf ") + fromCommand.toStdString() +
                                " --timeout " + std::to_string(kGuardSeconds);
    ASSERT_EQ(std::system(command.c_str()), 0);
    if (format == ExportFormat::kPng) {
      const QImage a(fromMenu), b(fromCommand);
      ASSERT_FALSE(a.isNull());
      EXPECT_EQ(a.convertToFormat(QImage::Format_RGB32), b.convertToFormat(QImage::Format_RGB32));
    } else {
      QFile a(fromMenu), b(fromCommand);
      ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
      EXPECT_TRUE(a.readAll().startsWith("%PDF"));
      EXPECT_GT(b.size(), 0);
    }
  }
  SetWindowExportTimeout(formerTimeout);
}

// The export waits for the expansion as a window's event loop does, without
// the baton: one that outlasted the interface's patience, so that its idle
// yields no more, still ends, and the picture is done.
TEST_F(EditAndGraphTest, AnExportEndsThoughTheInterfaceStoppedYielding) {
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 1;
  const std::string out = (fFolder.path() + "/patient.png").toStdString();
  std::string error;
  EXPECT_EQ(ExportDocumentPicture("Zentrolabworksheet 4;\nExpr y = x^2;\n", out, false, QSize(200, 100), kGuardSeconds,
                                  &error),
            0)
      << error;
  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  EXPECT_GT(InkCount(QImage(QString::fromStdString(out))), 0);
}

// A clock for the deadlines only, a tenth of a second on at each look up
// to 1.7 s, where it stays: past the painting's deadline of an export with
// a second's timeout (1.4 s after its first look), short of its encoding's
// (1.8 s), however slowly the machine runs.
std::atomic<int64_t> gDeadlineLooks{0};
int64_t ATenthALookUpTo1700Ms() { return std::min<int64_t>(gDeadlineLooks.fetch_add(1), 17) * 100'000'000; }
// A clock a second on at each look: every deadline has passed at the look
// after the export's first.
int64_t ASecondALook() { return gDeadlineLooks.fetch_add(1) * 1'000'000'000; }

// The document exported at 300 x 200 with the timeout, its deadlines read
// on the clock: the status, and what the export said.
int ExportOnClock(DeadlineClock clock, const std::string& document, const std::string& out, double timeout,
                  std::string* error, ExportDetails* details) {
  gDeadlineLooks = 0;
  const DeadlineClock formerClock = SetDeadlineClock(clock);
  const int status = ExportDocumentPicture(document, out, false, QSize(300, 200), timeout, error, details);
  SetDeadlineClock(formerClock);
  return status;
}

// A deadline that comes while the pass is held amid the document ends the
// export there: the picture is written as far as the graphs got, and the
// status says they are unfinished, though those made are done.
TEST_F(EditAndGraphTest, AnExportWhosePassTheDeadlineCutsSaysSo) {
  const std::string out = (fFolder.path() + "/cut.png").toStdString();
  const size_t formerHold = HoldGraphPassesAt(1);
  std::string error;
  ExportDetails details;
  const int status = ExportOnClock(ATenthALookUpTo1700Ms, "Zentrolabworksheet 4;\nExpr y = x;\nExpr y = -x;\n", out, 1,
                                   &error, &details);
  HoldGraphPassesAt(formerHold);
  EXPECT_EQ(status, 2) << error;
  EXPECT_TRUE(details.graphsUnfinished);
  EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(300, 200));
  // The cut stops nothing after the export: a formula written now (a save) is written whole.
  EXPECT_EQ(gMathError.load(), 0);
}

// Exported on the stopping clock with a second's timeout, the document's
// math pane is left unfinished, and said to be, in a picture of the size
// asked for.
void ExpectExportStopsAtItsDeadline(const std::string& document, const std::string& out) {
  std::string error;
  ExportDetails details;
  EXPECT_EQ(ExportOnClock(ATenthALookUpTo1700Ms, document, out, 1, &error, &details), 2) << error;
  EXPECT_TRUE(details.mathPaneUnfinished);
  EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(300, 200));
}

// A long text block is laid out a stretch at a time, looking at the
// deadline between stretches: on a clock that passes the painting's
// deadline within fourteen looks, its 64 stretches cannot all be laid out,
// and the export says the math pane is unfinished.
TEST_F(EditAndGraphTest, ALongTextStopsAtTheExportsDeadline) {
  std::string text = "Zentrolabworksheet 4;\nText \"<font=Times><size=14>";
  for (int line = 0; line < 1 << 16; ++line)
    text += "A line of a long text, of sixty-four characters with its break.\n";
  text += "\";\n";
  ExpectExportStopsAtItsDeadline(text, (fFolder.path() + "/text.png").toStdString());
}

// A text of one paragraph, which the engine would lay out in one call, is
// rehearsed line by line first: on the same clock the rehearsal finds the
// deadline too near, and the export says the math pane is unfinished.
TEST_F(EditAndGraphTest, ALongParagraphStopsAtTheExportsDeadline) {
  std::string text = "Zentrolabworksheet 4;\nText \"<font=Times><size=14>";
  for (int sentence = 0; sentence < 2000; ++sentence)
    text += "A sentence of a long paragraph, of sixty-four characters in all. ";
  text += "\";\n";
  ExpectExportStopsAtItsDeadline(text, (fFolder.path() + "/paragraph.png").toStdString());
}

// On a clock a second on at each look, an export given no time finds the
// encoding's deadline passed before its first row, however fast the
// machine: no picture is written, the one there before stays, and the
// export says why; from the menu, after the alert's message.
TEST_F(EditAndGraphTest, AnEncodingPastItsDeadlineWritesNoPicture) {
  const std::string out = (fFolder.path() + "/late.png").toStdString();
  const std::string earlier = "a picture exported earlier";
  std::ofstream(out, std::ios::binary) << earlier;
  std::string error;
  ExportDetails details;
  EXPECT_EQ(ExportOnClock(ASecondALook, "Zentrolabworksheet 4;\nExpr y = x;\n", out, 0, &error, &details), 2);
  EXPECT_NE(error.find("no picture is written"), std::string::npos) << error;
  EXPECT_EQ(FileBytes(out), earlier);

  DocumentMainWindow* window = Open("late.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  SetFileNameQuestion([out](QWidget*, bool, const QString&) { return QString::fromStdString(out); });
  const double formerTimeout = SetWindowExportTimeout(0);
  gDeadlineLooks = 0;
  const DeadlineClock formerClock = SetDeadlineClock(ASecondALook);
  MenuItem(window, "Export PNG...")->trigger();
  SetDeadlineClock(formerClock);
  SetWindowExportTimeout(formerTimeout);
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{45});
  EXPECT_TRUE(LastAlertText().endsWith("\n\nThe time ran out while the picture was encoded; no picture is written."))
      << LastAlertText().toStdString();
  EXPECT_EQ(FileBytes(out), earlier);
}

// An export writes one picture: its graph pane is drawn once, when the
// graphs are done, not after each idle that brought some in, and that one
// draw is the golden picture. A 2-D view reports the time since its last
// draw at each draw after its first.
int gRedraws = 0;
void (*gFormerFrameRateFeedback)(DocumentRecord*, double) = nullptr;

TEST_F(EditAndGraphTest, AnExportOfManyCurvesDrawsItsGraphsOnce) {
  gRedraws = 0;
  gFormerFrameRateFeedback = std::exchange(gGraphPaneHooks.FrameRateFeedback, [](DocumentRecord* d, double seconds) {
    ++gRedraws;
    gFormerFrameRateFeedback(d, seconds);
  });
  const std::string out = (fFolder.path() + "/curves.png").toStdString();
  std::string error;
  const int status = ExportDocumentPicture(FileBytes(std::string(ZL_TEST_DATA_DIR) + "/many_curves_100.zlf"), out,
                                           false, QSize(600, 360), kGuardSeconds, &error);
  gGraphPaneHooks.FrameRateFeedback = gFormerFrameRateFeedback;
  ASSERT_EQ(status, 0) << error;
  EXPECT_EQ(gRedraws, 0);
  const QImage golden(QString::fromStdString(std::string(ZL_TEST_DATA_DIR) + "/many_curves_100.png"));
  ASSERT_FALSE(golden.isNull());
  EXPECT_EQ(QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32),
            golden.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
