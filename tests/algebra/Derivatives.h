#pragma once

#include <memory>
#include <string>

#include "algebra/Differentiation.h"
#include "evaluation/AnExpression.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "tests/expression/ParserTestSupport.h"

// The derivatives in x a formula is taken through.

// The command's, simplified; null where the text does not read.
inline Tree SimplifiedDerivative(const std::string& text) {
  Tree derivative = Parse("function(oppartial(x)," + text + ")");
  if (derivative) DifferentiateAndSimplify(derivative.get());
  return derivative;
}

// The formula's, left unsimplified.
inline Tree UnsimplifiedDerivative(const ExpressionRecord* formula) {
  Tree derivative(Partial(Copy(formula), Atomic('x')));
  MATH_DifferentiateExprWithoutSimplifying(derivative.get());
  return derivative;
}

// The compiled expression's; null where it makes none.
inline std::unique_ptr<AnExpression> CompiledDerivative(const ExpressionRecord* formula) {
  const AnExpression f(Copy(formula), nullptr);
  return std::unique_ptr<AnExpression>(f.CreateDerivativeExpr('x'));
}
