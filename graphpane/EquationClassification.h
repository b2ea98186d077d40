#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// The graph kind of one expanded equation (graphpane/GraphKinds.h), by a
// fixed cascade of forms: the first that fits wins. is3D: the view the
// equation goes to is 3-D; is4D: the 4-D view is current. Every function
// only reads the tree, except that the primed forms are tried by
// exchanging the coordinates in place and back: never classify a tree
// another thread reads meanwhile.

// The kind with the primed flag, the items after the comma validated.
int32_t ExprType(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* document);
// The same without validating the items after the comma.
int32_t ExprTypeIgnoringModifiers(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* document);
// The cascade alone: no primed forms, no 4-D or table-data filter.
int32_t ExprTypeIgnoringModifiersWorkhorse(ExpressionRecord* e, bool is3D, DocumentRecord* document);

// A list whose second item belongs to the graph (an arrow's head, a start
// point or start surface of a 3-D field) rather than being an option.
bool IsArrowOrVectorFieldOnSurface(ExpressionRecord* e, DocumentRecord* document);
// A list whose first item is a 3-D field and whose second is a = f(b, c).
bool Is3DVectorFieldOnGrid(ExpressionRecord* e, DocumentRecord* document, int32_t a, int32_t b, int32_t c);
// A list that carries options after its graph.
bool CanExtractOptions(ExpressionRecord* e, DocumentRecord* document);
