#pragma once

#include <cstdint>

class DocumentRecord;
struct OurPort;

// What the renderer, and the graph views above it, ask of the document,
// window and application. Those layers fill the table at start-up; an entry left empty answers as for a
// document with nothing set (no world, opaque, solid black background).
struct RendererHooks {
  // The document's offscreen graph world, into which software frames draw.
  OurPort* (*GetOffscreenGWorld)(DocumentRecord*) = nullptr;
  bool (*UseSampleBuffer)(DocumentRecord*) = nullptr;
  // Some equation's opacity is not 1.
  bool (*IsTranslucent)(DocumentRecord*) = nullptr;
  // A 3-D data plot draws symbols or labels.
  bool (*HasDataPlotSymbolsOrLabels)(DocumentRecord*) = nullptr;
  // 0 solid colour, 1 floor and two walls, 2 floor.
  int32_t (*BackgroundType)(DocumentRecord*) = nullptr;
  // 0xRRGGBB.
  uint32_t (*BackgroundColor)(DocumentRecord*) = nullptr;
  bool (*DrawGraph)(DocumentRecord*) = nullptr;
  // From worker threads: a graph of the document has finished computing.
  void (*NotifyWindowGraphFinished)(DocumentRecord*) = nullptr;
  void (*RedrawGraph)(DocumentRecord*) = nullptr;
  int32_t (*GetGraphingAnimationState)(DocumentRecord*) = nullptr;
  // The graph pane's draw contexts: dispose them all, and ask each for the
  // automatic renderer again.
  void (*DisposeDrawContexts)(DocumentRecord*) = nullptr;
  void (*ResetDesiredRendererType)(DocumentRecord*) = nullptr;
  void (*InvalExprs)(DocumentRecord*) = nullptr;
  void (*DoGraph)(DocumentRecord*) = nullptr;
  void (*LoopGraphingAnimation)(DocumentRecord*) = nullptr;
};

extern RendererHooks gRendererHooks;

// The calls as the renderer makes them.
namespace RenderHooks {
OurPort* GetOffscreenGWorld(DocumentRecord* document);
bool UseSampleBuffer(DocumentRecord* document);
bool IsTranslucent(DocumentRecord* document);
bool HasDataPlotSymbolsOrLabels(DocumentRecord* document);
int32_t BackgroundType(DocumentRecord* document);
uint32_t BackgroundColor(DocumentRecord* document);
bool DrawGraph(DocumentRecord* document);
void NotifyWindowGraphFinished(DocumentRecord* document);
void RedrawGraph(DocumentRecord* document);
int32_t GetGraphingAnimationState(DocumentRecord* document);
void DisposeDrawContexts(DocumentRecord* document);
void ResetDesiredRendererType(DocumentRecord* document);
void InvalExprs(DocumentRecord* document);
void DoGraph(DocumentRecord* document);
void LoopGraphingAnimation(DocumentRecord* document);
}  // namespace RenderHooks
