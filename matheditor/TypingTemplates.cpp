#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/NodeMemory.h"
#include "expression/OwnedTree.h"
#include "expression/SelectionGrouping.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeSurgery.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/OperandInsertion.h"
#include "matheditor/Typing.h"
#include "matheditor/TypingHelpers.h"
#include "matheditor/TypingOperators.h"

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

MERecord* Current() { return gMathCurrentMEH; }

void SelectWhole(ExpressionRecord* node) { MOVE_SetIP(node, kIPWholeNode); }

ExpressionRecord* NumberWithText(const char* text) {
  ExpressionRecord* number = Number(0);
  if (!number) return nullptr;
  int32_t i = 0;
  for (; text[i]; ++i) number->payload.number->text[i] = UniChar(text[i]);
  number->payload.number->text[i] = 0;
  number->payload.number->value = std::atof(text);
  return number;
}

ExpressionRecord* Letter(char c) { return Atomic(int32_t(c)); }

ExpressionRecord* Equation(char variable, const char* value) {
  return NewBinop(kOpEquals, Letter(variable), NumberWithText(value));
}

// The prompt takes the tree's contents.
void FillPrompt(ExpressionRecord* prompt, ExpressionRecord* tree) {
  DeleteOperandsTransferAndDispose(Tree(tree), prompt);
}

// A typed-in part is selected when it is a prompt; otherwise the caret
// goes after the node built.
void CaretAfterBuilding(ExpressionRecord* part, ExpressionRecord* built) {
  if (part->opcode == kOpPrompt) {
    SelectWhole(part);
  } else {
    MOVE_SetIP(built, kIPAfterNode);
  }
}

// The selection becomes operand 0 of a new node of the kind, the given
// trees the rest. Null, nothing changed, when memory is refused.
ExpressionRecord* WrapSelection(OpCodeT kind, std::initializer_list<ExpressionRecord*> rest) {
  MERecord* r = Current();
  std::vector<Tree> parts(rest.begin(), rest.end());
  Tree owned(NewExpression(kind, int32_t(parts.size()) + 1));
  if (!owned) return nullptr;
  for (const Tree& part : parts)
    if (!part) return nullptr;
  for (size_t i = 0; i < parts.size(); ++i) {
    owned->operands[i + 1] = parts[i].release();
    owned->operands[i + 1]->parent = owned.get();
  }
  ExpressionRecord* made = owned.release();
  ExpressionRecord* selection = r->selected;
  ReplaceInTree(selection, made);
  made->operands[0] = selection;
  selection->parent = made;
  CaretAfterBuilding(selection, made);
  return made;
}

// A matrix of the given elements, row by row, in place of a selected
// prompt or as a new factor after the selection; caret after it.
void PutMatrix(int32_t rows, int32_t columns, std::vector<Tree> elements) {
  MERecord* r = Current();
  Tree matrix(NewExpression(kOpMatrix, rows * columns));
  bool complete = matrix != nullptr;
  for (const Tree& element : elements) complete = complete && element;
  ExpressionRecord* place = r->selected;
  if (complete && place->opcode != kOpPrompt) place = KEY_NOpAfterExpr(kOpTimes);
  if (!complete || !place) return;
  matrix->payload.shape = {uint16_t(rows), uint16_t(columns)};
  for (int32_t i = 0; i < rows * columns; ++i) {
    matrix->operands[i] = elements[size_t(i)].release();
    matrix->operands[i]->parent = matrix.get();
  }
  if (DeleteOperandsTransferAndDispose(std::move(matrix), place)) MOVE_SetIP(place, kIPAfterNode);
}

void ColumnVector(std::initializer_list<char> letters) {
  std::vector<Tree> elements;
  for (char c : letters) elements.emplace_back(Letter(c));
  const auto rows = int32_t(elements.size());  // before the move into the call
  PutMatrix(rows, 1, std::move(elements));
}

void Identity(int32_t n) {
  std::vector<Tree> elements;
  for (int32_t i = 0; i < n * n; ++i) elements.emplace_back(NumberWithText(i % (n + 1) == 0 ? "1" : "0"));
  PutMatrix(n, n, std::move(elements));
}

