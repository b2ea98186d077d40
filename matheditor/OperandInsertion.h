#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Growing the current formula around its caret node, on the current record.
// Each returns the new prompt (or node), or null with nothing changed when
// there is no caret node, memory is refused, or the node would pass
// kMostEditedOperands: operand counts are 16-bit, and an edit must never
// wrap one.

inline constexpr int32_t kMostEditedOperands = 10000;

// Puts the new node in the old one's place (or at the root); the old node
// keeps its identity.
void ReplaceInTree(ExpressionRecord* old, ExpressionRecord* replacement);

// A prompt inserted as operand index of the node, selected.
ExpressionRecord* KEY_AppendNOpTo(ExpressionRecord* node, int32_t index);
// Wraps the caret node in a new node of the kind with n operands, the caret
// node at place i and prompts elsewhere, and places the caret for the next
// thing typed. Returns the new node.
ExpressionRecord* KEY_Generic(OpCodeT kind, int32_t n, int32_t i);
// A prompt operand after (before) the caret node in an infix list of the
// kind, made when there is none; the prompt is selected.
ExpressionRecord* KEY_NOpAfterExpr(OpCodeT kind);
ExpressionRecord* KEY_NOpBeforeExpr(OpCodeT kind);
