#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/HangLimit.h"

// Ends the test program with a failure when a test has not finished within
// the hang limit: a hang must fail, never stall the suite. A shorter limit
// asked for is raised to it.
class Watchdog {
 public:
  explicit Watchdog(std::string what, std::chrono::seconds limit = kHangLimit) : fLimit(std::max(limit, kHangLimit)) {
    Arm(std::move(what));
    fThread = std::thread([this] { Watch(); });
  }
  // Restarts the clock for the next piece of work, named in the failure.
  void Arm(std::string what) {
    std::lock_guard lock(fMutex);
    fWhat = std::move(what);
    fDeadline = std::chrono::steady_clock::now() + fLimit;
  }
  ~Watchdog() {
    {
      std::lock_guard lock(fMutex);
      fDone = true;
    }
    fCondition.notify_all();
    fThread.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void Watch() {
    std::unique_lock lock(fMutex);
    while (!fDone) {
      fCondition.wait_until(lock, fDeadline);
      if (fDone || std::chrono::steady_clock::now() < fDeadline) continue;
      std::fprintf(stderr, "watchdog: %s hung (not finished within %lld s)\n", fWhat.c_str(),
                   static_cast<long long>(fLimit.count()));
      std::fflush(stderr);
      std::_Exit(1);
    }
  }

  const std::chrono::seconds fLimit;
  std::mutex fMutex;
  std::condition_variable fCondition;
  std::string fWhat;
  std::chrono::steady_clock::time_point fDeadline;
  bool fDone = false;
  std::thread fThread;
};

// A one-way gate that threads wait at until it opens.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard lock(fMutex);
      fOpen = true;
    }
    fCondition.notify_all();
  }
  void Wait() {
    std::unique_lock lock(fMutex);
    fCondition.wait(lock, [this] { return fOpen; });
  }

 private:
  std::mutex fMutex;
  std::condition_variable fCondition;
  bool fOpen = false;
};

// Waits until the condition holds, looking again after every brief pause;
// false only when it did not within the hang limit, which a failing test
// reports as a hang.
template <typename Condition>
bool EventuallyTrue(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + kHangLimit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Waits for an event the product signals only by a flag: a wait past the
// hang limit ends the test program as hung, as the watchdog would.
template <typename Condition>
void WaitUntil(const char* what, Condition condition) {
  if (EventuallyTrue(condition)) return;
  std::fprintf(stderr, "hang: %s did not happen within %lld s\n", what, static_cast<long long>(kHangLimit.count()));
  std::fflush(stderr);
  std::_Exit(1);
}

// A graph's computation finished (anything with IsDoneComputing).
template <typename Graph>
void WaitUntilDone(Graph& graph) {
  WaitUntil("a graph done computing", [&] { return graph.IsDoneComputing(); });
}
