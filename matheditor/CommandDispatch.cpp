#include "matheditor/CommandDispatch.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "algebra/AlgebraCommands.h"
#include "expression/MathEditRecord.h"
#include "matheditor/CaretMovement.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/Deletion.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/EditorDocumentHooks.h"
#include "matheditor/Typing.h"
#include "matheditor/TypingOperators.h"
#include "CoreUtilities/text/NumberText.h"

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

// A run of typing is one undo step, until the caret moves or a command runs.
void TypingSnapshot() {
  if (!gMathUndoIPMovedFlag) return;
  CacheMathState();
  gMathUndoIPMovedFlag = 0;
}

MathIPType CaretType() { return gMathCurrentMEH ? gMathCurrentMEH->caretType : kIPWholeNode; }

// The special symbols typed by code, with their variable ids.
int32_t SymbolId(int32_t code) {
  switch (code) {
    case 0x1306: return 2;
    case 0x1312: return 1;
    case 0x1314: return 3;
    case 0x1328: return 6;
    case 0x1332: return 5;
    default: return 0;
  }
}

bool IsLetter(int32_t code) { return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z'); }

void Type(int32_t code) {
  constexpr int32_t kBackslash = 0x5C;
  const bool inString = CaretType() == kIPStringText;
  if (code == kBackslash) {
    TypingSnapshot();
    KEY_Backslash();
  } else if (code >= 0 && code <= 255 && inString) {
    TypingSnapshot();
    KEY_InString(uint32_t(code));
  } else if (code == kOpString && inString) {
    MOVE_SetIP(gMathCurrentMEH->selected, kIPAfterNode);
  } else if (code == gDefaultDecimalTabChar) {
    TypingSnapshot();
    KEY_DotKey();
  } else if (Within(code, kCodeFirstTemplate, kCodeLastTemplate)) {
    TypingSnapshot();
    KEY_TemplateKey(code);
  } else if (IsLetter(code)) {
    TypingSnapshot();
    KEY_AtomKey(uint32_t(code));
  } else if (SymbolId(code)) {
    TypingSnapshot();
    KEY_AtomKey(uint32_t(SymbolId(code)));
  } else if (code == kOpString || Within(code, kOpMatrix, kLastOperatorKind)) {
    TypingSnapshot();
    KEY_OperKey(code);
  } else if (code >= '0' && code <= '9') {
    TypingSnapshot();
    KEY_DigitKey(uint32_t(code));
  }
}

void SelectStringAfterCaret() {
  MERecord* r = gMathCurrentMEH;
  if (r && r->selected && r->caretType == kIPAfterNode && r->selected->opcode == kOpString)
    MOVE_SetIP(r->selected, kIPWholeNode);
}

void Move(int32_t code) {
  switch (code) {
    case 0x1600: MOVE_CycleForward(); break;
    case 0x1603:
    case 0x1608: MOVE_RightArrowKey(); break;
    case 0x1604:
    case 0x1607: MOVE_LeftArrowKey(); break;
    case 0x160C: MOVE_ShiftRightArrowKey(); break;
    case 0x160D: MOVE_ShiftLeftArrowKey(); break;
    case 0x160E: MOVE_CycleBackward(); break;
    case 0x1610: MOVE_CloseParen(); break;
    case 0x1601:
    case 0x160A: MOVE_GoUpExpr(); break;
    case 0x1602:
    case 0x160B: MOVE_DownArrowKey(); break;
    case 0x1605: SelectStringAfterCaret(); break;
    case 0x1606: MOVE_GoDownRight(); break;
    case 0x160F: MOVE_GoToNextPrompt(); break;
    default: break;
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
  if (code == kCodeBackspace) {
    // A run of backspaces is one undo step.
    if (gLastFunctionCode != kCodeBackspace) CommandSnapshot();
    DELETE_Key();
    return;
  }
  if (Within(code, kCodeFirstMove, kCodeLastMove)) {
    UNDO_HasMoved();
    Move(code);
    return;
  }
  if (code == kCodeForwardDelete) {
    CommandSnapshot();
    DELETE_Forward();
    return;
  }
  if (Within(code, kCodeCut, kCodeClear)) {
    if (code != kCodeCopy) CommandSnapshot();
    if (code == kCodeCut) CMD_EqnCut();
    if (code == kCodeCopy) CMD_EqnCopy();
    if (code == kCodePaste) CMD_EqnPaste();
    if (code == kCodeClear) CMD_Clear();
    return;
  }
  if (IsDesperatelyLowOnMemory()) return;
  if (Within(code, kCodeFirstAlgebra, kCodeLastAlgebra) && !Within(code, kCodeCut, kCodeClear)) {
    if (!Within(code, kCodeFirstTermMove, kCodeLastTermMove) ||
        !Within(gLastFunctionCode, kCodeFirstTermMove, kCodeLastTermMove))
      CommandSnapshot();
    KEY_CommandKey(code);
    return;
  }
  if (gMathCurrentMEH && gMathCurrentMEH->selected) Type(code);
}

void MATH_UnicodeInput(uint32_t c) {
  StartCommand(kCodeUnicodeInput);
  if (!gMathCurrentMEH || !gMathCurrentMEH->selected) return;
  TypingSnapshot();
  switch (CaretType()) {
    case kIPStringText: KEY_InString(c); break;
    case kIPNameText: KEY_InLongName(c); break;
    default: KEY_AtomKey(c); break;
  }
}
