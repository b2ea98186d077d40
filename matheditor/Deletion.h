#pragma once

#include "expression/ExpressionRecord.h"

// Backspace and forward delete on the current record. Deleting never
// leaves an empty place: a removed operand leaves its list or a prompt.

void DELETE_Key();
void DELETE_Forward();
// Deletes the selected node: a factor leaves its product, anything else
// leaves a prompt, selected.
void DELETE_Expr();
// Deletes a selected prompt together with the place it fills.
void DELETE_Prompt();
// Removes a prompt's place from its parent; the node that remains.
ExpressionRecord* DELETE_PromptFromParent(ExpressionRecord* prompt);
// Backspace with the caret after a node.
void DELETE_AfterExpr();
