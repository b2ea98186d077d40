#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "document/DocumentRecord.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/support/HangLimit.h"
#include "tests/graphpane/GraphColorTestSupport.h"

namespace {

constexpr int kSide = 512;

uint32_t Packed(AGraphColor& colour, int i, int j) {
  double r = 0, g = 0, b = 0;
  colour.ComputeExplicitColor(0, 0, i - kSide / 2 + 0.5, j - kSide / 2 + 0.5, 0, 0, &r, &g, &b);
  return uint32_t(r * 255) << 16 | uint32_t(g * 255) << 8 | uint32_t(b * 255);
}

// Workers colour rows while the interface thread cancels, clears and
// invalidates the colour and moves a parameter it reads (the value is
// min(1, a) for a of at least 1, so the colours stay); a row that no
// cancel touched must match the quiet run.
TEST(GraphColorThreads, UncancelledRowsMatchAOneThreadRun) {
  Watchdog watchdog("colour workers", kHangLimit);
  DocumentRecord document;
  auto parameter = std::make_unique<ParameterDefinition>();
  parameter->variableId = 'a';
  parameter->re.store(1.0);
  ParameterDefinition* a = parameter.get();
  document.fParameterDefinitions.push_back(std::move(parameter));
  auto colour = EquationColour(AGraphColor::kHSVEquations, "theta / (2 * pi)", "1", "min(1, a)", &document);
  a->re.store(0.5);
  colour->InvalConstants();
  EXPECT_EQ(Packed(*colour, kSide, kSide / 2), 0x7F0000u);  // the parameter is read
  a->re.store(1.0);
  colour->InvalConstants();
  std::vector<uint32_t> quiet(size_t(kSide) * kSide);
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) quiet[size_t(j) * kSide + i] = Packed(*colour, i, j);
  }

  // Odd while a cancel is raised; a row is clean when the count was even
  // and unchanged from its start to its end.
  std::atomic<int> epoch{0};
  std::atomic<int> nextRow{0}, rowsDone{0};
  std::vector<uint32_t> busy(quiet.size());
  std::vector<char> clean(kSide, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < 8; ++t) {
    workers.emplace_back([&] {
      for (int j = nextRow.fetch_add(1); j < kSide; j = nextRow.fetch_add(1)) {
        const int before = epoch.load();
        for (int i = 0; i < kSide; ++i) busy[size_t(j) * kSide + i] = Packed(*colour, i, j);
        clean[j] = before % 2 == 0 && epoch.load() == before;
        rowsDone.fetch_add(1);
      }
    });
  }
  // Cancelled rows finish at once: let some rows run quiet first, or a fast
  // machine may colour every row under a raised cancel. Each cancel stays
  // raised, and each quiet spell lasts, until a worker has ended a row in it.
  const auto aRowEnds = [&] {
    const int before = rowsDone.load();
    while (rowsDone.load() == before && rowsDone.load() < kSide) std::this_thread::yield();
  };
  while (rowsDone.load() < 8) std::this_thread::yield();
  for (int k = 0; k < 40 && rowsDone.load() < kSide / 2; ++k) {
    epoch.fetch_add(1);
    colour->Cancel();
    colour->InvalConstants();
    a->re.store(1.0 + k, std::memory_order_release);
    aRowEnds();
    colour->ClearCancelFlag();
    epoch.fetch_add(1);
    aRowEnds();
  }
  for (std::thread& w : workers) w.join();

  int cleanRows = 0;
  for (int j = 0; j < kSide; ++j) {
    if (!clean[j]) continue;
    ++cleanRows;
    for (int i = 0; i < kSide; ++i) {
      ASSERT_EQ(busy[size_t(j) * kSide + i], quiet[size_t(j) * kSide + i]) << i << "," << j;
    }
  }
  EXPECT_GT(cleanRows, 0);
}

}  // namespace
