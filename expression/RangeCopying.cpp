#include "expression/RangeCopying.h"

#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"

#include <cstddef>
#include <vector>

ExpressionRecord* MATH_CopyRange(const ExpressionRecord* list, int32_t first, int32_t last) {
  if (!list || first < 0 || last < first || last >= list->operandCount) return nullptr;
  // A range of one is that operand, not a list of one.
  if (first == last) return Copy(list->operands[first]);
  std::vector<ExpressionRecord*> copies;
  auto fail = [&] {
    for (ExpressionRecord* copy : copies) DisposExpr(copy);
    return nullptr;
  };
  for (int32_t i = first; i <= last; ++i) {
    copies.push_back(Copy(list->operands[i]));
    if (!copies.back()) return fail();
  }
  ExpressionRecord* made = NewExpression(list->opcode, int32_t(copies.size()));
  if (!made) return fail();
  for (size_t i = 0; i < copies.size(); ++i) {
    made->operands[i] = copies[i];
    copies[i]->parent = made;
  }
  return made;
}
