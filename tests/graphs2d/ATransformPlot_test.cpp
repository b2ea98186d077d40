#include "graphs2d/ATransformPlot.h"

#include <algorithm>

#include "CoreUtilities/memory/MemoryBudget.h"

#include "tests/graphs2d/TransformPlotTestSupport.h"

namespace {

constexpr int32_t kSliderLetter = 'n';

std::unique_ptr<ATransformPlot> NewTransformPlot(const char* f, const char* g, const A2DTransform& t,
                                                 SourceScene& scene, Colour colour = nullptr) {
  return std::make_unique<ATransformPlot>(MakeExpression(f), MakeExpression(g),
                                          colour ? std::move(colour) : PaperColour(), t, scene.source.view,
                                          &scene.list);
}

using ATransformPlotTest = ComputeTest;

TEST_F(ATransformPlotTest, TheIdentityReproducesTheSourcePicture) {
  SourceScene scene(80, 60);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = NewTransformPlot("x", "y", t, scene);
  const QImage source = scene.Picture(AGraphColor{});
  WaitUntilDone(*plot);
  const QImage out = DrawnOnWhite(*plot, 80, 60);
  int exact = 0;
  for (int v = 0; v < 60; ++v) {
    for (int h = 0; h < 80; ++h) {
      const uint32_t p = RgbAt(out, h, v);
      if (p == RgbAt(source, h, v)) ++exact;
      // Float source points may land a pixel off: each channel lies within
      // the neighbourhood's, as any average of its pixels does.
      for (int shift : {0, 8, 16}) {
        int low = 255, high = 0;
        for (int dv = -1; dv <= 1; ++dv) {
          for (int dh = -1; dh <= 1; ++dh) {
            const int hh = std::clamp(h + dh, 0, 79), vv = std::clamp(v + dv, 0, 59);
            const int c = (RgbAt(source, hh, vv) >> shift) & 0xFF;
            low = std::min(low, c), high = std::max(high, c);
          }
        }
        const int c = (p >> shift) & 0xFF;
        ASSERT_TRUE(c >= low && c <= high)
            << h << "," << v << std::hex << " " << p << " " << RgbAt(source, h, v) << " " << RgbAt(source, h, v + 1);
      }
    }
  }
  EXPECT_GT(exact, 80 * 60 * 9 / 10);
}

TEST_F(ATransformPlotTest, ADoublingMatchesTheSourceScaledUp) {
  SourceScene scene(160, 120);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = NewTransformPlot("x/2", "y/2", t, scene);
  const QImage source = scene.Picture(AGraphColor{});
  WaitUntilDone(*plot);
  const QImage out = DrawnOnWhite(*plot, 160, 120);
  // Destination pixel h shows source pixel origin + (h - origin) / 2.
  const QRect quarter(int(std::lround(t.xOrigin / 2)), int(std::lround(t.yOrigin / 2)), 80, 60);
  const QImage expected = source.copy(quarter).scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_GT(Psnr(out, expected), 22.0);  // 25.7 dB when written
}

TEST_F(ATransformPlotTest, UndefinedPointsAndWhiteSamplesKeepTheViewsOwnPixels) {
  SourceScene scene(40, 30);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = NewTransformPlot("sqrt(x)", "y", t, scene);
  WaitUntilDone(*plot);
  PortPtr port(NewOffscreenPort(QRect(0, 0, 40, 30)));
  port->image.fill(0x123456);
  {
    APushPort push(port.get());
    plot->Draw();
  }
  int undefinedPixels = 0;
  for (int v = 0; v < 30; ++v) {
    for (int h = 0; h < 40; ++h) {
      if (t.ITOX(h) >= 0) continue;
      ++undefinedPixels;
      ASSERT_EQ(RgbAt(*port, h, v), 0x123456u) << h << "," << v;
    }
  }
  EXPECT_GT(undefinedPixels, 0);
  // A source of white paper only: every average is white.
  scene.source.view.Record().graphPaperShown = 0;
  scene.source.view.Record().axesShown = 0;
  AListGenericSmall<int32_t> none;
  ATransformPlot blank(MakeExpression("x"), MakeExpression("y"), PaperColour(), t, scene.source.view, &none);
  WaitUntilDone(blank);
  port->image.fill(0x123456);
  {
    APushPort push(port.get());
    blank.Draw();
  }
  EXPECT_EQ(PixelsOf(port->image, 0x123456), 40 * 30);
}

TEST_F(ATransformPlotTest, PansComputeOnlyTheUncoveredStrips) {
  SourceScene scene(40, 30);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = NewTransformPlot("x + y/7", "y - x/5", t, scene);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations(), 40 * 30);
  Move(&t, 10, 0);
  plot->Pan(10, 0);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations(), 40 * 30 + 10 * 30);
  Move(&t, -3, 4);
  plot->Pan(-3, 4);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations(), 40 * 30 + 10 * 30 + 3 * 30 + 4 * 40 - 3 * 4);
  // The kept pixels are the ones a fresh plot computes.
  auto fresh = NewTransformPlot("x + y/7", "y - x/5", t, scene);
  WaitUntilDone(*fresh);
  EXPECT_EQ(DrawnOnWhite(*plot, 40, 30), DrawnOnWhite(*fresh, 40, 30));
  Move(&t, 40, 0);
  const int64_t before = plot->Evaluations();
  plot->Pan(40, 0);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations() - before, 40 * 30);
}

