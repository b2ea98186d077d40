#pragma once

#include "expression/ExpressionRecord.h"

// Every definite integral under e (e included), inner ones first, becomes a
// weighted sum of 513 values of its integrand, which the numeric engine
// computes like any other formula.
void RewriteDefiniteIntegralsUsingSimpsonsRule(ExpressionRecord* e);
