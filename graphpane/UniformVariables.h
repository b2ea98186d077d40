#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/memory/BudgetAllocator.h"
#include "evaluation/AnExpression.h"

// The compiled document constants a fragment program reads as parameters,
// in parameter order. Owns the expressions.
class UniformVariables {
 public:
  // Takes over the expression, which is destroyed when the list cannot grow.
  void Add(std::unique_ptr<AnExpression> expression) {
    if (RoomForOneMore(fExpressions)) fExpressions.push_back(std::move(expression));
  }
  int32_t Count() const { return static_cast<int32_t>(fExpressions.size()); }
  AnExpression* At(int32_t i) const { return fExpressions[static_cast<size_t>(i)].get(); }

 private:
  std::vector<std::unique_ptr<AnExpression>, BudgetAllocator<std::unique_ptr<AnExpression>>> fExpressions;
};
