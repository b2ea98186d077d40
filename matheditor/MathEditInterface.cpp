#include "matheditor/MathEditInterface.h"

#include "platform/CheckedConvert.h"
#include "CoreUtilities/OurDrawing.h"
#include "CoreUtilities/ScopedSavers.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/KeyMap.h"
#include "matheditor/LayoutPipeline.h"

namespace {

// The laid-out root's box, or null when the record cannot be laid out.
const EditData* LaidOutRoot(MERecord* record) {
  if (!record) return nullptr;
  MESetCurrentEqn(record, record->window);
  MATH_Hmm();
  return record->layoutValid && record->root ? record->root->editData : nullptr;
}

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
