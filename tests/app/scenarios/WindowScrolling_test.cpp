#include "tests/app/ApplicationFixture.h"

#include <QScrollBar>
#include <QSplitter>

#include "document/MathPaneDrawing.h"
#include "document/MathPaneScrolling.h"
#include "platform/OurPort.h"
#include "window/MathPaneWidget.h"

namespace {

std::string Equations(int count) {
  std::string text = "Zentrolabworksheet 4;\n";
  for (int i = 1; i <= count; ++i) text += "Expr y = " + std::to_string(i) + ";\n";
  return text;
}

class WindowScrollingTest : public WindowTest {
 protected:
  static QRect Port(DocumentMainWindow* window) { return window->WindowRecord()->mathPanePort->bounds; }
  static QScrollBar* Bar(DocumentMainWindow* window) { return window->MathPane()->ScrollBars().Vertical(); }
  // The bar stands along the pane's right edge, as tall as the port, and
  // runs over the laid-out height.
  static void ExpectBarFollowsThePane(DocumentMainWindow* window) {
    QApplication::processEvents();
    const QRect port = Port(window);
    EXPECT_EQ(port.width() + Bar(window)->width(), window->MathPane()->width());
    EXPECT_EQ(Bar(window)->geometry(), QRect(port.right() + 1, 0, Bar(window)->width(), port.height()));
    const int height = LayOutMathPane(window->WindowRecord(), port).height;
    EXPECT_EQ(Bar(window)->maximum(), std::max(0, height - port.height()));
    EXPECT_GE(Bar(window)->value(), 0);
    EXPECT_LE(Bar(window)->value(), Bar(window)->maximum());
    EXPECT_EQ(Bar(window)->value(), window->WindowRecord()->mathPaneScroll.offset.y());
  }
};

TEST_F(WindowScrollingTest, BarFollowsTheWindowAndTheDivider) {
  DocumentMainWindow* window = Open("long.zlf", Equations(40));
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_TRUE(WaitFor([&] { return Bar(window)->maximum() > 0; }));
  ExpectBarFollowsThePane(window);
  Bar(window)->setValue(Bar(window)->maximum());

  window->resize(500, 600);
  ExpectBarFollowsThePane(window);

  const QList<int> sizes = window->Divider()->sizes();
  window->Divider()->setSizes({sizes[0] / 2, sizes[1] + sizes[0] - sizes[0] / 2});
  ExpectBarFollowsThePane(window);
}

TEST_F(WindowScrollingTest, StackedPanesScrollTheMathPaneAbove) {
  DocumentMainWindow* window = Open("stacked.zlf", Equations(40) + "StackPanes 1;\n");
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_EQ(window->Divider()->orientation(), Qt::Vertical);
  ASSERT_TRUE(WaitFor([&] { return Bar(window)->maximum() > 0; }));
  ExpectBarFollowsThePane(window);
  EXPECT_LT(Port(window).height(), 500);
  QTest::keyClick(window->MathPane(), Qt::Key_PageDown);
  EXPECT_EQ(Bar(window)->value(), Port(window).height());
  ExpectBarFollowsThePane(window);
}

}  // namespace
