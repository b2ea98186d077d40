#include "CoreUtilities/memory/StackSpace.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t kStackSize = 256 * 1024;
constexpr size_t kReserve = 32768;

// Filled in on the small-stack thread, read after it is joined.
struct Probe {
  unsigned char* stackLowest;
  uintptr_t frameAtStart;
  size_t roomAtStart, roomBeforeLastLevel, roomWhenExhausted;
  bool roomyRequestAtStart, oversizedRequestAtStart, errorQueued;
  int depth, recursionCheck;
};

__attribute__((noinline)) void Descend(Probe& probe, size_t roomAbove) {
  volatile unsigned char frame[700];
  frame[0] = static_cast<unsigned char>(probe.depth);
  if (!OurStackSpace(0)) {
    probe.roomBeforeLastLevel = roomAbove;
    probe.roomWhenExhausted = StackBytesRemaining();
    probe.recursionCheck = MATH_MemCheckInRecursion();
    probe.errorQueued = IsDeferredErrorWaiting();
    return;
  }
  ++probe.depth;
  Descend(probe, StackBytesRemaining());
  frame[1] = frame[0];  // keeps the call from becoming a jump
}

void* RunProbe(void* argument) {
  auto& probe = *static_cast<Probe*>(argument);
  probe.frameAtStart = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  probe.roomAtStart = StackBytesRemaining();
  probe.roomyRequestAtStart = OurStackSpace(100 * 1024);
  probe.oversizedRequestAtStart = OurStackSpace(kStackSize);
  Descend(probe, probe.roomAtStart);
  return nullptr;
}

TEST(StackSpace, MainThreadHasRoomButNotForAbsurdRequests) {
  EXPECT_TRUE(OurStackSpace(0));
  EXPECT_TRUE(OurStackSpace(64 * 1024));
  EXPECT_FALSE(OurStackSpace(SIZE_MAX));
  EXPECT_FALSE(OurStackSpace(static_cast<size_t>(-8)));  // a negative count
}

TEST(StackSpace, DeepRecursionOnASmallStackStopsAtTheReserve) {
  ResetDeferredErrors();
  Probe probe{};
  // Our own stack memory, so that its lowest address is known independently.
  probe.stackLowest = static_cast<unsigned char*>(std::aligned_alloc(4096, kStackSize));
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstack(&attributes, probe.stackLowest, kStackSize), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attributes, RunProbe, &probe), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  std::free(probe.stackLowest);

  const auto lowest = reinterpret_cast<uintptr_t>(probe.stackLowest);
  EXPECT_NEAR(double(probe.roomAtStart), double(probe.frameAtStart - lowest), 512.0);
  EXPECT_TRUE(probe.roomyRequestAtStart);
  EXPECT_FALSE(probe.oversizedRequestAtStart);
  EXPECT_GT(probe.depth, 100);  // 700-byte frames in about 200 KB
  EXPECT_LE(probe.roomWhenExhausted, kReserve);
  EXPECT_GT(probe.roomBeforeLastLevel, kReserve);
  EXPECT_LT(probe.roomBeforeLastLevel - probe.roomWhenExhausted, 4096u);  // one frame
  EXPECT_EQ(probe.recursionCheck, 1);
  EXPECT_EQ(gMathError, 1);
  EXPECT_FALSE(probe.errorQueued);  // a stack shortage is not reported
  gMathError = 0;
}

}  // namespace
