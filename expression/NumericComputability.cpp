#include "expression/NumericComputability.h"

#include "expression/DocumentHooks.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"

#include <cmath>

namespace {

bool IsKind(const ExpressionRecord* node, OpCodeT kind) { return node && node->opcode == kind; }
bool IsAtom(const ExpressionRecord* node) { return IsKind(node, kOpAtom); }
bool IsAtom(const ExpressionRecord* node, int32_t id) { return IsAtom(node) && node->payload.id == id; }

ExpressionRecord* Operand(const ExpressionRecord* node, int32_t i) {
  return node && i < node->operandCount ? node->operands[i] : nullptr;
}

bool IsEquationOfTwo(const ExpressionRecord* node) { return IsKind(node, kOpEquals) && node->operandCount == 2; }
bool IsSumOrProduct(const ExpressionRecord* node) { return IsKind(node, kOpSum) || IsKind(node, kOpProduct); }
bool IsPreparedSumOrProduct(const ExpressionRecord* node) {
  return IsKind(node, kOpPreparedSum) || IsKind(node, kOpPreparedProduct);
}

// sum(term, index = start, end)
bool IsBindingSum(const ExpressionRecord* node) {
  return IsSumOrProduct(node) && node->operandCount == 3 && IsEquationOfTwo(Operand(node, 1));
}
// The prepared form: (index = start, end, term)
bool IsBindingPreparedSum(const ExpressionRecord* node) {
  return IsPreparedSumOrProduct(node) && node->operandCount == 3 && IsEquationOfTwo(Operand(node, 0));
}

bool IsTableStatistic(OpCodeT kind) { return kind >= kOpDataSum && kind <= kOpDataStdDev; }
bool IsComparison(OpCodeT kind) { return kind >= kOpNotEqual && kind <= kOpGeq; }
bool IsConditionKind(OpCodeT kind) {
  return IsComparison(kind) || kind == kOpAnd || kind == kOpOr || kind == kOpNot || kind == kOpConditions ||
         kind == kOpParsedBoolean;
}

// Names that are never summation indices nor bound by one: e, the special
// symbols and primed coordinates, r, t to z and the slider's letter.
bool IsBuiltInOrSliderName(int32_t id, DocumentRecord* document) {
  return id == kIdE || (id >= 1 && id <= 14) || id == kIdR || (id >= 't' && id <= 'z') ||
         id == DocumentSliderVariable(document);
}

bool IsWholeNumber(double x) { return x == std::trunc(x); }

ExpressionRecord* ThroughIdentity(ExpressionRecord* node) {
  return IsKind(node, kOpId) && node->operandCount == 1 ? node->operands[0] : node;
}

// The data argument of an interpolation: (column, x) of a table column, or
// (matrix, x, y) of a table standing for a matrix.
bool IsTableInterpolation(const ExpressionRecord* node, const DocumentRecord* document) {
  if (!IsKind(node, kOpInterpolate)) return false;
  const ExpressionRecord* list = ThroughIdentity(Operand(node, 0));
  if (!IsKind(list, kOpComma) || !IsAtom(Operand(list, 0))) return false;
  const int32_t id = list->operands[0]->payload.id;
  if (list->operandCount == 2) return IsIDTableHeading(id, document);
  if (list->operandCount == 3) return IsIDMatrixTableHeading(id, document);
  return false;
}

// A call of one of the document's own functions decides by that.
bool DecidesAsDocumentCall(ExpressionRecord* node, DocumentRecord* document, ExpressionRecord* stop, bool& answer) {
  ExpressionRecord* parent = node->parent;
  if ((IsAtom(node) || IsKind(node, kOpIndexes)) && node != stop && IsKind(parent, kOpFunction) && OP_NUMeq(node, 0)) {
    answer = NamesDocumentFunction(node, document);
    return true;
  }
  if (IsAtom(node) && node != stop && IsKind(parent, kOpIndexes) && IsKind(parent->parent, kOpFunction) &&
      OP_NUMeq(parent, 0)) {
    answer = NamesDocumentFunction(parent, document);
    return true;
  }
  if (IsKind(node, kOpFunction)) {
    answer = NamesDocumentFunction(Operand(node, 0), document);
    return true;
  }
  return false;
}

// An atom bound by a prepared sum around it.
bool DecidesAsPreparedSumIndex(ExpressionRecord* node, DocumentRecord* document, ExpressionRecord* stop, bool& answer) {
  if (!IsAtom(node) || IsBuiltInOrSliderName(node->payload.id, document)) return false;
  bool stopMet = false;
  for (ExpressionRecord* ancestor = node->parent; ancestor; ancestor = ancestor->parent) {
    if (ancestor == stop) stopMet = true;
    if (IsBindingPreparedSum(ancestor) && IsAtom(Operand(ancestor->operands[0], 0), node->payload.id)) {
      answer = !stopMet;
      return true;
    }
  }
  return false;
}

// Parameters, indexes into columns and compared strings.
bool DecidesAsParameter(ExpressionRecord* node, DocumentRecord* document, ExpressionRecord* stop, bool& answer) {
  if (IsAtom(node)) {
    const int32_t id = node->payload.id;
    if (id == kIdLdots) {
      answer = false;
      return true;
    }
    if (Is_xyzwtuvr_theta_phi(id)) return false;
    if (!IsIDTableHeading(id, document) || ParentIsScalarStatisticalOperation(node, stop, document)) {
      answer = true;
      return true;
    }
    return false;
  }
  if (IsKind(node, kOpIndexes) && node->payload.shape.rows == 0 && node->payload.shape.columns == 1 &&
      IsAtom(Operand(node, 0)) && IsKind(Operand(node, 1), kOpNumber) && node->operands[1]->payload.number &&
      IsWholeNumber(node->operands[1]->payload.number->value)) {
    answer = true;
    return true;
  }
  if (IsKind(node, kOpString) && (IsKind(node->parent, kOpEquals) || IsKind(node->parent, kOpNotEqual))) {
    answer = true;
    return true;
  }
  return false;
}

// A condition is computable inside what consumes one.
bool ConditionIsConsumed(ExpressionRecord* node, DocumentRecord* document) {
  for (ExpressionRecord *child = node, *ancestor = node->parent; ancestor;
       child = ancestor, ancestor = ancestor->parent) {
    if (IsKind(ancestor, kOpIf) && Operand(ancestor, 1) == child) return true;
    if (IsTableStatistic(ancestor->opcode) || IsDataMinMax(ancestor, document) ||
        IsTableInterpolation(ancestor, document))
      return true;
  }
  return false;
}

// A comma list is computable as the arguments of what takes a list.
bool ListIsArguments(ExpressionRecord* list) {
  const int32_t n = list->operandCount;
  ExpressionRecord* ancestor = list->parent;
  while (IsKind(ancestor, kOpId)) ancestor = ancestor->parent;
  if (!ancestor) return false;
  switch (ancestor->opcode) {
    case kOpMin:
    case kOpMax:
    case kOpAnd:
    case kOpOr:
    case kOpFunction: return true;
    case kOpInterpolate: return n == 2 || n == 3;
    case kOpClamp: return n == 3;
    case kOpMod: return n == 2;
    default: return IsTableStatistic(ancestor->opcode);
  }
}

bool HasArgumentList(const ExpressionRecord* node, int32_t count) {
  const ExpressionRecord* list = ThroughIdentity(Operand(node, 0));
  return IsKind(list, kOpComma) && list->operandCount == count;
}

// What the kind alone makes computable.
bool ComputableByKind(ExpressionRecord* node, DocumentRecord* document) {
  switch (node->opcode) {
    case kOpComma: return ListIsArguments(node);
    case kOpMod: return HasArgumentList(node, 2);
    case kOpClamp: return HasArgumentList(node, 3);
    case kOpIndexes: return node->operandCount >= 1 && ExprReferencesTableData(node->operands[0], document);
    case kOpInterpolate: return IsTableInterpolation(node, document);
    default: return false;
  }
}

}  // namespace

