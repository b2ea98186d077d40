#include "matheditor/CaretMovement.h"

#include "CoreUtilities/text/OurCursorMovement.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/MouseSelection.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/TreeOrder.h"

#include <algorithm>
#include <vector>

namespace {

bool HasOperands(const ExpressionRecord* node) { return SyntacticKindOf(node) != kLeaf && node->operandCount > 0; }

bool IsPrefixOrEnclosing(const ExpressionRecord* node) {
  const uint8_t kind = SyntacticKindOf(node);
  return HasOperands(node) && (kind == kPrefix || kind == kEnclosing);
}

bool IsLast(const ExpressionRecord* node) {
  return node->parent && IndexInParent(node) == node->parent->operandCount - 1;
}

const UniChar* LongName(const ExpressionRecord* node) {
  if (node->opcode != kOpAtom) return nullptr;
  const UniChar* name = AtomName(node);
  return TextLength(name) > 1 ? name : nullptr;
}

void SetText(MERecord* r, ExpressionRecord* node, MathIPType type, int32_t offset) {
  r->selected = node;
  r->caretType = type;
  r->rangeStart = r->rangeEnd = offset;
}

// One character along the text, or out of it at its end.
void StepInText(MERecord* r, bool right) {
  ExpressionRecord* node = r->selected;
  const UniChar* text = CaretText(node, r->caretType);
  if (!text) return;
  const int32_t length = TextLength(text);
  const int32_t lo = std::clamp(std::min(r->rangeStart, r->rangeEnd), 0, length);
  const int32_t hi = std::clamp(std::max(r->rangeStart, r->rangeEnd), 0, length);
  if (lo != hi) {
    r->rangeStart = r->rangeEnd = right ? hi : lo;
    return;
  }
  const int32_t step = OurCursorMovement(text, lo, right ? kOurCursorRightward : kOurCursorLeftward);
  if (step == lo) {
    MOVE_SetIP(node, right ? kIPAfterNode : kIPBeforeNode);
  } else {
    r->rangeStart = r->rangeEnd = step;
  }
}

ExpressionRecord* Leftmost(ExpressionRecord* node) {
  while (HasOperands(node)) node = node->operands[0];
  return node;
}

ExpressionRecord* Rightmost(ExpressionRecord* node) {
  while (HasOperands(node)) node = node->operands[node->operandCount - 1];
  return node;
}

// The operand after (before) the node, climbing until one has one.
ExpressionRecord* NeighbourOperand(ExpressionRecord* node, bool next) {
  for (; node->parent; node = node->parent) {
    const int32_t index = IndexInParent(node) + (next ? 1 : -1);
    if (index >= 0 && index < node->parent->operandCount) return node->parent->operands[index];
  }
  return nullptr;
}

// The caret keeps its type on the new node, but a range or text offsets
// would mean nothing there: those become an insertion caret.
void ToNeighbour(MERecord* r, bool next) {
  ExpressionRecord* neighbour = NeighbourOperand(r->selected, next);
  ExpressionRecord* target = neighbour ? neighbour : r->root;
  MathIPType type = r->caretType;
  if (type != kIPWholeNode && type != kIPAfterNode && type != kIPBeforeNode) type = next ? kIPBeforeNode : kIPAfterNode;
  MOVE_SetIP(next ? Leftmost(target) : Rightmost(target), type);
}

void RightBefore(MERecord* r) {
  ExpressionRecord* node = r->selected;
  const UniChar* name = LongName(node);
  if (node->opcode == kOpNumber && TextLength(node->payload.number->text) > 1) {
    SetText(r, node, kIPNumberText, 1);
  } else if (node->opcode == kOpString) {
    SetText(r, node, kIPStringText, OurStringGetLeftmostCharacterPosition(node->text));
  } else if (name) {
    const int32_t step = OurCursorMovement(name, 0, kOurCursorRightward);
    if (step >= TextLength(name) && name[0] != u'\\') {
      MOVE_SetIP(node, kIPAfterNode);
    } else {
      SetText(r, node, kIPNameText, step);
    }
  } else if (IsPrefixOrEnclosing(node)) {
    MOVE_SetIP(node->operands[0], kIPBeforeNode);
  } else {
    MOVE_SetIP(node, kIPAfterNode);
  }
}

void LeftAfter(MERecord* r) {
  ExpressionRecord* node = r->selected;
  const UniChar* name = LongName(node);
  const uint8_t kind = SyntacticKindOf(node);
  if (node->opcode == kOpNumber && TextLength(node->payload.number->text) > 1) {
    SetText(r, node, kIPNumberText, TextLength(node->payload.number->text) - 1);
  } else if (node->opcode == kOpString) {
    SetText(r, node, kIPStringText, TextLength(node->text));
  } else if (name) {
    SetText(r, node, kIPNameText, OurCursorMovement(name, TextLength(name), kOurCursorLeftward));
  } else if (HasOperands(node) && (kind == kPostfix || kind == kEnclosing)) {
    MOVE_SetIP(node->operands[node->operandCount - 1], kIPAfterNode);
  } else if (HasOperands(node) && kind == kPrefix) {
    MOVE_SetIP(node->operands[0], kIPBeforeNode);
  } else {
    MOVE_SetIP(node, kIPBeforeNode);
  }
}

void LeftBefore(MERecord* r) {
  ExpressionRecord* node = r->selected;
  while (node->parent && IndexInParent(node) == 0) {
    if (IsPrefixOrEnclosing(node->parent)) {
      MOVE_SetIP(node->parent, kIPBeforeNode);
      return;
    }
    node = node->parent;
  }
  if (node->parent) MOVE_SetIP(node->parent->operands[IndexInParent(node) - 1], kIPAfterNode);
}

bool IsElementRange(const MERecord* r) {
  return r->rangeEnd >= 0 && r->rangeEnd < r->selected->operandCount && r->rangeStart >= 0 &&
         r->rangeStart < r->selected->operandCount;
}

bool IsMinMaxModClamp(OpCodeT kind) {
  return (kind >= kOpMod && kind <= kOpDataStdDev) || kind == kOpSlider || kind == kOpRotate ||
         kind == kOpInterpolate || kind == kOpAnd || kind == kOpOr;
}

}  // namespace

