#pragma once

#include "CoreUtilities/Complex.h"
#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The value of a formula that needs no variables: a number or a negated
// number directly, anything else compiled over a copy and evaluated once
// on the calling thread. NaN when it has no real value.
double ScalarExprEval(const ExpressionRecord* e, DocumentRecord* document);

// The same as a complex number: NaN parts when it has no value.
Complex ComplexExprEval(const ExpressionRecord* e, DocumentRecord* document);
// The same by interval extension over x and y in [0, 0]: the value's
// bounds in lo and hi.
void IntervalExprEval(const ExpressionRecord* e, DocumentRecord* document, double* lo, double* hi);
