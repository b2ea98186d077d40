#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/GraphJobs.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs2d/GraphTestSupport.h"
#include "tests/graphpane/PlainGraph2D.h"

namespace {

// A graph whose slices do a few hundred units of work each, polling the
// cancel flag after every unit; without a buffer it has nothing to compute.
class BandGraph : public PlainGraph2D {
 public:
  explicit BandGraph(bool hasBuffer) : fHasBuffer(hasBuffer), fJobs(this, GraphJobs::kOnePerProcessor) {}
  ~BandGraph() override { fJobs.Stop(nullptr, {}); }

  int32_t Compute(int32_t slice) override {
    if (!fHasBuffer) return fJobs.Finish(slice, kComputeNothingToDo, nullptr);
    volatile double sink = 0;
    for (int unit = 0; unit < 300; ++unit) {
      for (int i = 0; i < 200; ++i) sink = sink + i * 0.5;
      if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, nullptr);
    }
    return fJobs.Finish(slice, kComputeFinished, nullptr);
  }
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  void ViewChanged() override { Restart(); }
  void Pan(int32_t, int32_t) override { Restart(); }
  void PauseComputing() override { fJobs.Stop(nullptr, {}); }

  void Restart() {
    fJobs.Stop(nullptr, {});
    fJobs.Submit(nullptr, {});
  }
  void WaitUntilDone() {
    WaitUntil("the band graph done", [this] { return IsDoneComputing(); });
  }
  GraphJobs& Jobs() { return fJobs; }

 private:
  bool fHasBuffer;
  GraphJobs fJobs;
};

using GraphJobsTest = ComputeTest;

TEST_F(GraphJobsTest, NothingToComputeCountsAsDoneAndNotifiesOnce) {
  Watchdog watchdog("nothing to compute");
  BandGraph graph(false);
  graph.Restart();
  graph.WaitUntilDone();
  graph.Jobs().Stop(nullptr, {});
  EXPECT_EQ(notifications.load(), 1);
}

TEST_F(GraphJobsTest, StormsOfStopsRestartsAndPans) {
  Watchdog watchdog("restart storm");
  BandGraph graph(true);
  std::mt19937 random(25);
  int completed = 0;
  for (int round = 0; round < 300; ++round) {
    switch (random() % 4) {
      case 0:  // stop: nothing may notify afterwards
        graph.PauseComputing();
        break;
      case 1: graph.Pan(1, -1); break;
      case 2: graph.ViewChanged(); break;
      default:
        graph.Restart();
        graph.WaitUntilDone();
        ++completed;
        break;
    }
  }
  graph.PauseComputing();
  const int afterStop = notifications.load();
  // Every waited-for restart notified exactly once; an interrupted one may
  // have finished before its stop and notified too, but never twice.
  EXPECT_GE(afterStop, completed);
  EXPECT_LE(afterStop, 300);
  // Nothing of the stopped passes is left to notify: one more pass adds
  // its own notice and no other.
  graph.Restart();
  graph.WaitUntilDone();
  graph.PauseComputing();
  EXPECT_EQ(notifications.load(), afterStop + 1);
}

TEST_F(GraphJobsTest, EachCompletedRestartNotifiesExactlyOnce) {
  Watchdog watchdog("completed restarts");
  BandGraph graph(true);
  for (int round = 0; round < 50; ++round) {
    graph.Restart();
    graph.WaitUntilDone();
    graph.PauseComputing();
    EXPECT_EQ(notifications.load(), round + 1);
  }
}

}  // namespace
