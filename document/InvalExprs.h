#pragma once

class DocumentRecord;

// An edit changed the document's formulas: what was derived from them is
// stale. Marks the document changed.
void InvalExprs(DocumentRecord* document);
