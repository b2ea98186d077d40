#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

class DocumentRecord;

// True when the letter names a point the document defines by a complex
// constant off the real line.
bool DefinesComplexParameter(int32_t variableId, const DocumentRecord* document);

// True when some atom of the subtree under node names a point the document
// defines by complex constants off the real line (p = 1 - 2i), so that
// computing the subtree needs complex arithmetic. False for a null node or
// document.
bool DependsOnComplexParameter(ExpressionRecord* node, const DocumentRecord* document);
