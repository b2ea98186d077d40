#include "tests/app/ApplicationFixture.h"

#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"
#include "graphs3d/views/A3DGraphView.h"
#include "window/GraphPaneWidget.h"

namespace {

using Window3DDragTest = WindowTest;

// The view follows the drag through the window's mouse, and a release while
// moving leaves it spinning, which the window's idle keeps turning.
TEST_F(Window3DDragTest, ADragTurnsTheViewAndAMovingReleaseSpins) {
  DocumentMainWindow* window = Open("drag.zlf", "Zentrolabworksheet 4;\n3D.Axis 0 0 -1;\n3D.Speed 0;\nExpr z = x*y;\n");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return window->GraphPane()->World() && IsDocumentGraphDone(window->Document()); }));
  auto& view = dynamic_cast<A3DGraphView&>(*window->Document()->fGraphPane->View3D(0));
  ASSERT_EQ(view.SpinSpeed(), 0);
  Matrix3 before;
  CopyMatrix(view.Camera().rotation, before);

  QWidget* pane = window->GraphPane();
  const QPoint centre = pane->rect().center();
  // Queued before the press, which follows the mouse until the release.
  for (int step = 1; step <= 4; ++step)
    QMetaObject::invokeMethod(
        pane, [pane, centre, step] { MoveWithButtonHeld(pane, centre + QPoint(12 * step, 3 * step)); },
        Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      pane, [pane, centre] { QTest::mouseRelease(pane, Qt::LeftButton, {}, centre + QPoint(60, 15)); },
      Qt::QueuedConnection);
  QTest::mousePress(pane, Qt::LeftButton, {}, centre);

  EXPECT_FALSE(EqualMatrix(before, view.Camera().rotation));
  EXPECT_GT(view.SpinSpeed(), 0);
  Matrix3 released;
  CopyMatrix(view.Camera().rotation, released);
  EXPECT_TRUE(WaitFor([&] { return !EqualMatrix(released, view.Camera().rotation); }));
}

}  // namespace
