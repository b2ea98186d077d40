#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"
#include "expression/MathEditRecord.h"

#include <cstdint>

// The ellipsis atom.
bool IsEllipsis(const ExpressionRecord* node);
// A letter with one subscript: an indexes node of one index over an atom.
bool IsExprSubscriptedLetter(const ExpressionRecord* node);
bool IsAtomicOrSubscriptedLetter(const ExpressionRecord* node);
// The kind byte of the node's operator-table row; leaf for the internal
// kinds.
uint8_t SyntacticKindOf(const ExpressionRecord* node);
// The node's place among its parent's operands; -1 without a parent.
int32_t IndexInParent(const ExpressionRecord* node);
// An atom's name; the ids of the one-character names below 128 are the
// characters themselves and have no entry in the symbol table.
const UniChar* AtomName(const ExpressionRecord* atom);
// The length of an editor text; 0 for none.
int32_t TextLength(const UniChar* text);
// A number node that holds its text.
bool IsNumber(const ExpressionRecord* node);
// The text a caret of type 6, 7 or 8 stands in: the string's, the
// number's digits, the atom's name; null for other carets.
const UniChar* CaretText(const ExpressionRecord* node, MathIPType type);
// An equation, an inequality or an element-of: deleting inside it keeps
// its sign and both its sides.
bool IsRelation(const ExpressionRecord* node);
