#include "tests/app/ApplicationFixture.h"

#include "app/AppCommands.h"
#include "app/EditCommands.h"
#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "window/MathPaneWidget.h"

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

}  // namespace
