#include "document/TransformationEquations.h"

#include <initializer_list>

#include "algebra/RewriteHelpers.h"
#include "expression/SymbolTable.h"
#include "expression/VariableIds.h"

namespace {

bool IsPrimed(int32_t id) { return id >= kIdXPrime && id <= kIdRPrime; }

// Some of the given coordinates occur in the tree and no other coordinate,
// primed or not. Formulas in none of them leave a point or a column of
// table data, which are graphs, not mappings.
bool IsFormulaIn(ExpressionRecord* tree, std::initializer_list<int32_t> coordinates) {
  bool only = true, some = false;
  PostOrder(tree, [&](ExpressionRecord* n) {
    if (n->opcode != kOpAtom || !(Is_xyzwtuvr_theta_phi(n->payload.id) || IsPrimed(n->payload.id))) return;
    bool listed = false;
    for (int32_t id : coordinates) listed = listed || n->payload.id == id;
    only = only && listed;
    some = some || listed;
  });
  return only && some;
}

bool IsColumn(const ExpressionRecord* node, int32_t rows) {
  return node->opcode == kOpMatrix && node->payload.shape.rows == rows && node->payload.shape.columns == 1 &&
         node->operandCount == rows;
}

// A column of exactly these atoms.
bool IsColumnOf(const ExpressionRecord* node, std::initializer_list<int32_t> ids) {
  if (!IsColumn(node, static_cast<int32_t>(ids.size()))) return false;
  int32_t row = 0;
  for (int32_t id : ids) {
    const ExpressionRecord* entry = node->operands[row++];
    if (entry->opcode != kOpAtom || entry->payload.id != id) return false;
  }
  return true;
}

bool IsAtomId(const ExpressionRecord* node, int32_t id) { return node->opcode == kOpAtom && node->payload.id == id; }

}  // namespace

CoordinateTransformation TransformationOf(ExpressionRecord* equation) {
  CoordinateTransformation ct;
  if (!equation || equation->opcode != kOpEquals || equation->operandCount != 2) return ct;
  const ExpressionRecord* left = equation->operands[0];
  ExpressionRecord* right = equation->operands[1];
  const auto take = [&](int32_t kind, int32_t rows) {
    ct.kind = kind;
    for (int32_t i = 0; i < rows; ++i) ct.formulas[i] = rows == 1 ? right : right->operands[i];
  };
  if (IsColumnOf(left, {kIdX, kIdY}) && IsColumn(right, 2) && IsFormulaIn(right, {kIdXPrime, kIdYPrime})) {
    take(CoordinateTransformation::kPlaneFromTransformed, 2);
  } else if (IsColumnOf(left, {kIdXPrime, kIdYPrime}) && IsColumn(right, 2) && IsFormulaIn(right, {kIdX, kIdY})) {
    take(CoordinateTransformation::kPlaneFromSource, 2);
  } else if (IsColumnOf(left, {kIdXPrime, kIdYPrime, kIdZPrime}) && IsColumn(right, 3) &&
             IsFormulaIn(right, {kIdX, kIdY, kIdZ})) {
    take(CoordinateTransformation::kSpace, 3);
  } else if (IsAtomId(left, kIdZ) && IsFormulaIn(right, {kIdZPrime})) {
    take(CoordinateTransformation::kPlaneFromTransformed, 1);
  } else if (IsAtomId(left, kIdZPrime) && IsFormulaIn(right, {kIdZ})) {
    take(CoordinateTransformation::kPlaneFromSource, 1);
  }
  return ct;
}
