#include "graphpane/GraphList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/graphpane/PlainGraph2D.h"

namespace {

// A graph that notes its number when it goes, and whether the graphs after
// it were still listed then.
class ListedGraph : public PlainGraph2D {
 public:
  struct Gone {
    int id;
    bool laterStillListed;
  };
  ListedGraph(int id, const GraphList* list, std::vector<Gone>* gone) : fId(id), fList(list), fGone(gone) {}
  ~ListedGraph() override {
    const int32_t count = fList->Count();
    bool later = true;
    for (int32_t i = fId + 1; i < count; ++i) later = later && fList->At(i) != nullptr;
    fGone->push_back({fId, later});
  }
  int fId;

 private:
  const GraphList* fList;
  std::vector<Gone>* fGone;
};

std::vector<int> Ids(const std::vector<ListedGraph::Gone>& gone) {
  std::vector<int> ids;
  for (const ListedGraph::Gone& g : gone) ids.push_back(g.id);
  return ids;
}

TEST(GraphList, KeepsTheOrderOfAddingAndHandsOutTheKindItHolds) {
  std::vector<ListedGraph::Gone> gone;
  GraphList list;
  EXPECT_TRUE(list.Empty());
  for (int id = 0; id < 3; ++id) list.Add(std::make_unique<ListedGraph>(id, &list, &gone));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_FALSE(list.Empty());
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(list.As<ListedGraph>(i)->fId, i);
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(list.At(3), nullptr);
  EXPECT_EQ(list.As<ListedGraph>(3), nullptr);
  std::vector<int> walked;
  for (ListedGraph* graph : list.All<ListedGraph>()) walked.push_back(graph->fId);
  EXPECT_EQ(walked, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(gone.empty());
}

// The list takes its room from the budget: refused, the graph offered is
// destroyed and the list stays as it was; with room it grows again. It
// deletes first to last, each graph while the later ones are listed, and
// gives its memory back.
TEST(GraphList, ARefusedGraphIsDestroyedAndEveryGraphGoesFirstToLast) {
  const int64_t before = gApproximateTotalMemoryUsed.load();
  std::vector<ListedGraph::Gone> gone;
  {
    GraphList list;
    for (int id = 0; id < 16; ++id) list.Add(std::make_unique<ListedGraph>(id, &list, &gone));
    {
      BudgetRoom none(0);
      list.Add(std::make_unique<ListedGraph>(99, &list, &gone));
    }
    EXPECT_EQ(Ids(gone), std::vector<int>{99});
    EXPECT_EQ(list.Count(), 16);
    gone.clear();
    list.Add(std::make_unique<ListedGraph>(16, &list, &gone));
    ASSERT_EQ(list.Count(), 17);
    EXPECT_EQ(list.As<ListedGraph>(16)->fId, 16);
    EXPECT_TRUE(gone.empty());
    list.Clear();
    EXPECT_TRUE(list.Empty());
    std::vector<int> order(17);
    for (int i = 0; i < 17; ++i) order[size_t(i)] = i;
    EXPECT_EQ(Ids(gone), order);
    for (const ListedGraph::Gone& g : gone) EXPECT_TRUE(g.laterStillListed) << g.id;
    gone.clear();
    list.Add(std::make_unique<ListedGraph>(0, &list, &gone));
  }
  EXPECT_EQ(Ids(gone), std::vector<int>{0});  // the list's own end deletes too
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

TEST(GraphList, AListThatTakesNoneDestroysEveryGraphOffered) {
  std::vector<ListedGraph::Gone> gone;
  GraphList list;
  list.TakeNone();
  list.Add(std::make_unique<ListedGraph>(1, &list, &gone));
  list.Add(std::make_unique<ListedGraph>(2, &list, &gone));
  EXPECT_EQ(Ids(gone), (std::vector<int>{1, 2}));
  EXPECT_TRUE(list.Empty());
}

}  // namespace
