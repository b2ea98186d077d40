#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGrouping.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/Deletion.h"
#include "matheditor/EditorDocumentHooks.h"
#include "matheditor/NodeQuestions.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"

#include <vector>

namespace {

constexpr OpCodeT kHyperbolicStep = kOpSinh - kOpSin;

bool IsCircular(OpCodeT kind) { return kind >= kOpSin && kind <= kOpAsec; }

ExpressionRecord* NewLetter(uint32_t c) {
  UniChar name[3] = {};
  if (c > 0xFFFF) {
    name[0] = UniChar(0xD800 + ((c - 0x10000) >> 10));
    name[1] = UniChar(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    name[0] = UniChar(c);
  }
  const int32_t id = GetVariableIDFromString(name);
  return id == kNoVariableID ? nullptr : Atomic(id);
}

// The letters a node spells in a name scan; null for a node that ends the
// scan. Special symbols are written by name but are not letters.
const UniChar* LettersOf(const ExpressionRecord* node) {
  if (node->opcode == kOpAtom) {
    if (IsSpecialSymbolChar(node->payload.id)) return nullptr;
    if (node->editData && (node->editData->styleFlags & kStopLetterScan)) return nullptr;
    return AtomName(node);
  }
  if (IsFxn(node->opcode)) return FindOperatorInfo(node->opcode)->name;
  return nullptr;
}

ExpressionRecord* PreviousExprWhileScanningStringBackwards(const ExpressionRecord* node) {
  ExpressionRecord* parent = node->parent;
  if (!parent) return nullptr;
  if (parent->opcode == kOpTimes) {
    const int32_t index = IndexInParent(node);
    if (index > 0) return parent->operands[index - 1];
    return parent->parent && IsFxn(parent->parent->opcode) ? parent->parent : nullptr;
  }
  return IsFxn(parent->opcode) ? parent : nullptr;
}

// The nodes whose letters end at the node and spell the end of the name,
// the node first; empty when they do not spell the whole name.
std::vector<ExpressionRecord*> LettersSpelling(ExpressionRecord* node, const UniChar* name) {
  std::vector<ExpressionRecord*> spelled;
  int32_t left = TextLength(name);
  for (ExpressionRecord* at = node; left > 0; at = PreviousExprWhileScanningStringBackwards(at)) {
    const UniChar* letters = at ? LettersOf(at) : nullptr;
    const int32_t length = TextLength(letters);
    if (length == 0 || length > left) return {};
    for (int32_t i = 0; i < length; ++i)
      if (letters[i] != name[left - length + i]) return {};
    left -= length;
    spelled.push_back(at);
  }
  return spelled;
}

// Removes the spelled letters other than the one kept: factors leave their
// product (a product of one collapses) and a named function around the
// product gives way to its argument. The selection follows a node that
// changes place.
void RemoveLetters(const std::vector<ExpressionRecord*>& spelled, ExpressionRecord* kept) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* product = nullptr;
  ExpressionRecord* function = nullptr;
  for (ExpressionRecord* letter : spelled) {
    if (letter == kept) continue;
    // A function is tested first: it may itself be a factor of a product.
    if (IsFxn(letter->opcode)) {
      function = letter;
    } else if (letter->parent && letter->parent->opcode == kOpTimes) {
      product = letter->parent;
      MATH_DeleteNOpOperand(product, IndexInParent(letter));
    }
  }
  auto collapse = [&](ExpressionRecord* node) {
    ExpressionRecord* survivor = node->operands[0];
    if (ReplaceWithFirstOperand(node) && r->selected == survivor) r->selected = node;
  };
  if (product && product->operandCount == 1) collapse(product);
  if (function && function->operandCount == 1) collapse(function);
}

// The letters spelled a function: it is applied to what follows them in
// the product (a new prompt when nothing does).
void KEY_ReplaceAtomsByFunction(OpCodeT kind, const std::vector<ExpressionRecord*>& spelled) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* atom = spelled.front();
  ExpressionRecord* product = atom->parent;
  const int32_t k = IndexInParent(atom);
  const int32_t n = product->operandCount;
  if (product->opcode != kOpTimes || k == n - 1) {
    r->selected = atom;
    if (!KEY_NOpAfterExpr(kOpTimes)) return;
  } else if (k == n - 2) {
    r->selected = product->operands[n - 1];
    r->caretType = kIPWholeNode;
  } else {
    r->selected = product;
    r->caretType = kIPOperandRange;
    r->rangeStart = k + 1;
    r->rangeEnd = n - 1;
    if (!MATH_IPisRange()) return;
  }
  if (!KEY_Generic(kind, 1, 0)) return;
  RemoveLetters(spelled, nullptr);
}

