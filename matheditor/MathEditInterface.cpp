#include "matheditor/MathEditInterface.h"

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/KeyMap.h"
#include "expression/SelectionGeometry.h"
#include "expression/SelectionQuestions.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathPaneHooks.h"
#include "matheditor/MouseSelection.h"

namespace {

// The laid-out root's box, or null when the record cannot be laid out.
const EditData* LaidOutRoot(MERecord* record) {
  if (!record) return nullptr;
  MESetCurrentEqn(record, record->window);
  MATH_Hmm();
  return record->layoutValid && record->root ? record->root->editData : nullptr;
}

// The caret shows as a bar rather than a highlight.
bool CaretIsBar(const MERecord* r) {
  switch (r->caretType) {
    case kIPAfterNode:
    case kIPBeforeNode: return true;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText: return r->rangeStart == r->rangeEnd;
    default: return gShowPromptAsIP && r->selected && r->selected->opcode == kOpPrompt;
  }
}

bool PointInBox(const FRect& box, FPoint p) {
  return p.h >= box.left && p.h <= box.right && p.v >= box.top && p.v <= box.bottom;
}

// The time of the last caret toggle, shared by every record.
uint32_t sLastIPTime = 0;

}  // namespace

MERecord* MENew(DocumentWindow* window) {
  MERecord* record = MATH_New();
  if (!record) return nullptr;
  record->window = window;
  MESetCurrentEqn(record, window);
  for (int16_t& side : record->drawRect) side = 0;
  gShowPromptAsIP = true;
  return record;
}

void MEUpdate(MERecord* record, DocumentWindow* window, MathGraphicsContext* context) {
  if (!record) return;
  APushPenState savedPen;
  MESetCurrentEqn(record, window);
  MATH_Hmm();
  OurPenSize(1);
  OurPenNormal();
  gMathGlobalOffset_y = record->drawRect[kDrawTop];
  gMathGlobalOffset_x = record->drawRect[kDrawLeft];
  if (record->layoutValid) OUTPUT_DrawExpression(record->root, context);
  record->caretDrawn = 0;
}

int32_t MEHeight(MERecord* record) {
  const EditData* e = LaidOutRoot(record);
  return e ? DoubleToInt32(e->ascent + e->descent) : 0;
}

int32_t MEWidth(MERecord* record) {
  const EditData* e = LaidOutRoot(record);
  return e ? DoubleToInt32(e->width) : 0;
}

int32_t MEKey(uint32_t unicode, uint8_t keyCharacter, int32_t modifiers, MERecord* record, DocumentWindow* window) {
  if (!record) return 0;
  MESetCurrentEqn(record, window);
  const int32_t code = Xlate(unicode, keyCharacter, modifiers);
  APushPenState savedPen;
  MESetCurrentEqn(record, window);
  if (code == 0) return 0;
  const bool moves = code >= kCodeFirstMove && code <= kCodeLastMove && code != kCodeBackspace;
  gShowPromptAsIP = !moves;
  if (code == kCodeUnicodeInput) {
    MATH_UnicodeInput(unicode);
  } else {
    MATH_FunctionCode(code);
  }
  return code;
}

void MEClick(MPoint where, bool extend, bool dragAllowed, bool selectLeaf, MERecord* record, DocumentWindow* window) {
  if (!record) return;
  APushPenState savedPen;
  MEActivate(record, window);
  FPoint point{static_cast<float>(where.v - gMathGlobalOffset_y), static_cast<float>(where.h - gMathGlobalOffset_x)};
  UnVirtual(&point);
  FRect box, companion;
  ME_GetIPRect(box, companion);
  if (!(dragAllowed && DIM_SelectionIsGrabbable() && PointInBox(box, point))) {
    const MathIPType type = record->caretType;
    record->active = 0;
    record->caretType = kIPAfterNode;
    DIM_RedrawMath();
    record->active = 1;
    MEActivate(record, window);
    record->caretType = type;
  }
  if (record->caretDrawn) XorIP(window);
  const bool promptAsCaret = gShowPromptAsIP && record->selected && record->selected->opcode == kOpPrompt;
  gShowPromptAsIP = false;
  if (promptAsCaret) DIM_RedrawMath();
  MouseDownInExpr(point, extend, selectLeaf, dragAllowed);
}

void MEIdle(MERecord* record, DocumentWindow* window) {
  if (!record || !record->active) return;
  const uint32_t now = OurTime();
  if (now - sLastIPTime <= OurDuration(OurGetCaretTime())) return;
  MESetCurrentEqn(record, window);
  sLastIPTime = now;
  XorIP(window);
}

void XorIP(DocumentWindow*) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->layoutValid || !CaretIsBar(r)) return;
  APushPenState savedPen;
  float x = 0, y1 = 0, y2 = 0;
  MATH_GetIPCoords(&x, &y1, &y2);
  OurPenSize(1);
  OurPenXor();
  LB_MoveTo(x, y1, nullptr);
  LB_LineTo(x, y2, nullptr);
  OurPenNormal();
  r->caretDrawn = !r->caretDrawn;
}
