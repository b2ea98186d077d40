#include "matheditor/Deletion.h"

#include "CoreUtilities/text/NumberText.h"
#include "CoreUtilities/text/OurCursorMovement.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGrouping.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/FormulaClipboard.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"

#include <algorithm>
#include <cmath>

namespace {

// The node becomes a prompt, selected.
void BecomePrompt(ExpressionRecord* node) {
  if (DeleteOperandsTransferAndDispose(Tree(NewPrompt()), node)) MOVE_SetIP(node, kIPWholeNode);
}

bool KeepsOperandPlaces(OpCodeT kind) {
  return kind == kOpOpTotal || kind == kOpOpPartial || kind == kOpSum || kind == kOpProduct || kind == kOpMatrix;
}

void DeleteSelectedNode(MERecord* r) {
  r->caretType = kIPWholeNode;
  DELETE_Expr();
}

// One character before (after) an empty range, or the range itself.
void DeleteInText(MERecord* r, bool forward) {
  const UniChar* text = CaretText(r->selected, r->caretType);
  if (!text) return;
  const int32_t length = TextLength(text);
  const bool lone = (r->selected->opcode == kOpString && length == 0) ||
                    (r->selected->opcode == kOpAtom && length == 1 && text[0] == u'\\');
  if (r->rangeStart == r->rangeEnd) {
    if (lone) {
      DeleteSelectedNode(r);
      return;
    }
    if (forward) {
      if (r->rangeEnd >= length) return;
      r->rangeEnd = OurCursorMovement(text, r->rangeEnd, kOurCursorNext);
    } else {
      if (r->rangeStart <= 0) return;
      r->rangeStart = OurCursorMovement(text, r->rangeStart, kOurCursorPrevious);
    }
  }
  ClearTextRange();
}

bool HasDecimalPoint(const UniChar* text) {
  for (; *text; ++text)
    if (*text == UniChar(gDefaultDecimalTabChar)) return true;
  return false;
}

// Two numbers side by side in a product become one, the caret at the
// junction; false when their texts together are too long or both hold
// the decimal character.
bool JoinNumbers(MERecord* r, ExpressionRecord* product, int32_t index) {
  ExpressionRecord* first = product->operands[index - 1];
  ExpressionRecord* second = product->operands[index];
  UniChar* text = first->payload.number->text;
  const UniChar* rest = second->payload.number->text;
  const int32_t length = TextLength(text);
  if (length + TextLength(rest) >= kNumberTextLength - 1 || (HasDecimalPoint(text) && HasDecimalPoint(rest)))
    return false;
  for (int32_t i = 0; i <= TextLength(rest); ++i) text[length + i] = rest[i];
  first->payload.number->value = Str2D(text);
  // A product of two keeps its own node, which takes the joined number.
  ExpressionRecord* joined = product->operandCount == 2 ? product : first;
  if (!MATH_DeleteOperand(product, index)) return false;
  r->selected = joined;
  r->caretType = kIPNumberText;
  r->rangeStart = r->rangeEnd = length;
  return true;
}

bool IsSignOfALaterTerm(const ExpressionRecord* node) {
  const OpCodeT kind = node->opcode;
  return (kind == kOpMinus || kind == kOpPlusOrMinus || kind == kOpMinusOrPlus) && node->parent &&
         node->parent->opcode == kOpPlus && IndexInParent(node) > 0;
}

// Operands index and index + 1 become one implicit product in place of
// the two, merged into a product around it. The caret goes at the
// junction, or after the product. False, nothing changed, when refused.
bool JoinAsProduct(ExpressionRecord* node, int32_t index, bool caretAtJunction) {
  if (index < 0 || index + 1 >= node->operandCount) return false;
  ExpressionRecord* before = node->operands[index];
  ExpressionRecord* after = node->operands[index + 1];
  const int32_t afterFactors = after->opcode == kOpTimes ? after->operandCount : 1;
  const int32_t beforeFactors = before->opcode == kOpTimes ? before->operandCount : 1;
  // Operand counts are 16-bit: a join must not pass the editing limit.
  if (beforeFactors + afterFactors > kMostEditedOperands) return false;
  ExpressionRecord* junction = after->opcode == kOpTimes ? after->operands[0] : after;
  const bool pair = node->operandCount == 2;
  if (!MATH_RemoveOperand(node, index + 1)) return false;
  after->parent = nullptr;
  ExpressionRecord* place = pair ? node : node->operands[index];
  if (!DO_MultOn(place, after)) return false;
  if (after->opcode == kOpTimes) SIMP_ReplaceNthWithAll(place, place->operandCount - 1);
  ExpressionRecord* product = junction->parent;
  if (product->parent && product->parent->opcode == kOpTimes) {
    ExpressionRecord* outer = product->parent;
    SIMP_ReplaceNthWithAll(outer, IndexInParent(product));
    product = junction->parent;
  }
  if (caretAtJunction) {
    MOVE_SetIP(junction, kIPBeforeNode);
  } else {
    MOVE_SetIP(product, kIPAfterNode);
  }
  return true;
}

void DeleteOperator(bool placeCaret) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || r->caretType != kIPOperator) return;
  ExpressionRecord* node = r->selected;
  const uint8_t kind = SyntacticKindOf(node);
  if (kind == kPrefix && node->operandCount == 1) {
    if (IsSignOfALaterTerm(node)) {
      ExpressionRecord* sum = node->parent;
      const int32_t index = IndexInParent(node);
      if (ReplaceWithFirstOperand(node)) JoinAsProduct(sum, index - 1, !placeCaret);
    } else if (ReplaceWithFirstOperand(node)) {
      MOVE_SetIP(node, kIPBeforeNode);
    }
  } else if (kind == kInfixList || node->opcode == kOpDot || node->opcode == kOpCross) {
    JoinAsProduct(node, r->rangeStart, !placeCaret);
  }
}

