#pragma once

#include "expression/OperatorKinds.h"

struct MERecord;

// Caret tests for the typing hints the window shows: each reads the
// record's caret, false for a null record.

// The caret is after a node that ends the second operand of a node of kind
// `reach`, climbing only through last operands and through no node of kind
// `avoid`, no enclosing and no postfix node.
bool IsIPAfterExponentOrFraction(const MERecord* record, OpCodeT reach, OpCodeT avoid);
bool IsIPAfterFraction(const MERecord* record);
bool IsIPAfterExponent(const MERecord* record);
// The formula, or the left side of an equation, is f(x) written as the
// product of the atom f and a parenthesised atom x.
bool IsIPAfterFofX(const MERecord* record);
