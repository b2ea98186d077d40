#pragma once

#include "document/DocumentContents.h"
#include "expression/ExpressionRecord.h"
#include "expression/OwnedTree.h"

#include <cstdint>

class DocumentRecord;

inline constexpr int32_t kUndoNothing = 0;
inline constexpr int32_t kUndoFormula = 1;
inline constexpr int32_t kUndoBlockDeletion = 2;

// A document's one undo state: a formula's earlier tree, or a deleted block
// with everything in it. It owns both.
struct MathUndoState {
  MathUndoState() = default;
  MathUndoState(const MathUndoState&) = delete;
  MathUndoState& operator=(const MathUndoState&) = delete;
  ~MathUndoState();

  int32_t kind = kUndoNothing;
  int32_t block = -1;
  int32_t tableColumn = -1;
  Tree tree;
  MBlock deleted{};  // kUndoBlockDeletion: the block, to go back at `block`
};

// Frees whatever the undo state holds; nothing is left to undo.
void ForgetMathUndo(MathUndoState& undo);

// The saved tree becomes the formula's root, the root the saved tree.
void SwapWithUndoTree(ExpressionRecord*& root, MathUndoState& undo);

// Saves the current formula's tree, with the document's focused block and
// table column, as its document's undo state; the previous state is freed.
// No current formula or document: nothing.
void SaveMathUndoState();

// Swaps the saved tree with the focused formula's (so a second undo redoes)
// and selects the whole formula. False when there is nothing to undo or the
// undo state is a deleted block (the math pane puts that back).
bool UndoMathEdit(DocumentRecord* document);

// Fills what the editor asks of the document: undo states and names.
void InstallMathEditingHooks();
