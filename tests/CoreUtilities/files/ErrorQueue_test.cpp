#include "CoreUtilities/files/ErrorQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

class ErrorQueueTest : public testing::Test {
 protected:
  void SetUp() override { ResetDeferredErrors(); }
  void TearDown() override { ResetDeferredErrors(); }
};

TEST_F(ErrorQueueTest, LowestPendingIdWinsAndLoserKeepsNoBit) {
  QueueError(42);
  QueueError(36);
  EXPECT_EQ(TakeDeferredError(), 36);

  ResetDeferredErrors();
  QueueError(36);
  QueueError(42);  // dropped: its bit must stay clear
  EXPECT_EQ(TakeDeferredError(), 36);
  QueueError(42);
  EXPECT_EQ(TakeDeferredError(), 42);
}

TEST_F(ErrorQueueTest, ShownIdStaysSilentUntilReArmed) {
  QueueError(36);
  EXPECT_EQ(TakeDeferredError(), 36);
  QueueError(36);
  EXPECT_FALSE(IsDeferredErrorWaiting());
  EnableError(36);
  QueueError(36);
  EXPECT_TRUE(IsDeferredErrorWaiting());
  EXPECT_EQ(TakeDeferredError(), 36);
  EXPECT_EQ(TakeDeferredError(), 0);
}

TEST_F(ErrorQueueTest, IdsOutsideTheOnceOnlyRangeRepeatAndTouchNoBit) {
  for (int id : {1, 35, 68, 100, 5000}) {
    QueueError(id);
    EXPECT_EQ(TakeDeferredError(), id);
    QueueError(id);
    EXPECT_EQ(TakeDeferredError(), id) << id;
  }
  EnableError(-7);
  EnableError(1 << 30);
  for (int id = 36; id <= 67; ++id) {
    QueueError(id);
    EXPECT_EQ(TakeDeferredError(), id);
  }
}

TEST_F(ErrorQueueTest, ConcurrentQueuersLeaveTheLowestIdPending) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 2000; ++i) QueueError(67 - (i + t) % 31);
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(TakeDeferredError(), 37);
  EXPECT_FALSE(IsDeferredErrorWaiting());
}