void KEY_ReplaceAtomsByString(const UniChar* name, const std::vector<ExpressionRecord*>& spelled) {
  ExpressionRecord* atom = spelled.front();
  const int32_t id = GetVariableIDFromString(name);
  if (id == kNoVariableID) return;
  atom->payload.id = id;
  RemoveLetters(spelled, atom);
  MOVE_SetIP(gMathCurrentMEH->selected, kIPAfterNode);
}

// The function kinds tried in order, longer inverse names first.
std::vector<OpCodeT> FunctionsByPriority() {
  std::vector<OpCodeT> kinds;
  auto add = [&](OpCodeT first, OpCodeT last) {
    for (OpCodeT kind = first; kind <= last; ++kind) kinds.push_back(kind);
  };
  add(kOpAsin, kOpAsec);
  add(kOpAsinh, kOpLog);
  add(kOpSin, kOpSec);
  add(kOpSinh, kOpSech);
  add(kOpGrad, kOpLap);
  add(kOpFloor, kOpCeil);
  add(kOpLn, kOpReal);
  for (OpCodeT kind = kOpReal; kind <= kLastOperatorKind; ++kind)
    if (IsFxn(kind)) kinds.push_back(kind);
  return kinds;
}

bool RecogniseFunction(ExpressionRecord* atom) {
  static const std::vector<OpCodeT> kinds = FunctionsByPriority();
  for (OpCodeT kind : kinds) {
    const std::vector<ExpressionRecord*> spelled = LettersSpelling(atom, FindOperatorInfo(kind)->name);
    if (spelled.empty()) continue;
    KEY_ReplaceAtomsByFunction(kind, spelled);
    return true;
  }
  return false;
}

bool RecogniseSymbol(ExpressionRecord* atom) {
  constexpr int32_t kSymbolsTypedByName = 5;  // not the ellipsis
  for (int32_t i = 0; i < kSymbolsTypedByName; ++i) {
    const SpecialSymbolInfo& symbol = gSpecialSymbolInfo[i];
    const std::vector<ExpressionRecord*> spelled = LettersSpelling(atom, symbol.name);
    if (spelled.empty()) continue;
    gMathCurrentMEH->selected = atom;
    if (!KEY_NOpAfterExpr(kOpTimes)) return true;
    KEY_AtomKey(symbol.variableId);
    RemoveLetters(spelled, nullptr);
    return true;
  }
  return false;
}

bool RecogniseName(ExpressionRecord* atom, const std::vector<const UniChar*>& names) {
  for (const UniChar* name : names) {
    if (TextLength(name) < 2) continue;
    const std::vector<ExpressionRecord*> spelled = LettersSpelling(atom, name);
    if (spelled.size() < 2) continue;
    KEY_ReplaceAtomsByString(name, spelled);
    return true;
  }
  return false;
}

void RecogniseNames(ExpressionRecord* atom) {
  MERecord* r = gMathCurrentMEH;
  if (RecogniseFunction(atom) || RecogniseSymbol(atom)) return;
  if (RecogniseName(atom, GetDocumentNames(r->document))) return;
  RecogniseName(atom, GetGlobalNames());
}

// Typing "h" against a circular function makes it hyperbolic.
void MakeHyperbolic(ExpressionRecord* function) { function->opcode += kHyperbolicStep; }

// The circular function that the node begins, climbing through postfix
// nodes and through infix lists and powers it is the first operand of.
ExpressionRecord* CircularFunctionBegun(ExpressionRecord* node) {
  for (ExpressionRecord* at = node; at->parent; at = at->parent) {
    ExpressionRecord* parent = at->parent;
    if (IsCircular(parent->opcode)) return parent;
    const uint8_t kind = SyntacticKindOf(parent);
    const bool first = IndexInParent(at) == 0;
    if (!(kind == kPostfix || (first && (kind == kInfixList || parent->opcode == kOpPower)))) return nullptr;
  }
  return nullptr;
}

