#pragma once

#include "expression/ExpressionRecord.h"

class AConstantsCache;
class AStackMachine;
class DocumentRecord;

// Compiles a tree prepared by MungeExprForStackMachine into the empty
// machine. Constant subtrees are registered with the cache when one is
// given; guarded programs skip the alternatives a piecewise definition
// does not need and share nothing; forGrid leaves out the index checks of
// sums and products.
//
// Outside a sharing scope, and for guarded programs, the machine is
// complete on return. An unguarded program compiled inside a scope
// receives its code at EndCSE, once the stores of its shared values are
// in place. Out of memory leaves the program pcEnd alone (NaN), with the
// out-of-memory flag set and message 36 queued.
void CompileExpression(AStackMachine* machine, ExpressionRecord* tree, AConstantsCache* cache, bool guarded,
                       bool forGrid, DocumentRecord* document);
