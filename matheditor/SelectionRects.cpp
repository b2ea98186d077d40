#include "matheditor/SelectionRects.h"

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "expression/MathEditRecord.h"
#include "expression/SelectionGeometry.h"
#include "expression/SelectionQuestions.h"
#include "expression/TreeWalking.h"

namespace {

// Measures with another selection, restoring the record's own afterwards.
template <typename Measure>
void WithSelection(MERecord* r, ExpressionRecord* node, MathIPType type, Measure measure) {
  ExpressionRecord* const selected = r->selected;
  const MathIPType caretType = r->caretType;
  r->selected = node;
  r->caretType = type;
  measure();
  r->selected = selected;
  r->caretType = caretType;
}

}  // namespace

void GetSelectionRect(MRect& rect) {
  FRect box, companion;
  ME_GetIPRect(box, companion);
  rect.top = DoubleToInt16(DoubleToInt32(box.top) + gMathGlobalOffset_y);
  rect.left = DoubleToInt16(DoubleToInt32(box.left) + gMathGlobalOffset_x);
  rect.bottom = DoubleToInt16(DoubleToInt32(box.bottom) + gMathGlobalOffset_y);
  rect.right = DoubleToInt16(DoubleToInt32(box.right) + gMathGlobalOffset_x);
}

void GetFullExprRect(MRect& rect) {
  MERecord* r = gMathCurrentMEH;
  if (!r) return;
  WithSelection(r, r->root, kIPWholeNode, [&] { GetSelectionRect(rect); });
}

void GetSelectionRectOfWhatWillBeCopied(MRect& rect) {
  MERecord* r = gMathCurrentMEH;
  if (r && r->caretType == kIPOperator)
    WithSelection(r, r->selected, kIPWholeNode, [&] { GetSelectionRect(rect); });
  else
    GetSelectionRect(rect);
}

void DIM_GetScreenRectOfAtom(int32_t variableId, MRect& rect) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root) return;
  for (ExpressionRecord* n = r->root; n; n = NextTopDownWithin(n, r->root))
    if (n->opcode == kOpAtom && n->payload.id == variableId) {
      WithSelection(r, n, kIPWholeNode, [&] { GetSelectionRect(rect); });
      return;
    }
}

bool DIM_PointInSelection(MPoint point) {
  const MERecord* r = gMathCurrentMEH;
  if (!r || r->caretType != kIPWholeNode) return false;
  MRect rect;
  GetSelectionRect(rect);
  return IsOurPointInRect(point, rect);
}

bool DIM_PointInGrabbableSelection(MPoint point) {
  if (!DIM_SelectionIsGrabbable()) return false;
  MRect rect;
  GetSelectionRect(rect);
  return IsOurPointInRect(point, rect);
}

int32_t GetBaselineOfExpr(const ExpressionRecord* node) {
  return node && node->editData ? DoubleToInt32(node->editData->descent) : 0;
}

int32_t GetBaselineOfSelection() { return gMathCurrentMEH ? GetBaselineOfExpr(gMathCurrentMEH->selected) : 0; }

int32_t GetBaselineOfFullExpr() { return gMathCurrentMEH ? GetBaselineOfExpr(gMathCurrentMEH->root) : 0; }
