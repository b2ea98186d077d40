#include "algebra/AlgebraCommands.h"
#include "algebra/Differentiation.h"
#include "algebra/EvaluationCommands.h"
#include "algebra/MatrixAlgebra.h"
#include "algebra/RectangularForm.h"
#include "algebra/Solving.h"
#include "algebra/Substitution.h"
#include "algebra/TermMoves.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/MathEditorHooks.h"
#include "expression/SelectionGrouping.h"

#include <array>

namespace {

constexpr int32_t kCodeWithoutGrouping = 0x2204;

using Command = void (*)();

struct CommandList {
  int32_t code;
  std::array<Command, 6> commands;  // null-terminated when shorter
};

constexpr std::array kCommandLists{
    CommandList{0x2000, {DISTRIBUTE_OverEquality, CMD_Differentiate, CMD_MatrixAlgebra, CMD_Substitute}},
    CommandList{0x2002, {DISTRIBUTE_OverEquality, CMD_ExpandOne, CMD_MultiplyOut}},
    CommandList{0x2007, {CMD_NumberKrunch}},
    CommandList{0x2016, {CMD_SolveFor}},
    CommandList{
        0x201B,
        {DISTRIBUTE_OverEquality, CMD_Substitute, CMD_Evaluate, CMD_MatrixAlgebra, CMD_ExpandOne, CMD_Rectangular}},
    CommandList{0x2100, {[] { CMD_MoveRight(kMoveOnePlace); }}},
    CommandList{0x2101, {CMD_MoveRightInto}},
    CommandList{0x2102, {CMD_MoveRightAllTheWay}},
    CommandList{0x2103, {[] { CMD_MoveLeft(kMoveOnePlace); }}},
    CommandList{0x2104, {CMD_MoveLeftInto}},
    CommandList{0x2105, {CMD_MoveLeftAllTheWay}},
    CommandList{0x2106, {CMD_MoveUp}},
    CommandList{0x2107, {CMD_MoveDown}},
    CommandList{0x2108, {CMD_MoveLeftSwap}},
    CommandList{0x2109, {CMD_MoveRightSwap}},
};

void RunCommandsOf(int32_t code) {
  for (const CommandList& list : kCommandLists) {
    if (list.code != code) continue;
    for (Command command : list.commands)
      if (command) command();
  }
}

bool HoldsElement(const ExpressionRecord* matrix, int32_t index) {
  return matrix && matrix->opcode == kOpMatrix && index >= 0 && index < matrix->operandCount;
}

void RunOnSelection(MERecord* r, int32_t code);

// The code once per element of the selected block, row by row; the block
// stays selected. A command may reshape the matrix, so each element is
// looked up afresh and the run stops where the matrix no longer has it.
void RunOnBlock(MERecord* r, int32_t code) {
  ExpressionRecord* matrix = r->selected;
  const int32_t start = r->rangeStart;
  const int32_t end = r->rangeEnd;
  if (!HoldsElement(matrix, start) || !HoldsElement(matrix, end)) return;
  const int32_t columns = matrix->payload.shape.columns;
  if (columns <= 0) return;
  for (int32_t row = start / columns; row <= end / columns; ++row) {
    for (int32_t column = start % columns; column <= end % columns; ++column) {
      const int32_t index = row * columns + column;
      if (!HoldsElement(matrix, index) || matrix->payload.shape.columns != columns) break;
      r->caretType = kIPWholeNode;
      r->selected = matrix->operands[index];
      RunOnSelection(r, code);
    }
  }
  r->caretType = kIPMatrixBlock;
  r->selected = matrix;
}

void RunOnSelection(MERecord* r, int32_t code) {
  bool runs = true;
  if (r->caretType == kIPOperandRange && code != kCodeWithoutGrouping) runs = MATH_IPisRange();
  if (runs && r->selected && (r->caretType == kIPWholeNode || r->caretType == kIPOperandRange)) {
    RunCommandsOf(code);
  } else if (r->caretType == kIPMatrixBlock && code != kCodeWithoutGrouping) {
    RunOnBlock(r, code);
  }
  EditorRecalculateAndDraw();
}

}  // namespace

void RunAlgebraCommand(MERecord* record, int32_t code) {
  if (!record) return;
  MERecord* const saved = gMathCurrentMEH;
  gMathCurrentMEH = record;
  // A shortage left over from an earlier computation must not stop this one.
  gMathError.store(0);
  RunOnSelection(record, code);
  gMathCurrentMEH = saved;
}
