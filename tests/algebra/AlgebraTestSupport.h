#pragma once

#include "algebra/AlgebraSwitches.h"
#include "algebra/WholeTreeSimplification.h"
#include "CoreUtilities/MemoryBudget.h"
#include "tests/expression/ParserTestSupport.h"

#include <string>

enum class Rewrite { kSimplify, kMultiplyOut, kKeepPowers, kNoOrdering };

// SimplifyExpr under the switches the rewrite names; the tree in place.
inline void RunRewrite(ExpressionRecord* tree, Rewrite rewrite) {
  ScopedAlgebraSwitch multiply(Math_Multiply_Out, rewrite == Rewrite::kMultiplyOut ? 1 : 0);
  ScopedAlgebraSwitch powers(gSimplifyPowers, rewrite == Rewrite::kKeepPowers ? 0 : 1);
  ScopedAlgebraSwitch order(gMathOrderTerms, rewrite == Rewrite::kNoOrdering ? 0 : 1);
  SimplifyExpr(tree);
}

// The written text of the rewritten formula.
inline std::string Rewritten(const std::string& text, Rewrite rewrite = Rewrite::kSimplify) {
  Tree tree = Parse(text);
  if (!tree) return "<unreadable>";
  RunRewrite(tree.get(), rewrite);
  return Written(tree.get());
}
