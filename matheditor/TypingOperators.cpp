#include "matheditor/TypingOperators.h"

#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGrouping.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/Deletion.h"
#include "matheditor/EditorDocumentHooks.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"
#include "matheditor/TypingHelpers.h"

#include <new>
#include <utility>
#include <vector>

namespace {

void SelectNode(ExpressionRecord* node) { MOVE_SetIP(node, kIPWholeNode); }

// The node becomes an empty string with the caret in it.
void BecomeEmptyString(ExpressionRecord* node) {
  Tree string(NewExpression(kOpString, 0));
  if (!string) return;
  string->text = new (std::nothrow) UniChar[1]{};
  if (!string->text || !DeleteOperandsTransferAndDispose(std::move(string), node)) return;
  MERecord* r = gMathCurrentMEH;
  r->selected = node;
  r->caretType = kIPStringText;
  r->rangeStart = r->rangeEnd = 0;
}

// The dot or cross key on the argument of grad makes it div or curl.
bool GradBecomes(ExpressionRecord* node, OpCodeT kind) {
  ExpressionRecord* grad = node->parent;
  if (!grad || grad->opcode != kOpGrad || IndexInParent(node) != 0) return false;
  grad->opcode = kind == kOpDot ? kOpDiv : kOpCurl;
  SizeNode(grad, 1);
  return true;
}

void DotOrCross(OpCodeT kind, int32_t index) {
  if (!GradBecomes(gMathCurrentMEH->selected, kind)) KEY_Generic(kind, 2, index);
}

// A new factor after (before) the caret node, which the kind then fills.
void FactorFilledWith(OpCodeT kind, bool after) {
  ExpressionRecord* prompt = after ? KEY_NOpAfterExpr(kOpTimes) : KEY_NOpBeforeExpr(kOpTimes);
  if (!prompt) return;
  if (kind == kOpString) {
    BecomeEmptyString(prompt);
  } else {
    KEY_Generic(kind, 1, 0);
  }
}

// A new term after the caret node with the sign on it.
void SignedTerm(OpCodeT kind) {
  if (KEY_NOpAfterExpr(kOpPlus)) KEY_Generic(kind, 1, 0);
}

ExpressionRecord* ClimbAfterFunction(ExpressionRecord* node) {
  while (node->parent && IsAfterFunction(node)) node = node->parent;
  return node;
}

// With a node selected (caret type 0).
void OperateOnSelection(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* node = r->selected;
  const bool prompt = node->opcode == kOpPrompt;
  if (kind == kOpPlus) {
    KEY_NOpAfterExpr(kOpPlus);
  } else if (kind == kOpTimes) {
    KEY_NOpBeforeExpr(kOpTimes);
  } else if (kind == kOpString) {
    if (prompt) {
      BecomeEmptyString(node);
    } else if (ExpressionRecord* factor = KEY_NOpAfterExpr(kOpTimes)) {
      BecomeEmptyString(factor);
    }
  } else if (kind == kOpMatrix) {
    KEY_Generic(kOpMatrix, 1, 0);
  } else if (IsSignKind(kind)) {
    if (prompt) {
      KEY_Generic(kind, 1, 0);
    } else {
      SignedTerm(kind);
    }
  } else if (kind == kOpDot || kind == kOpCross) {
    DotOrCross(kind, 0);
  } else {
    switch (ClassOfKind(kind)) {
      case kInfixList: KEY_NOpAfterExpr(kind); break;
      case kPrefix:
      case kEnclosing:
      case kPostfix: KEY_Generic(kind, 1, 0); break;
      case kTwoPartLayout: KEY_Generic(kind, 2, kind == kOpInterval && prompt ? 1 : 0); break;
      default: break;
    }
  }
}

// Element by element with the clipboard: a matrix of the block's shape is
// added or subtracted, anything else multiplies each element.
void BlockArithmetic(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* matrix = r->selected;
  const ExpressionRecord* clip = gMathClipboard;
  if (!clip || matrix->opcode != kOpMatrix || matrix->payload.shape.columns == 0) return;
  const int32_t columns = matrix->payload.shape.columns;
  const int32_t top = r->rangeStart / columns, left = r->rangeStart % columns;
  const int32_t bottom = r->rangeEnd / columns, right = r->rangeEnd % columns;
  if (bottom < top || right < left || r->rangeEnd >= matrix->operandCount) return;
  const bool additive = kind == kOpPlus || kind == kOpMinus;
  if (additive) {
    if (clip->opcode != kOpMatrix || clip->payload.shape.rows != bottom - top + 1 ||
        clip->payload.shape.columns != right - left + 1)
      return;
  } else if (kind != kOpTimes || clip->opcode == kOpMatrix) {
    return;
  }
  for (int32_t row = top; row <= bottom; ++row) {
    for (int32_t column = left; column <= right; ++column) {
      ExpressionRecord* element = matrix->operands[row * columns + column];
      if (!additive) {
        DO_MultOn(element, Copy(clip));
        continue;
      }
      ExpressionRecord* other = Copy(clip->operands[(row - top) * (right - left + 1) + column - left]);
      if (kind == kOpMinus) other = NewUnop(kOpMinus, other);
      DO_PlusOn(element, other);
    }
  }
}

// Operators after a factor that is not the last go in between.
void OperateBetweenFactors(OpCodeT kind) {
  if (kind == kOpTimes) {
    KEY_NOpAfterExpr(kOpTimes);
  } else if (kind == kOpString || kind == kOpMatrix) {
    FactorFilledWith(kind, true);
  } else if (IsSignKind(kind)) {
    KEY_BetweenLikeBefore(kind);
  } else if (ClassOfKind(kind) == kInfixList) {
    KEY_InfixBetween(kind);
  } else if (ClassOfKind(kind) == kPostfix) {
    KEY_Generic(kind, 1, 0);
  } else {
    KEY_BetweenLikeBefore(kind);
  }
}

// Times after a named function or log (or its negation) multiplies the
// whole function.
ExpressionRecord* WholeFunctionBefore(ExpressionRecord* node) {
  ExpressionRecord* parent = node->parent;
  if (parent && (IsFxn(parent->opcode) || parent->opcode == kOpLog) && IndexInParent(node) == 0) node = parent;
  if (node->parent && node->parent->opcode == kOpMinus && IsFxn(node->opcode)) node = node->parent;
  return node;
}

bool NamesADefinedFunction(const ExpressionRecord* node) {
  return IsAtomicOrSubscriptedLetter(node) && IsNameFunctionDefinition(node, gMathCurrentMEH->document);
}

void SetStopFlag(ExpressionRecord* atom) {
  if (atom->opcode != kOpAtom) return;
  const UniChar* name = AtomName(atom);
  if (!name || !name[0] || name[1]) return;
  atom->AllocateEditDataIfNecessary();
  if (atom->editData) atom->editData->styleFlags |= kStopLetterScan;
}

// The factors after the caret node (a factor but not the last) as one
// node: the next factor alone, or a new product of the rest.
ExpressionRecord* GroupFactorsAfter(ExpressionRecord* node) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* product = node->parent;
  const int32_t index = IndexInParent(node);
  if (index + 2 == product->operandCount) return product->operands[index + 1];
  r->selected = product;
  r->caretType = kIPOperandRange;
  r->rangeStart = index + 1;
  r->rangeEnd = product->operandCount - 1;
  return MATH_IPisRange() ? r->selected : nullptr;
}

