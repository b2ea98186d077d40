#include "matheditor/MouseSelection.h"

#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGeometry.h"
#include "expression/SelectionQuestions.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathPaneHooks.h"
#include "matheditor/MouseTracking.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/Typesetters.h"

#include <algorithm>
#include <cmath>
#include <memory>

FPoint gStartPoint{};
FPoint gLastPoint{};
FRect gIPrect{};
int32_t gLiveDragging = 0;
bool gDraggedFar = false;
bool gIPisXored = false;

namespace {

constexpr float kIgnoredMove = 1;
constexpr float kRealDrag = 3;
constexpr float kDragStep = 12;
constexpr OpCodeT kMoveLeftInto = 0x2104;
constexpr OpCodeT kMoveRightInto = 0x2101;

bool Contains(const FRect& box, FPoint p) {
  return p.h >= box.left && p.h <= box.right && p.v >= box.top && p.v <= box.bottom;
}

FRect Bounds(const ExpressionRecord* node) {
  FRect box{};
  ME_GetScreenBounds(node, box);
  return box;
}

bool WithinOnePoint(FPoint a, FPoint b) {
  return std::fabs(a.h - b.h) <= kIgnoredMove && std::fabs(a.v - b.v) <= kIgnoredMove;
}

bool HasOperandsToSelect(const ExpressionRecord* node) {
  return SyntacticKindOf(node) != kLeaf && node->operandCount > 0;
}

const UniChar* LongNameOf(const ExpressionRecord* node) {
  if (node->opcode != kOpAtom) return nullptr;
  const UniChar* name = AtomName(node);
  return TextLength(name) > 1 ? name : nullptr;
}

bool IsFiniteNumber(const ExpressionRecord* node) {
  return node->opcode == kOpNumber && node->payload.number && std::isfinite(node->payload.number->value);
}

// The caret type of text typed inside the node, or the whole-node type when
// it holds no text a caret can stand in.
MathIPType TextTypeOf(const ExpressionRecord* node) {
  if (node->opcode == kOpString) return kIPStringText;
  if (IsFiniteNumber(node)) return kIPNumberText;
  if (LongNameOf(node)) return kIPNameText;
  return kIPWholeNode;
}

const UniChar* TextOf(const ExpressionRecord* node) {
  if (node->opcode == kOpString) return node->text;
  if (node->opcode == kOpNumber) return node->payload.number->text;
  return AtomName(node);
}

// The character offset under the point; a string counts its quotes, so
// the offset before its first character is 0 and -1 lies before the quote.
int32_t OffsetUnder(ExpressionRecord* node, FPoint p) {
  if (node->opcode != kOpString) return WhereInStr(p.h, node, TextOf(node));
  const std::unique_ptr<UniChar[]> quoted(OurStringCopyWithQuotes(node->text));
  return quoted ? WhereInStr(p.h, node, quoted.get()) - 1 : 0;
}

ExpressionRecord* NodeUnder(FPoint p) {
  ExpressionRecord* root = gMathCurrentMEH->root;
  return Contains(Bounds(root), p) ? CLICK_FindIterate(p, root) : root;
}

void Select(MERecord* r, ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0) {
  r->selected = node;
  r->caretType = type;
  r->rangeStart = start;
  r->rangeEnd = end;
}

// Where a click on the node puts the caret.
void PlaceCaret(MERecord* r, ExpressionRecord* node, FPoint p) {
  const FRect box = Bounds(node);
  if (node->opcode == kOpPrompt) {
    Select(r, node, kIPWholeNode);
    return;
  }
  if (p.h < box.left + (box.right - box.left) / 2) {
    Select(r, node, kIPBeforeNode);
  } else if (IsFxn(node->opcode) && node->operandCount == 1 && Bounds(node->operands[0]).left > p.h) {
    Select(r, node->operands[0], kIPBeforeNode);
  } else {
    Select(r, node, kIPAfterNode);
  }
  const int32_t length = TextLength(TextOf(node));
  if (node->opcode == kOpString) {
    const int32_t at = OffsetUnder(node, p);
    if (at < 0) {
      Select(r, node, kIPBeforeNode);
    } else if (at > length) {
      Select(r, node, kIPAfterNode);
    } else {
      Select(r, node, kIPStringText, at, at);
    }
  } else if (IsFiniteNumber(node) && length >= 2) {
    const int32_t at = OffsetUnder(node, p);
    if (at <= 0) {
      Select(r, node, kIPBeforeNode);
    } else if (at >= length) {
      Select(r, node, kIPAfterNode);
    } else {
      Select(r, node, kIPNumberText, at, at);
    }
  } else if (const UniChar* name = LongNameOf(node)) {
    const int32_t at = OffsetUnder(node, p);
    if (at < 1) {
      Select(r, node, kIPBeforeNode);
    } else if (at < length) {
      Select(r, node, kIPNameText, at, at);
    } else if (name[0] == u'\\') {
      Select(r, node, kIPNameText, length, length);
    } else {
      Select(r, node, kIPAfterNode);
    }
  }
}

void EraseCaretBar() {
  MERecord* r = gMathCurrentMEH;
  if (r->caretDrawn) XorIP(r->window);
  gIPisXored = false;
}

void Redraw() {
  DIM_RedrawMath();
  gIPisXored = gMathCurrentMEH->caretDrawn != 0;
}

// The child of the ancestor on the way down to the node.
ExpressionRecord* ChildToward(const ExpressionRecord* ancestor, ExpressionRecord* node) {
  while (node && node->parent != ancestor) node = node->parent;
  return node;
}

bool IsAncestorOrSelf(const ExpressionRecord* ancestor, const ExpressionRecord* node) {
  for (; node; node = node->parent)
    if (node == ancestor) return true;
  return false;
}

ExpressionRecord* NearestCommonAncestor(ExpressionRecord* a, const ExpressionRecord* b) {
  while (a && !IsAncestorOrSelf(a, b)) a = a->parent;
  return a;
}

bool IsNegatedTermOfSum(const ExpressionRecord* list, int32_t index) {
  return list->opcode == kOpPlus && index < list->operandCount && list->operands[index]->opcode == kOpMinus;
}

// Both ends in one string, number or long name: the text range follows the
// mouse.
bool ExtendTextRange(MERecord* r, ExpressionRecord* node, FPoint p) {
  const MathIPType type = TextTypeOf(node);
  if (type == kIPWholeNode) return false;
  const int32_t length = TextLength(TextOf(node));
  if (r->selected != node || r->caretType != type) {
    int32_t start = std::clamp(OffsetUnder(node, gStartPoint), 0, length);
    if (r->selected == node && r->caretType == kIPBeforeNode) start = 0;
    if (r->selected == node && r->caretType == kIPAfterNode) start = length;
    Select(r, node, type, start, start);
  }
  r->rangeEnd = std::clamp(OffsetUnder(node, p), 0, length);
  return true;
}

void SelectMatrixBlock(MERecord* r, ExpressionRecord* matrix, int32_t a, int32_t b) {
  const int32_t columns = std::max<int32_t>(1, matrix->payload.shape.columns);
  const int32_t top = std::min(a / columns, b / columns);
  const int32_t bottom = std::max(a / columns, b / columns);
  const int32_t left = std::min(a % columns, b % columns);
  const int32_t right = std::max(a % columns, b % columns);
  Select(r, matrix, kIPMatrixBlock, top * columns + left, bottom * columns + right);
}

bool InGap(const ExpressionRecord* list, int32_t i, FPoint p) {
  return p.h >= Bounds(list->operands[i]).right && p.h <= Bounds(list->operands[i + 1]).left;
}

void SelectOperandsOfList(MERecord* r, ExpressionRecord* list, int32_t i, int32_t j, FPoint p) {
  if (i > j) std::swap(i, j);
  const bool signBetween = j == i + 1 && list->opcode != kOpTimes && list->opcode != kOpBranch &&
                           !IsNegatedTermOfSum(list, j) && InGap(list, i, gStartPoint) && InGap(list, i, p);
  if (signBetween) {
    Select(r, list, kIPOperator, i, i);
  } else if (i == 0 && j == list->operandCount - 1) {
    Select(r, list, kIPWholeNode);
  } else {
    Select(r, list, kIPOperandRange, i, j);
  }
}

// The sign between two operands when press and mouse share its gap.
bool SelectSignInGap(MERecord* r, const ExpressionRecord* common, FPoint p) {
  ExpressionRecord* parent = common->parent;
  if (common->opcode == kOpMinus || !parent) return false;
  const bool hasSigns = parent->opcode == kOpDot || parent->opcode == kOpCross ||
                        (SyntacticKindOf(parent) == kInfixList && parent->opcode != kOpTimes);
  if (!hasSigns) return false;
  const int32_t gap = CLICK_OpNumBetween(parent, gStartPoint);
  if (gap < 0 || gap != CLICK_OpNumBetween(parent, p) || IsNegatedTermOfSum(parent, gap + 1)) return false;
  Select(r, parent, kIPOperator, gap, gap);
  return true;
}

// The selection spanning the anchor and the node under the mouse.
void SelectBetween(MERecord* r, ExpressionRecord* anchor, ExpressionRecord* current, FPoint p) {
  if (anchor == current && ExtendTextRange(r, current, p)) return;
  ExpressionRecord* common = NearestCommonAncestor(anchor, current);
  if (!common) common = r->root;
  const bool twoChildren = anchor != common && current != common;
  if (common->opcode == kOpMatrix && twoChildren) {
    SelectMatrixBlock(r, common, IndexInParent(ChildToward(common, anchor)),
                      IndexInParent(ChildToward(common, current)));
  } else if (SyntacticKindOf(common) == kInfixList && twoChildren) {
    SelectOperandsOfList(r, common, IndexInParent(ChildToward(common, anchor)),
                         IndexInParent(ChildToward(common, current)), p);
  } else if (!SelectSignInGap(r, common, p)) {
    Select(r, common, kIPWholeNode);
  }
}

void TrackFrom(ExpressionRecord* anchor) {
  FPoint now;
  while (DIM_MouseStillDownPinned(now)) MouseMovedInExpr(now, anchor);
}

}  // namespace

