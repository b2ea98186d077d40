#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/MathEditRecord.h"
#include "expression/NodeMemory.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/TypingHelpers.h"
#include "matheditor/TypingOperators.h"

#include <vector>

namespace {

ExpressionRecord* NearestOfKind(ExpressionRecord* node, OpCodeT kind) {
  while (node && node->opcode != kind) node = node->parent;
  return node;
}

// Count new prompts, or none when memory is refused.
std::vector<Tree> NewPrompts(int32_t count) {
  std::vector<Tree> prompts;
  for (int32_t i = 0; i < count; ++i) {
    prompts.emplace_back(NewPrompt());
    if (!prompts.back()) return {};
  }
  return prompts;
}

// Grows the matrix to the new shape, the old elements keeping their row
// and column; the new places take prompts.
bool Reshape(ExpressionRecord* matrix, int32_t rows, int32_t columns) {
  const int32_t oldRows = matrix->payload.shape.rows, oldColumns = matrix->payload.shape.columns;
  if (rows * columns > kMostEditedOperands || IsDesperatelyLowOnMemory()) return false;
  std::vector<Tree> prompts = NewPrompts(rows * columns - oldRows * oldColumns);
  if (prompts.empty() || !SizeNode(matrix, rows * columns)) return false;
  // From the back, so that no element is overwritten before it moves.
  for (int32_t row = rows - 1; row >= 0; --row) {
    for (int32_t column = columns - 1; column >= 0; --column) {
      ExpressionRecord*& place = matrix->operands[row * columns + column];
      if (row < oldRows && column < oldColumns) {
        place = matrix->operands[row * oldColumns + column];
      } else {
        place = prompts.back().release();
        prompts.pop_back();
        place->parent = matrix;
      }
    }
  }
  matrix->payload.shape = {uint16_t(rows), uint16_t(columns)};
  return true;
}

int32_t MostOperandsAccepted(OpCodeT kind) {
  switch (kind) {
    case kOpOpTotal:
    case kOpOpPartial: return kMostEditedOperands;
    case kOpIntegral: return 4;
    case kOpSubstitution:
    case kOpSum:
    case kOpProduct: return 3;
    case kOpLog:
    case kOpGrad:
    case kOpSqrt: return 2;
    default: return 0;
  }
}

}  // namespace

void KEY_NewRow() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (ExpressionRecord* matrix = NearestOfKind(r->selected, kOpMatrix)) {
    const int32_t rows = matrix->payload.shape.rows, columns = matrix->payload.shape.columns;
    if (Reshape(matrix, rows + 1, columns)) MOVE_SetIP(matrix->operands[rows * columns], kIPWholeNode);
    return;
  }
  ExpressionRecord* branch = NearestOfKind(r->selected, kOpBranch);
  ExpressionRecord* piece = r->selected;
  while (branch && piece->parent != branch) piece = piece->parent;
  MOVE_SetIP(piece, kIPWholeNode);
  KEY_OperKey(kOpBranch);
}

void KEY_NewCol() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* matrix = NearestOfKind(r->selected, kOpMatrix);
  if (!matrix) return;
  const int32_t rows = matrix->payload.shape.rows, columns = matrix->payload.shape.columns;
  if (Reshape(matrix, rows, columns + 1)) MOVE_SetIP(matrix->operands[columns], kIPWholeNode);
}

void KEY_AddNewOperand() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  while (node && MostOperandsAccepted(node->opcode) == 0) node = node->parent;
  if (node && node->operandCount < MostOperandsAccepted(node->opcode)) KEY_AppendNOpTo(node, node->operandCount);
}