ExpressionRecord* ClimbOutOfSubscript(ExpressionRecord* node) {
  return IsExprSubscriptedLetter(node->parent) && IndexInParent(node) == 0 ? node->parent : node;
}

// Typed with digits selected, these go beside them rather than around.
bool IsBesideKind(OpCodeT kind) {
  const uint8_t c = ClassOfKind(kind);
  return c == kInfixList || c == kLeaf || IsSignKind(kind);
}

}  // namespace

bool KEY_InfixBetween(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !IsInnerFactor(r->selected)) return false;
  ExpressionRecord* product = r->selected->parent;
  const int32_t split = IndexInParent(r->selected) + 1;
  const int32_t n = product->operandCount;
  const std::vector<ExpressionRecord*> factors(product->operands, product->operands + n);
  const int32_t from[2] = {0, split}, to[2] = {split, n};
  ExpressionRecord* sides[2] = {nullptr, nullptr};
  for (int side = 0; side < 2; ++side) {
    if (to[side] - from[side] > 1) sides[side] = NewExpression(kOpTimes, to[side] - from[side]);
  }
  const bool made = (split == 1 || sides[0]) && (n - split == 1 || sides[1]);
  // The product's node takes the new kind in place, its two sides below.
  if (!made || !SizeNode(product, 2)) {
    for (ExpressionRecord* side : sides)
      if (side) DisposeNode(side);
    return false;
  }
  for (int side = 0; side < 2; ++side) {
    if (!sides[side]) {
      sides[side] = factors[from[side]];
    } else {
      for (int32_t i = from[side]; i < to[side]; ++i) {
        sides[side]->operands[i - from[side]] = factors[i];
        factors[i]->parent = sides[side];
      }
    }
    product->operands[side] = sides[side];
    sides[side]->parent = product;
  }
  product->opcode = kind;
  ExpressionRecord* head = sides[1]->opcode == kind ? sides[1]->operands[0] : sides[1];
  // Same-kind sides and a same-kind parent merge while the lists stay
  // within the operand limit.
  if (sides[1]->opcode == kind) SIMP_ReplaceNthWithAll(product, 1);
  if (sides[0]->opcode == kind) SIMP_ReplaceNthWithAll(product, 0);
  if (product->parent && product->parent->opcode == kind)
    SIMP_ReplaceNthWithAll(product->parent, IndexInParent(product));
  MOVE_SetIP(head, kIPBeforeNode);
  return true;
}

