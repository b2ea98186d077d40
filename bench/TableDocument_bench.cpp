// A document of one data table, 1,000,000 rows of two number columns with
// four rows shown, read and exported as a 600 x 360 PNG. Figure: processor
// time of the read and export; ratio vs_strtod against reading the same
// 2,000,000 numbers from the same text with strtod in a loop, in the same
// run.
#include <benchmark/benchmark.h>

#include <QSize>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "bench/AppStartUp.h"
#include "bench/CpuClock.h"
#include "CoreUtilities/threads/ComputeThreads.h"
#include "app/HeadlessExport.h"
#include "document/DocumentWindow.h"

namespace {

constexpr int kRows = 1000000;

// Each column one line of tab-separated cells, its heading first.
std::string TableDocument() {
  std::string text = "Zentrolabworksheet 4;\nTableFontSize 12;\nTableDisplayRows 4;\nTable\n";
  char cell[32];
  for (int column = 0; column < 2; ++column) {
    text += column == 0 ? "\tt" : "\ty";
    for (int row = 0; row < kRows; ++row) {
      const double t = row * 1e-3;
      std::snprintf(cell, sizeof cell, "\t%.9g", column == 0 ? t : std::sin(t) * 100);
      text += cell;
    }
    text += "\n";
  }
  return text + "EndOfTable;\n";
}

// The cells' numbers, read in order; their sum, so that none is skipped.
double ReadNumbers(const std::string& text) {
  double sum = 0;
  const char* p = text.c_str();
  while ((p = std::strchr(p, '\t')) != nullptr) {
    char* end = nullptr;
    const double value = std::strtod(++p, &end);
    if (end != p) sum += value;
  }
  return sum;
}

void BM_TableDocument(benchmark::State& state) {
  InstallAppStartUp();
  InitializeZLThreads();
  const std::string text = TableDocument();
  const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/zl_table_bench.png";
  double exported = 0, parsed = 0;
  for (auto _ : state) {
    std::string error;
    const double start = ThreadCpuSeconds();
    const int status = ExportDocumentPicture(text, out, false, QSize(600, 360), 600, &error);
    const double seconds = ThreadCpuSeconds() - start;
    if (status != 0) state.SkipWithError(error.c_str());
    const double before = ThreadCpuSeconds();
    benchmark::DoNotOptimize(ReadNumbers(text));
    parsed += ThreadCpuSeconds() - before;
    exported += seconds;
    state.SetIterationTime(seconds);
  }
  std::remove(out.c_str());
  ShutdownZLThreads();
  state.counters["ms"] = exported / double(state.iterations()) * 1e3;
  state.counters["vs_strtod"] = exported / parsed;
}

BENCHMARK(BM_TableDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
