#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "CoreUtilities/memory/BudgetAllocator.h"
#include "graphpane/AGraph.h"

// The graphs of a view in the order they were added, owned; a graph's index
// is the number the pane addresses it by. The list grows as the memory
// budget grants, like the graphs' own blocks: a graph it can't take is
// destroyed.
class GraphList {
  using Owned = std::vector<std::unique_ptr<AGraph>, BudgetAllocator<std::unique_ptr<AGraph>>>;

 public:
  // The graphs as the kind their view keeps, which whoever adds them
  // vouches for.
  template <typename Kind>
  class Of {
   public:
    class Iterator {
     public:
      using iterator_category = std::forward_iterator_tag;
      using value_type = Kind*;
      using difference_type = std::ptrdiff_t;
      using pointer = Kind**;
      using reference = Kind*;

      Iterator() = default;
      explicit Iterator(typename Owned::const_iterator at) : fAt(at) {}
      Kind* operator*() const { return static_cast<Kind*>(fAt->get()); }
      Iterator& operator++() {
        ++fAt;
        return *this;
      }
      Iterator operator++(int) {
        Iterator before = *this;
        ++fAt;
        return before;
      }
      bool operator==(const Iterator& other) const { return fAt == other.fAt; }

     private:
      typename Owned::const_iterator fAt;
    };

    explicit Of(const Owned& graphs) : fGraphs(graphs) {}
    Iterator begin() const { return Iterator(fGraphs.begin()); }
    Iterator end() const { return Iterator(fGraphs.end()); }

   private:
    const Owned& fGraphs;
  };

  GraphList() = default;
  GraphList(const GraphList&) = delete;
  GraphList& operator=(const GraphList&) = delete;
  ~GraphList() { Clear(); }

  int32_t Count() const { return static_cast<int32_t>(fGraphs.size()); }
  bool Empty() const { return fGraphs.empty(); }
  // Null outside the list.
  AGraph* At(int32_t index) const {
    return index >= 0 && index < Count() ? fGraphs[static_cast<size_t>(index)].get() : nullptr;
  }
  template <typename Kind>
  Kind* As(int32_t index) const {
    return static_cast<Kind*>(At(index));
  }
  template <typename Kind>
  Of<Kind> All() const {
    return Of<Kind>(fGraphs);
  }

  void Add(std::unique_ptr<AGraph> graph) {
    if (fTakesGraphs && RoomForOneMore(fGraphs)) fGraphs.push_back(std::move(graph));
  }
  // First to last, as the pane's erase expects; each graph stops its jobs as
  // it goes, while the later ones are still listed.
  void Clear() {
    for (std::unique_ptr<AGraph>& graph : fGraphs) graph.reset();
    fGraphs.clear();
  }
  // From now on every graph offered is destroyed: a view that keeps none.
  void TakeNone() { fTakesGraphs = false; }

 private:
  Owned fGraphs;
  bool fTakesGraphs = true;
};
