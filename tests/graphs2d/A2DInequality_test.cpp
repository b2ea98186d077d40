#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs2d/InequalityTestSupport.h"
#include "tests/graphs2d/SliceHold.h"
#include "tests/platform/PortTestSupport.h"

namespace {

constexpr int32_t kSlider = 'n';

// Pixel lines at exact binary fractions, so that moved pixels keep their boxes bit for bit.
A2DTransform EightByEight(int width, int height) {
  return WindowTransform(width, height, -width / 16.0, width / 16.0, -height / 16.0, height / 16.0);
}

// A new size with the picture anchored at the left and bottom edges.
void SetSize(A2DTransform* t, int width, int height) {
  t->yOrigin += height - t->pixelRect.bottom;
  t->pixelRect.right = static_cast<int16_t>(width);
  t->pixelRect.bottom = static_cast<int16_t>(height);
  t->FinishFromOrigins();
}

std::vector<uint8_t> Fresh(const char* condition, int mode, bool equation, const A2DTransform& t) {
  auto graph = MakeInequality(condition, "0", mode, equation, t);
  WaitUntilDone(*graph);
  return Pixels(*graph, t);
}

// One slice per graph, so evaluation counts follow one stack.
struct OneSlice {
  OneSlice() { DebugSetNumProcessors(1); }
  ~OneSlice() { DebugSetNumProcessors(0); }
};

using A2DInequalityTest = ComputeTest;

TEST_F(A2DInequalityTest, VisibilityNamesConditionsFalseEverywhereOrInTheView) {
  const A2DTransform t = EightByEight(40, 30);
  const struct {
    const char* condition;
    bool equation;
    int32_t message;
  } cases[] = {{"1 < 0", false, 8},  {"x^2 + y^2 = -1", true, 6}, {"x > 100", false, 9},
               {"x = 100", true, 7}, {"y < x", false, 0},         {"y = x", true, 0}};
  for (const auto& c : cases) {
    auto graph = MakeInequality(c.condition, "0", 2, c.equation, t);
    WaitUntilDone(*graph);
    EXPECT_EQ(graph->GraphVisibility(), c.message) << c.condition;
  }
}

// At a pole an equation changes sign without holding: only pixels its true
// curve passes through are marked. A reciprocal's enclosure across its pole
// is exterior and misses the value; tangent's is the whole line.
TEST_F(A2DInequalityTest, EquationsMarkNoPixelAtAPole) {
  const A2DTransform t = EightByEight(40, 30);  // pixels of 1/8 on [-2.5, 2.5] x [-1.875, 1.875]
  const double pixel = 0.125;
  const struct {
    const char* condition;
    const char* curve;
    std::function<double(double, double)> distance;  // to the true curve
  } cases[] = {
      {"1/(x - 0.3) = 1", "1/(x - 0.3) - 1", [](double x, double) { return std::fabs(x - 1.3); }},
      {"1/(x^2 + y^2 - 1) = 1", "1/(x^2 + y^2 - 1) - 1",
       [](double x, double y) { return std::fabs(std::hypot(x, y) - std::sqrt(2.0)); }},
      {"tan(x) = 0.5", "tan(x) - 0.5",
       [](double x, double) { return std::fabs(std::remainder(x - std::atan(0.5), std::acos(-1.0))); }},
  };
  for (const auto& c : cases) {
    auto graph = MakeInequality(c.condition, c.curve, 2, true, t);
    WaitUntilDone(*graph);
    int marked = 0;
    for (int v = 0; v < 30; ++v) {
      for (int h = 0; h < 40; ++h) {
        if (graph->PixelAt(h, v) == kTwoBitEmpty) continue;
        ++marked;
        const double x = -2.5 + (h + 0.5) * pixel, y = 1.875 - (v + 0.5) * pixel;
        EXPECT_LE(c.distance(x, y), pixel) << c.condition << " at pixel " << h << ", " << v;
      }
    }
    EXPECT_GT(marked, 20) << c.condition;
  }
}

// x/sin(x) + y/sin(y) = x y/sin(x y) runs into the crossings of its pole
// lines x, y, x y = k pi. A pixel holds the curve where the function,
// sampled 16 times per pixel side, changes sign between neighbouring
// samples on the same side of every pole line: each such pixel is marked,
// up to the pole lines, and each marked pixel lies within one of such a
// pixel, so none lies across a pole from the curve. The ring of pixels
// around the view is sampled too, for curves that leave it.
TEST_F(A2DInequalityTest, ImplicitCurvesReachPoleLinesAndStopThere) {
  const auto f = [](double x, double y) { return x / std::sin(x) + y / std::sin(y) - x * y / std::sin(x * y); };
  const auto sides = [](double x, double y) {
    return (std::sin(x) < 0) + 2 * (std::sin(y) < 0) + 4 * (std::sin(x * y) < 0);
  };
  const struct {
    int width, height;
    double x0, x1, y0, y1;
  } views[] = {{200, 200, -10, 10, -10, 10}, {160, 120, 0, 8, 0, 6}};
  constexpr int kSamples = 16;
  for (const auto& w : views) {
    SCOPED_TRACE(testing::Message() << "view " << w.x0 << " to " << w.x1);
    const A2DTransform t = WindowTransform(w.width, w.height, w.x0, w.x1, w.y0, w.y1);
    auto graph = MakeInequality("x/sin(x) + y/sin(y) = x*y/sin(x*y)", "x/sin(x) + y/sin(y) - x*y/sin(x*y)", 2, true, t);
    WaitUntilDone(*graph);
    // Samples from the ring's left and top edges on, kSamples per pixel.
    const int columns = (w.width + 2) * kSamples + 1, rows = (w.height + 2) * kSamples + 1;
    const double sx = (w.x1 - w.x0) / w.width / kSamples, sy = (w.y1 - w.y0) / w.height / kSamples;
    std::vector<double> value(size_t(columns) * rows);
    std::vector<int> side(value.size());
    for (int j = 0; j < rows; ++j) {
      for (int i = 0; i < columns; ++i) {
        const double x = w.x0 + (i - kSamples) * sx, y = w.y1 - (j - kSamples) * sy;
        value[size_t(j) * columns + i] = f(x, y);
        side[size_t(j) * columns + i] = sides(x, y);
      }
    }
    const auto crosses = [&](size_t a, size_t b) {
      return std::isfinite(value[a]) && std::isfinite(value[b]) && (value[a] < 0) != (value[b] < 0) &&
             side[a] == side[b];
    };
    // Pixel (h, v), h and v from -1, covers samples (h + 1) kSamples on.
    const auto holdsCurve = [&](int h, int v) {
      for (int j = (v + 1) * kSamples; j <= (v + 2) * kSamples; ++j) {
        for (int i = (h + 1) * kSamples; i <= (h + 2) * kSamples; ++i) {
          const size_t k = size_t(j) * columns + i;
          if (value[k] == 0) return true;
          if (i < (h + 2) * kSamples && crosses(k, k + 1)) return true;
          if (j < (v + 2) * kSamples && crosses(k, k + columns)) return true;
        }
      }
      return false;
    };
    std::vector<char> truth(size_t(w.width + 2) * (w.height + 2));
    for (int v = -1; v <= w.height; ++v)
      for (int h = -1; h <= w.width; ++h) truth[size_t(v + 1) * (w.width + 2) + h + 1] = holdsCurve(h, v);
    const auto curveAt = [&](int h, int v) { return truth[size_t(v + 1) * (w.width + 2) + h + 1] != 0; };
    int missed = 0, astray = 0, curvePixels = 0;
    for (int v = 0; v < w.height; ++v) {
      for (int h = 0; h < w.width; ++h) {
        const bool marked = graph->PixelAt(h, v) != kTwoBitEmpty;
        curvePixels += curveAt(h, v);
        if (curveAt(h, v) && !marked) ++missed;
        if (!marked || curveAt(h, v)) continue;
        bool near = false;
        for (int dv = -1; dv <= 1; ++dv)
          for (int dh = -1; dh <= 1; ++dh) near = near || curveAt(h + dh, v + dv);
        if (!near) ++astray;
      }
    }
    EXPECT_GT(curvePixels, 500);
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(astray, 0);
  }
}

TEST_F(A2DInequalityTest, TrueEverywhereCostsOneEvaluationPerBand) {
  const A2DTransform t = EightByEight(64, 48);
  auto graph = MakeInequality("x^2 + 1 > 0", "0", 2, false, t);
  WaitUntilDone(*graph);
  const InequalityCounts n = graph->Counts();
  EXPECT_GE(n.rectangles, 1);
  EXPECT_LE(n.rectangles, OurNumberOfProcessors());
  EXPECT_EQ(n.pixels, 0);
  for (uint8_t p : Pixels(*graph, t)) ASSERT_EQ(p, kTwoBitFull);
}

TEST_F(A2DInequalityTest, UndecidedRectanglesAreSettledOrSplitByTheirShape) {
  OneSlice one;
  // Unit pixels centred on whole numbers: x > 0 and y > 0 are undecided in
  // the middle column or row only.
  const struct {
    int width, height;
    const char* condition;
    int64_t rectangles, pixels;
  } cases[] = {
      {10, 10, "x > 0", 1, 100},  // settled pixel by pixel
      {11, 10, "x > 0", 3, 60},   // columns first: the false half goes at once
      {11, 11, "y > 0", 5, 66},   // rows first: the true half goes at once
  };
  for (const auto& c : cases) {
    const A2DTransform t =
        WindowTransform(c.width, c.height, -c.width / 2.0, c.width / 2.0, -c.height / 2.0, c.height / 2.0);
    auto graph = MakeInequality(c.condition, "0", 1, false, t);
    WaitUntilDone(*graph);
    EXPECT_EQ(graph->Counts().rectangles, c.rectangles) << c.width << " x " << c.height;
    EXPECT_EQ(graph->Counts().pixels, c.pixels) << c.width << " x " << c.height;
  }
}

// Mode 1 tints the pixels whose box the boundary crosses, drawn as the
// colour over white at half strength; mode 0 samples their upper-left corner.
TEST_F(A2DInequalityTest, ModeOneTintsUndecidedPixelsAndModeZeroSamplesTheUpperLeftCorner) {
  const A2DTransform t = EightByEight(32, 24);
  auto graph = MakeInequality("y < x + 0.3", "0", 1, false, t);
  WaitUntilDone(*graph);
  const auto mode1 = Pixels(*graph, t), mode0 = Fresh("y < x + 0.3", 0, false, t);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 32, 24)));
  {
    APushPort push(port.get());
    graph->Draw();
  }
  int tinted = 0;
  for (int v = 0; v < 24; ++v) {
    for (int h = 0; h < 32; ++h) {
      const double left = (h - t.xOrigin - 0.5) * t.xUnitsPerPixel, right = left + t.xUnitsPerPixel;
      const double top = -(v - t.yOrigin - 0.5) * t.yUnitsPerPixel, bottom = top - t.yUnitsPerPixel;
      const bool undecided = bottom < right + 0.3 && top >= left + 0.3;
      const size_t i = size_t(v) * 32 + h;
      const uint32_t drawn = RgbAt(*port, h, v);
      if (!undecided) {
        const bool full = top < left + 0.3;
        EXPECT_EQ(mode1[i], full ? kTwoBitFull : kTwoBitEmpty);
        EXPECT_EQ(drawn, full ? 0x0000FFu : 0xFFFFFFu) << h << ", " << v;
        continue;
      }
      ++tinted;
      EXPECT_EQ(mode1[i], kTwoBitTint);
      EXPECT_EQ(drawn, 0x7F7FFFu) << h << ", " << v;
      EXPECT_EQ(mode0[i], top < left + 0.3 ? kTwoBitFull : kTwoBitEmpty) << h << ", " << v;
    }
  }
  EXPECT_GT(tinted, 20);
}

