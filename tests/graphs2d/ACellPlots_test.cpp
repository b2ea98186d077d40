#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <vector>

#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphs2d/AColorPlot.h"
#include "graphs2d/ADensityPlot.h"
#include "tests/platform/PortTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/GraphTestSupport.h"

namespace {

using PlaneFunction = std::function<double(double, double)>;

// The density mapping written out: the range from the 20 x 20 sample of the
// view as it was sampled, each cell at its pixel's world point now.
std::vector<uint8_t> HandDensity(const A2DTransform& sampled, const A2DTransform& t, const PlaneFunction& f,
                                 int cell = 1) {
  const A2DTransform& s = sampled;
  const MRect& r = t.pixelRect;
  const MRect& q = s.pixelRect;
  const double x0 = s.ITOX(q.left), y0 = s.ITOY(q.top);
  const double dx = (s.ITOX(q.right - 1) - x0) / 19, dy = (s.ITOY(q.bottom - 1) - y0) / 19;
  double min = INFINITY, max = -INFINITY;
  for (int j = 0; j < 20; ++j) {
    for (int i = 0; i < 20; ++i) {
      const double v = f(x0 + i * dx, y0 + j * dy);
      if (std::isfinite(v)) min = std::min(min, v), max = std::max(max, v);
    }
  }
  const int w = (r.right - r.left) / cell, h = (r.bottom - r.top) / cell;
  std::vector<uint8_t> cells;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const double v = f(t.ITOX(r.left + i * cell), t.ITOY(r.top + j * cell));
      cells.push_back(std::isnan(v) ? 254
                      : v <= min    ? 0
                      : v >= max    ? 239
                                    : static_cast<int>((v - min) * (240 / (max - min))));
    }
  }
  return cells;
}

template <typename Plot>
auto MapOf(const Plot& plot) {
  std::vector<decltype(plot.CellAt(0, 0))> cells;
  for (int j = 0; j < plot.Height(); ++j) {
    for (int i = 0; i < plot.Width(); ++i) cells.push_back(plot.CellAt(i, j));
  }
  return cells;
}

// Cells equal but for at most 0.1 % one step off (rounding at band edges).
void ExpectSameCells(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& hand) {
  ASSERT_EQ(ours.size(), hand.size());
  size_t off = 0;
  for (size_t k = 0; k < ours.size(); ++k) {
    if (ours[k] == hand[k]) continue;
    EXPECT_EQ(std::abs(ours[k] - hand[k]), 1) << k;
    ++off;
  }
  EXPECT_LE(off * 1000, ours.size());
}

using CellPlotTest = ComputeTest;

TEST_F(CellPlotTest, DensityCellsMatchAHandWrittenLoop) {
  Watchdog watchdog("density");
  A2DTransform t = CentredTransform(161, 97, 8);
  const A2DTransform first = t;
  const char* text = "sin(x)*cos(y) + x/10";
  ADensityPlot plot(MakeExpression(text), 0.5, SolidColour(0x336699), t);
  WaitUntilDone(plot);
  EXPECT_EQ(plot.BandCount(), 24);
  const PlaneFunction f = [](double x, double y) { return std::sin(x) * std::cos(y) + x / 10; };
  ExpectSameCells(MapOf(plot), HandDensity(first, t, f));
  EXPECT_EQ(notifications.load(), 1);
  EXPECT_EQ(plot.GraphVisibility(), 0);

  // A pan as the view makes it (the transform moves first): only the
  // uncovered cells are to do, and they are mapped with the range of the
  // first sample, so every value keeps its shade.
  StopComputeThreads();
  t.xOrigin += 6, t.yOrigin -= 4;
  t.FinishFromOrigins();
  plot.Pan(6, -4);
  int toDo = 0;
  for (uint8_t c : MapOf(plot)) toDo += c == ADensityPlot::kToDo;
  EXPECT_EQ(toDo, 161 * 97 - 155 * 93);
  StartComputeThreads();
  WaitUntilDone(plot);
  ExpectSameCells(MapOf(plot), HandDensity(first, t, f));
}

