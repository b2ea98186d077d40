// 10,000 point labels ("P1" to "P10000", 12 points, scattered) drawn into
// one software frame of 800 x 600: on a fresh context, which sets every
// label, and again on the same context, which finds them all kept. Figure:
// processor time per frame; ratio vs_2d_drawing against the 2-D drawing of
// the same texts at the same places with a painter on an image of the same
// size, in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench/CpuClock.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "platform/GuiApplication.h"
#include "renderer/DrawContext.h"
#include "renderer/Frame.h"
#include "renderer/M3DView.h"
#include "renderer/RendererGlobals.h"
#include "renderer/RendererHooks.h"
#include "renderer/SymbolTexture.h"

namespace {

constexpr int kWidth = 800, kHeight = 600, kLabels = 10000;
constexpr double kSize = 12;

struct Labels {
  std::vector<std::u16string> texts;
  std::vector<MVertex> anchors;
};

const Labels& TheLabels() {
  static const Labels labels = [] {
    Labels made;
    std::mt19937 random(72);
    std::uniform_real_distribution<float> x(0, kWidth - 1), y(0, kHeight - 1), z(0.1f, 0.9f);
    for (int k = 1; k <= kLabels; ++k) {
      made.texts.push_back(u"P" + std::u16string(QString::number(k).toStdU16String()));
      made.anchors.push_back({x(random), y(random), z(random), 0.1f, 0.1f, 0.4f, 1, 0, 0});
    }
    return made;
  }();
  return labels;
}

OurPort* gWorld = nullptr;

// One software frame of all the labels.
double LabelFrame(MDrawContext* ctx, M3DView* view) {
  const Labels& labels = TheLabels();
  const double start = ThreadCpuSeconds();
  Qd3d_SetPane(ctx, {0, 0, kHeight, kWidth}, view, false);
  RenderStart(ctx, false);
  for (int k = 0; k < kLabels; ++k)
    DrawClippedSymbol(&labels.anchors[size_t(k)], reinterpret_cast<const UniChar*>(labels.texts[size_t(k)].c_str()),
                      kSize, ctx);
  RenderEnd(ctx);
  return ThreadCpuSeconds() - start;
}

double PainterFrame() {
  const Labels& labels = TheLabels();
  const double start = ThreadCpuSeconds();
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(0xFFF0F0F8u);
  QPainter painter(&image);
  painter.setPen(QColor::fromRgb(0x1A1A66));
  const OurFontDesc font("Times", float(kSize), false, false);
  for (int k = 0; k < kLabels; ++k) {
    painter.save();
    painter.translate(int(labels.anchors[size_t(k)].x), int(labels.anchors[size_t(k)].y) + int(kSize));
    OurDrawString(reinterpret_cast<const UniChar*>(labels.texts[size_t(k)].c_str()), font, &painter);
    painter.restore();
  }
  painter.end();
  benchmark::DoNotOptimize(image.constBits());
  return ThreadCpuSeconds() - start;
}

void BM_Labels(benchmark::State& state) {
  EnsureGuiApplication();
  const bool kept = state.range(0) != 0;
  gWorld = OurNewGWorld({0, 0, kHeight, kWidth});
  gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return gWorld; };
  gRendererHooks.BackgroundColor = [](DocumentRecord*) { return uint32_t(0xF0F0F8); };
  M3DView view;
  double drawn = 0, painted = 0;
  OwnedDrawContext ownedWarm = AllocateDrawContext();
  MDrawContext* warm = ownedWarm.get();
  SetDesiredRendererType(warm, kRendererSoftware);
  if (kept) LabelFrame(warm, &view);
  for (auto _ : state) {
    OwnedDrawContext fresh = kept ? nullptr : AllocateDrawContext();
    MDrawContext* ctx = kept ? warm : fresh.get();
    SetDesiredRendererType(ctx, kRendererSoftware);
    const double seconds = LabelFrame(ctx, &view);
    if (fresh) {
      DisposeDrawContext(ctx);
      fresh.reset();
    }
    painted += PainterFrame();
    drawn += seconds;
    state.SetIterationTime(seconds);
  }
  DisposeDrawContext(warm);
  ownedWarm.reset();
  OurDisposeGWorld(gWorld);
  gRendererHooks = {};
  ReleaseRendererMemoryBeforeQuitting();
  state.counters["ms_per_frame"] = drawn / double(state.iterations()) * 1e3;
  state.counters["vs_2d_drawing"] = drawn / painted;
}

BENCHMARK(BM_Labels)->ArgName("kept")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