TEST_F(A2DInequalityTest, PanningByOnePixelComputesOnlyTheRevealedStrip) {
  OneSlice one;
  A2DTransform t = EightByEight(64, 48);
  const char* condition = "sin(3*x) + cos(2*y) > 0.2";
  auto graph = MakeInequality(condition, "0", 2, false, t);
  WaitUntilDone(*graph);
  const InequalityCounts before = graph->Counts();
  graph->PauseComputing();
  Move(&t, 1, 0);
  graph->Pan(1, 0);
  WaitUntilDone(*graph);
  const InequalityCounts after = graph->Counts();
  EXPECT_LE(after.pixels - before.pixels, 48);
  EXPECT_LE(after.rectangles - before.rectangles, 2 * 48);
  EXPECT_EQ(Pixels(*graph, t), Fresh(condition, 2, false, t));
}

TEST_F(A2DInequalityTest, PausedAndResumedComputationEndsWithTheUninterruptedMap) {
  Watchdog watchdog("paused and resumed");
  const A2DTransform t = EightByEight(480, 360);
  const char* condition = "sin(x^2 + y^2) = 0";
  const auto expected = Fresh(condition, 2, true, t);
  std::unique_ptr<A2DInequality> graph;
  {
    // Two hundred polls into the first pass, and one into each of the
    // resumed ones (whose work left may be small).
    const SliceHold hold(200);
    graph = MakeInequality(condition, "0", 2, true, t);
    for (int pause = 0; pause < 3; ++pause) {
      SliceHold::WaitUntilHeld();
      graph->PauseComputing();
      EXPECT_FALSE(graph->IsDoneComputing());
      SliceHold::Arm(1);
      if (pause < 2) graph->Pan(0, 0);  // resumes with nothing moved
    }
  }
  graph->Pan(0, 0);
  WaitUntilDone(*graph);
  EXPECT_EQ(Pixels(*graph, t), expected);
}

