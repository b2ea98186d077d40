#include "CoreUtilities/threads/JobQueue.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Our job queue against the plainest pool one would write with std::thread:
// throughput of empty jobs, submit-to-start latency, and the speed-up of
// 8 graphs x 8 slices of fixed work, for 1, 2, 4 and 8 workers.

namespace {

using Clock = std::chrono::steady_clock;

double FixedWork() {
  double sum = 0;
  for (int i = 1; i < 40000; ++i) sum += std::sqrt(static_cast<double>(i)) * 1e-9;
  return sum;
}

class BaselinePool {
 public:
  struct Task {
    void (*run)(void*);
    void* argument;
  };

  explicit BaselinePool(int workers) {
    for (int i = 0; i < workers; ++i) fThreads.emplace_back([this] { Serve(); });
  }
  ~BaselinePool() {
    {
      std::lock_guard lock(fMutex);
      fStop = true;
    }
    fCondition.notify_all();
    for (std::thread& thread : fThreads) thread.join();
  }

  void Submit(const Task* tasks, size_t count) {
    {
      std::lock_guard lock(fMutex);
      fTasks.insert(fTasks.end(), tasks, tasks + count);
    }
    fCondition.notify_all();
  }

 private:
  void Serve() {
    for (;;) {
      Task task;
      {
        std::unique_lock lock(fMutex);
        fCondition.wait(lock, [this] { return fStop || !fTasks.empty(); });
        if (fStop) return;
        task = fTasks.front();
        fTasks.pop_front();
      }
      task.run(task.argument);
    }
  }

  std::mutex fMutex;
  std::condition_variable fCondition;
  std::deque<Task> fTasks;
  bool fStop = false;
  std::vector<std::thread> fThreads;
};

// Counts finished tasks of the baseline and lets the submitter wait for all.
class Latch {
 public:
  void Reset(int count) {
    std::lock_guard lock(fMutex);
    fLeft = count;
  }
  void CountDown() {
    std::lock_guard lock(fMutex);
    if (--fLeft == 0) fCondition.notify_all();
  }
  void Wait() {
    std::unique_lock lock(fMutex);
    fCondition.wait(lock, [this] { return fLeft == 0; });
  }

 private:
  std::mutex fMutex;
  std::condition_variable fCondition;
  int fLeft = 0;
};

class BenchGraph : public AComputeTarget {
 public:
  bool heavy = false;
  std::atomic<int64_t> startedAt{0};

  int32_t Compute(int32_t) override {
    startedAt.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    if (heavy) benchmark::DoNotOptimize(FixedWork());
    return kJobFinished;
  }
  bool IsDoneComputing() override { return true; }
};

// Shared by all tasks of one baseline run.
struct BaselineWork {
  explicit BaselineWork(bool isHeavy) : heavy(isHeavy) {}
  const bool heavy;
  Latch latch;
  std::atomic<int64_t> startedAt{0};
};

void RunBaselineWork(void* argument) {
  auto* work = static_cast<BaselineWork*>(argument);
  work->startedAt.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
  if (work->heavy) benchmark::DoNotOptimize(FixedWork());
  work->latch.CountDown();
}

constexpr int32_t kBatch = 1000;

class OurPool {
 public:
  explicit OurPool(int workers) {
    StartComputeThreads();
    DebugSetNumberComputeThreads(workers);
  }
  ~OurPool() { StopComputeThreads(); }
};

void BM_OurJobsPerSecond(benchmark::State& state) {
  OurPool pool(static_cast<int>(state.range(0)));
  BenchGraph graph;
  std::unique_ptr<AJob[]> jobs(OurAllocateJobs(&graph, kBatch));
  for (auto _ : state) {
    OurSubmitJobs(jobs.get(), kBatch);
    for (int32_t i = 0; i < kBatch; ++i) OurWaitforJobToFinish(&jobs[i]);
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_BaselineJobsPerSecond(benchmark::State& state) {
  BaselinePool pool(static_cast<int>(state.range(0)));
  BaselineWork work(false);
  const std::vector<BaselinePool::Task> tasks(kBatch, {RunBaselineWork, &work});
  for (auto _ : state) {
    work.latch.Reset(kBatch);
    pool.Submit(tasks.data(), tasks.size());
    work.latch.Wait();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void SetLatency(benchmark::State& state, Clock::time_point submitted, int64_t startedAt) {
  const auto started = Clock::time_point(Clock::duration(startedAt));
  state.SetIterationTime(std::chrono::duration<double>(started - submitted).count());
}

void BM_OurSubmitToStart(benchmark::State& state) {
  OurPool pool(static_cast<int>(state.range(0)));
  BenchGraph graph;
  std::unique_ptr<AJob[]> job(OurAllocateJobs(&graph, 1));
  for (auto _ : state) {
    const auto submitted = Clock::now();
    OurSubmitJob(job.get());
    OurWaitforJobToFinish(job.get());
    SetLatency(state, submitted, graph.startedAt.load());
  }
}

void BM_BaselineSubmitToStart(benchmark::State& state) {
  BaselinePool pool(static_cast<int>(state.range(0)));
  BaselineWork work(false);
  const BaselinePool::Task task{RunBaselineWork, &work};
  for (auto _ : state) {
    work.latch.Reset(1);
    const auto submitted = Clock::now();
    pool.Submit(&task, 1);
    work.latch.Wait();
    SetLatency(state, submitted, work.startedAt.load());
  }
}

constexpr int kGraphs = 8;
constexpr int32_t kSlices = 8;

void BM_OurEightGraphsOfEightSlices(benchmark::State& state) {
  OurPool pool(static_cast<int>(state.range(0)));
  std::vector<std::unique_ptr<BenchGraph>> graphs;
  std::vector<std::unique_ptr<AJob[]>> jobs;
  for (int g = 0; g < kGraphs; ++g) {
    graphs.push_back(std::make_unique<BenchGraph>());
    graphs.back()->heavy = true;
    jobs.emplace_back(OurAllocateJobs(graphs.back().get(), kSlices));
  }
  for (auto _ : state) {
    for (auto& graphJobs : jobs) OurSubmitJobs(graphJobs.get(), kSlices);
    for (auto& graphJobs : jobs)
      for (int32_t i = 0; i < kSlices; ++i) OurWaitforJobToFinish(&graphJobs[i]);
  }
}

void BM_BaselineEightGraphsOfEightSlices(benchmark::State& state) {
  BaselinePool pool(static_cast<int>(state.range(0)));
  BaselineWork work(true);
  const std::vector<BaselinePool::Task> slices(kSlices, {RunBaselineWork, &work});
  for (auto _ : state) {
    work.latch.Reset(kGraphs * kSlices);
    for (int g = 0; g < kGraphs; ++g) pool.Submit(slices.data(), slices.size());
    work.latch.Wait();
  }
}

}  // namespace

BENCHMARK(BM_OurJobsPerSecond)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();
BENCHMARK(BM_BaselineJobsPerSecond)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();
BENCHMARK(BM_OurSubmitToStart)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseManualTime();
BENCHMARK(BM_BaselineSubmitToStart)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseManualTime();
BENCHMARK(BM_OurEightGraphsOfEightSlices)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineEightGraphsOfEightSlices)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
