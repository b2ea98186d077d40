#include "tests/app/ApplicationFixture.h"
#include "tests/support/ScreenPicture.h"

#include <QMenu>
#include <QToolButton>

#include <cmath>

#include "app/ExportLayout.h"
#include "app/HeadlessExport.h"
#include "app/View4DMenuItems.h"
#include "graphpane/AGraphPane.h"
#include "graphs3d/views/A4DGraphView.h"
#include "platform/OnscreenGL.h"
#include "platform/OurPort.h"
#include "renderer/RotationDecomposition.h"
#include "renderer/RotationMath.h"
#include "window/AxisIndicator.h"
#include "window/ViewControls.h"

// The window's side of the 4-D view: its axis indicator, on screen and in
// the exported picture, and the Graph-menu items that reach the view. On a
// display the view draws on screen, and the screen shows the indicator
// over it.

namespace {

// Q = I looks along w from w = 50: x points at the eye and w away from
// it, both seen end-on; y points right and z up.
const std::string kIdentity = "4D.View 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\n";
const std::string kCurve = "Expr vector(x, y, u, v) = vector(cos(t), sin(t), cos(2*t), sin(2*t));\n";
constexpr double kPiRadians = 3.14159265358979323846;
// The planes of the items in menu order, as coordinate pairs.
constexpr int kPlanes[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
constexpr const char* kPlaneNames[6] = {"xy", "xz", "xw", "yz", "yw", "zw"};
enum Arm { kX, kY, kZ, kW };

class View4DWindowTest : public WindowTest {
 protected:
  DocumentMainWindow* Graphed(const char* name, const std::string& statements) {
    DocumentMainWindow* window = Open(name, "Zentrolabworksheet 4;\n" + statements);
    if (!window) return nullptr;
    EXPECT_TRUE(WaitUntilGraphed(window));
    return window;
  }
  static A4DGraphView& View(DocumentMainWindow* window) {
    return dynamic_cast<A4DGraphView&>(*window->Document()->fGraphPane->View4D());
  }
  static bool Enabled(DocumentMainWindow* window, const QString& title) {
    UpdateView4DItems(window);
    return MenuItem(window, title)->isEnabled();
  }
  static void ShowGraphMenu(DocumentMainWindow* window) {
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
      if (menu->title() == "Graph") menu->aboutToShow();
  }
  static void SetIdentity(DocumentMainWindow* window) {
    Matrix4 identity;
    SetIdentityMatrix(identity);
    View(window).SetOrientation(identity);
  }
};

// What the screen shows of the pane, surfaces over it included, once the
// 4-D view's surface has shown its picture; without a display, the pane's
// own painting.
QImage Shown(GraphPaneWidget* pane, const A4DGraphView& view) {
  if (!OnADisplay()) return pane->grab().toImage();
  GLContextRecord* context = GetRendererAglContext(view.Record().drawContext);
  EXPECT_TRUE(WaitFor([&] { return OurOnscreenGLPresentations(context) > 0; }));
  return ScreenPicture(QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size()));
}

// Whether a pixel within one of the point has about the arm's colour.
bool ArmNear(const QImage& image, QPointF at, Arm arm) {
  const QRgb want = AxisIndicator::kAxisColours[arm];
  const QPoint p = at.toPoint();
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      if (!image.valid(p.x() + dx, p.y() + dy)) continue;
      const QRgb c = image.pixel(p.x() + dx, p.y() + dy);
      if (std::abs(qRed(c) - qRed(want)) < 40 && std::abs(qGreen(c) - qGreen(want)) < 40 &&
          std::abs(qBlue(c) - qBlue(want)) < 40)
        return true;
    }
  return false;
}

bool AnyArmNear(const QImage& image, QPointF at) {
  return ArmNear(image, at, kX) || ArmNear(image, at, kY) || ArmNear(image, at, kZ) || ArmNear(image, at, kW);
}

// Halfway along a unit arm pointing right, up, left and down from the box's centre.
struct Halfway {
  QPointF right, up, left, down;
};
Halfway HalfwayPoints(const QRect& pane) {
  const QPointF centre = QRectF(AxisIndicator::Box(pane)).center();
  const double half = AxisIndicator::kPixelsPerUnit / 2;
  return {centre + QPointF(half, 0), centre + QPointF(0, -half), centre + QPointF(-half, 0), centre + QPointF(0, half)};
}

void ExpectKept(const AxisIndicator& indicator, const AxisIndicator::Points& expected) {
  ASSERT_TRUE(indicator.IsKept());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(indicator.KeptPoints()[i], expected[i], 1e-9) << i;
}

bool NearMatrix(const Matrix4& a, const Matrix4& b, double tolerance) {
  for (int i = 0; i < 16; ++i)
    if (std::abs(a[i] - b[i]) > tolerance) return false;
  return true;
}

