#include "tests/app/ApplicationFixture.h"
#include "tests/app/QueuedDrag.h"

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
  const QPoint step(12, 3);
  QueuedDrag(pane, centre, {centre + step, centre + 2 * step, centre + 3 * step, centre + 4 * step}, centre + 5 * step);

  EXPECT_FALSE(EqualMatrix(before, view.Camera().rotation));
  EXPECT_GT(view.SpinSpeed(), 0);
  Matrix3 released;
  CopyMatrix(view.Camera().rotation, released);
  EXPECT_TRUE(WaitFor([&] { return !EqualMatrix(released, view.Camera().rotation); }));
}

}  // namespace
