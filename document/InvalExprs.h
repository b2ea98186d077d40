#pragma once

class DocumentRecord;

// An edit changed the document's formulas: what was derived from them is
// stale. Stops the expansion, the result strings, the graphs and the
// animation, rebuilds the slider equations' values, marks the document
// changed and starts a new expansion.
void InvalExprs(DocumentRecord* document);

// Stops everything that reads the document's formulas and frees what was
// derived from them; the document stays as it is.
void StopDocumentComputations(DocumentRecord* document);
