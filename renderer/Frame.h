#pragma once

#include <cstdint>

class DocumentRecord;
struct MDrawContext;

// One frame of a view: 0 drawn (or nothing to do for renderer 0), 2 the
// document has no usable world, 20 the OpenGL context failed.
int32_t RenderStart(MDrawContext* ctx, bool hsvPass);
int32_t RenderEnd(MDrawContext* ctx);

// After the HSV-coloured graphs of a frame begun with the HSV pass: turns
// what they drew into red, green and blue over the background; the other
// graphs then draw. OpenGL renderers only.
void ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(MDrawContext* ctx);

// Renderer 2 or 3.
bool IsOpenGL(const MDrawContext* ctx);

// After antialiasing is toggled: every context of the document's pane is
// rebuilt and the graph drawn again.
void RecomputeGraphsIfNeededForFSAA(DocumentRecord* document);

void NotifyWindowGraphFinished(const MDrawContext* ctx);
