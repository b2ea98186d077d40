#include "graphpane/ExpressionPredicates.h"

#include "CoreUtilities/text/InternedStrings.h"
#include "evaluation/compiler/VariableRestriction.h"
#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeComparison.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

namespace {

bool IsBinary(const ExpressionRecord* e, OpCodeT kind) {
  return e != nullptr && e->opcode == kind && e->operandCount == 2;
}

bool IsAtomColumn(const ExpressionRecord* e, std::initializer_list<int32_t> ids) {
  if (!IsColumn(e, static_cast<int>(ids.size()))) return false;
  int i = 0;
  for (int32_t id : ids)
    if (!IsAtom(e->operands[i++], id)) return false;
  return true;
}

// d·a
bool IsDifferential(const ExpressionRecord* e, int32_t a) {
  return IsBinary(e, kOpTimes) && IsAtom(e->operands[0], kIdD) && IsAtom(e->operands[1], a);
}

bool IsTotalDerivativeIn(const ExpressionRecord* e, int32_t variable) {
  return e != nullptr && e->opcode == kOpOpTotal && e->operandCount >= 1 && IsAtom(e->operands[0], variable);
}

bool EveryEntry(ExpressionRecord* e, int rows, DocumentRecord* document, const AllowedVariables& ids) {
  if (!IsColumn(e, rows)) return false;
  for (int i = 0; i < rows; ++i)
    if (!HasOnlyWithFlags(e->operands[i], document, kHasOnlyFlags, ids, false)) return false;
  return true;
}

bool IsOptionNamed(const ExpressionRecord* e, const char* name) {
  return IsBinary(e, kOpEquals) && IsAtom(e->operands[0], GetVariableIDFromString(OurInternCString(name)));
}

}  // namespace

bool IsColumn(const ExpressionRecord* e, int rows) {
  return e != nullptr && e->opcode == kOpMatrix && e->payload.shape.rows == rows && e->payload.shape.columns == 1 &&
         e->operandCount == rows;
}

bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b) { return IsAtomColumn(e, {a, b}); }
bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b, int32_t c) { return IsAtomColumn(e, {a, b, c}); }
bool IsMatrix(const ExpressionRecord* e, int32_t a, int32_t b, int32_t c, int32_t d) {
  return IsAtomColumn(e, {a, b, c, d});
}

bool IsMatrixDxDy(const ExpressionRecord* e) {
  return IsColumn(e, 2) && IsDifferential(e->operands[0], kIdX) && IsDifferential(e->operands[1], kIdY);
}

bool IsMatrixDxDyDz(const ExpressionRecord* e) {
  return IsColumn(e, 3) && IsDifferential(e->operands[0], kIdX) && IsDifferential(e->operands[1], kIdY) &&
         IsDifferential(e->operands[2], kIdZ);
}

bool Isaplusib(const ExpressionRecord* e, int32_t a, int32_t b) {
  if (!IsBinary(e, kOpPlus) || !IsAtom(e->operands[0], a)) return false;
  const ExpressionRecord* product = e->operands[1];
  return IsBinary(product, kOpTimes) && IsAtom(product->operands[0], kIdI) && IsAtom(product->operands[1], b);
}

bool IsFormDaDb(const ExpressionRecord* e, int32_t a, int32_t b) {
  if (IsBinary(e, kOpOver)) return IsDifferential(e->operands[0], b) && IsDifferential(e->operands[1], a);
  return IsBinary(e, kOpFunction) && IsTotalDerivativeIn(e->operands[0], a) && IsAtom(e->operands[1], b);
}

bool IsODEForm(const ExpressionRecord* e) { return IsFormDaDb(e, kIdX, kIdY) || IsFormDaDb(e, kIdT, kIdZ); }

bool IsTotalDerivativeOfColumn(const ExpressionRecord* e, int rows) {
  if (!IsBinary(e, kOpFunction) || !IsTotalDerivativeIn(e->operands[0], kIdT)) return false;
  return rows == 2 ? IsMatrix(e->operands[1], kIdX, kIdY) : IsMatrix(e->operands[1], kIdX, kIdY, kIdZ);
}

bool AllNodesComputable(ExpressionRecord* e, DocumentRecord* document, int32_t flags) {
  if (e == nullptr) return false;
  for (ExpressionRecord* node = e; node != nullptr; node = NextTopDownWithin(node, e))
    if (!CanComputeNumerically(node, document, flags, nullptr)) return false;
  return true;
}

bool Is3Vector(ExpressionRecord* e, DocumentRecord* document) {
  if (!IsColumn(e, 3)) return false;
  for (int i = 0; i < 3; ++i)
    if (!AllNodesComputable(e->operands[i], document, kFlagsVectorEntries)) return false;
  return true;
}

bool IsComparison(const ExpressionRecord* e) {
  if (e == nullptr) return false;
  return e->opcode == kOpLess || e->opcode == kOpGreater || e->opcode == kOpLeq || e->opcode == kOpGeq;
}

const ExpressionRecord* LogicalOperandList(const ExpressionRecord* e) {
  if (e->operandCount == 1 && e->operands[0]->opcode == kOpComma) return e->operands[0];
  return e;
}

bool IsLogical(const ExpressionRecord* e) {
  if (e == nullptr || (e->opcode != kOpAnd && e->opcode != kOpOr && e->opcode != kOpNot)) return false;
  const ExpressionRecord* list = LogicalOperandList(e);
  for (int i = 0; i < list->operandCount; ++i)
    if (!IsComparison(list->operands[i]) && !IsLogical(list->operands[i])) return false;
  return true;
}