TEST_F(A2DInequalityTest, ViewWithoutHeightHasNoMapYetEnds) {
  A2DTransform t = EightByEight(40, 30);
  t.pixelRect.bottom = 0;
  auto graph = MakeInequality("y < x", "y - x", 2, false, t);
  WaitUntilDone(*graph);
  EXPECT_FALSE(graph->HasBitmap());
  EXPECT_EQ(graph->GraphVisibility(), 9);
  EXPECT_EQ(notifications.load(), 1);
  EXPECT_FALSE(graph->IsPointOverCurve(0, 0));
  EXPECT_EQ(graph->GetSelection(0, 0).kind, kSelectNothing);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 40, 30)));
  APushPort push(port.get());
  graph->Draw();
  EXPECT_EQ(RgbAt(*port, 20, 15), 0xFFFFFFu);
  // Growing the view gives it a map and a picture.
  graph->PauseComputing();
  SetSize(&t, 40, 30);
  graph->Resize();
  WaitUntilDone(*graph);
  EXPECT_TRUE(graph->HasBitmap());
  EXPECT_EQ(Pixels(*graph, t), Fresh("y < x", 2, false, t));
}

TEST_F(A2DInequalityTest, AMapThatCannotBeHadQueuesTheMemoryMessageAndStillEnds) {
  const A2DTransform t = EightByEight(40, 30);
  auto condition = MakeExpression("y < x"), boundary = MakeExpression("y - x");
  const double memory = gPhysicalMemory.load();
  gPhysicalMemory = 1;
  A2DInequality graph(std::move(condition), std::move(boundary), SolidColour(0), 2, false, t);
  gPhysicalMemory = memory;
  WaitUntilDone(graph);
  EXPECT_FALSE(graph.HasBitmap());
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(graph.GraphVisibility(), 9);
}

