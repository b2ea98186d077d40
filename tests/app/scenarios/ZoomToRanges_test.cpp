#include "tests/app/ApplicationFixture.h"
#include "tests/support/FileBytes.h"

#include <cmath>
#include <regex>
#include <tuple>

#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "window/ZoomRangesDialog.h"

// Zoom to Ranges shows the ranges asked edge to edge, whatever the pane's
// shape, and offers them again when opened next.

namespace {

std::string WithStatement(const std::string& document, const std::string& name, const std::string& value) {
  return std::regex_replace(document, std::regex("\n" + name + " [^;]*;"), "\n" + name + " " + value + ";");
}

class ZoomToRangesTest : public WindowTest {
 protected:
  void TearDown() override {
    SetZoomRangesQuestion(nullptr);
    WindowTest::TearDown();
  }
  // Asks for the ranges through the menu item; returns what the dialog showed.
  static ZoomRanges Zoom(DocumentMainWindow* window, double lo, double hi) {
    ZoomRanges shown{};
    SetZoomRangesQuestion([&](QWidget*, const ZoomRanges& current) {
      shown = current;
      ZoomRanges asked = current;
      asked.x[0] = lo, asked.x[1] = hi, asked.y[0] = lo, asked.y[1] = hi;
      return std::optional<ZoomRanges>(asked);
    });
    MenuItem(window, "Zoom to Ranges...")->trigger();
    return shown;
  }
};

TEST_F(ZoomToRangesTest, TheAskedRangesMeetThePanesEdges) {
  const std::string welcome = Golden("../../examples/welcome.zlf");
  ASSERT_NE(welcome.find("StackPanes 0;"), std::string::npos);
  const struct {
    const char* name;
    std::string text;
  } documents[] = {
      {"welcome.zlf", welcome},
      {"stacked.zlf", WithStatement(welcome, "StackPanes", "1")},
      {"narrow.zlf", WithStatement(WithStatement(welcome, "Window", "40 40 440 680"), "PaneDivider", "200")},
  };
  for (const auto& d : documents) {
    SCOPED_TRACE(d.name);
    DocumentMainWindow* window = Open(d.name, d.text);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilGraphed(window));
    auto* view = dynamic_cast<A2DGraphView*>(window->Document()->fGraphPane->CurrentView());
    ASSERT_NE(view, nullptr);
    Zoom(window, -5, 5);
    ASSERT_TRUE(WaitUntilGraphed(window));
    const A2DTransform& t = view->ViewTransform();
    const MRect& r = view->ViewRect();
    ASSERT_GT(r.right - r.left, 50);
    ASSERT_GT(r.bottom - r.top, 50);
    // Pixel centres: -5 on the first column and row, 5 on the last.
    EXPECT_NEAR(t.xOrigin - 5 * t.xPixelsPerUnit, r.left, 1);
    EXPECT_NEAR(t.xOrigin + 5 * t.xPixelsPerUnit, r.right - 1, 1);
    EXPECT_NEAR(t.yOrigin - 5 * t.yPixelsPerUnit, r.bottom - 1, 1);
    EXPECT_NEAR(t.yOrigin + 5 * t.yPixelsPerUnit, r.top, 1);

    // The axes still number in round steps, some tens of pixels apart.
    for (const auto& [scale, state, pixelsPerUnit] :
         {std::tuple(view->State().xScale, view->State().xTickState, t.xPixelsPerUnit),
          std::tuple(view->State().yScale, view->State().yTickState, -t.yPixelsPerUnit)}) {
      const double spacing = NumberSpacing(scale, state);
      const double mantissa = spacing / std::pow(10.0, std::floor(std::log10(spacing)));
      EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
          << spacing;
      EXPECT_GE(spacing * pixelsPerUnit, 32);
      EXPECT_LE(spacing * pixelsPerUnit, 160);
      EXPECT_NEAR(std::remainder(spacing, TickSpacing(scale, state)), 0, 1e-12);
    }

    const ZoomRanges again = Zoom(window, 0, 10);
    EXPECT_NEAR(again.x[0], -5, 1e-9);
    EXPECT_NEAR(again.x[1], 5, 1e-9);
    EXPECT_NEAR(again.y[0], -5, 1e-9);
    EXPECT_NEAR(again.y[1], 5, 1e-9);
    EXPECT_NEAR(t.ITOX(r.left), 0, 1e-9);
    EXPECT_NEAR(t.ITOX(r.right - 1), 10, 1e-9);
    CloseEveryWindow();
  }
}

}  // namespace
