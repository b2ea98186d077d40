#pragma once

#include <type_traits>
#include <utility>

#include "graphpane/AGraph.h"

// A graph of kind `Base` that is always done and draws nothing; a test adds
// what it watches.
template <typename Base>
class FinishedGraph : public Base {
 public:
  int32_t Compute(int32_t) override { return kComputeFinished; }
  bool IsDoneComputing() override { return true; }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t) override {}
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override {}
  // 3-D graphs say whether they drew; the others don't.
  auto Draw() -> decltype(std::declval<Base&>().Draw()) override {
    if constexpr (!std::is_void_v<decltype(std::declval<Base&>().Draw())>) return true;
  }
};

// A graph in space also has a size.
template <typename Base>
class FinishedSpaceGraph : public FinishedGraph<Base> {
 public:
  double MaximumModelSpaceRadius() override { return 1; }
};
