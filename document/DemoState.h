#pragma once

class DocumentRecord;

// True while a demo script, the example slide show or the benchmark runs;
// the shell sets it.
bool IsDemoRunning();
void SetDemoRunning(bool running);

// The document's own mark that its demo stands paused.
bool IsDemoPaused(DocumentRecord* document);
void SetDemoPaused(DocumentRecord* document, bool paused);