void KEY_BetweenLikeBefore(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !IsInnerFactor(r->selected)) return;
  if (IsSignKind(kind)) {
    if (!KEY_InfixBetween(kOpPlus)) return;
    SelectNode(r->selected);
    KEY_Generic(kind, 1, 0);
    return;
  }
  ExpressionRecord* after = GroupFactorsAfter(r->selected);
  if (!after) return;
  SelectNode(after);
  OperateOnSelection(kind);
}

void KEY_OperateAfterExpr(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (kind == kOpTimes) SetStopFlag(node);
  node = NodeTheCaretEnds(node);
  r->selected = node;
  if (IsInnerFactor(node)) {
    OperateBetweenFactors(kind);
    return;
  }
  if (kind == kOpId && NamesADefinedFunction(ClimbOutOfSubscript(node))) {
    SelectNode(ClimbOutOfSubscript(node));
    KEY_Generic(kOpFunction, 2, 0);
  } else if (kind == kOpPlus) {
    r->selected = ClimbAfterFunction(node);
    KEY_NOpAfterExpr(kOpPlus);
  } else if (IsSignKind(kind)) {
    r->selected = ClimbAfterFunction(node);
    SignedTerm(kind);
  } else if (kind == kOpTimes) {
    r->selected = WholeFunctionBefore(node);
    KEY_NOpAfterExpr(kOpTimes);
  } else if (kind == kOpString) {
    if (node->opcode == kOpPrompt) {
      BecomeEmptyString(node);
    } else {
      FactorFilledWith(kOpString, true);
    }
  } else if (kind == kOpMatrix) {
    FactorFilledWith(kOpMatrix, true);
  } else if (kind == kOpDot || kind == kOpCross) {
    DotOrCross(kind, 0);
  } else {
    switch (ClassOfKind(kind)) {
      case kInfixList: KEY_NOpAfterExpr(kind); break;
      case kPostfix: KEY_Generic(kind, 1, 0); break;
      case kPrefix:
      case kEnclosing: FactorFilledWith(kind, true); break;
      case kTwoPartLayout: KEY_Generic(kind, 2, 0); break;
      default: break;
    }
  }
}

void KEY_OperateBeforeExpr(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (kind == kOpString || kind == kOpMatrix) {
    FactorFilledWith(kind, false);
  } else if (kind == kOpDot || kind == kOpCross) {
    DotOrCross(kind, 1);
  } else if (IsSignKind(kind)) {
    if (IsProductNode(node->parent) && IndexInParent(node) == 0) node = node->parent;
    SelectNode(node);
    KEY_Generic(kind, 1, 0);
  } else {
    switch (ClassOfKind(kind)) {
      case kInfixList: KEY_NOpBeforeExpr(kind); break;
      case kPrefix:
        SelectNode(node);
        KEY_Generic(kind, 1, 0);
        break;
      case kPostfix:
      case kEnclosing: FactorFilledWith(kind, false); break;
      case kTwoPartLayout:
        SelectNode(node);
        KEY_Generic(kind, 2, 1);
        break;
      default: break;
    }
  }
}

void KEY_OperKey(OpCodeT kind) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !FindOperatorInfo(kind)) return;
  switch (r->caretType) {
    case kIPMatrixBlock:
      BlockArithmetic(kind);
      EditorRecalculateAndDraw();
      return;
    case kIPStringText:
    case kIPNameText: return;
    case kIPOperator:
      if (kind == kOpPower && IsFxn(r->selected->opcode)) {
        SelectNode(r->selected);
      } else {
        DELETE_OperatorNoSetIp();
      }
      break;
    case kIPNumberText:
      // Selected digits are wrapped as a node; an infix sign or a leaf
      // goes beside them as beside the caret.
      if (r->rangeStart != r->rangeEnd && !IsBesideKind(kind)) {
        if (!KEY_SelectDigitRange()) return;
      } else {
        KEY_SplitNumber();
      }
      break;
    case kIPOperandRange:
      if (!MATH_IPisRange()) return;
      break;
    default: break;
  }
  switch (r->caretType) {
    case kIPWholeNode: OperateOnSelection(kind); break;
    case kIPAfterNode: KEY_OperateAfterExpr(kind); break;
    case kIPBeforeNode: KEY_OperateBeforeExpr(kind); break;
    default: break;
  }
  EditorRecalculateAndDraw();
}
