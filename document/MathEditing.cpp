#include "document/MathEditing.h"

#include "document/DocumentRecord.h"
#include "expression/MathEditRecord.h"
#include "expression/SymbolTable.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "matheditor/CaretPlacement.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/EditorDocumentHooks.h"

#include <utility>
#include <vector>

MathUndoState::~MathUndoState() { ForgetMathUndo(*this); }

void ForgetMathUndo(MathUndoState& undo) {
  undo.tree.reset();
  if (undo.kind == kUndoBlockDeletion) DisposeBlockContents(undo.deleted);
  undo.deleted = MBlock{};
  undo.kind = kUndoNothing;
}

void SwapWithUndoTree(ExpressionRecord*& root, MathUndoState& undo) {
  ExpressionRecord* saved = undo.tree.release();
  undo.tree.reset(root);
  root = saved;
}

void SaveMathUndoState() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->document || !r->root) return;
  Tree copy(Copy(r->root));
  if (!copy) return;
  MathUndoState& undo = r->document->fMathUndo;
  ForgetMathUndo(undo);
  undo.tree = std::move(copy);
  undo.kind = kUndoFormula;
  undo.block = r->document->fFocusedBlock;
  undo.tableColumn = r->document->fFocusedColumn;
}

namespace {

MERecord* UndoneRecord(DocumentRecord* document) {
  const MathUndoState& undo = document->fMathUndo;
  auto& blocks = document->fContents.blocks;
  if (undo.block < 0 || undo.block >= blocks.Count()) return nullptr;
  return blocks[undo.block].equation;
}

}  // namespace

bool UndoMathEdit(DocumentRecord* document) {
  if (!document || document->fMathUndo.kind != kUndoFormula || !document->fMathUndo.tree) return false;
  MERecord* r = UndoneRecord(document);
  if (!r) return false;
  SwapWithUndoTree(r->root, document->fMathUndo);
  r->root->parent = nullptr;
  r->layoutValid = 0;
  r->layoutValid2 = 0;
  MERecord* const saved = gMathCurrentMEH;
  gMathCurrentMEH = r;
  MOVE_SetIP(r->root, kIPWholeNode);
  gMathCurrentMEH = saved;
  UNDO_HasMoved();
  return true;
}

namespace {

std::vector<const UniChar*> HeadingNames(const DocumentRecord* document) {
  std::vector<const UniChar*> names;
  for (const TableHeading& heading : document->fContents.tableHeadings)
    names.push_back(GetVariableStringFromID(heading.variableId));
  return names;
}

bool DefinesFunctionNamed(const ExpressionRecord* name, const DocumentRecord* document) {
  auto& blocks = document->fContents.blocks;
  for (int32_t i = 0; i < blocks.Count(); ++i) {
    const ExpressionRecord* equation = EquationTree(blocks[i]);
    if (!equation || equation->opcode != kOpEquals || equation->operandCount < 2) continue;
    const ExpressionRecord* left = equation->operands[0];
    if (left->opcode == kOpFunction && left->operandCount == 2 && MATH_Equal(left->operands[0], name)) return true;
  }
  return false;
}

}  // namespace

void InstallMathEditingHooks() {
  InstallEditorDocumentHooks({.cacheMathState = SaveMathUndoState,
                              .documentNames = HeadingNames,
                              .isNameFunctionDefinition = DefinesFunctionNamed});
}
