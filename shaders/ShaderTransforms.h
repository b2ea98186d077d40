#pragma once

#include "expression/ExpressionRecord.h"

// Rewrites one node in place into kinds the fragment-program generator
// computes (tan as sin over cos, hyperbolic functions by exp, ...); other
// nodes stay. Throws std::bad_alloc when memory runs out, the node then
// unchanged.
void ShaderTransformNodeReal(ExpressionRecord* node);

// Whether ShaderTransformNodeReal rewrites the node.
bool ShaderTransformChangesNode(ExpressionRecord* node);

// The same over every node of a tree, operands before their parent.
void ShaderTransformTreeReal(ExpressionRecord* root);

class DocumentRecord;

// A formula that needs complex arithmetic is replaced by the real part of
// its value, written in real operations of the real and imaginary parts
// of its atoms. A formula with a kind that cannot be split so stays as it
// is. Throws std::bad_alloc when memory runs out.
void ShaderTransformExprComplex(ExpressionRecord* tree, DocumentRecord* document);