// An operator sign on a named function stands for the whole function.
bool SelectionForScript() {
  MERecord* r = Current();
  if (r->caretType == kIPOperator && IsFxn(r->selected->opcode)) {
    SelectWhole(r->selected);
    return true;
  }
  if (r->caretType == kIPBeforeNode) return KEY_NOpBeforeExpr(kOpTimes) != nullptr;
  return KEY_MakeSelectionForSpecialPrefix();
}

// Selection to the power (or with the subscript) of the digit.
void Script(OpCodeT kind, const char* digit) {
  if (!SelectionForScript()) return;
  ExpressionRecord* base = Current()->selected;
  ExpressionRecord* made = KEY_Generic(kind, 2, 0);
  if (!made) return;
  if (kind == kOpIndexes) made->payload.shape = {0, 1};
  FillPrompt(made->operands[1], NumberWithText(digit));
  CaretAfterBuilding(base, made);
}

void KEY_SpecialPower(const char* digit) { Script(kOpPower, digit); }
void KEY_SpecialSubscript(const char* digit) { Script(kOpIndexes, digit); }

// The selection as the exponent of e or of a number.
void KEY_SpecialtotheX(const char* base) {
  if (!SelectionForScript()) return;
  ExpressionRecord* exponent = Current()->selected;
  ExpressionRecord* made = KEY_Generic(kOpPower, 2, 1);
  if (!made) return;
  FillPrompt(made->operands[0], base[0] == 'e' ? Letter('e') : NumberWithText(base));
  CaretAfterBuilding(exponent, made);
}

void Subscript() {
  MERecord* r = Current();
  if (r->caretType != kIPWholeNode && r->caretType != kIPAfterNode) return;
  ExpressionRecord* made = KEY_Generic(kOpIndexes, 2, 0);
  if (made) made->payload.shape = {0, 1};
}

void Reciprocal() {
  if (!KEY_MakeSelectionForSpecialPrefix()) return;
  ExpressionRecord* node = Current()->selected;
  const ExpressionRecord* numerator = node->opcode == kOpOver ? node->operands[0] : nullptr;
  if (numerator && numerator->opcode == kOpNumber && numerator->payload.number->value == 1.0) {
    if (MATH_DeleteOperand(node, 0)) SelectWhole(node);
    return;
  }
  ExpressionRecord* made = KEY_Generic(kOpOver, 2, 1);
  if (!made) return;
  FillPrompt(made->operands[0], NumberWithText("1"));
  CaretAfterBuilding(node, made);
}

void Root(Tree index) {
  if (!KEY_MakeSelectionForSpecialPrefix()) return;
  ExpressionRecord* radicand = Current()->selected;
  ExpressionRecord* made = KEY_Generic(kOpSqrt, 2, 0);
  if (!made || !index) return;
  const bool promptIndex = index->opcode == kOpPrompt;
  FillPrompt(made->operands[1], index.release());
  CaretAfterBuilding(radicand, made);
  if (promptIndex && radicand->opcode != kOpPrompt) SelectWhole(made->operands[1]);
}

void LogWithBase() {
  MERecord* r = Current();
  if (r->caretType == kIPOperator && IsFxn(r->selected->opcode) && r->selected->operandCount == 1) {
    ExpressionRecord* function = r->selected;
    if (!ReplaceWithFirstOperand(function)) return;
    SelectWhole(function);
  }
  if (!KEY_MakeSelectionForSpecialPrefix()) return;
  KEY_Generic(kOpLog, 2, 0);
}

// A derivative operator applied to the selection (with the caret after a
// node: the next factor, or a new one); its variable prompt selected.
ExpressionRecord* Derivative(OpCodeT kind) {
  MERecord* r = Current();
  if (r->caretType == kIPAfterNode) {
    ExpressionRecord* node = NodeTheCaretEnds(r->selected);
    if (IsInnerFactor(node)) {
      SelectWhole(node->parent->operands[IndexInParent(node) + 1]);
    } else {
      r->selected = node;
      if (!KEY_NOpAfterExpr(kOpTimes)) return nullptr;
    }
  } else if (!KEY_MakeSelectionForSpecialPrefix()) {
    return nullptr;
  }
  ExpressionRecord* application = KEY_Generic(kOpFunction, 2, 1);
  if (!application || !KEY_Generic(kind, 1, 0)) return nullptr;
  return application;
}

