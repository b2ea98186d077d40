#include "expression/MathEditRecord.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditorHooks.h"
#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "platform/CheckedConvert.h"

#include <mutex>
#include <new>

MERecord* gMathCurrentMEH = nullptr;
int32_t gMathGlobalOffset_y = 0;
int32_t gMathGlobalOffset_x = 0;
float* gMathScriptSize = gMathDefaultSizes;
bool gShowPromptAsIP = false;

void MEInit() {
  static std::once_flag once;
  std::call_once(once, [] {
    gMathScriptSize = gMathDefaultSizes;
    MEM_CreateEmptyNodes();
    gDefaultDecimalTabChar = GetDecimalCharacter();
  });
}

MERecord* NewMEPtr() { return new (std::nothrow) MERecord{}; }

void DisposeME(MERecord* record) { delete record; }

MERecord* MATH_New() {
  MEInit();
  ExpressionRecord* prompt = NewPrompt();
  if (!prompt) return nullptr;
  MERecord* record = NewMEPtr();
  if (!record) {
    DisposExpr(prompt);
    ReportNodeMemoryExhausted();
    return nullptr;
  }
  record->root = prompt;
  record->lineCount = 1;
  record->sizeTable = gMathDefaultSizes;
  record->wrapWidth = kNoWrapWidth;
  record->selected = prompt;
  record->caretType = kIPWholeNode;
  return record;
}

void MEDispose(MERecord* record) {
  if (!record) return;
  if (record == gMathCurrentMEH) gMathCurrentMEH = nullptr;
  OurDisposeMemory(record->lineRows);
  DisposExpr(record->root);
  DisposeME(record);
}

void MESetCurrentEqn(MERecord* record, DocumentWindow* window) {
  if (!record) return;
  gMathCurrentMEH = record;
  if (const auto load = CurrentMathEditorHooks().loadDocumentGlobals) load(window);
  gMathGlobalOffset_y = record->drawRect[kDrawTop];
  gMathGlobalOffset_x = record->drawRect[kDrawLeft];
}

void MEActivate(MERecord* record, DocumentWindow* window) {
  if (!record) return;
  if (gMathCurrentMEH) gMathCurrentMEH->active = 0;
  record->active = 1;
  MESetCurrentEqn(record, window);
  UpdateIP(window);
}

DocumentWindow* UpdateIP(DocumentWindow* window) { return window; }

ExpressionRecord* GetExpr(const MERecord* record) { return record ? record->root : nullptr; }

bool IsPrompt(const MERecord* record) { return record && record->root && record->root->opcode == kOpPrompt; }

void GetDrawRect(const MERecord* record, int16_t rect[4]) {
  for (int side = 0; side < 4; ++side) rect[side] = record ? record->drawRect[side] : 0;
}

void ShiftDrawRectDown(MERecord* record, int16_t n) {
  if (record) record->drawRect[kDrawTop] = static_cast<int16_t>(record->drawRect[kDrawTop] - n);
}

int32_t GetBaselineOfMathEditRecord(const MERecord* record) {
  if (!record || !record->root || !record->root->editData) return 0;
  return DoubleToInt32(record->root->editData->ascent);
}
