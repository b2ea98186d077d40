#include "graphpane/GraphRewrites.h"

#include <cmath>

#include "algebra/Solving.h"
#include "expression/DocumentHooks.h"
#include "expression/NumericComputability.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"
#include "expression/VariableIds.h"
#include "graphpane/ExpressionPredicates.h"

namespace {

ExpressionRecord* FirstAtom(ExpressionRecord* e, int32_t id) {
  for (ExpressionRecord* node = e; node != nullptr; node = NextTopDownWithin(node, e))
    if (IsAtom(node, id)) return node;
  return nullptr;
}

// Replaces the atom by the new tree, which it takes over.
bool PutInPlace(ExpressionRecord* atom, ExpressionRecord* replacement) {
  if (replacement == nullptr) return false;
  return DeleteOperandsTransferAndDispose(replacement, atom);
}

ExpressionRecord* NextAfterSubtree(ExpressionRecord* node, const ExpressionRecord* root) {
  for (; node != root && node->parent != nullptr; node = node->parent) {
    const int32_t place = OP_NUM(node);
    if (place >= 0 && place + 1 < node->parent->operandCount) return node->parent->operands[place + 1];
  }
  return nullptr;
}

bool UnderDerivativeForm(const ExpressionRecord* atom) {
  const ExpressionRecord* grandparent = atom->parent ? atom->parent->parent : nullptr;
  return grandparent != nullptr && IsODEForm(grandparent);
}

}  // namespace

bool ReplaceAtom(ExpressionRecord* e, int32_t id, const ExpressionRecord* replacement) {
  for (ExpressionRecord* node = e; node != nullptr;) {
    if (!IsAtom(node, id)) {
      node = NextTopDownWithin(node, e);
      continue;
    }
    // The replacement may hold the id itself: go on after it, not into it.
    if (!PutInPlace(node, Copy(replacement))) return false;
    node = NextAfterSubtree(node, e);
  }
  return true;
}

bool ReplaceAtom(ExpressionRecord* e, int32_t id, int32_t a, int32_t b) {
  ExpressionRecord* split = Plus(Atomic(a), Times(Atomic(kIdI), Atomic(b)));
  if (split == nullptr) return false;
  const bool done = ReplaceAtom(e, id, split);
  DisposExpr(split);
  return done;
}

namespace {

// The parameter value a node stands for, NaN when it stays as written.
double SubstitutedValue(ExpressionRecord* node, DocumentRecord* document) {
  if (node->opcode != kOpAtom || node->payload.id >= 256) return NAN;
  const int32_t id = node->payload.id;
  if (IsIDTableHeading(id, document) || IsSummationIndex(node, nullptr, document)) return NAN;
  const ExpressionRecord* parent = node->parent;
  if (parent != nullptr && (parent->opcode == kOpIndexes || (parent->opcode == kOpFunction && OP_NUMeq(node, 0))))
    return NAN;
  if (UnderDerivativeForm(node)) return NAN;
  return GetValueFromParameterList(id, document);
}

}  // namespace

void SubstituteNumbers(ExpressionRecord* e, DocumentRecord* document) {
  for (ExpressionRecord* node = e; node != nullptr; node = NextTopDownWithin(node, e)) {
    const double value = SubstitutedValue(node, document);
    if (std::isnan(value)) continue;
    ExpressionRecord* number = Number(value);
    if (number == nullptr || !DeleteOperandsTransferAndDispose(number, node)) return;
  }
}

bool HasNumbersToSubstitute(ExpressionRecord* e, DocumentRecord* document) {
  for (ExpressionRecord* node = e; node != nullptr; node = NextTopDownWithin(node, e))
    if (!std::isnan(SubstitutedValue(node, document))) return true;
  return false;
}

bool SolveFor(ExpressionRecord*& e, int32_t id) {
  if (e == nullptr || FirstAtom(e, id) == nullptr) return false;
  ExpressionRecord* work = Copy(e);
  if (work == nullptr) return false;
  ExpressionRecord* solved = ::SolveFor(FirstAtom(work, id));
  ExpressionRecord* equation = solved ? solved->parent : nullptr;
  const bool isolated = IsAtom(solved, id) && equation == work && equation->opcode == kOpEquals &&
                        equation->operandCount == 2 && OP_NUMeq(solved, 0);
  // x + x = 4 "solved" as x = 4 - x would hand on a formula in x as if it
  // were free of it.
  if (!isolated || DIM_Contains(equation->operands[1], id) || !MATH_DeleteOperand(equation, 0)) {
    DisposExpr(work);
    return false;
  }
  DisposExpr(e);
  e = work;
  return true;
}
