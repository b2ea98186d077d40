#pragma once

class DocumentRecord;

// The expansion of a document's equations, on a cooperative thread of its
// own (on the caller when none can be made): definitions applied, the
// algebra's rewrites done, each equation classified for its view; then the
// document's functions are compiled, its result strings queued and the
// window woken.
void StartExpansion(DocumentRecord* document);
// Ends the running expansion, if any; what it made so far is thrown away.
void KillExpansion(DocumentRecord* document);
// The expansion body, on the calling thread.
void ExpandDocument(DocumentRecord* document);

// From any thread: the interface thread has work (an expansion finished, a
// graph is done).
void WakeDocument(DocumentRecord* document);
