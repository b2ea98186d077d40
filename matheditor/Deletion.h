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
// Removes one operand: a single operand leaves a prompt, the other of two
// takes the node's place (not in a derivative operator, sum, product or
// matrix), else the list shrinks. The node that remains.
ExpressionRecord* DELETE_Operand(ExpressionRecord* node, int32_t index);
// Deletes the selected operator sign (caret type 2); the caret goes after
// the joined operands. A relation sign stays: typing another comparison
// over it is how it changes.
void DELETE_Operator();
// The same with the caret left where the sign was, for typing over it.
void DELETE_OperatorNoSetIp();
// Removes the sign between operands index and index + 1, joining them as
// an implicit product; the caret goes after the product.
void DELETE_Infix(ExpressionRecord* node, int32_t index);
// A range over all of a number's digits or of a name's letters becomes
// the node selected whole, so that deleting it deletes the node.
void SelectWholeTextAsNode();
