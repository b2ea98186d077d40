#include "evaluation/compiler/LoopContext.h"

#include <algorithm>

#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/NumericComputability.h"
#include "expression/TreeComparison.h"
#include "expression/TreeWalking.h"

namespace {

bool IsLoopKind(const ExpressionRecord* node) {
  return node != nullptr && (node->opcode == kOpPreparedSum || node->opcode == kOpPreparedProduct);
}

// An index is a name or a subscripted name such as k_1.
bool ReadsLoopIndex(const ExpressionRecord* node, const ExpressionRecord* index) {
  if (index->opcode == kOpAtom) return DIM_Contains(const_cast<ExpressionRecord*>(node), index->payload.id);
  auto* root = const_cast<ExpressionRecord*>(node);
  for (ExpressionRecord* n = root; n != nullptr; n = NextTopDownWithin(n, root)) {
    if (MATH_Equal(n, index)) return true;
  }
  return false;
}

}  // namespace

bool HasLoopRange(const ExpressionRecord* node) {
  if (!IsLoopKind(node) || node->operandCount != 3) return false;
  const ExpressionRecord* range = node->operands[0];
  return range != nullptr && range->opcode == kOpEquals && range->operandCount == 2;
}

const ExpressionRecord* LoopRangeIndex(const ExpressionRecord* loop) { return loop->operands[0]->operands[0]; }

bool LoopContext::RunsRepeatedly(const ExpressionRecord* node) const {
  return IsLoopKind(node) || IsScalarDataOpcode(node->opcode) ||
         IsDataMinMax(const_cast<ExpressionRecord*>(node), fDocument);
}

void LoopContext::Enter(const ExpressionRecord* ancestor, int32_t operand) {
  if (RunsRepeatedly(ancestor)) ++fLoops;
  if (HasLoopRange(ancestor)) fRanges.push_back({LoopRangeIndex(ancestor), operand == 2});
}

void LoopContext::Start(const ExpressionRecord* node, DocumentRecord* document) {
  fDocument = document;
  fLoops = 0;
  fRanges.clear();
  for (const ExpressionRecord* child = node; child->parent != nullptr; child = child->parent) {
    Enter(child->parent, OP_NUM(child));
  }
}

void LoopContext::Down(const ExpressionRecord* from, int32_t operand) { Enter(from, operand); }

void LoopContext::Across(const ExpressionRecord* parent, int32_t operand) {
  if (HasLoopRange(parent)) fRanges.back().inBody = operand == 2;
}

void LoopContext::Up(const ExpressionRecord* to) {
  if (RunsRepeatedly(to)) --fLoops;
  if (HasLoopRange(to)) fRanges.pop_back();
}

bool LoopContext::ReadsNoIndex(const ExpressionRecord* node) const {
  return std::none_of(fRanges.begin(), fRanges.end(),
                      [node](const Range& range) { return ReadsLoopIndex(node, range.index); });
}

bool LoopContext::NamesBodyIndex(const ExpressionRecord* node) const {
  return std::any_of(fRanges.begin(), fRanges.end(),
                     [node](const Range& range) { return range.inBody && MATH_Equal(range.index, node); });
}