ExpressionRecord* CLICK_FindIterate(FPoint where, ExpressionRecord* node) {
  if (!node) return nullptr;
  for (bool descended = true; descended;) {
    descended = false;
    if (!HasOperandsToSelect(node)) break;
    for (int32_t i = node->operandCount - 1; i >= 0; --i) {
      ExpressionRecord* operand = node->operands[i];
      if (operand->editData && Contains(Bounds(operand), where)) {
        node = operand;
        descended = true;
        break;
      }
    }
  }
  if (SyntacticKindOf(node) != kInfixList || node->operandCount < 2) return node;
  for (int32_t i = 0; i + 1 < node->operandCount; ++i) {
    const FRect a = Bounds(node->operands[i]);
    const FRect b = Bounds(node->operands[i + 1]);
    if (where.h <= a.right) return node->operands[i];
    if (where.h < b.left) return where.h < (a.right + b.left) / 2 ? node->operands[i] : node->operands[i + 1];
  }
  return node;
}

int32_t CLICK_OpNumBetween(const ExpressionRecord* node, FPoint where) {
  if (!HasOperandsToSelect(node)) return -1;
  for (int32_t i = 0; i + 1 < node->operandCount; ++i)
    if (InGap(node, i, where)) return i;
  return -1;
}

int32_t LiveDraggingMouseMoved(FPoint where) {
  MERecord* r = gMathCurrentMEH;
  if (!r || WithinOnePoint(where, gLastPoint)) return 0;
  OpCodeT code = 0;
  if (where.h < gIPrect.left && where.h < gStartPoint.h - kDragStep) code = kMoveLeftInto;
  if (where.h > gIPrect.right && where.h > gStartPoint.h + kDragStep) code = kMoveRightInto;
  gLastPoint = where;
  if (code == 0) return 0;
  MATH_FunctionCode(code);
  MATH_Hmm();
  Redraw();
  gStartPoint = where;
  FRect companion;
  ME_GetIPRect(gIPrect, companion);
  return 1;
}

