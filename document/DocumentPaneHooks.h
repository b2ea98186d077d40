#pragma once

#include <cstdint>

class AGraph;
class DocumentRecord;
struct MBlock;

// The document's answers to what the views and graphs ask (the graph
// pane's upward calls); InstallDocumentHooks fills them in.
void InstallDocumentPaneHooks();

// From a worker thread: sets the document's graph-finished flag and wakes
// its window.
void NotifyWindowGraphFinished(DocumentRecord* document);
// Takes the flag: true when a graph finished since the last call.
bool TakeGraphFinished(DocumentRecord* document);
// Waits until the document is woken or the time passes; clears the wake.
void WaitForDocumentWake(DocumentRecord* document, int64_t microseconds);

// The dragged point's equation gets the right side x + y i, and the
// document is expanded and graphed again.
void ChangeEquation(DocumentRecord* document, AGraph* graph, double x, double y);
// The focused equation block's XYType becomes n; regraphs.
void SetSurfaceDensityContour(DocumentRecord* document, int32_t n);
void FrameRateFeedback(DocumentRecord* document, double seconds);
// Appends a lookup row to the rows of the graphs made from the block.
void SetTransformEquationBlockIndex(MBlock* block, int32_t row);