bool CanComputeNumerically(ExpressionRecord* node, DocumentRecord* document, int32_t flags, ExpressionRecord* stop) {
  if (!node) return false;
  const OpCodeT kind = node->opcode;
  if (IsOperatorTableKind(kind) && gOpInfo[kind - kFirstOperatorKind].numeric == 1) return true;
  if (kind == kOpPrompt) return false;
  if (IsAtom(node, kIdE) || IsAtom(node, kIdPi) || IsAtom(node, kIdDegree)) return true;
  if (IsAtom(node, kIdI) && !IsSummationIndex(node, nullptr, document)) return true;
  if (kind == kOpDummy) return true;

  bool answer = false;
  if (DecidesAsDocumentCall(node, document, stop, answer)) return answer;

  if ((flags & kAllowPartialOfVariable) && kind == kOpOpPartial && IsKind(node->parent, kOpFunction) &&
      IsAtom(Operand(node, 0)))
    return true;

  if (flags & kAllowSummationIndices) {
    if (IsBindingSum(node) || (kind == kOpEquals && IsSumOrProduct(node->parent))) return true;
    if (IsAtom(node) && IsSummationIndex(node, stop, document)) return true;
  }

  if (IsBindingPreparedSum(node) || (kind == kOpEquals && IsPreparedSumOrProduct(node->parent))) return true;
  if (DecidesAsPreparedSumIndex(node, document, stop, answer)) return answer;

  if ((flags & kAllowParameters) && DecidesAsParameter(node, document, stop, answer)) return answer;

  if ((flags & kAllowListsComparisonsAndAtoms) &&
      (kind == kOpComma || IsConditionKind(kind) || kind == kOpEquals || kind == kOpMatrix || kind == kOpAtom))
    return true;
  if ((flags & (kAllowConditions | kAllowConditionsToo)) && IsConditionKind(kind)) return true;
  if ((flags & (kAllowAllAtoms | kAllowAllAtomsToo)) && kind == kOpAtom) return true;

  if ((IsConditionKind(kind) || kind == kOpEquals) && ConditionIsConsumed(node, document)) return true;
  return ComputableByKind(node, document);
}

