#pragma once

#include "evaluation/AnExpression.h"
#include "expression/ExpressionRecord.h"

class DocumentRecord;

// True when some node of the tree has the kind.
bool ContainsOpcode(ExpressionRecord* tree, OpCodeT op);

// True when the formula is a·x + b·y + c·z + d with constant a to d, which
// go to out; out may hold partial values on false.
bool IsLinear(ExpressionRecord* e, DocumentRecord* document, A4Vector* out);
bool IsLinear(ExpressionRecord* e, DocumentRecord* document);
