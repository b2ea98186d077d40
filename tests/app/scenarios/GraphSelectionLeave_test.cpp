#include "tests/app/ApplicationFixture.h"

#include <QMouseEvent>
#include <QTimer>

#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/OurPort.h"
#include "window/GraphPaneWidget.h"

namespace {

using GraphSelectionTest = WindowTest;

QImage DrawnGraph(DocumentMainWindow* window) {
  EXPECT_TRUE(WaitUntilGraphed(window));
  return window->GraphPane()->World()->image.copy();
}

// The crosshair of a click on the line, with its readout, is drawn until the
// mouse leaves the view.
TEST_F(GraphSelectionTest, LeavingTheViewTakesTheSelectionAway) {
  DocumentMainWindow* window = Open("line.zlf", "Zentrolabworksheet 4;\n2D.Axes 0;\n2D.GraphPaper 0;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  const QImage plain = DrawnGraph(window);
  auto* view = dynamic_cast<A2DGraphView*>(window->Document()->fGraphPane->CurrentView());
  ASSERT_NE(view, nullptr);
  const A2DTransform& t = view->ViewTransform();
  QWidget* pane = window->GraphPane();
  const QPoint onLine(t.XTOI_InfSafe(0.5), t.YTOI_InfSafe(0.5));
  QTimer::singleShot(0, pane, [pane, onLine] { QTest::mouseRelease(pane, Qt::LeftButton, {}, onLine); });
  QTest::mousePress(pane, Qt::LeftButton, {}, onLine);
  ASSERT_NE(view->CurrentSelection().kind, kSelectNothing);
  const QImage selected = DrawnGraph(window);
  EXPECT_FALSE(selected == plain);

  // Moving within the view keeps it.
  QMouseEvent inside(QEvent::MouseMove, QPointF(onLine + QPoint(3, 3)), pane->mapToGlobal(QPointF(onLine)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(pane, &inside);
  EXPECT_NE(view->CurrentSelection().kind, kSelectNothing);

  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(pane, &leave);
  EXPECT_EQ(view->CurrentSelection().kind, kSelectNothing);
  EXPECT_TRUE(DrawnGraph(window) == plain);
}

}  // namespace
