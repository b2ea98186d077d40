#pragma once

#include "expression/ExpressionRecord.h"

// The ellipsis atom.
bool IsEllipsis(const ExpressionRecord* node);
// A letter with one subscript: an indexes node of one index over an atom.
bool IsExprSubscriptedLetter(const ExpressionRecord* node);
bool IsAtomicOrSubscriptedLetter(const ExpressionRecord* node);
