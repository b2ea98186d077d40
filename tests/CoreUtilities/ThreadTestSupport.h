#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test program with a failure when a test has not finished in
// time: a hang must fail, never stall the suite. Limits are generous, as
// machines here are shared and sanitizers slow.
class Watchdog {
 public:
  explicit Watchdog(const char* what, std::chrono::seconds limit = std::chrono::seconds(60))
      : fThread([this, what, limit] {
          std::unique_lock lock(fMutex);
          if (!fCondition.wait_for(lock, limit, [this] { return fDone; })) {
            std::fprintf(stderr, "watchdog: %s did not finish in time\n", what);
            std::fflush(stderr);
            std::_Exit(1);
          }
        }) {}
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
  std::mutex fMutex;
  std::condition_variable fCondition;
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
