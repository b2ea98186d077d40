#include <cmath>
#include <random>
#include <string>

#include "CoreUtilities/drawing/OurDrawing.h"
#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/AnArrowPlot.h"
#include "graphs2d/ArrowHead.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

struct FieldInView {
  FieldInView(const std::string& vx, const std::string& vy, double grain = 0.5, bool equal = false)
      : view(400, 300),
        plot(AddedTo(view.view, std::make_unique<A2DVectorPlot>(Formula(vx.c_str()), Formula(vy.c_str()), grain,
                                                                SolidColour(), equal, view.view.GraphTransform()))) {
    WaitUntilDone(*plot);
  }
  const A2DTransform& T() const { return view.view.GraphTransform(); }
  int RedPixels() {
    view.Draw();
    return PixelsOf(view.port->image, 0xFF0000);
  }
  ViewOnPort view;
  A2DVectorPlot* plot;  // owned by the view
};

using VectorPlotTest = FunctionGraphTest;

TEST_F(VectorPlotTest, TheLatticeIsAnchoredOnTheAxes) {
  FieldInView f("x", "y", 0.5);
  const A2DTransform& t = f.T();
  const MRect& r = t.pixelRect;
  const int spacing = 55;
  const int axisColumn = int(std::floor(t.xOrigin + 0.5)), axisRow = int(std::floor(t.yOrigin + 0.5));
  const int xOffset = axisColumn % spacing - 6, yOffset = (r.bottom - axisRow) % spacing;
  EXPECT_EQ(f.plot->Columns(), (400 - xOffset) / spacing + 3);
  EXPECT_EQ(f.plot->Rows(), (300 - yOffset) / spacing + 3);
  bool rowOnAxis = false;
  for (int j = 0; j < f.plot->Rows(); ++j) {
    for (int i = 0; i < f.plot->Columns(); ++i) {
      const A2DVectorPlot::Arrow& a = f.plot->ArrowAt(i, j);
      ASSERT_EQ(a.x, t.ITOX(r.left + spacing * (i - 1) + xOffset));
      ASSERT_EQ(a.y, t.ITOY(r.bottom - spacing * (j - 1) - yOffset));
      ASSERT_EQ(a.vx, a.x);
      ASSERT_EQ(a.vy, a.y);
      rowOnAxis = rowOnAxis || a.y == 0;
    }
  }
  EXPECT_TRUE(rowOnAxis);
}

TEST_F(VectorPlotTest, ArrowsScaleToTheLongestAndNeverTurnRound) {
  FieldInView equal("x", "1 + y^2", 0.5, true);
  const double ux = equal.T().xUnitsPerPixel;
  for (double vx : {0.1, -3.0, 40.0}) {
    double sx, sy;
    equal.plot->ScaleVector(vx, 2, &sx, &sy);
    EXPECT_NEAR(std::hypot(sx, sy) / ux, 55 - 8, 1e-9);
  }

  // A field value far below the longest gives an arrow under six pixels:
  // it shrinks to nothing rather than turning round.
  FieldInView steep("x^5", "0", 0.5);
  double sx, sy;
  steep.plot->ScaleVector(1e-3, 0, &sx, &sy);
  EXPECT_EQ(sx, 0);

  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-5, 5);
  for (int trial = 0; trial < 6; ++trial) {
    const std::string vx = std::to_string(value(random)) + " * x + " + std::to_string(value(random));
    const std::string vy = std::to_string(value(random)) + " * y * x";
    FieldInView f(vx, vy, trial / 5.0);
    if (trial % 2) {
      f.view.view.Zoom(kZoomOut);
      WaitUntilDone(*f.plot);
    }
    const double k = f.plot->Spacing() * f.T().xUnitsPerPixel / f.plot->Longest();
    for (int j = 0; j < f.plot->Rows(); ++j) {
      for (int i = 0; i < f.plot->Columns(); ++i) {
        const A2DVectorPlot::Arrow& a = f.plot->ArrowAt(i, j);
        double sx, sy;
        f.plot->ScaleVector(a.vx, a.vy, &sx, &sy);
        ASSERT_GE(sx * a.vx + sy * a.vy, 0) << vx << ", " << vy;
        ASSERT_LE(std::hypot(sx, sy), k * std::hypot(a.vx, a.vy) * (1 + 1e-12));
      }
    }
  }
}

TEST_F(VectorPlotTest, AZeroFieldDrawsNothingAndIsVisible) {
  FieldInView f("0", "0 * y");
  EXPECT_EQ(f.plot->Longest(), 0);
  EXPECT_EQ(f.plot->GraphVisibility(), 0);
  EXPECT_EQ(f.RedPixels(), 0);
  FieldInView g("1", "0");
  EXPECT_GT(g.RedPixels(), 100);
  // Undefined left of the y axis: those arrows are skipped, the rest drawn.
  FieldInView half("sqrt(x)", "1");
  EXPECT_GT(half.RedPixels(), 100);
}

TEST_F(VectorPlotTest, APanComputesOnlyTheLatticeThatComesIntoView) {
  FieldInView f("y", "-x", 0.5);
  const int64_t first = f.plot->Evaluations();
  EXPECT_EQ(first, f.plot->Columns() * f.plot->Rows());
  const int spacing = f.plot->Spacing();
  f.plot->Pan(spacing, 0);
  WaitUntilDone(*f.plot);
  EXPECT_EQ(f.plot->Evaluations() - first, f.plot->Rows());
  f.plot->Pan(0, -spacing);
  WaitUntilDone(*f.plot);
  EXPECT_EQ(f.plot->Evaluations() - first, f.plot->Rows() + f.plot->Columns());
  f.plot->Pan(3, 2);
  WaitUntilDone(*f.plot);
  EXPECT_EQ(f.plot->Evaluations() - first, f.plot->Rows() + f.plot->Columns());
}