// Backspace before a node: what stands in front of it goes.
void DeleteBefore(MERecord* r) {
  for (ExpressionRecord* node = r->selected; node->parent; node = node->parent) {
    ExpressionRecord* parent = node->parent;
    const uint8_t kind = SyntacticKindOf(parent);
    const int32_t index = IndexInParent(node);
    if ((kind == kPrefix || kind == kEnclosing) && parent->operandCount == 1) {
      const bool laterTerm = IsSignOfALaterTerm(parent);
      ExpressionRecord* sum = parent->parent;
      const int32_t term = IndexInParent(parent);
      if (!ReplaceWithFirstOperand(parent)) return;
      r->selected = parent;
      if (laterTerm) {
        DELETE_Infix(sum, term - 1);
      } else {
        MOVE_SetIP(parent, kIPBeforeNode);
      }
      return;
    }
    if (kind == kInfixList && index > 0) {
      const bool numbers =
          parent->opcode == kOpTimes && node->opcode == kOpNumber && parent->operands[index - 1]->opcode == kOpNumber;
      if (!(numbers && JoinNumbers(r, parent, index))) DELETE_Infix(parent, index - 1);
      return;
    }
    if (kind == kTwoPartLayout && index == 1) {
      JoinAsProduct(parent, 0, true);
      return;
    }
    if (!((kind == kInfixList || kind == kPostfix) && index == 0)) return;
  }
}

void ByCaretType(bool forward) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  if (r->caretType == kIPOperandRange && !MATH_IPisRange()) return;
  SelectWholeTextAsNode();
  ExpressionRecord* node = r->selected;
  switch (r->caretType) {
    case kIPWholeNode:
    case kIPOperandRange:
      if (node->opcode == kOpPrompt) {
        DELETE_Prompt();
      } else {
        DELETE_Expr();
      }
      break;
    case kIPAfterNode:
      if (forward) return;
      if (node->opcode == kOpString && TextLength(node->text) > 0) {
        r->caretType = kIPStringText;
        r->rangeStart = r->rangeEnd = TextLength(node->text);
      } else if (node->opcode == kOpString) {
        DeleteSelectedNode(r);
      } else {
        DELETE_AfterExpr();
      }
      break;
    case kIPBeforeNode:
      if (!forward) DeleteBefore(r);
      break;
    case kIPOperator: DELETE_Operator(); break;
    case kIPMatrixBlock: MATH_DeleteSubMatrix(); break;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText: DeleteInText(r, forward); break;
    default: return;
  }
  EditorRecalculateAndDraw();
}

}  // namespace

void DELETE_Key() { ByCaretType(false); }
void DELETE_Forward() { ByCaretType(true); }

void DELETE_Expr() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  if (node == r->root && node->opcode == kOpPrompt) return;
  BecomePrompt(node);
  if (node->parent && node->parent->opcode == kOpTimes) DELETE_Prompt();
}

ExpressionRecord* DELETE_PromptFromParent(ExpressionRecord* prompt) {
  while (prompt->parent && prompt->parent->opcode == kOpMinus && prompt->parent->parent &&
         prompt->parent->parent->opcode == kOpPlus) {
    ExpressionRecord* negation = prompt->parent;
    if (!ReplaceWithFirstOperand(negation)) return nullptr;
    prompt = negation;
  }
  if (!prompt->parent) return nullptr;
  return DELETE_Operand(prompt->parent, IndexInParent(prompt));
}

