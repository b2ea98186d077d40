#pragma once

#include "expression/ExpressionRecord.h"

// Symbolic differentiation. Written derivatives (a function node applying
// optotal or oppartial) become derivative pairs, the pairs are worked out
// by rules per node kind, and what has no rule is written back as a
// derivative.

// e in place by its derivative with respect to var; kind is the partial or
// the total pair kind.
void Differentiate(ExpressionRecord* e, OpCodeT kind, ExpressionRecord* var);
// True when e does not depend on var.
bool DIFF_NoDep(const ExpressionRecord* e, const ExpressionRecord* var);

void DIFF_ConvertToDerivs(ExpressionRecord* e);
void MATH_EvaluateRecurse(ExpressionRecord* e);
void DIFF_ConvertFromDerivs(ExpressionRecord* e);
void MATH_DifferentiateExprWithoutSimplifying(ExpressionRecord* e);
// The whole differentiation of a selection, simplified before and after.
void DifferentiateAndSimplify(ExpressionRecord* s);

// On the current record's selection, then a redraw.
void MATH_EvaluateDers();
void CMD_Differentiate();