void KEY_Differentiate(OpCodeT kind) {
  if (Current()->caretType == kIPOperator) return;
  ExpressionRecord* application = Derivative(kind);
  if (!application) return;
  KEY_ReplaceExprWithAtom('x');
  ExpressionRecord* argument = application->operands[1];
  if (argument->opcode == kOpPrompt) SelectWhole(argument);
}

// Negation, or a subtraction between factors.
void MinusTemplate() {
  MERecord* r = Current();
  if (r->caretType == kIPAfterNode && IsInnerFactor(NodeTheCaretEnds(r->selected))) {
    r->selected = NodeTheCaretEnds(r->selected);
    KEY_BetweenLikeBefore(kOpMinus);
    return;
  }
  if (KEY_MakeSelectionForSpecialPrefix()) KEY_Generic(kOpMinus, 1, 0);
}

int32_t NameLength(const UniChar* name) {
  int32_t length = 0;
  while (name && name[length]) ++length;
  return length;
}

bool StopsScan(const ExpressionRecord* atom) {
  return atom->editData && (atom->editData->styleFlags & kStopLetterScan);
}

// The letters before the caret (or the selected letters) become one name.
void KEY_ConcatenateAtoms() {
  MERecord* r = Current();
  if (r->caretType == kIPAfterNode) {
    ExpressionRecord* atom = r->selected;
    ExpressionRecord* product = atom->parent;
    if (atom->opcode != kOpAtom || !IsProductNode(product)) return;
    const int32_t last = IndexInParent(atom);
    int32_t first = last;
    while (first > 0 && product->operands[first - 1]->opcode == kOpAtom && !StopsScan(product->operands[first]))
      --first;
    if (first == last) return;
    if (first == 0 && last == product->operandCount - 1) {
      SelectWhole(product);
    } else {
      r->selected = product;
      r->caretType = kIPOperandRange;
      r->rangeStart = first;
      r->rangeEnd = last;
      if (!MATH_IPisRange()) return;
    }
  } else if (r->caretType == kIPOperandRange) {
    if (!MATH_IPisRange()) return;
  } else if (r->caretType != kIPWholeNode) {
    return;
  }
  ExpressionRecord* node = r->selected;
  if (SyntacticKindOf(node) == kLeaf || node->operandCount < 1) return;
  std::vector<UniChar> name;
  for (int32_t i = 0; i < node->operandCount; ++i) {
    const ExpressionRecord* part = node->operands[i];
    if (part->opcode != kOpAtom) return;
    const UniChar* letters = AtomName(part);
    name.insert(name.end(), letters, letters + NameLength(letters));
  }
  name.push_back(0);
  const int32_t id = GetVariableIDFromString(name.data());
  if (DeleteOperandsTransferAndDispose(Tree(id == kNoVariableID ? nullptr : Atomic(id)), node))
    MOVE_SetIP(node, kIPAfterNode);
}

// The templates that build more than a node or two.
void KEY_4x4() { Identity(4); }

bool IsLargeTemplate(int32_t code) {
  return (code >= 0x18B3 && code <= 0x18B4) || code == 0x18BB || code == 0x18C5 || code == 0x18BF || code == 0x18C0 ||
         (code >= 0x18C1 && code <= 0x18C3) || code == 0x1908 || code == 0x18BD;
}

// Selected digits are what such a template wraps; the others (comparisons,
// list elements, rows, columns, operands) place a new part beside the caret.
bool WrapsSelection(int32_t code) {
  switch (code) {
    case 0x18A0:
    case 0x18A1:
    case 0x1901:
    case 0x1902:
    case 0x1905:
    case 0x1906:
    case 0x1907:
    case 0x1909:
    case 0x190A:
    case 0x190B: return false;
    default: return true;
  }
}

