#pragma once

#include <cstdint>

#include "document/GraphingPass.h"

class DocumentRecord;

// Whether an idle draws the graph pane when its picture changed: a window
// shows the graphs as they come; an export draws its one picture at the end.
enum class IdleDrawing { kShowsProgress, kHeld };

// The document's share of the interface thread's idle (the window's timer,
// the export's loop): gives the expansion its slice, graphs a finished
// expansion (at most a pass slice of it per call), steps the slider
// animation and redraws the graph pane into the window's graph world when
// a graph finished, or a frame of a spinning view when spinFrameDue.
// True when the pane's picture changed, drawn or, held, not.
bool DocumentIdle(DocumentRecord* document, uint32_t passSlice = kWholePass, bool spinFrameDue = true,
                  IdleDrawing drawing = IdleDrawing::kShowsProgress);

// The block whose graph colour leaves its fragment program's text in
// gHackExportShaderPointer at the next pass while gHackExportShaderFlag is
// set; -1 when none.
extern int32_t gHackExportShaderBlock;

// The pane's graphs as far as computed, into the window's graph world.
void DrawDocumentGraph(DocumentRecord* document);

// Expanded, graphed, and every graph done computing.
bool IsDocumentGraphDone(DocumentRecord* document);
// What each finished graph says of what it shows, for the messages below.
void UpdateGraphMessages(DocumentRecord* document);
// The message shown under the block's equation: why it made no graph, or
// what its graph says once computed (0: none).
int32_t EquationMessage(const DocumentRecord* document, int32_t block);
