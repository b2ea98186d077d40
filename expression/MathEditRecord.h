#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;
class Table;
struct DocumentWindow;

// Where the caret or selection of a record stands relative to its selected
// node. Values above kIPNameText occur and count as carets.
enum MathIPType : int32_t {
  kIPWholeNode = 0,
  kIPOperandRange = 1,  // operands rangeStart..rangeEnd
  kIPOperator = 2,      // the operator symbol after operand rangeStart
  kIPAfterNode = 3,
  kIPBeforeNode = 4,
  kIPMatrixBlock = 5,  // elements rangeStart..rangeEnd as corners
  kIPStringText = 6,   // character offsets in a string
  kIPNumberText = 7,   // offsets in a number's display digits
  kIPNameText = 8,     // offsets in a multi-letter name
};

enum DrawRectSide : int32_t { kDrawTop = 0, kDrawLeft = 1, kDrawBottom = 2, kDrawRight = 3 };

inline constexpr float kNoWrapWidth = 10000.0f;

// One display line of a broken formula: where it starts in the one-line
// layout and how far down it is shown.
struct LineRow {
  float start;
  float top;
};

// One editable, typeset formula. The layout words and the editor bytes are
// the math editor's.
struct MERecord {
  ExpressionRecord* root;
  int32_t lineCount;       // rows of lineRows; at least 1
  int32_t baselineOffset;  // root's descent less the axis shift, truncated
  float widestLine;        // the widest display line
  float* sizeTable;        // six sizes by size level
  int32_t layoutWord2;
  float wrapWidth;
  float lastLayoutWidth;
  int16_t drawRect[4];  // top and left are the drawing offset
  LineRow* lineRows;    // owned, OurAllocateMemory; null (one row at 0) before a layout
  int32_t layoutWord3;
  DocumentWindow* window;
  DocumentRecord* document;
  Table* table;  // the table the formula belongs to, or null
  ExpressionRecord* selected;
  MathIPType caretType;
  int32_t rangeStart;
  int32_t rangeEnd;
  uint8_t caretDrawn;  // the caret is on screen (XOR)
  uint8_t active;
  uint8_t layoutValid;
  uint8_t layoutValid2;  // cleared with layoutValid by every edit
};

// The current record; null when none. Interface thread only, as are the
// drawing offset and the current size table.
extern MERecord* gMathCurrentMEH;
extern int32_t gMathGlobalOffset_y;
extern int32_t gMathGlobalOffset_x;
extern float* gMathScriptSize;
extern bool gShowPromptAsIP;

// Sets up the editor's shared state; only the first call does anything.
void MEInit();

// Zeroed storage for one record; null when memory is refused.
MERecord* NewMEPtr();
void DisposeME(MERecord* record);

// A new record holding a lone prompt, selected; null when memory is refused.
MERecord* MATH_New();
// Frees the record and its tree; null is ignored. Disposing the current
// record leaves no current record.
void MEDispose(MERecord* record);

// Makes the record current and loads its window's document settings and
// drawing offset. MEActivate also gives it the editing focus, taking it from
// the record that was current. A null record is ignored.
void MESetCurrentEqn(MERecord* record, DocumentWindow* window);
void MEActivate(MERecord* record, DocumentWindow* window);

// The window's caret update; there is nothing for it to do.
DocumentWindow* UpdateIP(DocumentWindow* window);

ExpressionRecord* GetExpr(const MERecord* record);
bool IsPrompt(const MERecord* record);
void GetDrawRect(const MERecord* record, int16_t rect[4]);
void ShiftDrawRectDown(MERecord* record, int16_t n);  // top only
// The root's height above the baseline, truncated; 0 before any layout.
int32_t GetBaselineOfMathEditRecord(const MERecord* record);
