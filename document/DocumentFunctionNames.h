#pragma once

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// True when one of the document's equations defines a function of that
// name, as in f(a, b) = a^2 + b: its left side applies a name equal to the
// given node. False for a null document or name.
bool IsDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document);
