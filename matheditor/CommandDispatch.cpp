#include "matheditor/CommandDispatch.h"

#include "CoreUtilities/MemoryBudget.h"
#include "algebra/AlgebraCommands.h"
#include "expression/MathEditRecord.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/EditorDocumentHooks.h"

int32_t gCurrentFunctionCode = 0;
int32_t gLastFunctionCode = 0;
int32_t gMathUndoIPMovedFlag = 1;

namespace {

bool Within(int32_t code, int32_t first, int32_t last) { return code >= first && code <= last; }

// The change is one undo step of its own, and the next typing starts another.
void CommandSnapshot() {
  CacheMathState();
  gMathUndoIPMovedFlag = 1;
}

void StartCommand(int32_t code) {
  gLastFunctionCode = gCurrentFunctionCode;
  gCurrentFunctionCode = code;
  // A shortage from an earlier edit must not refuse this one.
  gMathError.store(0);
}

void SelectStringAfterCaret() {
  MERecord* r = gMathCurrentMEH;
  if (r && r->selected && r->caretType == kIPAfterNode && r->selected->opcode == kOpString)
    MOVE_SetIP(r->selected, kIPWholeNode);
}

void Move(int32_t code) {
  switch (code) {
    case 0x1601:
    case 0x160A:
      MOVE_GoUpExpr();
      break;
    case 0x1602:
    case 0x160B:
      MOVE_DownArrowKey();
      break;
    case 0x1605:
      SelectStringAfterCaret();
      break;
    case 0x1606:
      MOVE_GoDownRight();
      break;
    case 0x160F:
      MOVE_GoToNextPrompt();
      break;
    default:
      break;
  }
}

}  // namespace

void UNDO_HasMoved() {
  gCurrentFunctionCode = 0;
  gLastFunctionCode = 0;
  gMathUndoIPMovedFlag = 1;
}

void KEY_CommandKey(int32_t code) { RunAlgebraCommand(gMathCurrentMEH, code); }

void MATH_FunctionCode(OpCodeT code) {
  StartCommand(code);
  if (Within(code, kCodeFirstMove, kCodeLastMove) && code != kCodeBackspace) {
    UNDO_HasMoved();
    Move(code);
    return;
  }
  if (IsDesperatelyLowOnMemory()) return;
  if (Within(code, kCodeFirstAlgebra, kCodeLastAlgebra) && !Within(code, kCodeCut, kCodeClear)) {
    if (!Within(code, kCodeFirstTermMove, kCodeLastTermMove) ||
        !Within(gLastFunctionCode, kCodeFirstTermMove, kCodeLastTermMove))
      CommandSnapshot();
    KEY_CommandKey(code);
  }
}
