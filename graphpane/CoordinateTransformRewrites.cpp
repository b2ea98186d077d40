#include "graphpane/CoordinateTransformRewrites.h"

#include <memory>
#include <utility>

#include "algebra/DefinitionMatching.h"
#include "evaluation/AnExpression.h"
#include "expression/CoordinateExchange.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeShorthands.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"

namespace {

// The definition id = value, over a copy of value.
ExpressionRecord* Definition(int32_t id, const ExpressionRecord* value) {
  return NewBinop(kOpEquals, Atomic(id), Copy(value));
}

// A copy of the formula read in primed coordinates, with the definitions
// applied in one walk, so that each primed atom takes its own value even
// when another definition's value holds primed atoms too.
ExpressionRecord* Composed(const ExpressionRecord* formula, const ExpressionRecord* const* definitions, int32_t count) {
  ExpressionRecord* composed = Copy(formula);
  if (composed == nullptr) return nullptr;
  ExchangeXYZwithXYZprime(composed);
  MATCH_ApplyDefinitionsOnce(composed, definitions, count);
  return composed;
}

}  // namespace

bool TransformXY(const CoordinateTransformation& ct, const ExpressionRecord* x, const ExpressionRecord* y,
                 ExpressionRecord** outX, ExpressionRecord** outY) {
  *outX = nullptr;
  *outY = nullptr;
  if (ct.formulas[0] == nullptr || ct.formulas[1] == nullptr || x == nullptr || y == nullptr) return false;
  ExpressionRecord* definitions[2] = {Definition(kIdXPrime, x), Definition(kIdYPrime, y)};
  if (definitions[0] != nullptr && definitions[1] != nullptr) {
    *outX = Composed(ct.formulas[0], definitions, 2);
    *outY = Composed(ct.formulas[1], definitions, 2);
  }
  for (ExpressionRecord* definition : definitions) DisposExpr(definition);
  if (*outX != nullptr && *outY != nullptr) return true;
  DisposExpr(*outX);
  DisposExpr(*outY);
  *outX = nullptr;
  *outY = nullptr;
  return false;
}

bool TransformExpr(ExpressionRecord* e, const CoordinateTransformation& ct) {
  if (e == nullptr || ct.kind != CoordinateTransformation::kPlaneFromTransformed || ct.formulas[0] == nullptr ||
      ct.formulas[1] == nullptr)
    return false;
  // In this order: r and theta become formulas in x and y, which the last
  // two then carry over into the transformed coordinates.
  ExpressionRecord* definitions[4] = {
      NewBinop(kOpEquals, Atomic(kIdR), Sqrt(Plus(Square(Atomic(kIdX)), Square(Atomic(kIdY))))),
      NewBinop(kOpEquals, Atomic(kIdTheta), NewBinop(kOpAngle, Atomic(kIdX), Atomic(kIdY))),
      Definition(kIdX, ct.formulas[0]), Definition(kIdY, ct.formulas[1])};
  bool built = true;
  for (const ExpressionRecord* definition : definitions) built = built && definition != nullptr;
  if (built) {
    for (const ExpressionRecord* definition : definitions) MATCH_ApplyDefinitionOnce(e, definition);
    ReplaceAtoms(e, kIdXPrime, kIdX);
    ReplaceAtoms(e, kIdYPrime, kIdY);
  }
  for (ExpressionRecord* definition : definitions) DisposExpr(definition);
  return built;
}

bool TransformColor(AGraphColor* colour, const ExpressionRecord* a, const ExpressionRecord* b,
                    const ExpressionRecord* c) {
  const ExpressionRecord* definitions[3];
  int32_t count = 0;
  for (const ExpressionRecord* definition : {a, b, c})
    if (definition != nullptr) definitions[count++] = definition;
  for (int32_t i = 0; i < 3; ++i) {
    const AnExpression* equation = colour->fColorExpressions[i].get();
    if (equation == nullptr) continue;
    ExpressionRecord* composed = Composed(equation->Tree(), definitions, count);
    if (composed == nullptr) return false;
    auto rewritten = std::make_unique<AnExpression>(composed, equation->Document());
    // A compiled equation would otherwise be replaced by one that reads NaN.
    if (equation->PointMachine() != nullptr) AnExpression::Compile(rewritten.get());
    colour->ReplaceEquation(i, std::move(rewritten));
  }
  return true;
}
