#pragma once

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// True when some atom of the subtree under node names a point the document
// defines by complex constants off the real line (p = 1 - 2i), so that
// computing the subtree needs complex arithmetic. False for a null node or
// document.
bool DependsOnComplexParameter(ExpressionRecord* node, const DocumentRecord* document);
