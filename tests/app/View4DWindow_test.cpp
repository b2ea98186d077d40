#include "tests/app/ApplicationFixture.h"

#include <cmath>

#include "app/ExportLayout.h"
#include "app/HeadlessExport.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "window/AxisIndicator.h"

// The window's side of the 4-D view: its axis indicator, on screen and in
// the exported picture.

namespace {

// Q = I looks along w from w = 50: x points at the eye and w away from
// it, both seen end-on; y points right and z up.
const std::string kIdentity = "4D.View 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\n";
const std::string kCurve = "Expr vector(x, y, u, v) = vector(cos(t), sin(t), cos(2*t), sin(2*t));\n";
enum Arm { kX, kY, kZ, kW };

class View4DWindowTest : public WindowTest {
 protected:
  DocumentMainWindow* Graphed(const char* name, const std::string& statements) {
    DocumentMainWindow* window = Open(name, "Zentrolabworksheet 4;\n" + statements);
    if (!window) return nullptr;
    EXPECT_TRUE(WaitUntilGraphed(window));
    return window;
  }
};

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
  return {centre + QPointF(half, 0), centre + QPointF(0, -half), centre + QPointF(-half, 0),
          centre + QPointF(0, half)};
}

void ExpectKept(const AxisIndicator& indicator, const AxisIndicator::Points& expected) {
  ASSERT_TRUE(indicator.IsKept());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(indicator.KeptPoints()[i], expected[i], 1e-9) << i;
}

TEST_F(View4DWindowTest, TheIndicatorShowsWhereTheFourAxesPointAndFollowsATurn) {
  DocumentMainWindow* window = Graphed("i.zlf", kIdentity + kCurve);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Document()->fGraphPane->IsView4D());
  GraphPaneWidget* pane = window->GraphPane();
  ExpectKept(pane->Indicator(), {0, 0, 0, 0, 1, 0, 0, -1, 0, 0});
  QImage shown = pane->grab().toImage();
  Halfway h = HalfwayPoints(pane->rect());
  EXPECT_TRUE(ArmNear(shown, h.right, kY));
  EXPECT_TRUE(ArmNear(shown, h.up, kZ));
  EXPECT_FALSE(AnyArmNear(shown, h.left));
  EXPECT_FALSE(AnyArmNear(shown, h.down));

  // A quarter turn in the xy plane brings x where y was and y end-on.
  window->Document()->fGraphPane->SetViewParameter4D(kAttributeTurnXY, 180);
  ExpectKept(pane->Indicator(), {0, 0, 1, 0, 0, 0, 0, -1, 0, 0});
  shown = pane->grab().toImage();
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

}  // namespace