TEST_F(A2DInequalityTest, DroppedWorkQueuesTheMemoryMessageAndNeverClaimsFalse) {
  const A2DTransform t = EightByEight(40, 30);
  auto graph = MakeInequality("x > 100", "x - 100", 2, false, t);
  WaitUntilDone(*graph);
  ASSERT_EQ(graph->GraphVisibility(), 9);
  graph->PauseComputing();
  const double memory = gPhysicalMemory.load();
  gPhysicalMemory = 1;  // every further block is refused
  graph->ViewChanged();
  WaitUntilDone(*graph);
  gPhysicalMemory = memory;
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(graph->GraphVisibility(), 0);
  graph->ViewChanged();
  WaitUntilDone(*graph);
  EXPECT_EQ(graph->GraphVisibility(), 9);
}

TEST_F(A2DInequalityTest, PlottingModesOutsideTheRangeAreTakenAsTwo) {
  const A2DTransform t = EightByEight(32, 24);
  const auto expected = Fresh("y < x^3 - x", 2, false, t);
  EXPECT_EQ(Fresh("y < x^3 - x", 7, false, t), expected);
  EXPECT_EQ(Fresh("y < x^3 - x", -1, false, t), expected);
  auto graph = MakeInequality("y < x^3 - x", "0", 1, false, t);
  graph->SetParameter(kAttributePlottingMode, 2);
  WaitUntilDone(*graph);
  EXPECT_EQ(Pixels(*graph, t), expected);
}

TEST_F(A2DInequalityTest, TheMapIsTheSameOnAnyNumberOfWorkersAndSlices) {
  const A2DTransform t = EightByEight(96, 72);
  const char* condition = "sin(x*y) > cos(x) - 0.3*y";
  const auto reference = Fresh(condition, 2, false, t);
  for (int workers : {1, 2, 4, 8}) {
    DebugSetNumberComputeThreads(workers);
    DebugSetNumProcessors(workers);
    EXPECT_EQ(Fresh(condition, 2, false, t), reference) << workers;
    EXPECT_EQ(Fresh("x^3 + y^3 = 3*x*y", 2, true, t), Fresh("x^3 + y^3 = 3*x*y", 2, true, EightByEight(96, 72)))
        << workers;
  }
  DebugSetNumProcessors(0);
}

