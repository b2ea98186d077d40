#include "expression/SelectionGrouping.h"

#include "expression/MathEditRecord.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeSurgery.h"

bool MATH_IPisRange() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return false;
  ExpressionRecord* node = r->selected;
  const int32_t count = node->operandCount;
  const int32_t start = r->rangeStart;
  const int32_t end = r->rangeEnd;
  if (start < 0 || end < start || end >= count) return false;
  const int32_t grouped = end - start + 1;
  // One operand, or all of them, is already a node: grouping it would
  // leave a list of one.
  if (grouped == 1 || grouped == count) {
    r->selected = grouped == 1 ? node->operands[start] : node;
    r->caretType = kIPWholeNode;
    return true;
  }
  // Both new nodes are made before anything moves, so a refusal changes
  // nothing.
  ExpressionRecord* group = NewExpression(node->opcode, grouped);
  ExpressionRecord* shrunk = group ? NewExpression(node->opcode, count - grouped + 1) : nullptr;
  if (!shrunk) {
    if (group) DisposeNode(group);
    return false;
  }
  for (int32_t i = 0; i < grouped; ++i) {
    group->operands[i] = node->operands[start + i];
    group->operands[i]->parent = group;
  }
  for (int32_t i = 0, j = 0; i < count; ++i) {
    if (i == start) {
      shrunk->operands[j++] = group;
      group->parent = shrunk;
    } else if (i < start || i > end) {
      shrunk->operands[j++] = node->operands[i];
      node->operands[i]->parent = shrunk;
    }
  }
  shrunk->payload = node->payload;
  MATH_TransferAndDispose(shrunk, node);
  r->selected = group;
  r->caretType = kIPWholeNode;
  return true;
}