void RunTemplate(int32_t code) {
  switch (code) {
    case 0x1809: Derivative(kOpOpTotal); return;
    case 0x180A: Derivative(kOpOpPartial); return;
    case 0x18A0: KEY_NewRow(); return;
    case 0x18A1: KEY_NewCol(); return;
    case 0x18A6: Subscript(); return;
    case 0x18A9: Reciprocal(); return;
    case 0x18AA: KEY_SpecialPower("2"); return;
    case 0x18AB: KEY_SpecialPower("3"); return;
    case 0x18AC: KEY_SpecialtotheX("e"); return;
    case 0x18AD: KEY_SpecialtotheX("2"); return;
    case 0x18AE: KEY_SpecialtotheX("10"); return;
    case 0x18AF: Root(Tree(NumberWithText("3"))); return;
    case 0x18B0: Root(Tree(NewPrompt())); return;
    case 0x18B1: LogWithBase(); return;
    case 0x18B2: KEY_Differentiate(kOpOpPartial); return;
    case 0x18BA: KEY_Differentiate(kOpOpTotal); return;
    case 0x18B5: KEY_SpecialSubscript("0"); return;
    case 0x18B6: KEY_SpecialSubscript("1"); return;
    case 0x18B7: KEY_SpecialSubscript("2"); return;
    case 0x18B8: KEY_SpecialSubscript("3"); return;
    case 0x18B9: KEY_SpecialSubscript("4"); return;
    case 0x18BC: KEY_OperKey(kOpLParen); return;
    case 0x18C4: KEY_ConcatenateAtoms(); return;
    case 0x1900: MinusTemplate(); return;
    case 0x1901: KEY_Comparison(kOpEquals); return;
    case 0x1902: KEY_AddNewOperand(); return;
    case 0x1905: KEY_Comparison(kOpLess); return;
    case 0x1906: KEY_Comparison(kOpGreater); return;
    case 0x1907: KEY_ListElement(); return;
    case 0x1909: KEY_Comparison(kOpLeq); return;
    case 0x190A: KEY_Comparison(kOpGeq); return;
    case 0x190B: KEY_Comparison(kOpNotEqual); return;
    default: break;
  }
  if (!KEY_MakeSelectionForSpecialPrefix()) return;
  switch (code) {
    case 0x18B3: ColumnVector({'x', 'y'}); return;
    case 0x18B4: ColumnVector({'x', 'y', 'z'}); return;
    case 0x1908: ColumnVector({'x', 'y', 'u', 'v'}); return;
    case 0x18C1: Identity(2); return;
    case 0x18C2: Identity(3); return;
    case 0x18C3: KEY_4x4(); return;
    case 0x18BB: WrapSelection(kOpSum, {Equation('k', "0"), NumberWithText("5")}); return;
    case 0x18C5: WrapSelection(kOpProduct, {Equation('k', "0"), NumberWithText("5")}); return;
    case 0x18BD: WrapSelection(kOpSubstitution, {Equation('x', "0")}); return;
    case 0x18BF: WrapSelection(kOpIntegral, {Letter('x')}); return;
    case 0x18C0: WrapSelection(kOpIntegral, {Letter('x'), NumberWithText("0"), NumberWithText("1")}); return;
    default: return;
  }
}

}  // namespace

bool KEY_MakeSelectionForSpecialPrefix() {
  MERecord* r = Current();
  switch (r->caretType) {
    case kIPWholeNode: return true;
    case kIPBeforeNode: r->caretType = kIPWholeNode; return true;
    case kIPOperandRange: return MATH_IPisRange();
    case kIPAfterNode: {
      ExpressionRecord* node = r->selected;
      while (node->parent && IndexInParent(node) == node->parent->operandCount - 1 &&
             (SyntacticKindOf(node->parent) == kPrefix || IsProductNode(node->parent)))
        node = node->parent;
      SelectWhole(node);
      return true;
    }
    default: return false;
  }
}

void KEY_TemplateKey(int32_t code) {
  MERecord* r = Current();
  if (!r || !r->selected) return;
  if (IsLargeTemplate(code) && IsDesperatelyLowOnMemory()) return;
  if (r->caretType == kIPNumberText && r->rangeStart != r->rangeEnd && WrapsSelection(code)) {
    if (!KEY_SelectDigitRange()) return;
  } else if (r->caretType == kIPNumberText) {
    KEY_SplitNumber();
  }
  if (r->caretType == kIPStringText || r->caretType == kIPNameText) return;
  RunTemplate(code);
  EditorRecalculateAndDraw();
}