bool MouseMovedInExpr(FPoint where, ExpressionRecord* anchor) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root || WithinOnePoint(where, gLastPoint)) return false;
  if (gLiveDragging) {
    const bool moved = LiveDraggingMouseMoved(where) != 0;
    gDraggedFar = gDraggedFar || moved;
    return moved;
  }
  gLastPoint = where;
  FRect before, companion;
  ME_GetIPRect(before, companion);
  const MathIPType typeBefore = r->caretType;
  if (!anchor) anchor = NodeUnder(gStartPoint);
  ExpressionRecord* current = NodeUnder(where);
  EraseCaretBar();
  SelectBetween(r, anchor, current, where);
  FRect after;
  ME_GetIPRect(after, companion);
  const bool changed = r->caretType != typeBefore || after.top != before.top || after.left != before.left ||
                       after.bottom != before.bottom || after.right != before.right;
  if (changed) Redraw();
  return changed;
}

void MouseDownInExpr(FPoint where, bool extend, bool selectLeaf, bool dragAllowed) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root) return;
  gDraggedFar = false;
  gIPisXored = false;
  UNDO_HasMoved();
  gStartPoint = gLastPoint = where;
  FRect selection, companion;
  ME_GetIPRect(selection, companion);
  if (extend && r->selected) {
    ExpressionRecord* anchor = r->selected;
    if (r->caretType == kIPOperandRange && HasOperandsToSelect(anchor)) {
      const int32_t end = where.h < selection.left ? r->rangeEnd : r->rangeStart;
      anchor = anchor->operands[std::clamp<int32_t>(end, 0, anchor->operandCount - 1)];
    }
    gLastPoint.h += 2;
    TrackFrom(anchor);
  } else {
    if (dragAllowed && DIM_SelectionIsGrabbable() && Contains(selection, where)) {
      gIPrect = selection;
      gLiveDragging = 1;
      bool real = false;
      const FPoint press = where;
      FPoint now;
      while (DIM_MouseStillDown(now)) {
        LiveDraggingMouseMoved(now);
        real = real || std::fabs(now.h - press.h) > kRealDrag || std::fabs(now.v - press.v) > kRealDrag;
      }
      gLiveDragging = 0;
      if (real) return;
      gStartPoint = gLastPoint = where;
    }
    ExpressionRecord* node = NodeUnder(where);
    PlaceCaret(r, node, where);
    if (node->opcode == kOpPrompt) Redraw();
    if (!selectLeaf) {
      EraseCaretBar();
      XorIP(r->window);
      gIPisXored = r->caretDrawn != 0;
    } else if (!HasOperandsToSelect(node)) {
      Select(r, node, kIPWholeNode);
      Redraw();
    } else {
      gLastPoint.h += 2;
    }
    TrackFrom(nullptr);
  }
  EraseCaretBar();
  MOVE_SetIP(r->selected, r->caretType);
}
