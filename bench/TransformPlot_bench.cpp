// Draw of an 800 x 600 second view showing the first through a doubling:
// resampled per pixel (inverse form) and rasterised with the texture
// pyramid (forward form), both once the points are computed. In the same
// run: a smooth QImage scaling of the same source picture to the same
// size, the source view's own redraw, and a hand-written loop that takes
// the four samples a pixel from precomputed source positions. Counters are
// milliseconds per draw and the ratios to each baseline.
#include <benchmark/benchmark.h>

#include <QImage>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DInequality.h"
#include "graphs2d/ATextureMapPlot.h"
#include "graphs2d/ATransformPlot.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;

Compiled Parse(const std::string& text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())), nullptr);
}

void WaitFor(A2DGraph& graph) {
  while (!graph.IsDoneComputing()) std::this_thread::sleep_for(std::chrono::microseconds(100));
}

template <typename F>
double SecondsFor(int64_t repeats, F&& f) {
  const auto start = Clock::now();
  for (int64_t i = 0; i < repeats; ++i) {
    f();
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The four samples a pixel of a doubling about the picture's centre, from
// positions computed beforehand, averaged and written where not white.
void HandResample(const QImage& source, const std::vector<float>& positions, QImage& out) {
  const auto* in = reinterpret_cast<const uint32_t*>(source.constBits());
  const long inRow = source.bytesPerLine() / 4;
  for (int v = 0; v < kHeight; ++v) {
    auto* row = reinterpret_cast<uint32_t*>(out.scanLine(v));
    for (int h = 0; h < kWidth; ++h) {
      const float x = positions[2 * (size_t(v) * kWidth + h)], y = positions[2 * (size_t(v) * kWidth + h) + 1];
      uint32_t r = 0, g = 0, b = 0;
      for (int i = 0; i < 4; ++i) {
        const int sh = std::min(int(x + 0.45f * (i & 1)), kWidth - 1),
                  sv = std::min(int(y + 0.45f * (i >> 1)), kHeight - 1);
        const uint32_t p = in[sv * inRow + sh];
        r += (p >> 16) & 0xFF, g += (p >> 8) & 0xFF, b += p & 0xFF;
      }
      const uint32_t c = ((r / 4) << 16) | ((g / 4) << 8) | (b / 4);
      if (c != 0xFFFFFF) row[h] = c;
    }
  }
}

void DrawPlot(benchmark::State& state, bool forward) {
  EnsureGuiApplication();
  StartComputeThreads();
  {
    const MRect rect{0, 0, kHeight, kWidth};
    A2DGraphView first, second;
    for (A2DGraphView* view : {&first, &second}) {
      view->SetViewRect(rect);
      view->SetDefaultViewState();
      view->Resize();
    }
    first.Record().graphPaperShown = 1;
    auto disc = std::make_unique<A2DInequality>(Parse("x^2 + y^2 < 3"), Parse("0"), std::make_unique<AGraphColor>(), 2,
                                                false, first.GraphTransform());
    WaitFor(*disc);
    first.AddGraph(std::move(disc));
    AListGenericSmall<int32_t> sources;
    sources.Add(0);
    AGraphColor colour;
    OurPort* port = NewOffscreenPort(QRect(0, 0, kWidth, kHeight));
    APushPort push(port);
    first.Draw(&sources, &colour, true);
    second.Draw(true);
    const QImage picture = port->image.copy();
    std::unique_ptr<A2DGraph> plot;
    if (forward) {
      plot = std::make_unique<ATextureMapPlot>(Parse("2*x"), Parse("2*y"), std::make_unique<AGraphColor>(), 0.5,
                                               second.GraphTransform(), first, &sources);
    } else {
      plot = std::make_unique<ATransformPlot>(Parse("x/2"), Parse("y/2"), std::make_unique<AGraphColor>(),
                                              second.GraphTransform(), first, &sources);
    }
    WaitFor(*plot);
    plot->Draw();  // fonts and metrics made outside the timing
    int64_t draws = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
      plot->Draw();
      benchmark::ClobberMemory();
      ++draws;
    }
    const double ours = std::chrono::duration<double>(Clock::now() - start).count();
    draws = std::max<int64_t>(draws, 1);
    const QRect quarter(kWidth / 4, kHeight / 4, kWidth / 2, kHeight / 2);
    const double scaled = SecondsFor(draws, [&] {
      QImage out = picture.copy(quarter).scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      benchmark::DoNotOptimize(out.constBits());
    });
    const double redraw = SecondsFor(draws, [&] { first.Draw(&sources, &colour, true); });
    std::vector<float> positions(size_t(kWidth) * kHeight * 2);
    for (int v = 0; v < kHeight; ++v) {
      for (int h = 0; h < kWidth; ++h) {
        positions[2 * (size_t(v) * kWidth + h)] = kWidth / 4 + h / 2.0f;
        positions[2 * (size_t(v) * kWidth + h) + 1] = kHeight / 4 + v / 2.0f;
      }
    }
    QImage out = picture.copy();
    const double hand = SecondsFor(draws, [&] { HandResample(picture, positions, out); });
    state.counters["ms_per_draw"] = 1e3 * ours / double(draws);
    state.counters["vs_qimage_scaled"] = ours / scaled;
    state.counters["vs_source_redraw"] = ours / redraw;
    state.counters["vs_hand_resample"] = ours / hand;
    plot.reset();
    DisposeOffscreenPort(port);
  }
  StopComputeThreads();
}

void BM_TransformPlotDraw(benchmark::State& state) { DrawPlot(state, false); }
void BM_TextureMapPlotDraw(benchmark::State& state) { DrawPlot(state, true); }

BENCHMARK(BM_TransformPlotDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureMapPlotDraw)->Unit(benchmark::kMillisecond);

}  // namespace