TEST_F(CellPlotTest, ResizeKeepsTheLeftAndBottomEdges) {
  Watchdog watchdog("resize");
  A2DTransform t = CentredTransform(50, 40, 5);
  const A2DTransform first = t;
  const PlaneFunction f = [](double x, double y) { return std::sin(x * y / 3); };
  ADensityPlot plot(MakeExpression("sin(x*y/3)"), 0.5, SolidColour(0xFF0000), t);
  WaitUntilDone(plot);
  const std::vector<uint8_t> before = MapOf(plot);
  // The view grows 20 pixels upward and shrinks 10 at the right, its
  // bottom-left world point staying.
  StopComputeThreads();
  t.pixelRect.bottom = 60, t.pixelRect.right = 40, t.yOrigin += 20;
  t.FinishFromOrigins();
  plot.Resize();
  ASSERT_EQ(plot.Width(), 40);
  ASSERT_EQ(plot.Height(), 60);
  for (int j = 0; j < 40; ++j) {
    for (int i = 0; i < 40; ++i) EXPECT_EQ(plot.CellAt(i, j + 20), before[j * 50 + i]);
  }
  StartComputeThreads();
  WaitUntilDone(plot);
  ExpectSameCells(MapOf(plot), HandDensity(first, t, f));
}

TEST_F(CellPlotTest, DensityEdgeCases) {
  Watchdog watchdog("density edges");
  {
    // Cells of 2 pixels: a 3-pixel view is one cell wide, and a 1-pixel pan
    // moves nothing.
    A2DTransform t = CentredTransform(3, 8, 1);
    t.xSampleFactor = t.ySampleFactor = 2;
    ADensityPlot plot(MakeExpression("x + y"), 0, SolidColour(0xFF0000), t);
    WaitUntilDone(plot);
    EXPECT_EQ(plot.Width(), 1);
    EXPECT_EQ(plot.Height(), 4);
    const auto before = MapOf(plot);
    plot.Pan(1, 1);
    WaitUntilDone(plot);
    EXPECT_EQ(MapOf(plot), before);
    EXPECT_EQ(plot.BandCount(), 4);
  }
  const A2DTransform t = CentredTransform(40, 30, 10);
  {
    ADensityPlot plot(MakeExpression("2"), 0.5, SolidColour(0xFF0000), t);
    WaitUntilDone(plot);
    for (uint8_t c : MapOf(plot)) EXPECT_EQ(c, 239);  // constant: the full colour
  }
  {
    ADensityPlot plot(MakeExpression("sqrt(-1 - x^2)"), 7, SolidColour(0xFF0000), t);
    WaitUntilDone(plot);
    for (uint8_t c : MapOf(plot)) EXPECT_EQ(c, 254);
    EXPECT_EQ(plot.GraphVisibility(), 1);
    EXPECT_EQ(plot.BandCount(), 24);  // grain 7 clamped
  }
}

TEST_F(CellPlotTest, OneAndEightWorkersGiveTheSameMap) {
  Watchdog watchdog("workers");
  const A2DTransform t = CentredTransform(120, 90, 5);
  std::vector<uint32_t> maps[2];
  int k = 0;
  for (int workers : {1, 8}) {
    DebugSetNumProcessors(workers);
    AColorPlot plot(MakeExpression("x"), MakeExpression("sqrt(y)"), MakeExpression("x*y"), nullptr, true,
                    SolidColour(0), t);
    WaitUntilDone(plot);
    maps[k++] = MapOf(plot);
  }
  DebugSetNumProcessors(0);
  EXPECT_EQ(maps[0], maps[1]);
}

TEST_F(CellPlotTest, ColourPlotExamples) {
  Watchdog watchdog("colour");
  A2DTransform t = CentredTransform(200, 20, 10);
  {
    AColorPlot plot(MakeExpression("0.5"), MakeExpression("0.5"), MakeExpression("0.5"), nullptr, false, SolidColour(0),
                    t);
    WaitUntilDone(plot);
    for (uint32_t c : MapOf(plot)) EXPECT_EQ(c, 0x7F7F7Fu);
  }
  // Red = x: the range widens from [0, 1] to the sample's [-10, 9.9].
  AColorPlot plot(MakeExpression("x"), MakeExpression("0"), MakeExpression("0"), nullptr, false, SolidColour(0), t);
  WaitUntilDone(plot);
  EXPECT_EQ(plot.CellAt(0, 0), 0u);
  EXPECT_GE(plot.CellAt(199, 0) >> 16, 253u);
  // Zoomed in twice the range is not sampled again, so x keeps its red.
  for (int zoom = 0; zoom < 2; ++zoom) {
    for (int i = 0; i < plot.Width(); ++i) {
      const double n = (t.ITOX(i) + 10) / 19.9;
      EXPECT_EQ(plot.CellAt(i, 7), static_cast<uint32_t>(n * 255) << 16) << i << " zoomed " << zoom;
    }
    t.xPixelsPerUnit *= 2, t.yPixelsPerUnit *= 2;
    t.FinishFromOrigins();
    plot.ViewChanged();
    WaitUntilDone(plot);
  }
  AColorPlot undefined(MakeExpression("x"), MakeExpression("sqrt(x)"), MakeExpression("0"), nullptr, false,
                       SolidColour(0), t);
  WaitUntilDone(undefined);
  EXPECT_EQ(undefined.CellAt(0, 0), AColorPlot::kUndefined);
  EXPECT_NE(undefined.CellAt(150, 0), AColorPlot::kUndefined);
}

