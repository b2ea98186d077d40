#pragma once

class DocumentRecord;

// True while a demo script, the example slide show or the benchmark runs;
// the shell sets it.
bool IsDemoRunning();
void SetDemoRunning(bool running);

// The document's own mark that its demo stands paused.
bool IsDemoPaused(DocumentRecord* document);
void SetDemoPaused(DocumentRecord* document, bool paused);

// While the demo types a step into the document, its formulas wait to be
// graphed: a half-typed formula would show its question marks, and the
// pane would lose its graphs, until the step's last key.
bool IsDemoTyping(const DocumentRecord* document);
void SetDemoTyping(DocumentRecord* document, bool typing);
