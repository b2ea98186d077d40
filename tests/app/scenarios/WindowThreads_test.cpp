#include "tests/app/ApplicationFixture.h"

#include "app/AppCommands.h"
#include "app/EditCommands.h"
#include "document/DocumentIdle.h"
#include "document/GraphingPass.h"
#include "document/MathPaneEditing.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "window/MathPaneWidget.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Windows against the threads that work for their documents; the suite
// also runs under ThreadSanitizer.
namespace {

using WindowThreadsTest = WindowTest;

// Holds every graphing pass before the given expanded equation for its
// span; the former hold comes back at its end.
class PassHeld {
 public:
  explicit PassHeld(size_t next) : fFormer(HoldGraphPassesAt(next)) {}
  ~PassHeld() { HoldGraphPassesAt(fFormer); }
  PassHeld(const PassHeld&) = delete;
  PassHeld& operator=(const PassHeld&) = delete;

 private:
  size_t fFormer;
};

constexpr const char* kBusyDocument =
    "Zentrolabworksheet 4;\nExpr sin(x*y) = cos(x + y);\nExpr x^2 + y^2 < 4 + sin(3*x*y);\n";

// The document goes while its expansion and graphs run: they are stopped
// and waited for first, and a wake-up still on its way finds no window.
// It goes while expanding, with its pass held before each of its two
// equations, and once all is done.
TEST_F(WindowThreadsTest, ClosingMidComputationLeavesNothingRunning) {
  std::vector<QPointer<DocumentMainWindow>> closed;
  const auto closeAt = [&](const std::function<bool(DocumentMainWindow*)>& when) {
    DocumentMainWindow* window = Open("busy.zlf", kBusyDocument);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return when(window); }));
    closed.emplace_back(window);
    window->close();
  };
  closeAt([](DocumentMainWindow*) { return true; });
  for (size_t held = 0; held < 2; ++held) {
    const PassHeld hold(held);
    closeAt([held](DocumentMainWindow* window) {
      const ExpansionState& state = window->Document()->fExpansion;
      return state.passStarted && state.passNext == held;
    });
  }
  closeAt([](DocumentMainWindow* window) { return IsDocumentGraphDone(window->Document()); });
  EXPECT_TRUE(AllWindows().empty());
  ASSERT_TRUE(WaitFor([&] {
    for (const QPointer<DocumentMainWindow>& window : closed)
      if (window) return false;
    return true;
  }));
  // The wake-ups queued for the windows gone find none.
  QCoreApplication::processEvents();
  EXPECT_TRUE(AllWindows().empty());
}

// Edits while the expansion of the last one runs, or once its graph was
// handed to the pane to compute: each stops them.
TEST_F(WindowThreadsTest, EditsAmidComputationEndInTheGraphOfTheLast) {
  DocumentMainWindow* window = Open("edits.zlf", "Zentrolabworksheet 4;\nExpr y < sin(x*y);\n");
  ASSERT_NE(window, nullptr);
  const ExpansionState& state = window->Document()->fExpansion;
  FocusMathPaneBlock(window->WindowRecord(), 0);
  for (int i = 0; i < 20; ++i) {
    EditSelectAll(window);
    QTest::keyClicks(window->MathPane(), i % 2 ? "y<x*y-1" : "y<2");
    if (i % 4 == 3) {
      ASSERT_TRUE(WaitFor([&] { return state.expansionDone.load() && state.graphed; }));
    }
  }
  // What it ends with is what a window opened on the last text shows.
  const std::string last = FormulaText(window->Document(), 0);
  ASSERT_TRUE(WaitUntilGraphed(window));
  EXPECT_EQ(state.expanded.size(), 1u);
  DocumentMainWindow* fresh = Open("last.zlf", "Zentrolabworksheet 4;\nExpr " + last + ";\n");
  ASSERT_NE(fresh, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(fresh));
  EXPECT_EQ(FormulaText(fresh->Document(), 0), last);
  EXPECT_TRUE(window->GraphPane()->World()->image == fresh->GraphPane()->World()->image);
}

// Sums, with a formula that makes no graph among them.
std::string ManySums(int count) {
  std::string text = "Zentrolabworksheet 4;\n";
  for (int j = 0; j < count; ++j) {
    std::string sum = "Expr y = 0";
    for (int k = 1; k <= 30; ++k) sum += " + cos(" + std::to_string(k) + "*x)/" + std::to_string(k + j);
    text += j == 7 ? "Expr y = ?;\n" : sum + ";\n";
  }
  return text;
}

// The window's idle adds one equation when its slice is spent, the event
// loop runs between the slices and sees the pass half done, and a formula
// typed then starts the pass over on the new text.
TEST_F(WindowThreadsTest, AnEditAmidTheGraphingPassStartsItOver) {
  constexpr int kSums = 12;
  const uint32_t formerSlice = DocumentMainWindow::SetGraphPassSlice(0);
  std::optional<PassHeld> hold(std::in_place, 0);
  DocumentMainWindow* window = Open("sums.zlf", ManySums(kSums));
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  const ExpansionState& state = document->fExpansion;
  ASSERT_TRUE(WaitFor([&] { return state.expansionDone.load() && state.passStarted; }));
  hold.reset();
  // The test's own idles, the event loop not running between them.
  for (size_t slice = 1; slice <= 2; ++slice) {
    window->RunIdle();
    ASSERT_EQ(state.passNext, slice);
    ASSERT_FALSE(state.graphed);
    EXPECT_EQ(document->fGraphPane->Lookup().Count(), int32_t(slice));
  }
  FocusMathPaneBlock(window->WindowRecord(), 0);
  EditSelectAll(window);
  QTest::keyClicks(window->MathPane(), "y=x");
  EXPECT_LT(document->fGraphPane->Lookup().Count(), 2);
  DocumentMainWindow::SetGraphPassSlice(formerSlice);
  ASSERT_TRUE(WaitFor([&] { return state.expansionDone.load() && state.graphed; }));
  EXPECT_EQ(FormulaText(document, 0), "y=x");
  EXPECT_EQ(document->fGraphPane->Lookup().Count(), kSums - 1);
  EXPECT_EQ(state.rows.size(), size_t{kSums});
  EXPECT_EQ(EquationMessage(document, 7), 15);
}

}  // namespace
