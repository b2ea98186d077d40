#include "tests/app/ApplicationFixture.h"
#include "tests/app/HandClock.h"
#include "tests/support/FileBytes.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"

// An animating or spinning window holds its memory: whatever a slider step
// or a spin frame makes, it frees or keeps within a bound reached in the
// first few. The program counts what is live for the whole process.

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {
// The sanitizer's allocator knows every live block, malloc's and new's.
size_t LiveAllocations() { return __sanitizer_get_current_allocated_bytes(); }
constexpr size_t kOnceAThread = 256;  // bytes
}  // namespace
#else
namespace {
std::atomic<int64_t> gLiveNews{0};
}  // namespace

void* operator new(size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  gLiveNews.fetch_add(1, std::memory_order_relaxed);
  return block;
}
void operator delete(void* block) noexcept {
  if (!block) return;
  gLiveNews.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }

namespace {
// Blocks of operator new. Malloc's own count of bytes in use takes in the
// blocks its thread caches hold, and drifts with them.
size_t LiveAllocations() { return size_t(gLiveNews.load()); }
constexpr size_t kOnceAThread = 4;  // blocks
}  // namespace
#endif

namespace {

using SteadyMemoryTest = WindowTest;

// A worker sets up its thread's state once, when the scheduler first hands
// it a kind of job, which may be after the tenth step: bounded by the thread
// count, not kept by a step. Anything a step or a frame kept would pass this
// a thousandfold.
size_t OncePerThread() { return kOnceAThread * (std::thread::hardware_concurrency() + 4); }

// The window at rest, measured: its graphs done, its idle asleep unless a
// view spins, and no wake-up or paint still on its way.
size_t SettledAllocations(DocumentMainWindow* window) {
  DocumentRecord* document = window->Document();
  EXPECT_TRUE(WaitFor([&] {
    return IsDocumentGraphDone(document) && (!window->IsIdleArmed() || document->fGraphPane->AreAnyGraphsSpinning());
  }));
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  return LiveAllocations();
}

// The welcome document animates its slider back and forth over 100 steps:
// step 1,010 stands where step 10 stood, going the same way.
TEST_F(SteadyMemoryTest, AThousandSliderStepsKeepNothing) {
  DocumentMainWindow* window = Open("welcome.zlf", Golden("../../examples/welcome.zlf"));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(window));
  DocumentRecord* document = window->Document();
  ASSERT_EQ(document->fContents.sliderSteps, 100);
  size_t afterTen = 0;
  document->fContents.animationRunning = true;
  window->WakeIdle();
  int32_t shown = document->fContents.sliderControlValue;
  for (int step = 1; step <= 1010; ++step) {
    ASSERT_TRUE(WaitFor([&] { return document->fContents.sliderControlValue != shown; }));
    shown = document->fContents.sliderControlValue;
    if (step != 10 && step != 1010) continue;
    document->fContents.animationRunning = false;
    const size_t live = SettledAllocations(window);
    if (step == 10) afterTen = live;
    document->fContents.animationRunning = true;
    window->WakeIdle();
  }
  document->fContents.animationRunning = false;
  EXPECT_LE(SettledAllocations(window), afterTen + OncePerThread());
}

// A surface, a sphere and a helix, turned a frame at a time on a clock the
// test steps.
TEST_F(SteadyMemoryTest, AThousandSpinFramesKeepNothing) {
  DocumentMainWindow* window = Open("spin.zlf",
                                    "Zentrolabworksheet 4;\nExpr z = x*y;\nExpr x^2+y^2+z^2=1;\n"
                                    "Expr vector(cos(t),sin(t),t/4-1.5);\n");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(window));
  ASSERT_TRUE(window->Document()->fGraphPane->AreAnyGraphsSpinning());
  HandClock clock(1000000);
  size_t afterTen = 0;
  for (int frame = 1; frame <= 1000; ++frame) {
    clock.Set(clock.Now() + 1000000 / 30);  // a frame due at any refresh rate from 30 up
    window->RunIdle();
    QCoreApplication::processEvents();
    if (frame == 10) afterTen = SettledAllocations(window);
  }
  EXPECT_LE(SettledAllocations(window), afterTen + OncePerThread());
}

}  // namespace