bool IsConditionShape(const ExpressionRecord* e) { return IsComparison(e) || IsLogical(e); }

bool HasOnlyAllowingClip(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c, int32_t d) {
  return HasOnlyWithFlags(e, document, kFlagsClip, {a, b, c, d}, false);
}

bool HasOnlyAllowingMatrix(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c) {
  return HasOnlyWithFlags(e, document, kHasOnlyFlags, {a, b, c, kNoAllowedVariable}, true);
}

bool Matrix2DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b) {
  return EveryEntry(e, 2, document, {a, b, kNoAllowedVariable, kNoAllowedVariable});
}

bool Matrix3DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c) {
  return EveryEntry(e, 3, document, {a, b, c, kNoAllowedVariable});
}

bool Matrix4DHasOnly(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b) {
  return EveryEntry(e, 4, document, {a, b, kNoAllowedVariable, kNoAllowedVariable});
}

bool Matrix3DHasOnly_xyrtheta(ExpressionRecord* e, DocumentRecord* document) {
  return EveryEntry(e, 3, document, {kIdX, kIdY, kIdR, kIdTheta});
}

bool IsConst(ExpressionRecord* e, DocumentRecord* document) {
  return HasOnly(e, document, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable);
}

bool IsConstColumn(ExpressionRecord* e, DocumentRecord* document, int rows) {
  return EveryEntry(e, rows, document,
                    {kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable});
}

bool IsForm(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c) {
  if (!IsBinary(e, kOpEquals)) return false;
  ExpressionRecord* left = e->operands[0];
  ExpressionRecord* right = e->operands[1];
  const bool subscriptedA = left->opcode == kOpIndexes && left->operandCount == 2 && IsAtom(left->operands[0], a);
  if ((IsAtom(left, a) || subscriptedA) && HasOnly(right, document, b, c, kNoAllowedVariable, kNoAllowedVariable))
    return true;
  if (!IsAtom(right, a) || !HasOnly(left, document, b, c, kNoAllowedVariable, kNoAllowedVariable)) return false;
  const bool leftIsCoordinate = left->opcode == kOpAtom && Is_xyzwtuvr_theta_phi(left->payload.id);
  return !leftIsCoordinate && !IsAtom(left, GetVariableIDFromString(OurInternCString("radius")));
}

namespace {

bool HoldsAny(const ExpressionRecord* e, std::initializer_list<int32_t> ids) {
  for (int32_t id : ids)
    if (DIM_Contains(e, id)) return true;
  return false;
}

}  // namespace

bool IsForm2DCoordinateTransform(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c,
                                 int32_t d) {
  return IsBinary(e, kOpEquals) && IsMatrix(e->operands[0], a, b) && Matrix2DHasOnly(e->operands[1], document, c, d) &&
         HoldsAny(e->operands[1], {c, d});
}

bool IsForm3DCoordinateTransform(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c,
                                 int32_t d, int32_t f, int32_t g) {
  return IsBinary(e, kOpEquals) && IsMatrix(e->operands[0], a, b, c) &&
         Matrix3DHasOnly(e->operands[1], document, d, f, g) && HoldsAny(e->operands[1], {d, f, g});
}

bool CanComputeSomething(ExpressionRecord* e, DocumentRecord* document, int32_t flags) {
  return AllNodesComputable(e, document, flags + kFlagsCoordinates);
}

bool IsRadiusOption(const ExpressionRecord* e) { return IsOptionNamed(e, "radius"); }
bool IsFontSizeOption(const ExpressionRecord* e) { return IsOptionNamed(e, "fontsize"); }

bool IsNamedStringOption(const ExpressionRecord* e, const char* name, const DocumentRecord* document) {
  if (!IsOptionNamed(e, name)) return false;
  const ExpressionRecord* right = e->operands[1];
  return right->opcode == kOpString || (right->opcode == kOpAtom && IsIDTableHeading(right->payload.id, document));
}

bool IsSymbolOption(const ExpressionRecord* e, const DocumentRecord* document) {
  return IsNamedStringOption(e, "symbol", document);
}
bool IsLabelOption(const ExpressionRecord* e, const DocumentRecord* document) {
  return IsNamedStringOption(e, "label", document);
}

bool IsStartOption(ExpressionRecord* e, bool primed, DocumentRecord* document) {
  if (!IsBinary(e, kOpEquals)) return false;
  const bool head = primed ? IsMatrix(e->operands[0], kIdXPrime, kIdYPrime) : IsMatrix(e->operands[0], kIdX, kIdY);
  return head && IsConstColumn(e->operands[1], document, 2);
}

bool IsColorEquation(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c) {
  return IsBinary(e, kOpEquals) && IsMatrix(e->operands[0], a, b, c) && Is3Vector(e->operands[1], document);
}

ExpressionRecord* MakeZeroExpr(const ExpressionRecord* factor, const ExpressionRecord* relation) {
  const bool logical = relation->opcode == kOpAnd || relation->opcode == kOpOr || relation->opcode == kOpNot;
  if (logical || relation->operandCount < 2) return factor ? Copy(factor) : Number(1);
  ExpressionRecord* product = nullptr;
  for (int i = 1; i < relation->operandCount; ++i) {
    ExpressionRecord* difference = Minus(Copy(relation->operands[i - 1]), Copy(relation->operands[i]));
    product = product ? Times(product, difference) : difference;
    if (product == nullptr) return nullptr;
  }
  return factor ? Times(Copy(factor), product) : product;
}
