#include "CoreUtilities/threads/JobQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/ProcessorCount.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

// A graph with one job per slice, all waiting for dependsOn; done once every
// slice has completed.
class SlicedGraph : public AComputeTarget {
 public:
  SlicedGraph(int32_t slices, AComputeTarget* dependsOn)
      : jobs(OurAllocateJobs(this, slices)), fSlices(slices), fDependsOn(dependsOn) {
    for (int32_t i = 0; i < slices; ++i) jobs[i].dependsOn = dependsOn;
  }
  ~SlicedGraph() override { delete[] jobs; }

  bool IsDoneComputing() override { return fCompleted.load(std::memory_order_acquire) >= fSlices; }
  int32_t Slices() const { return fSlices; }

  AJob* jobs;

 protected:
  bool DependencyDone() const { return !fDependsOn || fDependsOn->IsDoneComputing(); }
  void CountCompletion() { fCompleted.fetch_add(1, std::memory_order_release); }

 private:
  int32_t fSlices;
  AComputeTarget* fDependsOn;
  std::atomic<int32_t> fCompleted{0};
};

// Slices count their runs, check their dependency, touch the last variable
// slot they need (AddressSanitizer catches a short array), and return
// statuses outside 3 to 5 too, which must end as cancelled.
class StormGraph : public SlicedGraph {
 public:
  StormGraph(int32_t slices, AComputeTarget* dependsOn, int32_t variablesNeeded)
      : SlicedGraph(slices, dependsOn), fVariablesNeeded(variablesNeeded), fRuns(slices) {}

  static int32_t Status(int32_t slice) { return std::array{3, 3, 5, 4, 42, 3, -1, 0}[slice % 8]; }
  static int32_t ExpectedState(int32_t slice) {
    const int32_t status = Status(slice);
    return status >= 3 && status <= 5 ? status : kJobCancelled;
  }

  int32_t Compute(int32_t slice) override {
    if (!DependencyDone()) dependencyViolations.fetch_add(1);
    auto* variables = static_cast<unsigned char*>(GetThreadLocalVariables());
    std::memset(variables + (fVariablesNeeded - 1) * kVariableSlotBytes, slice, kVariableSlotBytes);
    fRuns[slice].fetch_add(1);
    CountCompletion();
    return Status(slice);
  }

  int32_t Runs(int32_t slice) const { return fRuns[slice].load(); }

  std::atomic<int> dependencyViolations{0};

 private:
  int32_t fVariablesNeeded;
  std::vector<std::atomic<int32_t>> fRuns;
};

// Slices log their runs in order and may hold their worker at a gate,
// saying so at another.
class LoggingGraph : public SlicedGraph {
 public:
  LoggingGraph(std::string name, int32_t slices, std::vector<std::string>& log, AComputeTarget* dependsOn = nullptr)
      : SlicedGraph(slices, dependsOn), fName(std::move(name)), fLog(log) {}

  int32_t Compute(int32_t slice) override {
    if (started) started->Open();
    if (gate) gate->Wait();
    // One worker runs these, so the log needs no lock.
    fLog.push_back(DependencyDone() ? fName + std::to_string(slice) : "early");
    CountCompletion();
    return kJobFinished;
  }

  Gate* started = nullptr;
  Gate* gate = nullptr;

 private:
  std::string fName;
  std::vector<std::string>& fLog;
};

// The first `expected` probes wait until that many run at once, so
// `expected` workers all take one; fewer would hang (the watchdog reports
// it), and a further worker would take a further probe meanwhile.
class ProbeGraph : public AComputeTarget {
 public:
  explicit ProbeGraph(int expected) : fExpected(expected) {}

  int32_t Compute(int32_t) override {
    std::unique_lock lock(fMutex);
    maxRunning = std::max(maxRunning, ++fRunning);
    threads.insert(std::this_thread::get_id());
    fReached = fReached || fRunning >= fExpected;
    fCondition.notify_all();
    fCondition.wait(lock, [this] { return fReached; });
    --fRunning;
    return kJobFinished;
  }
  bool IsDoneComputing() override { return false; }

  int maxRunning = 0;  // read after every probe was waited for
  std::set<std::thread::id> threads;

 private:
  const int fExpected;
  std::mutex fMutex;
  std::condition_variable fCondition;
  int fRunning = 0;
  bool fReached = false;
};

class JobQueueTest : public testing::Test {
 protected:
  // First member: it watches SetUp and TearDown too.
  Watchdog fWatchdog{"job queue test"};

  void SetUp() override { StartComputeThreads(); }
  void TearDown() override {
    StopComputeThreads();
    DebugSetNumProcessors(0);
  }
};

void WaitForAll(AJob* jobs, int32_t count) {
  for (int32_t i = 0; i < count; ++i) OurWaitforJobToFinish(&jobs[i]);
}

}  // namespace

