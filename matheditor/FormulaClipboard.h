#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// The editor's own clipboard, shared by every formula: a copied subtree,
// or the kind of a copied operator sign (then no subtree).
extern ExpressionRecord* gMathClipboard;
extern int32_t gMathClipboardType;

// Frees the clipboard's subtree; at shutdown.
void ClearMathClipboard();

void CMD_EqnSelectAll();
void CMD_EqnCopy();
void CMD_EqnCut();
void CMD_EqnPaste();
void CMD_Clear();
// A new matrix of copies of the selected block; null when there is none.
ExpressionRecord* MATH_CopySubMatrix();
// Removes the selected block when it spans whole rows or whole columns
// (not both); the smaller matrix is selected.
void MATH_DeleteSubMatrix();