TEST_F(ATransformPlotTest, AResizeKeepsTheOverlapAlignedLeftAndBottom) {
  SourceScene scene(40, 30);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = NewTransformPlot("x", "y", t, scene);
  WaitUntilDone(*plot);
  t.yOrigin += 10;  // taller by 10, the bottom row staying where it was
  t.pixelRect.bottom = 40;
  t.pixelRect.right = 30;
  t.FinishFromOrigins();
  plot->Resize();
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations(), 40 * 30 + 10 * 30);
  auto fresh = NewTransformPlot("x", "y", t, scene);
  WaitUntilDone(*fresh);
  EXPECT_EQ(DrawnOnWhite(*plot, 30, 40), DrawnOnWhite(*fresh, 30, 40));
}

TEST_F(ATransformPlotTest, RowsAreDealtInBandsOfOneMoreThanTheShare) {
  int32_t low = -1, high = -1;
  ASSERT_TRUE(TransformPlotBand(0, 2, 2, 0, 3, &low, &high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 1);
  ASSERT_TRUE(TransformPlotBand(0, 2, 2, 1, 3, &low, &high));
  EXPECT_EQ(low, 2);
  EXPECT_EQ(high, 2);
  EXPECT_FALSE(TransformPlotBand(3, 0, 2, 0, 3, &low, &high));  // nothing left to compute
}

TEST_F(ATransformPlotTest, TheSameViewDrawsTheSameOnAnyNumberOfWorkers) {
  SourceScene scene(64, 48);
  A2DTransform t = scene.source.view.ViewTransform();
  QImage reference;
  for (int workers : {1, 2, 3, 8}) {
    DebugSetNumProcessors(workers);
    auto plot = NewTransformPlot("x*cos(y) - y/2", "x*sin(y) + x/3", t, scene);
    WaitUntilDone(*plot);
    EXPECT_EQ(plot->Evaluations(), 64 * 48) << workers;
    const QImage out = DrawnOnWhite(*plot, 64, 48);
    if (reference.isNull()) reference = out;
    EXPECT_EQ(out, reference) << workers;
  }
  DebugSetNumProcessors(0);
}

TEST_F(ATransformPlotTest, CachedSliderFramesReplayWithoutEvaluating) {
  static double slider = 0;
  static bool benchmark = true;
  gGraphPaneHooks.SliderVariable = [](DocumentRecord*) { return kSliderLetter; };
  gGraphPaneHooks.SliderValue = [](DocumentRecord*) { return slider; };
  gGraphPaneHooks.IsBenchmarkRunning = [] { return benchmark; };
  SourceScene scene(32, 24);
  A2DTransform t = scene.source.view.ViewTransform();
  for (bool caching : {true, false}) {
    benchmark = caching;
    auto plot = NewTransformPlot("x + n/4", "y", t, scene);
    WaitUntilDone(*plot);
    QImage frames[3];
    for (int value : {1, 2}) {
      slider = value;
      plot->InvalConstant(kSliderLetter);
      WaitUntilDone(*plot);
      frames[value] = DrawnOnWhite(*plot, 32, 24);
    }
    EXPECT_EQ(plot->FramesKept(), caching ? 2 : 0);
    const int64_t before = plot->Evaluations();
    for (int value : {1, 2, 1}) {
      slider = value;
      plot->InvalConstant(kSliderLetter);
      WaitUntilDone(*plot);
      EXPECT_EQ(DrawnOnWhite(*plot, 32, 24), frames[value]);
    }
    EXPECT_EQ(plot->Evaluations() - before, caching ? 0 : 3 * 32 * 24);
  }
}

TEST_F(ATransformPlotTest, AnEmptyViewHasNothingToComputeAndStillEnds) {
  SourceScene scene(20, 20);
  A2DTransform t;
  auto plot = NewTransformPlot("x", "y", t, scene);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Width(), 0);
  EXPECT_EQ(plot->Evaluations(), 0);
  EXPECT_EQ(PixelsOf(DrawnOnWhite(*plot, 20, 20), 0xFFFFFF), 20 * 20);
}

TEST_F(ATransformPlotTest, HugeAndUndefinedSourcePositionsAreSampledSafely) {
  SourceScene scene(30, 20);
  A2DTransform t = scene.source.view.ViewTransform();
  // Far outside the picture, and neighbours not yet computed while drawing.
  auto plot = NewTransformPlot("1e300*x", "y*1e30", t, scene);
  WaitUntilDone(*plot);
  WhiteTarget target(30, 20);
  plot->Draw();
  plot->Pan(5, 0);
  plot->Draw();
  WaitUntilDone(*plot);
}

}  // namespace

namespace {

TEST_F(ATransformPlotTest, ARefusedBufferQueuesTheMemoryMessageAndStillEnds) {
  SourceScene scene(30, 20);
  A2DTransform t = scene.source.view.ViewTransform();
  auto f = MakeExpression("x"), g = MakeExpression("y");
  const double memory = gPhysicalMemory.load();
  gPhysicalMemory = 1;
  ATransformPlot plot(std::move(f), std::move(g), PaperColour(), t, scene.source.view, &scene.list);
  gPhysicalMemory = memory;
  WaitUntilDone(plot);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(plot.Width(), 0);
  WhiteTarget target(30, 20);
  plot.Draw();
  EXPECT_EQ(RgbAt(*target.port, 15, 10), 0xFFFFFFu);
}

}  // namespace
