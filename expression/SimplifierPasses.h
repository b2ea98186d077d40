#pragma once

#include "expression/ExpressionRecord.h"

// Splices into the node every operand of its own kind when that kind is an
// infix list (product, sum, equation, comma list, comparisons, element-of,
// branch); a spliced operand's operands take its place and are examined
// again.
void SIMP_RemoveParensOneLevel(ExpressionRecord* node);
// SIMP_RemoveParensOneLevel on every node, in post-order.
void SIMP_RemoveParensRecurse(ExpressionRecord* tree);
// Gives nodes written in call notation with one comma-list argument their
// canonical operands, in post-order. A matrix whose list begins with two
// numbers takes them as its shape only when they are whole numbers from 1
// to 65535 whose product is the count of the remaining items; otherwise the
// node is left as it is, shapeless, for the caller to reject.
void SIMP_FixSummationCommaMess(ExpressionRecord* tree);