TEST_F(CellPlotTest, HSVMatchesColorsys) {
  const A2DTransform t = CentredTransform(4, 4, 1);
  AColorPlot plot(MakeExpression("0"), MakeExpression("0"), MakeExpression("0"), nullptr, true, SolidColour(0), t);
  WaitUntilDone(plot);
  std::ifstream in(ZL_TEST_DATA_DIR "/hsv_colorsys.txt");
  ASSERT_TRUE(in);
  double v[3];
  uint32_t packed = 0;
  int rows = 0;
  while (in >> v[0] >> v[1] >> v[2] >> packed) {
    ++rows;
    const uint32_t ours = plot.MapValues(v);
    for (int shift : {0, 8, 16}) {
      EXPECT_LE(std::abs(int((ours >> shift) & 0xFF) - int((packed >> shift) & 0xFF)), 1)
          << v[0] << " " << v[1] << " " << v[2];
    }
  }
  EXPECT_EQ(rows, 162);
}

TEST_F(CellPlotTest, DrawsWhileTheWorkersWrite) {
  Watchdog watchdog("draw");
  const A2DTransform t = CentredTransform(300, 200, 10);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 300, 200)));
  APushPort push(port.get());
  ADensityPlot density(MakeExpression("x"), 0.5, SolidColour(0x800000), t);
  AColorPlot colour(MakeExpression("x"), MakeExpression("y"), MakeExpression("0"), nullptr, false, SolidColour(0), t);
  while (!density.IsDoneComputing() || !colour.IsDoneComputing()) {
    density.Draw();
    colour.Draw();
  }
  // The colour was maximised to full red; the right column is at the top of
  // the range and draws the full colour.
  PortPtr fresh(NewOffscreenPort(QRect(0, 0, 300, 200)));
  APushPort pushFresh(fresh.get());
  density.Draw();
  EXPECT_EQ(RgbAt(*fresh, 299, 50), OurComposeColors(0xFF0000, 0xFFFFFF));
  EXPECT_EQ(RgbAt(*fresh, 0, 50), OurComposeColors(0x420000, 0xFFFFFF));  // 0.26 of full red
}

TEST_F(CellPlotTest, AStoredFrameReplaysWithoutEvaluating) {
  Watchdog watchdog("frames");
  static double slider = 0;
  gGraphPaneHooks.SliderValue = [](DocumentRecord*) { return slider; };
  const A2DTransform t = CentredTransform(60, 40, 10);
  ADensityPlot plot(MakeExpression("x + n"), 0.5, SolidColour(0xFF0000), t);
  WaitUntilDone(plot);
  std::vector<uint8_t> frames[2];
  for (int k = 0; k < 2; ++k) {
    slider = k + 1;
    plot.InvalConstant('n');
    WaitUntilDone(plot);
    plot.Draw();  // keeps the finished map as the frame for this value
    frames[k] = MapOf(plot);
  }
  EXPECT_EQ(plot.FrameCount(), 2);
  StopComputeThreads();
  slider = 1;
  plot.InvalConstant('n');
  EXPECT_EQ(MapOf(plot), frames[0]);  // no worker has run: without the frame every cell would be to do
  StartComputeThreads();
  WaitUntilDone(plot);
  EXPECT_EQ(MapOf(plot), frames[0]);
  plot.Pan(3, 0);
  EXPECT_EQ(plot.FrameCount(), 0);
}

}  // namespace
