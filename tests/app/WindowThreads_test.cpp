#include "tests/app/ApplicationFixture.h"

#include "app/AppCommands.h"
#include "app/EditCommands.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "graphpane/AGraphPane.h"
#include "window/MathPaneWidget.h"

#include <string>

// Windows against the threads that work for their documents; the suite
// also runs under ThreadSanitizer.
namespace {

using WindowThreadsTest = WindowTest;

// The document goes while its expansion and graphs run: they are stopped
// and waited for first, and a wake-up still on its way finds no window.
TEST_F(WindowThreadsTest, ClosingMidComputationLeavesNothingRunning) {
  for (int i = 0; i < 5; ++i) {
    DocumentMainWindow* window =
        Open("busy.zlf", "Zentrolabworksheet 4;\nExpr sin(x*y) = cos(x + y);\nExpr x^2 + y^2 < 4 + sin(3*x*y);\n");
    ASSERT_NE(window, nullptr);
    QTest::qWait(i * 20);
    window->close();
  }
  QTest::qWait(200);
  EXPECT_TRUE(AllWindows().empty());
}

// Edits while the graphs of the last one still compute: each stops them.
TEST_F(WindowThreadsTest, EditsAmidComputationEndInTheGraphOfTheLast) {
  DocumentMainWindow* window = Open("edits.zlf", "Zentrolabworksheet 4;\nExpr y < sin(x*y);\n");
  ASSERT_NE(window, nullptr);
  FocusMathPaneBlock(window->WindowRecord(), 0);
  for (int i = 0; i < 20; ++i) {
    EditSelectAll(window);
    QTest::keyClicks(window->MathPane(), i % 2 ? "x" : "2");
    QTest::qWait(i % 5);
  }
  EXPECT_TRUE(WaitFor([&] { return IsDocumentGraphDone(window->Document()); }));
}

// Sums long enough that the window graphs them in many slices of its idle,
// with a formula that makes no graph among them.
std::string ManySums(int count) {
  std::string text = "Zentrolabworksheet 4;\n";
  for (int j = 0; j < count; ++j) {
    std::string sum = "Expr y = 0";
    for (int k = 1; k <= 30; ++k) sum += " + cos(" + std::to_string(k) + "*x)/" + std::to_string(k + j);
    text += j == 7 ? "Expr y = ?;\n" : sum + ";\n";
  }
  return text;
}

// The event loop runs between the slices of the pass: it sees the pass
// half done, and a formula typed then starts the pass over on the new text.
TEST_F(WindowThreadsTest, AnEditAmidTheGraphingPassStartsItOver) {
  constexpr int kSums = 300;
  DocumentMainWindow* window = Open("sums.zlf", ManySums(kSums));
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  const ExpansionState& state = document->fExpansion;
  ASSERT_TRUE(WaitFor([&] { return state.passStarted && state.passNext > 1 && !state.graphed; }));
  FocusMathPaneBlock(window->WindowRecord(), 0);
  EditSelectAll(window);
  QTest::keyClicks(window->MathPane(), "y=x");
  EXPECT_LT(document->fGraphPane->Lookup().Count(), 2);
  ASSERT_TRUE(WaitFor([&] { return state.expansionDone.load() && state.graphed; }, 120000));
  EXPECT_EQ(FormulaText(document, 0), "y=x");
  EXPECT_EQ(document->fGraphPane->Lookup().Count(), kSums - 1);
  EXPECT_EQ(state.rows.size(), size_t{kSums});
  EXPECT_EQ(EquationMessage(document, 7), 15);
}

}  // namespace