TEST_F(View4DWindowTest, TheIndicatorShowsWhereTheFourAxesPointAndFollowsATurn) {
  DocumentMainWindow* window = Graphed("i.zlf", kIdentity + kCurve);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Document()->fGraphPane->IsView4D());
  GraphPaneWidget* pane = window->GraphPane();
  ExpectKept(pane->Indicator(), {0, 0, 0, 0, 1, 0, 0, -1, 0, 0});
  EXPECT_EQ(GetRendererType(View(window).Record().drawContext), OnADisplay() ? kRendererOnscreen : kRendererOffscreen);
  QImage shown = Shown(pane, View(window));
  Halfway h = HalfwayPoints(pane->rect());
  EXPECT_TRUE(ArmNear(shown, h.right, kY));
  EXPECT_TRUE(ArmNear(shown, h.up, kZ));
  EXPECT_FALSE(AnyArmNear(shown, h.left));
  EXPECT_FALSE(AnyArmNear(shown, h.down));

  // A quarter turn in the xy plane brings x where y was and y end-on.
  window->Document()->fGraphPane->SetViewParameter4D(kAttributeTurnXY, 180);
  ExpectKept(pane->Indicator(), {0, 0, 1, 0, 0, 0, 0, -1, 0, 0});
  shown = Shown(pane, View(window));
  EXPECT_TRUE(ArmNear(shown, h.right, kX));
  EXPECT_FALSE(ArmNear(shown, h.right, kY));
  EXPECT_TRUE(ArmNear(shown, h.up, kZ));
}

TEST_F(View4DWindowTest, ThePlaneViewShowsNoIndicator) {
  DocumentMainWindow* window = Graphed("p.zlf", "Expr y = x;\n");
  ASSERT_NE(window, nullptr);
  GraphPaneWidget* pane = window->GraphPane();
  const QRect box = AxisIndicator::Box(pane->rect());
  ASSERT_FALSE(box.isEmpty());
  const QImage shown = pane->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(box);
  EXPECT_EQ(shown, pane->World()->image.convertToFormat(QImage::Format_RGB32).copy(box));
}

TEST_F(View4DWindowTest, TheExportedPictureShowsTheIndicatorOfItsOwnDocument) {
  // The window, turned, keeps its own points while another picture is made.
  DocumentMainWindow* window = Graphed("e.zlf", kIdentity + kCurve);
  ASSERT_NE(window, nullptr);
  window->Document()->fGraphPane->SetViewParameter4D(kAttributeTurnXY, 180);
  const AxisIndicator::Points turned = window->GraphPane()->Indicator().KeptPoints();

  const std::string text = "Zentrolabworksheet 4;\n" + kIdentity + kCurve;
  const QString path = fFolder.path() + "/e.png";
  const QSize size(600, 400);
  std::string error;
  ASSERT_EQ(ExportDocumentPicture(text, path.toStdString(), false, size, 20, &error), 0) << error;
  const QImage picture(path);
  ASSERT_EQ(picture.size(), size);
  const Halfway h = HalfwayPoints(LayOutExportPanes(window->Document()->fContents, size).graph);
  EXPECT_TRUE(ArmNear(picture, h.right, kY));
  EXPECT_TRUE(ArmNear(picture, h.up, kZ));
  EXPECT_FALSE(AnyArmNear(picture, h.left));
  ExpectKept(window->GraphPane()->Indicator(), turned);
}

TEST_F(View4DWindowTest, TheItemsApplyOnlyWhileThe4DViewShows) {
  DocumentMainWindow* plane = Graphed("p.zlf", "Expr y = x;\n");
  ASSERT_NE(plane, nullptr);
  for (const char* title : {"Turn in the xy Plane", "Spin in the zw Plane", "Orientation 1", "Drag Turns y, z, w"})
    EXPECT_FALSE(Enabled(plane, title)) << title;
  MenuItem(plane, "Orientation 2")->trigger();
  EXPECT_FALSE(plane->Document()->fModified);

  DocumentMainWindow* window = Graphed("f.zlf", kCurve);
  ASSERT_NE(window, nullptr);
  for (const char* title : {"Turn in the xy Plane", "Spin in the zw Plane", "Orientation 1", "Drag Turns y, z, w"})
    EXPECT_TRUE(Enabled(window, title)) << title;
}

TEST_F(View4DWindowTest, TurnItemsTurnInTheirPlane) {
  DocumentMainWindow* window = Graphed("t.zlf", kCurve);
  ASSERT_NE(window, nullptr);
  const double c = std::cos(kPiRadians / 12), s = std::sin(kPiRadians / 12);
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(kPlaneNames[k]);
    SetIdentity(window);
    window->Document()->fModified = false;
    MenuItem(window, QString("Turn in the %1 Plane").arg(kPlaneNames[k]))->trigger();
    Matrix4 expected;
    SetIdentityMatrix(expected);
    const int i = kPlanes[k][0], j = kPlanes[k][1];
    expected[4 * i + i] = c, expected[4 * i + j] = s, expected[4 * j + i] = -s, expected[4 * j + j] = c;
    EXPECT_TRUE(NearMatrix(View(window).Orientation(), expected, 1e-12));
    EXPECT_TRUE(window->Document()->fModified);
  }
}

