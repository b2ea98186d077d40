#include <cmath>
#include <string>

#include "CoreUtilities/text/NumberText.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "graphs2d/PointMarkers.h"
#include "tests/graphs2d/ViewTestSupport.h"

namespace {

std::u16string AxisNumberText(double value) {
  UniChar text[kNumberTextCapacity];
  OurDoubleToString(text, value, 6);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

// How many pixels the number's ink takes when drawn whole on white, left
// of the given distance from its pen: the axis font draws at whole pixels,
// so the count is the same wherever the pen stands.
int WholeInk(const std::u16string& text, int before = 1000) {
  PortPtr port(NewOffscreenPort(QRect(0, 0, 120, 40)));
  APushPort push(port.get());
  const int pen = 20;
  port->pen.location = QPoint(pen, 25);
  OurDrawString(reinterpret_cast<const UniChar*>(text.c_str()), OurFontDesc(gAxesTypeFace, 9, false, false));
  int ink = 0;
  for (int v = 0; v < 40; ++v)
    for (int h = 0; h < std::min(120, pen + before); ++h) ink += IsInk(RgbAt(*port, h, v));
  return ink;
}

// The same for a y-axis number, left of the tick marks: its pen stands its
// width and 3 pixels left of the axis, and the marks reach 3 pixels left.
int WholeInkLeftOfMarks(const std::u16string& text) {
  return WholeInk(text, static_cast<int>(OurStringWidth(reinterpret_cast<const UniChar*>(text.c_str()),
                                                        OurFontDesc(gAxesTypeFace, 9, false, false))));
}

// Ink in the rectangle (left, top inclusive; right, bottom exclusive),
// clipped to the view.
int InkIn(ViewOnPort& v, int left, int top, int right, int bottom, int width, int height) {
  int ink = 0;
  for (int r = std::max(top, 0); r < std::min(bottom, height); ++r)
    for (int h = std::max(left, 0); h < std::min(right, width); ++h) ink += IsInk(v.At(h, r));
  return ink;
}

struct EdgeView {
  int width, height;
  double scale;
  int tickState;
  double left, bottom;  // world values at the view's left column and bottom row
};

// Views whose four ends fall on numbered ticks (numbers every 1 at 64
// pixels, every 2 at 64 and every 0.5 at 80), each axis well inside.
constexpr EdgeView kEdgeViews[] = {
    {385, 193, 0.25, 1, -2, -1},
    {321, 257, 0.25, 1, -3, -2},
    {321, 193, 0.5, 2, -4, -2},
    {481, 241, 0.1, 5, -1.5, -1},
};

// Every number at an end of the view is drawn whole or not at all: the ink
// about its tick is none or all of the text's.
TEST(A2DGraphViewAxes, NumbersAtTheEndsAreWholeOrAbsent) {
  HookRecorder hooks;
  for (const EdgeView& e : kEdgeViews) {
    SCOPED_TRACE(testing::Message() << e.width << "x" << e.height << " from " << e.left << ", " << e.bottom);
    ViewOnPort v(e.width, e.height);
    StoredView2D stored{{0, 1}, {0, 1}, {0, 6.28}, {e.scale, e.scale}, {e.left, e.bottom}, {e.tickState, e.tickState},
                        true,   false};
    v.view.InstallViewState(stored);
    v.Draw();
    const A2DTransform& t = v.view.ViewTransform();
    const int row = t.YTOI_InfSafe(0), column = t.XTOI_InfSafe(0);
    const int right = e.width - 1, bottom = e.height - 1;
    const double xEnd = t.ITOX(right), yEnd = t.ITOY(0);
    ASSERT_EQ(t.XTOI_InfSafe(e.left), 0);
    ASSERT_EQ(t.YTOI_InfSafe(e.bottom), bottom);
    ASSERT_EQ(t.XTOI_InfSafe(xEnd), right);
    ASSERT_EQ(t.YTOI_InfSafe(yEnd), 0);
    // Below the x axis beside each end; left of the y axis at each end, away
    // from the tick marks.
    const struct {
      double value;
      int ink, whole;
    } ends[] = {
        {e.left, InkIn(v, 0, row + 4, 40, row + 20, e.width, e.height), WholeInk(AxisNumberText(e.left))},
        {xEnd, InkIn(v, right - 40, row + 4, e.width, row + 20, e.width, e.height), WholeInk(AxisNumberText(xEnd))},
        {e.bottom, InkIn(v, column - 48, bottom - 20, column - 3, e.height, e.width, e.height),
         WholeInkLeftOfMarks(AxisNumberText(e.bottom))},
        {yEnd, InkIn(v, column - 48, 0, column - 3, 20, e.width, e.height), WholeInkLeftOfMarks(AxisNumberText(yEnd))},
    };
    for (const auto& end : ends) {
      ASSERT_GT(end.whole, 10);
      EXPECT_TRUE(end.ink == 0 || end.ink == end.whole) << end.value << ": " << end.ink << " of " << end.whole;
    }
  }
}

// Zoom to Ranges puts the asked ends on the first and last pixels: x from
// -2 to 3 and y from -1 to 2. Each end number is drawn whole, -2 and -1
// with their minus signs.
TEST(A2DGraphViewAxes, RangesShownExactlyKeepTheirEndNumbersWhole) {
  HookRecorder hooks;
  ViewOnPort v(400, 300);
  v.view.ShowRanges(-2, 3, -1, 2);
  v.Draw();
  const A2DTransform& t = v.view.ViewTransform();
  ASSERT_EQ(t.XTOI_InfSafe(-2), 0);
  ASSERT_EQ(t.XTOI_InfSafe(3), 399);
  ASSERT_EQ(t.YTOI_InfSafe(-1), 299);
  ASSERT_EQ(t.YTOI_InfSafe(2), 0);
  const int row = t.YTOI_InfSafe(0), column = t.XTOI_InfSafe(0);
  EXPECT_EQ(InkIn(v, 0, row + 4, 40, row + 20, 400, 300), WholeInk(u"-2"));
  EXPECT_EQ(InkIn(v, 360, row + 4, 400, row + 20, 400, 300), WholeInk(u"3"));
  EXPECT_EQ(InkIn(v, column - 48, 270, column - 3, 300, 400, 300), WholeInkLeftOfMarks(u"-1"));
  EXPECT_EQ(InkIn(v, column - 48, 0, column - 3, 20, 400, 300), WholeInkLeftOfMarks(u"2"));
}

}  // namespace
