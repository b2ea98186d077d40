// `zl --export` of documents that once hung the export or ran it out of
// memory, each in a process of its own as users run it: a contour plot of
// subnormal values, a stored window of 32767 x 32767, 3,000 labelled
// points in space with --timeout 2, NaN and overflowing 3-D ranges, and a
// 2-D scale of the smallest subnormal. Figures: the mean wall time of three
// runs and the largest peak memory of a run; ratios wall_vs_welcome and
// memory_vs_welcome against the export of examples/welcome.zlf measured
// the same way in the same run. The clamped picture's memory grows with
// its 40 million pixels, not with the window; the labelled points run to
// their timeout of two seconds.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/LabelledPointsDocument.h"

extern char** environ;

namespace {

struct Run {
  double seconds = 0;
  double peakMegabytes = 0;
};

std::string TempPath(const std::string& name) {
  return "/tmp/zl_bounded_export_" + std::to_string(::getpid()) + "_" + name;
}

// One export in a child process, standard error silenced: its wall time
// and peak resident memory. The exit code (0 or 2) is the export's own.
Run Export(const std::string& document, const std::vector<std::string>& options) {
  std::vector<std::string> words = {ZL_EXECUTABLE, "--export", document, "--png", TempPath("out.png")};
  words.insert(words.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  Run run;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMegabytes = double(usage.ru_maxrss) / 1024;
  }
  posix_spawn_file_actions_destroy(&actions);
  std::remove(TempPath("out.png").c_str());
  return run;
}

std::string Written(const std::string& name, const std::string& statements) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << "Zentrolabworksheet 4;\n" << statements;
  return path;
}

const std::vector<std::string> kAtSize = {"--size", "600x400", "--timeout", "20"};

// The mean wall time and the largest peak of the runs the state asks for.
Run Measure(benchmark::State& state, const std::string& document, const std::vector<std::string>& options) {
  Run total;
  int runs = 0;
  for (auto _ : state) {
    const Run run = Export(document, options);
    state.SetIterationTime(run.seconds);
    total.seconds += run.seconds;
    total.peakMegabytes = std::max(total.peakMegabytes, run.peakMegabytes);
    ++runs;
  }
  total.seconds /= std::max(runs, 1);
  state.counters["peak_MB"] = total.peakMegabytes;
  return total;
}

const std::string kWelcome = ZL_SOURCE_DIR "/examples/welcome.zlf";

// The welcome example's export, as BM_Welcome measured it in this run.
Run gWelcome;

void BM_Welcome(benchmark::State& state) { gWelcome = Measure(state, kWelcome, kAtSize); }

void Report(benchmark::State& state, const std::string& document, const std::vector<std::string>& options) {
  const Run run = Measure(state, document, options);
  state.counters["wall_vs_welcome"] = run.seconds / gWelcome.seconds;
  state.counters["memory_vs_welcome"] = run.peakMegabytes / gWelcome.peakMegabytes;
  std::remove(document.c_str());
}

void BM_SubnormalContour(benchmark::State& state) {
  Report(state, Written("contour.zlf", "XYType 3;\nExpr z=x*1e-310;\n"), kAtSize);
}

void BM_ClampedWindow(benchmark::State& state) {
  Report(state, Written("window.zlf", "Window 0 0 32767 32767;\nExpr y = sin(x);\n"), {"--timeout", "20"});
}

void BM_LabelledPointsTimeout2(benchmark::State& state) {
  Report(state, Written("labels.zlf", LabelledPointsStatements(3000)), {"--size", "600x400", "--timeout", "2"});
}

void BM_UnusableRanges(benchmark::State& state) {
  Report(state, Written("ranges.zlf", "3D.X NaN 1;\n3D.Y -1e308 1e308;\nExpr z = x^2 - y^2;\n"), kAtSize);
}

void BM_SmallestScale(benchmark::State& state) {
  Report(state, Written("scale.zlf", "2D.Scale 5e-324 5e-324 5 5;\nExpr y = x;\nExpr y < x;\n"), kAtSize);
}

// The welcome example first: the others' ratios read its figures.
BENCHMARK(BM_Welcome)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubnormalContour)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClampedWindow)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelledPointsTimeout2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnusableRanges)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallestScale)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