ExpressionRecord* DELETE_Operand(ExpressionRecord* node, int32_t index) {
  if (index < 0 || index >= node->operandCount) return nullptr;
  if (node->operandCount == 1) {
    return DeleteOperandsTransferAndDispose(Tree(NewPrompt()), node) ? node : nullptr;
  }
  if (node->operandCount == 2 && !KeepsOperandPlaces(node->opcode)) {
    return MATH_DeleteOperand(node, index) ? node : nullptr;
  }
  if (!MATH_DeleteNOpOperand(node, index)) return nullptr;
  return node->operands[index > 0 ? index - 1 : 0];
}

void DELETE_Operator() {
  const MERecord* r = gMathCurrentMEH;
  if (r && r->caretType == kIPOperator && IsRelation(r->selected)) return;
  DeleteOperator(true);
}
void DELETE_OperatorNoSetIp() { DeleteOperator(false); }

void DELETE_Infix(ExpressionRecord* node, int32_t index) {
  if (node) JoinAsProduct(node, index, false);
}

void DELETE_Prompt() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || r->selected->opcode != kOpPrompt || !r->selected->parent) return;
  ExpressionRecord* prompt = r->selected;
  ExpressionRecord* term = prompt;
  if (term->parent->opcode == kOpMinus && term->parent->parent && term->parent->parent->opcode == kOpPlus)
    term = term->parent;
  ExpressionRecord* parent = term->parent;
  const bool first = IndexInParent(term) == 0;
  if (parent->opcode == kOpMatrix) {
    MatrixShape& shape = parent->payload.shape;
    // Only a single row or column can lose an element and stay a matrix.
    if (parent->operandCount < 2 || (shape.rows != 1 && shape.columns != 1)) return;
    const int32_t index = IndexInParent(term);
    if (!MATH_DeleteNOpOperand(parent, index)) return;
    (shape.rows == 1 ? shape.columns : shape.rows) -= 1;
    MOVE_SetIP(parent->operands[index > 0 ? index - 1 : 0], kIPAfterNode);
    return;
  }
  // An index place would leave the subscript's shape counts stale.
  if (parent->opcode == kOpIndexes && (first || parent->operandCount != 2)) return;
  if (first && parent->operandCount > 1 &&
      (parent->opcode == kOpSubstitution || parent->opcode == kOpSum || parent->opcode == kOpProduct)) {
    MOVE_SetIP(parent, kIPWholeNode);
    return;
  }
  ExpressionRecord* remaining = DELETE_PromptFromParent(prompt);
  if (remaining) MOVE_SetIP(remaining, first ? kIPBeforeNode : kIPAfterNode);
}

void DELETE_AfterExpr() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  ExpressionRecord* node = r->selected;
  while ((node->opcode == kOpTimes || node->opcode == kOpPlus) && node->operandCount > 0)
    node = node->operands[node->operandCount - 1];
  const uint8_t kind = SyntacticKindOf(node);
  if ((kind == kPostfix || kind == kEnclosing) && node->operandCount == 1) {
    const int32_t elements = node->operands[0]->operandCount;
    const bool merges = node->parent && node->operands[0]->opcode == node->parent->opcode &&
                        (node->parent->opcode == kOpTimes || node->parent->opcode == kOpPlus);
    if (!ReplaceWithFirstOperand(node)) return;
    ExpressionRecord* parent = node->parent;
    const int32_t index = IndexInParent(node);
    if (merges && SIMP_ReplaceNthWithAll(parent, index)) {
      MOVE_SetIP(parent->operands[index + elements - 1], kIPAfterNode);
    } else {
      MOVE_SetIP(node, kIPAfterNode);
    }
    return;
  }
  if (node->opcode == kOpNumber) {
    NumberBlock& number = *node->payload.number;
    const int32_t length = TextLength(number.text);
    if (length > 1 && !std::isinf(number.value)) {
      number.text[length - 1] = 0;
      number.value = Str2D(number.text);
      // ".5" less its digit reads as nothing: the number goes instead.
      if (!std::isnan(number.value)) {
        MOVE_SetIP(node, kIPAfterNode);
        return;
      }
    }
  }
  if (node == r->root && node->opcode == kOpPrompt) return;
  BecomePrompt(node);
}

void SelectWholeTextAsNode() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || (r->caretType != kIPNumberText && r->caretType != kIPNameText)) return;
  const int32_t length = TextLength(CaretText(r->selected, r->caretType));
  if (length > 0 && std::min(r->rangeStart, r->rangeEnd) <= 0 && std::max(r->rangeStart, r->rangeEnd) >= length)
    r->caretType = kIPWholeNode;
}
