#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Typing operators, templates, comparisons and matrix growth into the
// current formula at its caret. The entries KEY_OperKey and KEY_TemplateKey
// redraw; the routines they share leave that to their caller.

// Types an operator of the kind (a row of the operator table).
void KEY_OperKey(OpCodeT kind);
// Runs one template code (0x1809 to 0x190B); other codes do nothing.
void KEY_TemplateKey(int32_t code);

// The operator typed with the caret after (before) the caret node.
void KEY_OperateAfterExpr(OpCodeT kind);
void KEY_OperateBeforeExpr(OpCodeT kind);
// Splits the product that holds the caret node after it into two sides
// joined by the kind, the caret before the second; false, nothing changed,
// when the caret node is not a factor but the last.
bool KEY_InfixBetween(OpCodeT kind);
// The kind typed in front of the factors after the caret node: a sign
// makes a subtraction.
void KEY_BetweenLikeBefore(OpCodeT kind);
// =, <, >, leq, geq or notequal.
void KEY_Comparison(OpCodeT kind);
// The list key: a prompt element after the caret node's list.
void KEY_ListElement();

// A row of prompts below (a column right of) the nearest matrix; the first
// new element selected. Refused past the operand limit.
void KEY_NewRow();
void KEY_NewCol();
void KEY_AddNewOperand();

// Turns the caret into a selection of a node; false when it cannot be.
bool KEY_MakeSelectionForSpecialPrefix();
