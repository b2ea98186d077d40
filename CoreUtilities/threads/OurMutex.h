#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// The only synchronisation types the rest of the system uses.

class OurMutex {
 public:
  OurMutex() = default;
  OurMutex(const OurMutex&) = delete;
  OurMutex& operator=(const OurMutex&) = delete;

  void Lock() { fMutex.lock(); }
  void Unlock() { fMutex.unlock(); }
  std::mutex& Platform() { return fMutex; }

 private:
  std::mutex fMutex;
};

// Scoped: locks in the constructor, unlocks in the destructor.
class OurLock {
 public:
  explicit OurLock(OurMutex& mutex) : fLock(mutex.Platform()) {}
  OurLock(const OurLock&) = delete;
  OurLock& operator=(const OurLock&) = delete;

  std::unique_lock<std::mutex>& Platform() { return fLock; }

 private:
  std::unique_lock<std::mutex> fLock;
};

class OurConditionVariable {
 public:
  OurConditionVariable() = default;
  OurConditionVariable(const OurConditionVariable&) = delete;
  OurConditionVariable& operator=(const OurConditionVariable&) = delete;

  template <typename Predicate>
  void Wait(OurLock& lock, Predicate done) {
    fCondition.wait(lock.Platform(), done);
  }
  // False when the time ran out with the predicate still false.
  template <typename Predicate>
  bool WaitFor(OurLock& lock, std::chrono::nanoseconds limit, Predicate done) {
    return fCondition.wait_for(lock.Platform(), limit, done);
  }
  void Broadcast() { fCondition.notify_all(); }

 private:
  std::condition_variable fCondition;
};

// Stores before it become visible to other processors before stores after
// it; issued before a flag or count is published.
inline void OurWriteBarrier() { std::atomic_thread_fence(std::memory_order_release); }
