#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;

// Whether a formula can be computed to a number in the setting of a
// document. The document may be null (no slider variable but n, no tables,
// no functions of its own).

// What CanComputeNumerically accepts besides the always-numeric kinds.
enum ComputabilityFlags : int32_t {
  kAllowPartialOfVariable = 1,
  kAllowListsComparisonsAndAtoms = 2,
  kAllowSummationIndices = 4,
  kAllowAllAtoms = 8,
  kAllowAllAtomsToo = 16,
  kAllowParameters = 32,
  kAllowConditions = 64,
  kAllowConditionsToo = 128,
};
inline constexpr int32_t kAllowParametersAndConditions = kAllowParameters | kAllowConditions;

// The decision for one node (its operands are asked separately). stop
// bounds the upward searches: a summation at or above it binds nothing;
// null for no bound.
bool CanComputeNumerically(ExpressionRecord* node, DocumentRecord* document, int32_t flags, ExpressionRecord* stop);

// CanComputeNumerically's answer when it is the same for every stop that
// is null or the node or an ancestor of it: 1 true, 0 false; -1 when the
// stop may change it.
int32_t AnswerAtEveryStop(ExpressionRecord* node, DocumentRecord* document, int32_t flags);

// The atom is the index of a sum or product around it below stop.
bool IsSummationIndex(ExpressionRecord* atom, ExpressionRecord* stop, DocumentRecord* document);
// The node, or an ancestor below stop, reduces table data to a number: a
// statistic, a minimum or maximum over table data, an interpolation of a
// table, or an index into a column. stop is null or an ancestor.
bool ParentIsScalarStatisticalOperation(ExpressionRecord* node, ExpressionRecord* stop, DocumentRecord* document);
// The node reduces table data to a number: a statistic, a minimum or
// maximum over table data, an interpolation of a table, or an index.
bool IsScalarStatisticalOperation(ExpressionRecord* node, DocumentRecord* document);
// Some table heading of the tree stands for a whole column, outside any
// statistic.
bool ExprReferencesTableData(ExpressionRecord* tree, DocumentRecord* document);
// A min or max over table data.
bool IsDataMinMax(ExpressionRecord* node, DocumentRecord* document);
