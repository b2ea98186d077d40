#pragma once

#include <cstdint>

#include "CoreUtilities/AListGenericSmall.h"
#include "evaluation/AnExpression.h"

// The compiled document constants a fragment program reads as parameters,
// in parameter order. Owns the expressions.
class UniformVariables {
 public:
  UniformVariables() = default;
  ~UniformVariables() {
    for (int32_t i = 0; i < fExpressions.Count(); ++i) delete fExpressions[i];
  }
  UniformVariables(const UniformVariables&) = delete;
  UniformVariables& operator=(const UniformVariables&) = delete;

  // Takes over the expression; 1, with the expression deleted, when the
  // list cannot grow.
  int Add(AnExpression* expression) {
    if (fExpressions.Add(expression) == 0) return 0;
    delete expression;
    return 1;
  }
  int32_t Count() const { return fExpressions.Count(); }
  AnExpression* At(int32_t i) const { return fExpressions[i]; }

 private:
  AListGenericSmall<AnExpression*> fExpressions;
};