TEST_F(VectorPlotTest, PickingAndSelection) {
  FieldInView f("1", "0", 0.5);
  const A2DVectorPlot::Arrow& a = f.plot->ArrowAt(2, 2);
  const double ux = f.T().xUnitsPerPixel;
  EXPECT_TRUE(f.plot->IsPointOverCurve(a.x + 10 * ux, a.y + 3 * ux));
  EXPECT_FALSE(f.plot->IsPointOverCurve(a.x + 10 * ux, a.y + 5 * ux));
  Selection s = f.plot->GetSelection(0.5, 0.25);
  EXPECT_EQ(s.kind, kSelectVector);
  EXPECT_EQ(s.xComponent, 1);
  EXPECT_EQ(s.yComponent, 0);
  EXPECT_NEAR(s.arrow[0], (55 - 6) * ux, 1e-12);
  EXPECT_EQ(s.color, 0xFF0000u);
}

TEST(ArrowHead, SizesByLength) {
  const struct {
    double length;
    int32_t cell, want;
  } rows[] = {{6, 1, 5}, {5.5, 1, 4}, {4.9, 1, 3}, {12, 2, 10}, {11, 2, 8}, {9, 2, 6}};
  for (const auto& r : rows)
    EXPECT_EQ(ArrowHeadSize(r.length, r.cell), r.want) << r.length << " in cells of " << r.cell;
}

// The coverage of each view pixel against a point-in-triangle count at the
// 4 x 4 sub-pixel centres of the head's triangle in view pixels.
TEST(ArrowHead, CoverageMatchesAnIndependentCount) {
  ViewOnPort view(200, 200);
  A2DTransform t = view.view.GraphTransform();
  for (double angle : {0.0, 0.7, 2.0, 4.1}) {
    PortPtr port(NewOffscreenPort(QRect(0, 0, 200, 200)));
    APushPort push(port.get());
    OurEraseRect(MRect{0, 0, 200, 200});
    const double px = 30 * std::cos(angle), py = 30 * std::sin(angle);
    const double x = t.ITOX(100), y = t.ITOY(100);
    DrawArrowHead(x, y, px * t.xUnitsPerPixel, py * t.yUnitsPerPixel, t, 0x000000);
    // The head's centre is the view pixel 5 pixels back from the end, at that
    // pixel's middle; the tip lies 5 pixels ahead of it and the base, 5
    // pixels wide, goes through it.
    const double a = std::cos(angle), b = std::sin(angle);
    const double centreH = std::floor(100 + 25 * a + 0.5) + 0.5, centreV = std::floor(100 - 25 * b + 0.5) + 0.5;
    auto inside = [&](double h, double v) {
      const double along = (h - centreH) * a - (v - centreV) * b - 5;  // 0 at the tip, negative behind
      const double across = (h - centreH) * b + (v - centreV) * a;
      return along <= 0 && along >= -5 && std::fabs(across) <= -along / 2;
    };
    double expected = 0, got = 0;
    int badPixels = 0;
    for (int v = 0; v < 200; ++v) {
      for (int h = 0; h < 200; ++h) {
        int n = 0;
        for (int sv = 0; sv < 4; ++sv) {
          for (int sh = 0; sh < 4; ++sh) n += inside(h + (sh + 0.5) / 4, v + (sv + 0.5) / 4);
        }
        const int covered = 16 - int((RgbAt(*port, h, v) >> 16) & 0xFF) * 16 / 255;
        expected += n, got += covered;
        badPixels += std::abs(covered - n) > 3;
      }
    }
    EXPECT_NEAR(got, expected, 0.1 * expected) << angle;
    EXPECT_LE(badPixels, 3) << angle;
  }
  Release2DVectorPlotArrowGWorld();
}

TEST_F(VectorPlotTest, AnArrowWithItsEnds) {
  ViewOnPort view(400, 300);
  auto* arrow = AddedTo(view.view, std::make_unique<AnArrowPlot>(Formula("1"), Formula("1"), Formula("3"), Formula("2"),
                                                                 SolidColour(), view.view.GraphTransform()));
  WaitUntilDone(*arrow);
  EXPECT_EQ(arrow->Ends()[2], 3);
  EXPECT_FALSE(arrow->IsPointOverCurve(2, 1.5));
  EXPECT_EQ(arrow->GetSelection(2, 1.5).kind, kSelectNothing);
  view.Draw();
  const A2DTransform& t = view.view.GraphTransform();
  EXPECT_EQ(view.At(t.XTOI_InfSafe(1), t.YTOI_InfSafe(1)), 0xFF0000u);

  ViewOnPort blank(400, 300);
  auto* undefined =
      AddedTo(blank.view, std::make_unique<AnArrowPlot>(Formula("1"), Formula("sqrt(-1)"), Formula("3"), Formula("2"),
                                                        SolidColour(), blank.view.GraphTransform()));
  WaitUntilDone(*undefined);
  blank.Draw();
  EXPECT_EQ(undefined->GraphVisibility(), 0);
  EXPECT_EQ(PixelsOf(blank.port->image, 0xFF0000), 0);
}

}  // namespace
