#include "CoreUtilities/memory/AListGenericLarge.h"

#include "tests/CoreUtilities/BudgetRoom.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Vertex {
  double x, y, z;
  int32_t level;
  bool operator==(const Vertex&) const = default;
};

bool SameVertices(const AListGenericLarge<Vertex, 6>& list, const std::vector<Vertex>& reference) {
  if (list.Count() != int32_t(reference.size())) return false;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (!(list[i] == reference[i])) return false;
  return true;
}

int64_t Total() { return gApproximateTotalMemoryUsed.load(); }

TEST(AListGenericLarge, SixtyFifthRecordStartsTheSecondChunkAndNothingMoves) {
  AListGenericLarge<Vertex, 6> list;
  list.Add({0, 0, 0, 0});
  const int64_t oneChunk = Total();
  for (int i = 1; i < 64; ++i) list.Add({double(i), 0, 0, i});
  EXPECT_EQ(Total(), oneChunk);
  EXPECT_EQ(&list[63], &list[0] + 63);
  list.Add({64, 0, 0, 64});
  EXPECT_GT(Total(), oneChunk);
  EXPECT_TRUE(&list[64] < &list[0] || &list[64] >= &list[0] + 64);

  const Vertex* fifth = &list[5];
  for (int i = 65; i < 64 * 40; ++i) list.Add({double(i), 0, 0, i});  // the table grows twice
  EXPECT_EQ(&list[5], fifth);
  EXPECT_EQ(fifth->level, 5);
  EXPECT_EQ(list.At(64 * 40 - 1)->level, 64 * 40 - 1);
  EXPECT_EQ(list.At(64 * 40), nullptr);
  EXPECT_EQ(list.At(-3), nullptr);
}

TEST(AListGenericLarge, RandomAppendsAndClonesMatchAVector) {
  const int64_t start = Total();
  {
    AListGenericLarge<Vertex, 6> list;
    std::vector<Vertex> reference;
    std::mt19937 random(5);
    for (int step = 0; step < 300'000; ++step) {
      const unsigned choice = random() % 10'000;
      if (choice < 9'990) {
        const Vertex v{double(random()) / 512, double(step), -1.0 / (step + 1), int32_t(random())};
        ASSERT_EQ(list.Add(v), 0);
        reference.push_back(v);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(&list[list.Count() - 1]) % alignof(Vertex), 0u);
      } else if (choice < 9'998) {
        auto copy = list.Clone();
        ASSERT_TRUE(copy && SameVertices(*copy, reference)) << step;
        ASSERT_EQ(copy->Add({1, 2, 3, 4}), 0);
        if (list.Count() > 0) copy->At(0)->x = -7;
        ASSERT_TRUE(SameVertices(list, reference)) << step;
      } else {
        list.RemoveAllElements();
        reference.clear();
      }
    }
    ASSERT_TRUE(SameVertices(list, reference));
  }
  EXPECT_EQ(Total(), start);
}

TEST(AListGenericLarge, RefusalsLeaveTheListAsItWas) {
  AListGenericLarge<char, 10> list;  // 1,024-byte chunks
  {
    BudgetRoom room(512);
    EXPECT_EQ(list.Add('x'), 1);
    EXPECT_EQ(list.Count(), 0);
  }
  for (int i = 0; i < 16 * 1024; ++i) list.Add(char(i));
  {
    BudgetRoom room(1100);  // the 17th chunk fits, the doubled table does not
    EXPECT_EQ(list.Add('y'), 1);
    EXPECT_EQ(list.Count(), 16 * 1024);
    room.Leave(300);  // the chunk was kept: room for the table alone suffices
    EXPECT_EQ(list.Add('y'), 0);
    EXPECT_EQ(list.Add('z'), 0);
  }
  EXPECT_EQ(list[16 * 1024], 'y');
  for (int i = 0; i < 16 * 1024; ++i) ASSERT_EQ(list[i], char(i));

  const int64_t beforeClone = Total();
  {
    BudgetRoom room(4 * 1024);  // the table and a few chunks, not all 17
    EXPECT_EQ(list.Clone(), nullptr);
  }
  EXPECT_EQ(Total(), beforeClone);
  EXPECT_EQ(list.Count(), 16 * 1024 + 2);
  EXPECT_EQ((AListGenericLarge<char, 10>().Clone()->Count()), 0);
}

}  // namespace
