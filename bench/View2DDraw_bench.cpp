// Draw of an 800 x 600 2-D view with graph paper and axes, directly and
// through the double-size sample buffer, as milliseconds per draw and as a
// ratio to a hand-written loop that writes the same paper and axis lines
// (the axis numbers are text, which the loop leaves out).
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/OurPort.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr uint32_t kPaper = 0xCCFFFF, kWhite = 0xFFFFFF;
bool gSampleBuffer = false;

// Paper with lines every `period` pixels (two wide when doubled), phase at
// the default view's origin.
void HandPaper(uint32_t* pixels, int width, int height, int period, int xPhase, int yPhase, bool doubled) {
  for (int v = 0; v < height; ++v) {
    uint32_t* row = pixels + static_cast<long>(v) * width;
    const int b = ((v - yPhase) % period + period) % period;
    if (b == 0 || (doubled && b == 1)) {
      for (int h = 0; h < width; ++h) row[h] = kPaper;
      continue;
    }
    for (int h = 0; h < width; ++h) {
      const int a = ((h - xPhase) % period + period) % period;
      row[h] = a == 0 || (doubled && a == 1) ? kPaper : kWhite;
    }
  }
}

void HandAxes(uint32_t* pixels) {
  const int row = kHeight / 2 - 1, column = kWidth / 2;
  for (int h = 0; h < kWidth; ++h) pixels[row * kWidth + h] = 0;
  for (int v = 0; v < kHeight; ++v) pixels[v * kWidth + column] = 0;
  for (int h = column % 64; h < kWidth; h += 64) {
    for (int d = -3; d <= 3; ++d) pixels[(row + d) * kWidth + h] = 0;
  }
  for (int v = row % 64; v < kHeight; v += 64) {
    for (int d = -3; d <= 3; ++d) pixels[v * kWidth + column + d] = 0;
  }
}

void HandDraw(std::vector<uint32_t>& screen, std::vector<uint32_t>& buffer, bool sampleBuffer) {
  if (!sampleBuffer) {
    HandPaper(screen.data(), kWidth, kHeight, 16, kWidth / 2 % 16, (kHeight / 2 - 1) % 16, false);
  } else {
    HandPaper(buffer.data(), 2 * kWidth, 2 * kHeight, 32, kWidth % 32, (kHeight - 2) % 32, true);
    for (int v = 0; v < kHeight; ++v) {
      const uint32_t* a = buffer.data() + 2L * v * 2 * kWidth;
      const uint32_t* b = a + 2 * kWidth;
      for (int h = 0; h < kWidth; ++h) {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t sum = ((a[2 * h] >> shift) & 0xFF) + ((a[2 * h + 1] >> shift) & 0xFF) +
                               ((b[2 * h] >> shift) & 0xFF) + ((b[2 * h + 1] >> shift) & 0xFF);
          out |= ((sum + 2) / 4) << shift;
        }
        screen[static_cast<long>(v) * kWidth + h] = out;
      }
    }
  }
  HandAxes(screen.data());
}

double TimeHand(bool sampleBuffer, int64_t repeats) {
  std::vector<uint32_t> screen(kWidth * kHeight), buffer(4 * kWidth * kHeight);
  const auto start = Clock::now();
  for (int64_t i = 0; i < repeats; ++i) {
    HandDraw(screen, buffer, sampleBuffer);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void DrawView(benchmark::State& state, bool sampleBuffer) {
  gSampleBuffer = sampleBuffer;
  gRendererHooks.UseSampleBuffer = [](DocumentRecord*) { return gSampleBuffer; };
  OurPort* port = NewOffscreenPort(QRect(0, 0, kWidth, kHeight));
  A2DGraphView view;
  view.SetViewRect(MRect{0, 0, kHeight, kWidth});
  view.SetDefaultViewState();
  view.Resize();
  APushPort push(port);
  view.Draw(true);  // fonts and metrics made outside the timing
  int64_t draws = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    view.Draw(true);
    benchmark::ClobberMemory();
    ++draws;
  }
  const double ours = std::chrono::duration<double>(Clock::now() - start).count();
  state.counters["ms_per_draw"] = 1e3 * ours / static_cast<double>(std::max<int64_t>(draws, 1));
  state.counters["vs_hand"] = ours / TimeHand(sampleBuffer, std::max<int64_t>(draws, 1));
  state.SetItemsProcessed(draws * kWidth * kHeight);
  DisposeOffscreenPort(port);
}

void BM_View2DDrawDirect(benchmark::State& state) { DrawView(state, false); }
void BM_View2DDrawSampleBuffer(benchmark::State& state) { DrawView(state, true); }

BENCHMARK(BM_View2DDrawDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_View2DDrawSampleBuffer)->Unit(benchmark::kMillisecond);

}  // namespace
