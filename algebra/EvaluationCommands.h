#pragma once

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// One symbolic step on the selected construct: a factorial, a logarithm, a
// small determinant, a whole-number power, a binomial coefficient, a
// substitution, a definite integral.
void CMD_Evaluate();
// Every numerically computable part of the selection by its value.
void CMD_NumberKrunch();
void FLOAT_Replace(ExpressionRecord* e, DocumentRecord* document);

// Unit-vector hats as vectors; a colour equation as an HSV equation.
void RewriteHats(ExpressionRecord* e);
void RewriteColor(ExpressionRecord* e);
