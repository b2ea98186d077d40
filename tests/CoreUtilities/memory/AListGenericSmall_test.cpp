#include "CoreUtilities/memory/AListGenericSmall.h"

#include "tests/CoreUtilities/BudgetRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Row {
  double value;
  int32_t id;
  bool operator==(const Row&) const = default;
};

bool SameRows(const AListGenericSmall<Row>& list, const std::vector<Row>& reference) {
  return list.Count() == int32_t(reference.size()) && std::equal(list.begin(), list.end(), reference.begin());
}

TEST(AListGenericSmall, RandomAddsAndInsertsMatchAVector) {
  const int64_t start = gApproximateTotalMemoryUsed;
  {
    AListGenericSmall<Row> list;
    std::vector<Row> reference;
    std::mt19937 random(11);
    for (int step = 0; step < 200'000; ++step) {
      const Row row{double(random()) / 128, step};
      const unsigned choice = random() % 100;
      const auto count = int32_t(reference.size());
      if (choice < 45) {
        ASSERT_EQ(list.Add(row), 0);
        reference.push_back(row);
      } else if (choice < 90) {
        const auto position = int32_t(random() % (count + 1));
        ASSERT_EQ(list.Insert(row, position), 0);
        reference.insert(reference.begin() + position, row);
      } else if (choice < 99) {
        for (int32_t bad : {-1, count + 1, INT32_MIN, INT32_MAX}) ASSERT_EQ(list.Insert(row, bad), 1);
        ASSERT_EQ(list.At(count), nullptr);
        ASSERT_EQ(list.At(-1), nullptr);
      }
      if (choice == 99 || count > 3000) {
        list.RemoveAllElements();
        reference.clear();
      }
      if (step % 1000 == 0) {
        ASSERT_TRUE(SameRows(list, reference)) << step;
      }
    }
    ASSERT_TRUE(SameRows(list, reference));
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed, start);
}

TEST(AListGenericSmall, RefusedGrowthLeavesTheListAsItWas) {
  AListGenericSmall<Row> list;
  std::vector<Row> reference;
  for (int i = 0; i < 16; ++i) {
    reference.push_back({i * 0.5, i});
    list.Add(reference.back());
  }
  const int64_t total = gApproximateTotalMemoryUsed;
  {
    BudgetRoom room(32 * sizeof(Row) - 3);  // a byte short of the doubled array
    EXPECT_EQ(list.Add({99.0, 99}), 1);
    EXPECT_EQ(list.Insert({98.0, 98}, 3), 1);
  }
  EXPECT_EQ(list.Capacity(), 16);
  EXPECT_TRUE(SameRows(list, reference));
  EXPECT_EQ(gApproximateTotalMemoryUsed, total);
  EXPECT_EQ(list.Insert({98.0, 98}, 3), 0);
}

}  // namespace
