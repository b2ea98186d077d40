#include "tests/app/ApplicationFixture.h"

#include <QToolButton>

#include "document/DocumentIdle.h"
#include "document/MathPaneEditing.h"
#include "graphpane/AGraphPane.h"
#include "window/MathPaneWidget.h"
#include "window/WindowSlider.h"

// A window where nothing moves on by itself lets its idle timer sleep; input
// and finished work wake it, and whatever moves keeps it going.

namespace {

using QuietWindowTest = WindowTest;

bool AllAsleep(const std::vector<DocumentMainWindow*>& windows) {
  for (DocumentMainWindow* window : windows)
    if (window->IsIdleArmed()) return false;
  return true;
}

TEST_F(QuietWindowTest, NothingToDoSleepsUntilInputAndSleepsAgainAfterTheWork) {
  std::vector<DocumentMainWindow*> windows;
  for (const char* name : {"a.zlf", "b.zlf", "c.zlf"}) {
    windows.push_back(Open(name, "Zentrolabworksheet 4;\nExpr y = sin(x);\nExpr x^2 + y^2 < 4;\n"));
    ASSERT_NE(windows.back(), nullptr);
  }
  for (DocumentMainWindow* window : windows) ASSERT_TRUE(WaitUntilGraphed(window));
  EXPECT_TRUE(WaitFor([&] { return AllAsleep(windows); }));

  // A key wakes its own window only; the regraph it starts ends asleep.
  DocumentMainWindow* typed = windows[1];
  FocusMathPaneBlock(typed->WindowRecord(), 0);
  QTest::keyClick(typed->MathPane(), Qt::Key_Plus);
  EXPECT_TRUE(typed->IsIdleArmed());
  EXPECT_FALSE(windows[0]->IsIdleArmed());
  EXPECT_FALSE(windows[2]->IsIdleArmed());
  EXPECT_TRUE(WaitFor([&] { return IsDocumentGraphDone(typed->Document()) && !typed->IsIdleArmed(); }));

  // A view checking the timer between a wake and its idle keeps the wake.
  typed->WakeIdle();
  typed->CheckTimerInterval();
  EXPECT_TRUE(typed->IsIdleArmed());
  typed->RunIdle();
  EXPECT_FALSE(typed->IsIdleArmed());
}

TEST_F(QuietWindowTest, SpinningAndAnimatingKeepTheTimerGoing) {
  DocumentMainWindow* spinning = Open("spin.zlf", "Zentrolabworksheet 4;\nExpr z = x*y;\n");
  DocumentMainWindow* animating = Open("play.zlf", "Zentrolabworksheet 4;\nSliderMoving 1;\nExpr y = x + n;\n");
  ASSERT_NE(spinning, nullptr);
  ASSERT_NE(animating, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(spinning));
  ASSERT_TRUE(WaitFor([&] { return spinning->Document()->fGraphPane->AreAnyGraphsSpinning(); }));
  for (DocumentMainWindow* window : {spinning, animating}) {
    window->RunIdle();
    EXPECT_TRUE(window->IsIdleArmed());
  }
  // Stopped, each goes quiet.
  spinning->Document()->fGraphPane->SetViewParameter(kAttributeStopSpin, kBothViews);
  QToolButton* play = animating->Slider()->findChild<QToolButton*>();
  ASSERT_NE(play, nullptr);
  QTest::mouseClick(play, Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] { return !spinning->IsIdleArmed() && !animating->IsIdleArmed(); }));
}

}  // namespace