TEST_F(View4DWindowTest, SpinItemsTurnInTheirPlaneUntilStopped) {
  DocumentMainWindow* window = Graphed("s.zlf", kCurve);
  ASSERT_NE(window, nullptr);
  A4DGraphView& view = View(window);
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(kPlaneNames[k]);
    SetIdentity(window);
    MenuItem(window, QString("Spin in the %1 Plane").arg(kPlaneNames[k]))->trigger();
    EXPECT_TRUE(view.IsMoving());
    Matrix4 identity;
    SetIdentityMatrix(identity);
    ASSERT_TRUE(WaitFor([&] { return !NearMatrix(view.Orientation(), identity, 1e-3); }));
    // The other two coordinates stay where they were.
    const int i = kPlanes[k][0], j = kPlanes[k][1];
    for (int r = 0; r < 4; ++r) {
      for (int col = 0; col < 4; ++col) {
        if (r == i || r == j || col == i || col == j) continue;
        EXPECT_NEAR(view.Orientation()[4 * r + col], r == col, 1e-9);
      }
    }
    MenuItem(window, "Stop Spinning")->trigger();
    EXPECT_FALSE(view.IsMoving());
  }
}

TEST_F(View4DWindowTest, OrientationsSetTheirPresetAndStopTheSpin) {
  DocumentMainWindow* window = Graphed("o.zlf", kIdentity + kCurve);
  ASSERT_NE(window, nullptr);
  A4DGraphView& view = View(window);
  MenuItem(window, "Spin in the xw Plane")->trigger();
  MenuItem(window, "Orientation 1")->trigger();
  EXPECT_FALSE(view.IsMoving());
  EXPECT_TRUE(NearMatrix(view.Orientation(), A4DGraphView().Orientation(), 1e-12));
  std::vector<std::vector<double>> seen = {std::vector<double>(view.Orientation(), view.Orientation() + 16)};
  for (const char* title : {"Orientation 2", "Orientation 3", "Orientation 4"}) {
    MenuItem(window, title)->trigger();
    EXPECT_TRUE(IsRotationMatrix(view.Orientation(), 4)) << title;
    for (const std::vector<double>& before : seen) {
      Matrix4 b;
      std::copy(before.begin(), before.end(), b);
      EXPECT_FALSE(NearMatrix(view.Orientation(), b, 1e-6)) << title;
    }
    seen.emplace_back(view.Orientation(), view.Orientation() + 16);
  }
}

TEST_F(View4DWindowTest, DragItemsChooseWhatAPlainDragTurns) {
  DocumentMainWindow* window = Graphed("d.zlf", kCurve);
  ASSERT_NE(window, nullptr);
  MenuItem(window, "Drag Turns y, z, w")->trigger();
  EXPECT_EQ(View(window).MouseAction(), kRotate4DYZW);
  UpdateView4DItems(window);
  EXPECT_TRUE(MenuItem(window, "Drag Turns y, z, w")->isChecked());
  EXPECT_FALSE(MenuItem(window, "Drag Turns x, y, z")->isChecked());
  MenuItem(window, "Drag Turns x, y, z")->trigger();
  EXPECT_EQ(View(window).MouseAction(), kRotate4DXYZ);
}

// The grid is drawn in light grey; nothing else of this picture is.
int GridPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      count += std::abs(qRed(p) - 0xBB) < 12 && std::abs(qGreen(p) - 0xBB) < 12 && std::abs(qBlue(p) - 0xBB) < 12;
    }
  return count;
}

TEST_F(View4DWindowTest, ShowAxesAndShowGraphPaperReachThe4DAxesAndGrid) {
  DocumentMainWindow* window = Graphed("g.zlf", kCurve);
  ASSERT_NE(window, nullptr);
  A4DGraphView& view = View(window);
  const int gridBefore = GridPixels(window->GraphPane()->World()->image);
  EXPECT_GT(gridBefore, 100);
  ShowGraphMenu(window);
  EXPECT_TRUE(MenuItem(window, "Show Axes")->isChecked());
  EXPECT_TRUE(MenuItem(window, "Show Graph Paper")->isChecked());

  MenuItem(window, "Show Graph Paper")->trigger();
  EXPECT_FALSE(view.IsShowingGrid());
  EXPECT_LT(GridPixels(window->GraphPane()->World()->image), gridBefore / 10);
  MenuItem(window, "Show Axes")->trigger();
  EXPECT_EQ(view.Record().axesShown, 0);
  ShowGraphMenu(window);
  EXPECT_FALSE(MenuItem(window, "Show Axes")->isChecked());
  EXPECT_FALSE(MenuItem(window, "Show Graph Paper")->isChecked());
  MenuItem(window, "Show Graph Paper")->trigger();
  EXPECT_TRUE(view.IsShowingGrid());
  // The axes button under the pane does the same.
  window->ViewButtons()->AxesButton(kCurrentView)->click();
  EXPECT_EQ(view.Record().axesShown, 1);
  EXPECT_TRUE(window->ViewButtons()->AxesButton(kCurrentView)->isChecked());
}

}  // namespace