bool IsLetterI(const ExpressionRecord* node) { return node->opcode == kOpAtom && node->payload.id == 'i'; }

bool HoldsIfCondition(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpBranch:
    case kOpLParen:
    case kOpComma:
    case kOpEquals:
    case kOpNotEqual:
    case kOpLess:
    case kOpLeq:
    case kOpGreater:
    case kOpGeq: return true;
    default: return false;
  }
}

// "i" then "f": the i goes, and what was typed before it, up to the
// enclosing piece, list or comparison, becomes the if's condition.
void KEY_IfTemplate() {
  MERecord* r = gMathCurrentMEH;
  DELETE_Key();
  // The i left a prompt: as a factor, it goes too.
  if (r->selected->opcode == kOpPrompt && r->selected->parent && r->selected->parent->opcode == kOpTimes)
    DELETE_Prompt();
  ExpressionRecord* node = r->selected;
  if (!HoldsIfCondition(node)) {
    while (node->parent && !HoldsIfCondition(node->parent)) node = node->parent;
    MOVE_SetIP(node, kIPWholeNode);
  }
  MATH_FunctionCode(kOpIf);
}

}  // namespace

bool IsAfterFunction(const ExpressionRecord* node) {
  const ExpressionRecord* parent = node->parent;
  if (!parent) return false;
  const OpCodeT kind = parent->opcode;
  if (kind == kOpTimes || kind == kOpMinus || IsFxn(kind) || kind == kOpDot || kind == kOpCross || kind == kOpLn)
    return true;
  const bool first = IndexInParent(node) == 0;
  return first && (kind == kOpLog || (kind == kOpPower && IsFxn(node->opcode)));
}

void KEY_ReplaceExprWithAtom(uint32_t c) {
  MERecord* r = gMathCurrentMEH;
  ExpressionRecord* place = r->selected;
  if (!DeleteOperandsTransferAndDispose(Tree(NewLetter(c)), place)) return;
  MOVE_SetIP(place, kIPAfterNode);
  ExpressionRecord* parent = place->parent;
  if (!parent) return;
  if (c == 'h' && IsCircular(parent->opcode)) {
    MakeHyperbolic(parent);
    if (DeleteOperandsTransferAndDispose(Tree(NewPrompt()), place)) MOVE_SetIP(place, kIPWholeNode);
    return;
  }
  if (parent->opcode == kOpTimes || IsFxn(parent->opcode)) RecogniseNames(place);
}

void KEY_AtomKey(uint32_t c) {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected) return;
  switch (r->caretType) {
    case kIPNameText: KEY_InLongName(c); return;
    case kIPNumberText: KEY_SplitNumber(); break;
    case kIPOperandRange:
      if (!MATH_IPisRange()) return;
      break;
    case kIPOperator:
      DELETE_OperatorNoSetIp();
      if (r->caretType == kIPOperator) return;
      break;
    case kIPWholeNode:
    case kIPAfterNode:
    case kIPBeforeNode: break;
    default: return;
  }
  ExpressionRecord* node = r->selected;
  if (r->caretType == kIPAfterNode && c == 'f' && IsLetterI(node)) {
    KEY_IfTemplate();
    return;
  }
  if (r->caretType == kIPAfterNode) {
    if (node->opcode == kOpId && IsAfterFunction(node))
      while (node->parent && IsAfterFunction(node)) node = node->parent;
    r->selected = node;
    if (!KEY_NOpAfterExpr(kOpTimes)) return;
  } else if (r->caretType == kIPBeforeNode) {
    ExpressionRecord* function = c == 'h' ? CircularFunctionBegun(node) : nullptr;
    if (function) {
      MakeHyperbolic(function);
      MOVE_SetIP(function->operands[0], kIPBeforeNode);
      EditorRecalculateAndDraw();
      return;
    }
    if (!KEY_NOpBeforeExpr(node->opcode == kOpMinus ? kOpPlus : kOpTimes)) return;
  }
  KEY_ReplaceExprWithAtom(c);
  EditorRecalculateAndDraw();
}
