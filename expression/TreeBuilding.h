#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Node makers. A maker takes over the trees it is given: when it fails
// (memory, or a null operand) it frees them, reports out of memory where
// memory was the cause, and returns null, so that nested makers fail as a
// whole without leaking.

// A node of the kind with n null operand slots and no parent.
ExpressionRecord* NewExpression(OpCodeT kind, int32_t n);
ExpressionRecord* NewUnop(OpCodeT kind, ExpressionRecord* a);
ExpressionRecord* NewBinop(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b);
ExpressionRecord* NewTrinop(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b, ExpressionRecord* c);
// A number leaf with an empty display text.
ExpressionRecord* Number(double x);
// An atom leaf; it gets its edit data at once (left without it when
// memory runs short).
ExpressionRecord* Atomic(int32_t variableId);
ExpressionRecord* NewPrompt();

// In-place makers: the node keeps its place in its parent, its parent and
// its edit data while its old contents move into a new operand. Each takes
// over the tree it is given and frees it when it fails; false then, with
// the node unchanged.

// side 0: kind(other, old contents); side 1: kind(old contents, other).
bool DO_BinOpOn(ExpressionRecord* node, ExpressionRecord* other, int32_t side, OpCodeT kind);
bool DO_PlusOn(ExpressionRecord* node, ExpressionRecord* b);      // node + b
bool DO_PlusOnLeft(ExpressionRecord* node, ExpressionRecord* b);  // b + node
bool DO_ToTheOn(ExpressionRecord* node, ExpressionRecord* b);     // node ^ b
bool DO_DivOn(ExpressionRecord* node, ExpressionRecord* b);       // node / b
bool DO_Recipricate(ExpressionRecord* node);                      // 1 / node
// A node of the kind gets b as its last (first) operand; any other node
// becomes kind(node, b) (kind(b, node)).
bool DO_NopOn(ExpressionRecord* node, ExpressionRecord* b, OpCodeT kind);
bool DO_OpOnLeft(ExpressionRecord* node, ExpressionRecord* b, OpCodeT kind);
bool DO_MultOn(ExpressionRecord* node, ExpressionRecord* b);
bool DO_MultOnLeft(ExpressionRecord* node, ExpressionRecord* b);
bool DO_UnopOn(ExpressionRecord* node, OpCodeT kind);
bool DO_NegOn(ExpressionRecord* node);
// substitution(old contents, lhs = rhs)
bool DO_SubstOn(ExpressionRecord* node, ExpressionRecord* lhs, ExpressionRecord* rhs);
