#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Rewrite rules with placeholders (Dummy nodes) and the per-thread table of
// the bindings a match records.
//
// A rule is an equation of at least two operands: every operand but the
// last is an alternative pattern, the last the replacement. A placeholder
// binds to any subtree; a second occurrence of the same placeholder must
// equal the first binding structurally.
//
// Each thread has its own binding table (storage counted against the memory
// budget, freed when the thread ends), so matchers on different threads
// never meet. A binding the table cannot store fails the match.

// Frees every binding and the table's storage.
void MATCH_NullifyBindings();
// 1 when expression matches pattern, its placeholders' bindings recorded as
// it goes; 0 otherwise (bindings made before the failure stay).
int32_t MATCH_SetBindings(const ExpressionRecord* expression, const ExpressionRecord* pattern);
// The expression takes a copy of the template with every bound placeholder
// substituted (and the result simplified, powers not distributed). False,
// the expression unchanged, when memory ran out.
bool MATCH_Replace(ExpressionRecord* expression, const ExpressionRecord* replacement);
// Tries the rule's patterns in order, the table emptied before each; at the
// first match rewrites the expression and returns 1. 0 when the rule is not
// an equation of two operands or more, or nothing matched.
int32_t MATCH_Single(ExpressionRecord* expression, const ExpressionRecord* rule);

// One walk from the root down: at each node the definition (a rule as
// above; without placeholders its left side simply stands for its right
// side) is tried through MATCH_Single. A rewritten node is not entered
// again, so x = x + 1 applied once turns every x into x + 1 and stops.
// Atoms for which DontReplaceRGBHSV holds are passed over. True when
// something was rewritten. The binding table is left empty.
bool MATCH_ApplyDefinitionOnce(ExpressionRecord* tree, const ExpressionRecord* definition);
// The same walk with several rules: at each node the rules in order, the
// first that rewrites wins.
bool MATCH_ApplyDefinitionsOnce(ExpressionRecord* tree, const ExpressionRecord* const* rules, int32_t count);

// The atom stands in an (r, g, b) or (h, s, v) column, or is the x, y or z
// of a (dx, dy) or (dx, dy, dz) column: colour and direction names that a
// definition of the same letter must not replace.
bool DontReplaceRGBHSV(const ExpressionRecord* node);