void MOVE_RightFromAfter() {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* node = r->selected;
  while (IsLast(node)) {
    ExpressionRecord* parent = node->parent;
    const OpCodeT kind = parent->opcode;
    if (kind == kOpOver || kind == kOpIndexes || kind == kOpPower) {
      MOVE_SetIP(parent, kIPAfterNode);
      return;
    }
    node = parent;
    const uint8_t syntax = SyntacticKindOf(node);
    if ((node->parent && node->parent->opcode == kOpMatrix) || syntax == kPostfix || syntax == kEnclosing ||
        syntax == kTwoPartLayout || node->opcode == kOpSqrt) {
      MOVE_SetIP(node, kIPAfterNode);
      return;
    }
  }
  while (node->parent && SyntacticKindOf(node->parent) == kPrefix && node->parent->opcode != kOpSqrt)
    node = node->parent;
  const int32_t index = IndexInParent(node);
  ExpressionRecord* parent = node->parent;
  if (!parent) return;
  if (index == 1 && (parent->opcode == kOpOver || parent->opcode == kOpIndexes || parent->opcode == kOpPower)) {
    MOVE_SetIP(parent, kIPAfterNode);
    return;
  }
  if (index + 1 >= parent->operandCount) {
    ExpressionRecord* ancestor = parent;
    while (ancestor && (SyntacticKindOf(ancestor) == kInfixList ||
                        (SyntacticKindOf(ancestor) == kPrefix && ancestor->opcode != kOpSqrt)))
      ancestor = ancestor->parent;
    if (ancestor) MOVE_SetIP(ancestor, kIPAfterNode);
    return;
  }
  ExpressionRecord* next = parent->operands[index + 1];
  const bool numbers = parent->opcode == kOpTimes && next->opcode == kOpNumber && node->opcode == kOpNumber;
  const bool negated = parent->opcode == kOpPlus && next->opcode == kOpMinus;
  const ExpressionRecord* was = r->selected;
  const MathIPType wasType = r->caretType;
  if (!numbers && !negated) {
    MOVE_SetIP(next, kIPBeforeNode);
    // Before the next operand may be held as where the caret already is
    // (between two letters of a product): then it steps over, as below.
    if (r->selected != was || r->caretType != wasType) return;
  }
  if (IsPrefixOrEnclosing(next)) {
    MOVE_SetIP(next->operands[0], kIPBeforeNode);
  } else {
    MOVE_SetIP(next, kIPAfterNode);
  }
}

void MOVE_RightArrowKey() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode:
      if (node->opcode == kOpPrompt) {
        ToNeighbour(r, true);
      } else {
        MOVE_SetIP(node, kIPAfterNode);
      }
      break;
    case kIPOperandRange:
    case kIPMatrixBlock:
      if (!HasOperands(node)) {
        MOVE_SetIP(node, kIPAfterNode);
      } else if (IsElementRange(r)) {
        MOVE_SetIP(node->operands[r->rangeEnd], kIPAfterNode);
      }
      break;
    case kIPOperator:
      if (SyntacticKindOf(node) == kInfixList && r->rangeStart >= 0 && r->rangeStart + 1 < node->operandCount) {
        MOVE_SetIP(node->operands[r->rangeStart + 1], kIPBeforeNode);
      } else if (SyntacticKindOf(node) == kPrefix && HasOperands(node)) {
        MOVE_SetIP(node->operands[0], kIPBeforeNode);
      }
      break;
    case kIPAfterNode: MOVE_RightFromAfter(); break;
    case kIPBeforeNode: RightBefore(r); break;
    default: StepInText(r, true); break;
  }
}

