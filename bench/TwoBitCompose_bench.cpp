// Two-bit composition of a 1000 x 800 map and line drawing, in pixels per
// second, each beside a naive per-pixel loop and aliased QPainter.
#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "platform/PenDrawing.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1000, kHeight = 800;
constexpr long kRowBytes = kWidth / 4;
constexpr MRect kFrame{0, 0, kHeight, kWidth};
constexpr uint32_t kColor = 0x3060C0;

// Graph paper under a map of regions as an inequality leaves them: patches
// of each code, a quarter of them empty.
struct Scene {
  Scene() : world(OurNewGWorld(kFrame)), bits(kRowBytes * kHeight) {
    for (int v = 0; v < kHeight; v += 40)
      for (int h = 0; h < kWidth; h += 50)
        OurFast2BitPaintRect(bits.data(), kRowBytes, kFrame,
                             {static_cast<int16_t>(v), static_cast<int16_t>(h), static_cast<int16_t>(v + 40),
                              static_cast<int16_t>(h + 50)},
                             (h / 50 + v / 40) % 4);
    Reset();
  }
  ~Scene() { OurDisposeGWorld(world); }
  void Reset() {
    for (int v = 0; v < kHeight; ++v)
      for (int h = 0; h < kWidth; ++h)
        *PortPixel(*world, h, v) = (h % 20 == 0 || v % 20 == 0) ? kGridLineColor : 0xF8F8F0;
  }
  OurPort* world;
  std::vector<uint8_t> bits;
};

void BM_TwoBitCompose(benchmark::State& state) {
  Scene scene;
  APushPort port(scene.world);
  for (auto _ : state) {
    OurCopy2BitToCurrentPort(scene.bits.data(), kRowBytes, kFrame, kColor, kFrame);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// The same rule one pixel at a time through QImage's own accessors.
void BM_TwoBitComposeNaive(benchmark::State& state) {
  Scene scene;
  QImage& image = scene.world->image;
  for (auto _ : state) {
    for (int v = 0; v < kHeight; ++v)
      for (int h = 0; h < kWidth; ++h) {
        const int code = (scene.bits[v * kRowBytes + h / 4] >> (6 - 2 * (h % 4))) & 3;
        if (code == 0) continue;
        const uint32_t below = image.pixel(h, v) & 0xFFFFFF;
        const int l = PixelLuminance(below);
        uint32_t c = kColor;
        if (code == 1)
          c = ((((c >> 16) & 0xFF) + 255) / 2) << 16 | ((((c >> 8) & 0xFF) + 255) / 2) << 8 | ((c & 0xFF) + 255) / 2;
        if (code == 2) c = 0xFFFFFF;
        image.setPixel(h, v, ShadeColor(c, l));
      }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// QPainter cannot shade by what lies below; this only lays a ready-made
// image of the coloured codes over the world: a floor for the same pixels.
void BM_TwoBitComposeQPainterFloor(benchmark::State& state) {
  Scene scene;
  QImage overlay(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (int v = 0; v < kHeight; ++v)
    for (int h = 0; h < kWidth; ++h) {
      const int code = (scene.bits[v * kRowBytes + h / 4] >> (6 - 2 * (h % 4))) & 3;
      overlay.setPixel(h, v, code == 0 ? 0u : (0xFF000000u | kColor));
    }
  for (auto _ : state) {
    QPainter painter(&scene.world->image);
    painter.drawImage(0, 0, overlay);
    painter.end();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

struct Segment {
  int h0, v0, h1, v1;
};

std::vector<Segment> RandomSegments(long* pixels) {
  std::mt19937 rng(2);
  std::uniform_int_distribution<int> h(0, kWidth - 1), v(0, kHeight - 1);
  std::vector<Segment> segments(2000);
  *pixels = 0;
  for (auto& s : segments) {
    s = {h(rng), v(rng), h(rng), v(rng)};
    *pixels += std::max(std::abs(s.h1 - s.h0), std::abs(s.v1 - s.v0)) + 1;
  }
  return segments;
}

void BM_PenLines(benchmark::State& state) {
  Scene scene;
  long pixels;
  const auto segments = RandomSegments(&pixels);
  for (auto _ : state) {
    for (const auto& s : segments) {
      scene.world->pen.location = QPoint(s.h0, s.v0);
      PortLineTo(*scene.world, QPoint(s.h1, s.v1));
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_ComposedLines(benchmark::State& state) {
  Scene scene;
  APushPort port(scene.world);
  long pixels;
  const auto segments = RandomSegments(&pixels);
  for (auto _ : state) {
    for (const auto& s : segments)
      OurLineDraw(kFrame, {static_cast<int16_t>(s.v0), static_cast<int16_t>(s.h0)},
                  {static_cast<int16_t>(s.v1), static_cast<int16_t>(s.h1)}, kColor);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

// Per pixel: a floating-point step along the longer axis and QImage::setPixel.
void BM_LinesNaive(benchmark::State& state) {
  Scene scene;
  long pixels;
  const auto segments = RandomSegments(&pixels);
  QImage& image = scene.world->image;
  for (auto _ : state) {
    for (const auto& s : segments) {
      const int n = std::max(std::abs(s.h1 - s.h0), std::abs(s.v1 - s.v0));
      for (int i = 0; i <= n; ++i) {
        const double t = n == 0 ? 0.0 : static_cast<double>(i) / n;
        image.setPixel(static_cast<int>(s.h0 + t * (s.h1 - s.h0) + 0.5),
                       static_cast<int>(s.v0 + t * (s.v1 - s.v0) + 0.5), 0);
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_LinesQPainterAliased(benchmark::State& state) {
  Scene scene;
  long pixels;
  const auto segments = RandomSegments(&pixels);
  for (auto _ : state) {
    QPainter painter(&scene.world->image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x30, 0x60, 0xC0), 0));
    for (const auto& s : segments) painter.drawLine(s.h0, s.v0, s.h1, s.v1);
    painter.end();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

}  // namespace

BENCHMARK(BM_TwoBitCompose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoBitComposeNaive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoBitComposeQPainterFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PenLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposedLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesNaive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesQPainterAliased)->Unit(benchmark::kMillisecond);
