#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Tree rewrites the graph code shares. Each works in place.

// Every atom with the id becomes a copy of the replacement. False when
// memory ran out (the tree is then partly rewritten).
bool ReplaceAtom(ExpressionRecord* e, int32_t id, const ExpressionRecord* replacement);
// Every atom with the id becomes a + i·b: a complex variable split into its
// real and imaginary parts.
bool ReplaceAtom(ExpressionRecord* e, int32_t id, int32_t a, int32_t b);
// One-letter parameters become numbers holding their values in the
// document's parameter list; table headings, summation indices, subscripted
// names, function names and the letters of dy/dx and dz/dt stay.
void SubstituteNumbers(ExpressionRecord* e, DocumentRecord* document);
// SubstituteNumbers would change the tree.
bool HasNumbersToSubstitute(ExpressionRecord* e, DocumentRecord* document);
// Solves the equation e for the first atom with the id; e becomes the
// expression equal to it. False, e unchanged, when there is no such atom,
// the algebra can't isolate it, or the other side still holds the variable.
bool SolveFor(ExpressionRecord*& e, int32_t id);