void MOVE_LeftArrowKey() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode:
      if (node->opcode == kOpPrompt) {
        ToNeighbour(r, false);
      } else {
        MOVE_SetIP(node, kIPBeforeNode);
      }
      break;
    case kIPOperandRange:
    case kIPMatrixBlock:
      if (!HasOperands(node)) {
        MOVE_SetIP(node, kIPBeforeNode);
      } else if (IsElementRange(r)) {
        MOVE_SetIP(node->operands[r->rangeStart], kIPBeforeNode);
      }
      break;
    case kIPOperator:
      if (SyntacticKindOf(node) == kInfixList && r->rangeStart >= 0 && r->rangeStart < node->operandCount) {
        MOVE_SetIP(node->operands[r->rangeStart], kIPAfterNode);
      } else if (SyntacticKindOf(node) == kPrefix) {
        MOVE_SetIP(node, kIPBeforeNode);
      }
      break;
    case kIPAfterNode: LeftAfter(r); break;
    case kIPBeforeNode: LeftBefore(r); break;
    default: StepInText(r, false); break;
  }
}

namespace {

void GrowText(bool right) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || (r->caretType != kIPStringText && r->caretType != kIPNameText)) return;
  const UniChar* text = CaretText(r->selected, r->caretType);
  if (!text) return;
  const int32_t length = TextLength(text);
  const int32_t lo = std::clamp(std::min(r->rangeStart, r->rangeEnd), 0, length);
  const int32_t hi = std::clamp(std::max(r->rangeStart, r->rangeEnd), 0, length);
  const int32_t step = OurCursorMovement(text, right ? hi : lo, right ? kOurCursorRightward : kOurCursorLeftward);
  r->rangeStart = std::min({lo, hi, step});
  r->rangeEnd = std::max({lo, hi, step});
}

// Outside a text: the selection grows as a drag from the caret node to
// where the plain arrow would put the caret.
void ExtendAsDrag(bool right) {
  MERecord* r = gMathCurrentMEH;
  const MERecord saved = *r;
  MATH_Hmm();
  // The drag starts where the caret is.
  float x = 0, bottom = 0, top = 0;
  MATH_GetIPCoords(&x, &bottom, &top);
  gStartPoint = FPoint{(bottom + top) / 2, x};
  const bool collapsesFirst =
      r->caretType == kIPWholeNode || r->caretType == kIPOperandRange || r->caretType == kIPOperator;
  for (int moves = collapsesFirst ? 2 : 1; moves > 0; --moves) {
    if (right) {
      MOVE_RightArrowKey();
    } else {
      MOVE_LeftArrowKey();
    }
  }
  MATH_Hmm();
  MATH_GetIPCoords(&x, &bottom, &top);
  r->selected = saved.selected;
  r->caretType = saved.caretType;
  r->rangeStart = saved.rangeStart;
  r->rangeEnd = saved.rangeEnd;
  if (gLiveDragging) return;
  // A key is never a repeat of the last mouse point.
  gLastPoint = FPoint{-1e9f, -1e9f};
  MouseMovedInExpr(FPoint{(bottom + top) / 2, x}, saved.selected);
}

void ShiftArrow(bool right) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPStringText || r->caretType == kIPNameText) {
    GrowText(right);
  } else {
    ExtendAsDrag(right);
  }
}

}  // namespace

void MOVE_ShiftRightArrowKey() { ShiftArrow(true); }
void MOVE_ShiftLeftArrowKey() { ShiftArrow(false); }

void MOVE_CycleForward() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* first = nullptr;
  ExpressionRecord* next = nullptr;
  bool passed = false;
  ForEachTopDown(r->root, [&](ExpressionRecord* node) {
    if (node == r->selected) {
      passed = true;
      return;
    }
    if (node->opcode != kOpPrompt) return;
    if (!first) first = node;
    if (passed && !next) next = node;
  });
  if (next || first) {
    MOVE_SetIP(next ? next : first, kIPWholeNode);
  } else {
    ToNeighbour(r, true);
  }
}

void MOVE_CycleBackward() {
  MERecord* r = gMathCurrentMEH;
  if (r && r->selected) ToNeighbour(r, false);
}

void MOVE_CloseParen() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  for (ExpressionRecord* node = r->selected->parent; node; node = node->parent) {
    if (node->opcode != kOpId && node->opcode != kOpFunction) continue;
    ExpressionRecord* target = node;
    if (node->opcode == kOpId && node->parent && IsMinMaxModClamp(node->parent->opcode)) target = node->parent;
    MOVE_SetIP(target, kIPAfterNode);
    return;
  }
}
