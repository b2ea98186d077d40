#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Ends the test program with a failure when a test has not finished in
// time: a hang must fail, never stall the suite. Limits are generous, as
// machines here are shared and sanitizers slow.
class Watchdog {
 public:
  explicit Watchdog(std::string what, std::chrono::seconds limit = std::chrono::seconds(60)) : fLimit(limit) {
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
      std::fprintf(stderr, "watchdog: %s did not finish in time\n", fWhat.c_str());
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

// Polls until the condition holds; false when it did not within the limit.
template <typename Condition>
bool EventuallyTrue(Condition condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
