#pragma once

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The value of a formula that needs no variables: a number or a negated
// number directly, anything else compiled over a copy and evaluated once
// on the calling thread. NaN when it has no real value.
double ScalarExprEval(const ExpressionRecord* e, DocumentRecord* document);