// One worker, held at a gate, so the queues' contents are known.
TEST_F(JobQueueTest, CancelRemovesOnlyItsGraphKeepsOrderAndReleasesWaiters) {
  DebugSetNumberComputeThreads(1);
  std::vector<std::string> log;
  Gate gate;
  LoggingGraph w("W", 1, log);
  LoggingGraph p("P", 1, log, &w);
  LoggingGraph q("Q", 1, log, &w);
  LoggingGraph blocker("B", 1, log);
  Gate blockerStarted;
  blocker.started = &blockerStarted;
  blocker.gate = &gate;
  LoggingGraph x("X", 3, log);
  LoggingGraph y("Y", 3, log);
  EXPECT_EQ(OurAllocateJobs(&x, 0), nullptr);
  WaitForAll(x.jobs, 3);  // never submitted: returns at once
  OurSubmitJobs(x.jobs, 0);

  OurSubmitJob(p.jobs);  // parked: W is not done
  OurSubmitJob(q.jobs);
  OurSubmitJob(blocker.jobs);
  blockerStarted.Wait();
  ASSERT_EQ(blocker.jobs[0].state.load(), kJobRunning);
  for (int32_t i = 0; i < 3; ++i) {
    OurSubmitJob(&x.jobs[i]);
    OurSubmitJob(&y.jobs[i]);
  }
  OurSubmitJob(w.jobs);
  EXPECT_EQ(p.jobs[0].state.load(), kJobQueued);

  OurCancelJobs(&x);
  OurCancelJobs(&p);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(x.jobs[i].state.load(), kJobIdle);
  EXPECT_EQ(p.jobs[0].state.load(), kJobIdle);
  WaitForAll(x.jobs, 3);  // cancel-then-wait must not hang
  OurWaitforJobToFinish(p.jobs);

  gate.Open();
  WaitForAll(y.jobs, 3);
  for (LoggingGraph* graph : {&w, &q, &blocker}) WaitForAll(graph->jobs, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"B0", "Y0", "Y1", "Y2", "W0", "Q0"}));

  OurSubmitJob(&x.jobs[1]);  // a cancelled job runs once when submitted again
  OurWaitforJobToFinish(&x.jobs[1]);
  EXPECT_EQ(log.back(), "X1");
}

TEST_F(JobQueueTest, RestartWithOneToSixteenWorkersKeepsQueuedJobs) {
  std::vector<std::string> log;
  for (int workers = 1; workers <= 16; ++workers) {
    ProbeGraph probe(workers);
    LoggingGraph gate("gate", 1, log);
    const int32_t count = 2 * workers + 1;
    std::unique_ptr<AJob[]> jobs(OurAllocateJobs(&probe, count));
    for (int32_t i = 0; i < count; ++i) jobs[i].dependsOn = &gate;
    // Queued and parked across the restart; the gate's job releases them.
    OurSubmitJobs(jobs.get(), count);
    DebugSetNumberComputeThreads(workers);
    OurSubmitJob(gate.jobs);
    WaitForAll(jobs.get(), count);
    OurWaitforJobToFinish(gate.jobs);
    EXPECT_EQ(probe.maxRunning, workers);
    EXPECT_LE(probe.threads.size(), static_cast<size_t>(workers));
    EXPECT_EQ(OurNumberOfProcessors(), workers);
    std::unique_ptr<AJob[]> perProcessor(OurAllocateJobs(&probe));
    EXPECT_EQ(perProcessor[workers - 1].index, workers - 1);
  }
}

// Clients submit, cancel, resubmit and wait on many graphs at once, some
// waiting for others. In the end every slice has run exactly once, none
// before the graph it waits for was done, and nothing hung.
TEST_F(JobQueueTest, StormsOfSubmitCancelWaitAndDependencies) {
  DebugSetNumberComputeThreads(4);
  std::atomic<int> failures{0};
  auto client = [&failures](unsigned seed) {
    std::mt19937 random(seed);
    auto chance = [&random](unsigned percent) { return random() % 100 < percent; };
    for (int round = 0; round < 400; ++round) {
      std::vector<std::unique_ptr<StormGraph>> graphs;
      for (int i = 0; i < 6; ++i) {
        AComputeTarget* dependsOn = i > 0 && chance(40) ? graphs[random() % i].get() : nullptr;
        const auto variables = static_cast<int32_t>(1 + round / 4 + random() % 8);
        CheckgVariablesSize(variables);
        graphs.push_back(std::make_unique<StormGraph>(1 + random() % 8, dependsOn, variables));
      }
      std::shuffle(graphs.begin(), graphs.end(), random);
      for (auto& graph : graphs) {
        if (chance(50))
          OurSubmitJobs(graph->jobs, graph->Slices());
        else
          for (int32_t i = 0; i < graph->Slices(); ++i) OurSubmitJob(&graph->jobs[i]);
      }
      for (auto& graph : graphs) {
        if (!chance(35)) continue;
        if (chance(50)) {
          // A pause of some work, not of some time, so the workers get on.
          volatile unsigned sink = 0;
          for (unsigned pause = random() % 20000; pause > 0; --pause) sink = sink + 1;
        }
        OurCancelJobs(graph.get());
        WaitForAll(graph->jobs, graph->Slices());
        for (int32_t i = 0; i < graph->Slices(); ++i) {
          if (graph->jobs[i].state.load() != kJobIdle) continue;
          if (graph->Runs(i) != 0) failures.fetch_add(1);
          OurSubmitJob(&graph->jobs[i]);
        }
      }
      for (auto& graph : graphs) {
        WaitForAll(graph->jobs, graph->Slices());
        if (graph->dependencyViolations.load() != 0) failures.fetch_add(1);
        for (int32_t i = 0; i < graph->Slices(); ++i) {
          if (graph->Runs(i) != 1) failures.fetch_add(1);
          if (graph->jobs[i].state.load() != StormGraph::ExpectedState(i)) failures.fetch_add(1);
        }
      }
    }
  };
  std::vector<std::thread> clients;
  for (unsigned seed = 1; seed <= 3; ++seed) clients.emplace_back(client, seed);
  for (std::thread& thread : clients) thread.join();
  EXPECT_EQ(failures.load(), 0);
}
