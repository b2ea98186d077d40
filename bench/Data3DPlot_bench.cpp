// A 100,000-row data plot in space computed and cached, beside reading the
// same three columns row by row through the document's cell query into
// float arrays, in the same run; and, to show where the plot's time goes,
// the three column expressions alone evaluated row by row. The ratio is of
// the processor time of the whole process (the benchmark's thread sleeps on
// the finish notice): on a busy machine wall times also count the worker's
// waits for a core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/CpuClock.h"
#include "CoreUtilities/threads/ComputeThreads.h"
#include "document/DocumentHooks.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/AnExpression.h"
#include "evaluation/DocumentQueries.h"
#include "expression/ExpressionParser.h"
#include "graphpane/AGraphColor.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/curves/AData3DPlot.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 100000;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Wall and processor seconds of one run of the work.
struct Times {
  double wall = 0, processor = 0;
  template <typename Work>
  void Add(Work work) {
    const auto start = Clock::now();
    const double processorStart = ProcessCpuSeconds();
    work();
    processor += ProcessCpuSeconds() - processorStart;
    wall += Seconds(start);
  }
};

std::string Table() {
  std::string text = "Zentrolabworksheet 4;\nTable\n";
  for (const char* heading : {"P", "Q", "R"}) {
    text += std::string("\t") + heading;
    for (int row = 1; row <= kRows; ++row) text += "\t" + std::to_string((row * (heading[0] - 'O')) % 997 / 100.0);
    text += "\n";
  }
  return text + "EndOfTable;\n";
}

struct Setting {
  Setting() {
    InitializeZLThreads();
    InstallDocumentHooks();
    const std::string text = Table();
    document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
    view.SetDocument(document.get());
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
    plot = new AData3DPlot(Column("P"), Column("Q"), Column("R"), nullptr, nullptr, nullptr, nullptr,
                           std::make_unique<AGraphColor>(), view.DrawContext(), document.get());
    view.AddGraph(std::unique_ptr<AGraph>(plot));
    for (int k = 0; k < 3; ++k) columns[k] = Column(std::string(1, char('P' + k)).c_str());
    AnExpression::Compile(columns[0].get(), columns[1].get(), columns[2].get());
  }
  ~Setting() {
    view.DeleteGraphs();
    document.reset();
    ShutdownZLThreads();
  }
  std::unique_ptr<AnExpression> Column(const char* name) {
    return std::make_unique<AnExpression>(CoreParseExpr(name, 1), document.get());
  }

  void PlotDoneAndCached() {
    plot->ViewChanged();
    while (!plot->IsDoneComputing()) WaitForDocumentWake(document.get(), 100000);
    plot->SetParameter(kAttributeSaveFinishedModels, 0);
  }
  void ReadColumns(std::vector<float> (&into)[3]) {
    for (int32_t row = 1; row <= kRows; ++row)
      for (int k = 0; k < 3; ++k) into[k][size_t(row - 1)] = float(GetParameter('P' + k, row, document.get()).re);
  }
  void EvaluateColumns(std::vector<float> (&into)[3]) {
    for (int32_t row = 1; row <= kRows; ++row)
      for (int k = 0; k < 3; ++k) into[k][size_t(row - 1)] = float(columns[k]->EvaluateIndexed(0, 0, 0, row));
  }

  std::unique_ptr<DocumentRecord> document;
  A3DGraphView view;
  AData3DPlot* plot;
  std::unique_ptr<AnExpression> columns[3];
};

void BM_Data3DPlotBesideColumnReads(benchmark::State& state) {
  static Setting setting;
  std::vector<float> values[3];
  for (auto& c : values) c.assign(kRows, 0);
  Times plot, reads, evaluations;
  for (auto _ : state) {
    plot.Add([] { setting.PlotDoneAndCached(); });
    reads.Add([&values] { setting.ReadColumns(values); });
    benchmark::DoNotOptimize(values[2].data());
    evaluations.Add([&values] { setting.EvaluateColumns(values); });
    benchmark::DoNotOptimize(values[2].data());
  }
  if (setting.plot->PointCount() != kRows) state.SkipWithError("rows lost");
  const double n = double(state.iterations());
  state.counters["plot_ms"] = 1e3 * plot.processor / n;
  state.counters["reads_ms"] = 1e3 * reads.processor / n;
  state.counters["evaluate_ms"] = 1e3 * evaluations.processor / n;
  state.counters["ratio"] = plot.processor / reads.processor;
  state.counters["evaluate_ratio"] = evaluations.processor / reads.processor;
  state.counters["wall_ratio"] = plot.wall / reads.wall;
}
BENCHMARK(BM_Data3DPlotBesideColumnReads)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
