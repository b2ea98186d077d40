#pragma once

#include <cstdint>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// How the expansion turns a document's equations into what is graphed and
// computed. Everything here works on the caller's own trees; no editor
// global is touched, so it runs on an expansion thread.

// A definition stops being applied after this many passes: one that reaches
// itself (a = a + 1, f and g through each other) would grow for ever.
inline constexpr int32_t kMaxDefinitionPasses = 32;

// The definition equations the others are rewritten by.
class DefinitionRules {
 public:
  DefinitionRules() = default;
  DefinitionRules(const DefinitionRules&) = delete;
  DefinitionRules& operator=(const DefinitionRules&) = delete;
  ~DefinitionRules();

  // Adds the equation as a rule when it defines a name or a function (not a
  // point, a slider or a subscripted coordinate): a copy whose function
  // parameters are placeholders. True when it was added.
  bool Add(const ExpressionRecord* equation);
  const ExpressionRecord* const* Rules() const { return fRules.data(); }
  int32_t Count() const { return static_cast<int32_t>(fRules.size()); }

 private:
  std::vector<ExpressionRecord*> fRules;
};

// True for an equation the rules are made of.
bool IsExpandableDefinition(const ExpressionRecord* equation);
// A function definition as a rule: the parameters of its left side (and
// their uses) become placeholders. A copy; null when memory ran out.
ExpressionRecord* DefinitionRule(const ExpressionRecord* equation);

// Applies the rules pass after pass until nothing changes: a definition is
// rewritten on its right side only. False, the tree as it was, when the
// passes did not settle within kMaxDefinitionPasses or memory ran out.
bool ApplyDefinitions(ExpressionRecord* tree, const DefinitionRules& rules);

// A formula holding a derivative gets it worked out now that the
// definitions are in it.
void ComputeExpandedExprs(ExpressionRecord* tree);

// Hats, matrix algebra, rectangular forms, series substitutions,
// differentiation, integrals by Simpson's rule, colour equations and the
// folding of constant parts, in that order.
void ApplyAlgebraicTransformationsToExpandedExpr(ExpressionRecord* tree, DocumentRecord* document);