TEST_F(A2DInequalityTest, ACachedSliderFrameReplaysWithoutEvaluating) {
  static double slider = 1;
  gGraphPaneHooks.SliderVariable = [](DocumentRecord*) { return kSlider; };
  gGraphPaneHooks.SliderValue = [](DocumentRecord*) { return slider; };
  const A2DTransform t = EightByEight(48, 32);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 48, 32)));
  APushPort push(port.get());
  auto graph = MakeInequality("y < sin(x + n)", "y - sin(x + n)", 2, false, t);
  WaitUntilDone(*graph);
  std::vector<uint8_t> maps[3];
  for (double value : {1.0, 2.0}) {
    slider = value;
    graph->InvalConstant(kSlider);
    WaitUntilDone(*graph);
    graph->Draw();  // keeps the finished frame
    maps[int(value)] = Pixels(*graph, t);
  }
  EXPECT_EQ(graph->FramesKept(), 2);
  const InequalityCounts before = graph->Counts();
  slider = 1;
  graph->InvalConstant(kSlider);
  WaitUntilDone(*graph);
  const InequalityCounts after = graph->Counts();
  EXPECT_EQ(after.rectangles + after.pixels + after.subBoxes + after.points,
            before.rectangles + before.pixels + before.subBoxes + before.points);
  EXPECT_EQ(Pixels(*graph, t), maps[1]);
  // Any other variable of the condition recomputes and forgets the frames.
  graph->InvalConstant('a');
  graph->InvalConstant('x');
  WaitUntilDone(*graph);
  EXPECT_EQ(graph->FramesKept(), 0);
}

TEST_F(A2DInequalityTest, PickingFindsTheCurveNearThePoint) {
  const A2DTransform t = EightByEight(64, 64);
  auto graph = MakeInequality("x^2 + y^2 = 1", "x^2 + y^2 - 1", 2, true, t);
  WaitUntilDone(*graph);
  EXPECT_TRUE(graph->IsPointOverCurve(0.71, 0.7));
  EXPECT_FALSE(graph->IsPointOverCurve(0.2, 0.1));
  const Selection s = graph->GetSelection(1.3, 0.05);
  ASSERT_EQ(s.kind, kSelectPoint);
  EXPECT_NEAR(std::hypot(s.x, s.y), 1.0, 1e-9);
  EXPECT_NEAR(s.x, 1.0, 0.1);
  EXPECT_EQ(graph->GetNeighborhood(0.0, 1.0, 0.2, 0, 0).found, 1);
}

// Pans, resizes and slider moves while the workers compute and the map is
// drawn; the end state is the map of a fresh graph on the final view.
TEST_F(A2DInequalityTest, StormsOfPansResizesAndSliderMovesEndInTheFreshMap) {
  Watchdog watchdog("inequality storms");
  static std::atomic<double> slider{0};
  gGraphPaneHooks.SliderVariable = [](DocumentRecord*) { return kSlider; };
  gGraphPaneHooks.SliderValue = [](DocumentRecord*) { return slider.load(); };
  A2DTransform t = EightByEight(80, 60);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 120, 90)));
  APushPort push(port.get());
  const char* condition = "sin(x*y + n) > 0.3*y";
  auto graph = MakeInequality(condition, "sin(x*y + n) - 0.3*y", 2, false, t);
  std::mt19937 random(2028);
  for (int round = 0; round < 200; ++round) {
    switch (random() % 5) {
      case 0: {
        const int dh = int(random() % 9) - 4, dv = int(random() % 9) - 4;
        graph->PauseComputing();
        Move(&t, dh, dv);
        graph->Pan(dh, dv);
        break;
      }
      case 1:
        graph->PauseComputing();
        SetSize(&t, 40 + int(random() % 80), 30 + int(random() % 60));
        graph->Resize();
        break;
      case 2:
        slider = double(random() % 3);
        graph->InvalConstant(kSlider);
        break;
      case 3: graph->Draw(); break;
      default: (void)graph->GetSelection(0.5, 0.5); break;
    }
  }
  WaitUntilDone(*graph);
  EXPECT_EQ(Pixels(*graph, t), Fresh(condition, 2, false, t));
}

TEST_F(A2DInequalityTest, PixelsPannedOutOfTheViewDoNotCountAsShown) {
  A2DTransform t = EightByEight(40, 30);
  auto graph = MakeInequality("x > 2.3", "x - 2.3", 2, false, t);
  WaitUntilDone(*graph);
  ASSERT_EQ(graph->GraphVisibility(), 0);
  graph->PauseComputing();
  Move(&t, 4, 0);  // the marked columns move into the map's spare bits
  graph->Pan(4, 0);
  WaitUntilDone(*graph);
  EXPECT_EQ(graph->GraphVisibility(), 9);
}

}  // namespace
