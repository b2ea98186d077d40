#pragma once

#include "algebra/AlgebraCommands.h"
#include "algebra/AlgebraSwitches.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/WholeTreeSimplification.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/AnExpression.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "tests/CoreUtilities/DataLines.h"
#include "tests/expression/ParserTestSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>
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

// A copy of the tree with the parameter a fixed, compiled in x and y.
inline std::unique_ptr<AnExpression> CompiledWithA(const ExpressionRecord* tree, double a) {
  ExpressionRecord* copy = Copy(tree);
  PostOrder(copy, [a](ExpressionRecord* n) {
    if (IsAtom(n, 'a')) Become(n, Number(a));
  });
  auto e = std::make_unique<AnExpression>(copy, nullptr);
  AnExpression::Compile(e.get());
  return e;
}

// The value with x, y and z put in as numbers.
inline double ValueAt(const ExpressionRecord* tree, double x, double y, double z = 0) {
  Tree copy(Copy(tree));
  PostOrder(copy.get(), [&](ExpressionRecord* n) {
    if (IsAtom(n, 'x')) Become(n, Number(x));
    if (IsAtom(n, 'y')) Become(n, Number(y));
    if (IsAtom(n, 'z')) Become(n, Number(z));
  });
  return ScalarExprEval(copy.get(), nullptr);
}

// Within the relative tolerance, or the absolute one below magnitude 1.
inline bool Near(double ours, double reference, double tolerance = 1e-9) {
  return std::abs(ours - reference) <= tolerance * std::max(1.0, std::abs(reference));
}

// The outcome of one command code on a parsed formula.
struct CommandRun {
  std::string formula;
  std::string selected;
  MathIPType caret;
};

// A record on the tree with the first node written as `select` selected
// (the root when empty) and the given caret.
inline MERecord RecordOn(ExpressionRecord* root, const std::string& select = "", MathIPType caret = kIPWholeNode,
                         int32_t start = 0, int32_t end = 0) {
  MERecord record{};
  record.root = root;
  record.selected = root;
  for (ExpressionRecord* n = root; n && !select.empty(); n = NextTopDownWithin(n, root)) {
    if (Written(n) == select) {
      record.selected = n;
      break;
    }
  }
  record.caretType = caret;
  record.rangeStart = start;
  record.rangeEnd = end;
  return record;
}

// Runs the code on the parsed formula, selected and with the caret as
// RecordOn puts them.
inline CommandRun RunCode(int32_t code, const std::string& text, const std::string& select = "",
                          MathIPType caret = kIPWholeNode, int32_t start = 0, int32_t end = 0) {
  Tree tree = Parse(text);
  if (!tree) return {"<unreadable>", "", caret};
  MERecord record = RecordOn(tree.get(), select, caret, start, end);
  RunAlgebraCommand(&record, code);
  return {Written(record.root), Written(record.selected), record.caretType};
}
