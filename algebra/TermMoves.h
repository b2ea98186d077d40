#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// The term moves: the selected term or factor of the current record goes
// past a neighbour, to the end, into a neighbour, out of a fraction, root,
// parentheses, integral or sum, across an equation or between numerator
// and denominator, the formula keeping its value. The moved piece ends
// selected (caret type whole node) so that a move can be repeated.
//
// Sums are linear, products over an index are not: a factor never moves
// into or out of a product operator. A factor depends on a sum's or
// integral's variable when it holds the index variable itself.

// How far a horizontal move goes.
enum DragFlagsT : int32_t { kMoveOnePlace = 0, kMoveAllTheWay = 1, kMoveInto = 2 };

// Every command sets the direction gMathMoveLR (AlgebraSwitches.h) first.
void CMD_MoveRight(DragFlagsT flag);
void CMD_MoveRightInto();
void CMD_MoveRightAllTheWay();
void CMD_MoveLeft(DragFlagsT flag);
void CMD_MoveLeftInto();
void CMD_MoveLeftAllTheWay();
void CMD_MoveUp();
void CMD_MoveDown();
void CMD_MoveLeftSwap();
void CMD_MoveRightSwap();

void FACTOR_Move(DragFlagsT flag);
void MOVE_Swap();
// node times t, t on the side of the move.
void MOVE_MultOn(ExpressionRecord* node, ExpressionRecord* t);
// target times t, t on the side it comes from.
void INTO_MultOn(ExpressionRecord* target, ExpressionRecord* t);
// t becomes operand k of the product p.
void MOVE_StickTermInMult(ExpressionRecord* p, int32_t k, ExpressionRecord* t);
// Operand i of the product p multiplied into its neighbour in the direction.
void MOVE_Distribute(ExpressionRecord* p, int32_t i);
// s factored out of the sum: every term divided by s, the sum times s.
void LR_OutOfPlus(ExpressionRecord* s, ExpressionRecord* sum);
int32_t LR_IsLinOp(int32_t op);
int32_t DIST_CanDistribute(int32_t op);
