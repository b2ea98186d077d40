// The export of the tests' thousand-curve document at 640 x 800, in the
// process, beside drawing the same finished graphs once into a graph pane
// the export's size, in the same run. Figures in processor time, the
// export's workers included: export_ms, and export_vs_one_draw, how many
// finished drawings of the pane the whole export costs. An export that drew
// its graphs as they came in drew every curve five or six times.
#include <benchmark/benchmark.h>

#include <QSize>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "app/ExportLayout.h"
#include "app/HeadlessExport.h"
#include "bench/AppStartUp.h"
#include "bench/CpuClock.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentIdle.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "document/InvalExprs.h"
#include "graphpane/AGraphPane.h"
#include "platform/OurPort.h"
#include "renderer/RendererHooks.h"

namespace {

const QSize kPicture(640, 800);

std::string ManyCurvesText() {
  std::ifstream in(ZL_TEST_DATA_DIR "/many_curves_1000.zlf", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

OurPort* gPaneWorld = nullptr;

// The processor time of one drawing of the document's graph pane, the size
// the export gives it, once every graph is computed.
double OneFinishedDraw(const std::string& text) {
  std::unique_ptr<DocumentRecord> document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
  const QRect pane = LayOutExportPanes(document->fContents, kPicture).graph;
  const MRect rect{0, 0, int16_t(pane.height()), int16_t(pane.width())};
  gPaneWorld = OurNewGWorld(rect);
  auto* const formerWorlds =
      std::exchange(gRendererHooks.GetOffscreenGWorld, [](DocumentRecord*) { return gPaneWorld; });
  document->fGraphPane = MakeDocumentGraphPane(document.get(), rect, nullptr);
  InvalExprs(document.get());
  while (!IsDocumentGraphDone(document.get())) {
    DocumentIdle(document.get(), kWholePass, true, IdleDrawing::kHeld);
    OurEventLoopAboutToBlock();
    WaitForDocumentWake(document.get(), 5000);
    OurEventLoopAwake();
  }
  UpdateGraphMessages(document.get());
  const double start = ThreadCpuSeconds();
  DrawDocumentGraph(document.get());
  const double seconds = ThreadCpuSeconds() - start;
  benchmark::DoNotOptimize(gPaneWorld->image.constBits());
  StopDocumentComputations(document.get());
  document.reset();
  gRendererHooks.GetOffscreenGWorld = formerWorlds;
  OurDisposeGWorld(gPaneWorld);
  return seconds;
}

void BM_ManyCurvesExport(benchmark::State& state) {
  InstallAppStartUp();
  InitializeZLThreads();
  const std::string text = ManyCurvesText();
  const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/zl_curves_bench.png";
  double exported = 0, drawn = 0;
  for (auto _ : state) {
    std::string error;
    const double start = ProcessCpuSeconds();
    const int status = ExportDocumentPicture(text, out, false, kPicture, 600, &error);
    const double seconds = ProcessCpuSeconds() - start;
    if (status != 0) state.SkipWithError(error.c_str());
    exported += seconds;
    drawn += OneFinishedDraw(text);
    state.SetIterationTime(seconds);
  }
  std::remove(out.c_str());
  ShutdownZLThreads();
  state.counters["export_ms"] = exported / double(state.iterations()) * 1e3;
  state.counters["export_vs_one_draw"] = exported / drawn;
}

BENCHMARK(BM_ManyCurvesExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