// The stop reaches the answer only through names and subscripted names:
// a function's name (compared with the node itself), an index bound by a
// sum around it, a table heading (a statistic between it and the stop).
int32_t AnswerAtEveryStop(ExpressionRecord* node, DocumentRecord* document, int32_t flags) {
  if (!node) return 0;
  const bool name = IsAtom(node) || IsKind(node, kOpIndexes);
  const bool decidedFirst =
      IsAtom(node, kIdE) || IsAtom(node, kIdPi) || IsAtom(node, kIdDegree) ||
      (IsAtom(node, kIdI) && !IsSummationIndex(node, nullptr, document)) ||
      (IsOperatorTableKind(node->opcode) && gOpInfo[node->opcode - kFirstOperatorKind].numeric == 1);
  if (name && !decidedFirst) {
    ExpressionRecord* parent = node->parent;
    if (IsKind(parent, kOpFunction) && OP_NUMeq(node, 0)) return -1;
    if (IsKind(parent, kOpIndexes) && IsKind(parent->parent, kOpFunction) && OP_NUMeq(parent, 0)) return -1;
    if (IsAtom(node)) {
      const int32_t id = node->payload.id;
      if (flags & kAllowSummationIndices) return -1;
      if (IsIDTableHeading(id, document)) return -1;
      if (!IsBuiltInOrSliderName(id, document)) {
        for (ExpressionRecord* ancestor = parent; ancestor; ancestor = ancestor->parent)
          if (IsBindingPreparedSum(ancestor) && IsAtom(Operand(ancestor->operands[0], 0), id)) return -1;
      }
    }
  }
  return CanComputeNumerically(node, document, flags, nullptr) ? 1 : 0;
}

bool IsSummationIndex(ExpressionRecord* atom, ExpressionRecord* stop, DocumentRecord* document) {
  if (!IsAtom(atom) || atom == stop || IsBuiltInOrSliderName(atom->payload.id, document)) return false;
  const int32_t id = atom->payload.id;
  for (ExpressionRecord* ancestor = atom->parent; ancestor && ancestor != stop; ancestor = ancestor->parent) {
    if (IsBindingSum(ancestor) && IsAtom(Operand(ancestor->operands[1], 0), id)) return true;
    if (IsBindingPreparedSum(ancestor) && IsAtom(Operand(ancestor->operands[0], 0), id)) return true;
  }
  return false;
}

bool IsScalarStatisticalOperation(ExpressionRecord* node, DocumentRecord* document) {
  if (IsTableStatistic(node->opcode) || node->opcode == kOpTableIndex || node->opcode == kOpIndexes) return true;
  return IsDataMinMax(node, document) || IsTableInterpolation(node, document);
}

bool ParentIsScalarStatisticalOperation(ExpressionRecord* node, ExpressionRecord* stop, DocumentRecord* document) {
  for (ExpressionRecord* n = node; n && n != stop; n = n->parent) {
    if (IsScalarStatisticalOperation(n, document)) return true;
  }
  return false;
}

bool ExprReferencesTableData(ExpressionRecord* tree, DocumentRecord* document) {
  if (!tree) return false;
  for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree))
    if (IsAtom(n) && IsIDTableHeading(n->payload.id, document) &&
        !ParentIsScalarStatisticalOperation(n, tree->parent, document))
      return true;
  return false;
}

bool IsDataMinMax(ExpressionRecord* node, DocumentRecord* document) {
  if (!IsKind(node, kOpMin) && !IsKind(node, kOpMax)) return false;
  if (node->operandCount == 1) return ExprReferencesTableData(node->operands[0], document);
  if (node->operandCount < 2 || !node->operands[1]) return false;
  const OpCodeT second = node->operands[1]->opcode;
  const bool restricted = second == kOpConditions || second == kOpEquals || second == kOpAnd || second == kOpOr ||
                          second == kOpNot || IsComparison(second);
  return restricted && ExprReferencesTableData(node->operands[0], document);
}
