#include "document/EquationExpansion.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "algebra/AlgebraSwitches.h"
#include "algebra/DefinitionMatching.h"
#include "algebra/Differentiation.h"
#include "algebra/EvaluationCommands.h"
#include "algebra/MatrixAlgebra.h"
#include "algebra/RectangularForm.h"
#include "algebra/RewriteHelpers.h"
#include "algebra/SimpsonsRule.h"
#include "algebra/Substitution.h"
#include "expression/OwnedTree.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "graphpane/EquationDefinitions.h"

namespace {

// At most this many rounds of differentiation and matrix algebra while a
// matrix is left.
constexpr int32_t kMatrixRounds = 11;

bool IsTwoSided(const ExpressionRecord* tree) { return tree && tree->opcode == kOpEquals && tree->operandCount == 2; }

void ApplyMatrixAlgebra(ExpressionRecord* tree, DocumentRecord* document) { MENU_MatrixAlgebraRecurse(tree, document); }

}  // namespace

DefinitionRules::~DefinitionRules() {
  for (ExpressionRecord* rule : fRules) DisposExpr(rule);
}

bool DefinitionRules::Add(const ExpressionRecord* equation) {
  if (!IsExpandableDefinition(equation)) return false;
  ExpressionRecord* rule = DefinitionRule(equation);
  if (!rule) return false;
  fRules.push_back(rule);
  return true;
}

bool IsExpandableDefinition(const ExpressionRecord* equation) {
  return IsExprDefinition(equation) && !IsExprPointPlot(equation) && !IsExprGraphableDefinition(equation) &&
         equation->operands[1]->opcode != kOpSlider;
}

ExpressionRecord* DefinitionRule(const ExpressionRecord* equation) {
  ExpressionRecord* rule = Copy(equation);
  if (!rule) return nullptr;
  const ExpressionRecord* left = rule->operands[0];
  if (left->opcode != kOpFunction) return rule;
  std::vector<int32_t> parameters;
  for (int i = 1; i < left->operandCount; ++i)
    if (left->operands[i]->opcode == kOpAtom) parameters.push_back(left->operands[i]->payload.id);
  PostOrder(rule, [&](ExpressionRecord* n) {
    if (n->opcode != kOpAtom) return;
    for (int32_t id : parameters)
      if (n->payload.id == id) {
        Become(n, Dummy(id));
        return;
      }
  });
  return rule;
}

bool ApplyDefinitions(ExpressionRecord* tree, const DefinitionRules& rules) {
  if (!tree || rules.Count() == 0) return true;
  ExpressionRecord* target = IsExprDefinition(tree) ? tree->operands[1] : tree;
  Tree original(Copy(target));
  if (!original) return false;
  bool settled = false;
  for (int32_t pass = 0; pass < kMaxDefinitionPasses && gMathError == 0; ++pass) {
    if (!MATCH_ApplyDefinitionsOnce(target, rules.Rules(), rules.Count())) {
      settled = true;
      break;
    }
  }
  if (!settled || gMathError != 0) {
    Become(target, original.release());
    return false;
  }
  return true;
}

void ComputeExpandedExprs(ExpressionRecord* tree) {
  if (!tree || !ContainsDerivative(tree)) return;
  gMathExpandingDefinitions = 1;
  MATH_DifferentiateExprWithoutSimplifying(tree);
  gMathExpandingDefinitions = 0;
}

void ApplyAlgebraicTransformationsToExpandedExpr(ExpressionRecord* tree, DocumentRecord* document) {
  if (!tree) return;
  RewriteHats(tree);
  ApplyMatrixAlgebra(tree, document);
  Transform_RectangularRecurse(tree);
  TAYLOR_SubstRecurse(tree);
  MATH_DifferentiateExprWithoutSimplifying(tree);
  ApplyMatrixAlgebra(tree, document);
  for (int32_t round = 0; round < kMatrixRounds && ContainsMatrix(tree) && gMathError == 0; ++round) {
    MATH_DifferentiateExprWithoutSimplifying(tree);
    ApplyMatrixAlgebra(tree, document);
  }
  TAYLOR_SubstRecurse(tree);
  RewriteDefiniteIntegralsUsingSimpsonsRule(tree);
  RewriteColor(tree);
  // Interval formulas stay written: their value is a range, not a number.
  if (ContainsInterval(tree)) return;
  // A definition keeps its name: only its right side is folded.
  FLOAT_Replace(IsTwoSided(tree) && IsExprDefinition(tree) ? tree->operands[1] : tree, document);
}
