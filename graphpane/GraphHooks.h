#pragma once

#include <cstdint>

class AGraph;
class AGraphView;
class DocumentRecord;
struct ExpressionRecord;
struct MBlock;
struct OurPort;

// What the views and graphs ask of the layers above them (document, window,
// application). Those layers fill the table at start-up; an entry left
// empty does nothing and answers false, 0 or null.
struct GraphPaneHooks {
  // From worker threads: a graph of the document has finished computing.
  void (*NotifyWindowGraphFinished)(DocumentRecord*) = nullptr;
  bool (*UseSampleBuffer)(DocumentRecord*) = nullptr;
  double (*SliderValue)(DocumentRecord*) = nullptr;
  int32_t (*SliderVariable)(DocumentRecord*) = nullptr;
  int32_t (*GetGraphingAnimationState)(DocumentRecord*) = nullptr;
  void (*FrameRateFeedback)(DocumentRecord*, double seconds) = nullptr;
  void (*SetRTErrorCheck)(DocumentRecord*) = nullptr;
  void (*SetDocDirty)(DocumentRecord*, bool) = nullptr;
  bool (*IsBenchmarkRunning)() = nullptr;
  void (*RedrawGraph)(DocumentRecord*) = nullptr;
  void (*InvalGraphRect)(DocumentRecord*) = nullptr;
  void (*CheckWindowEventLoopTimerInterval)(DocumentRecord*) = nullptr;
  void (*SetCursorRegion)(DocumentRecord*) = nullptr;
  void (*OurFlushWindowPortBuffer)(DocumentRecord*) = nullptr;
  OurPort* (*GetOffscreenGWorld)(DocumentRecord*) = nullptr;
  void (*RedrawPrimeViewIfNecessary)(DocumentRecord*, const void* view) = nullptr;
  void (*RecomputeWindow)(DocumentRecord*) = nullptr;
  void (*ClearMathAssistanceString)(DocumentRecord*) = nullptr;
  // A dragged point's graph rewrites its equation for the new place.
  void (*ChangeEquation)(DocumentRecord*, AGraph*, double x, double y) = nullptr;
  // The window's palette colour of a marked point (0xRRGGBB).
  uint32_t (*GraphSelectionColor)(DocumentRecord*) = nullptr;
  // The pane's views, made by the layers that implement them; a view with
  // no maker is an empty one.
  AGraphView* (*Make2DView)() = nullptr;
  AGraphView* (*Make3DView)() = nullptr;
  AGraphView* (*Make4DView)() = nullptr;
  void (*SetViewControlToolTip)(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper,
                                DocumentRecord*) = nullptr;
  void (*SetCoordinateValues)(int32_t field, double low, double high, DocumentRecord*) = nullptr;
  void (*ClearCoordinateDisplay)(DocumentRecord*) = nullptr;
  void (*RedoCoordinateDisplay)(DocumentRecord*) = nullptr;
  void (*RedrawCoordinates)(DocumentRecord*) = nullptr;
  // The pass of adding equations: the free parameter letters of a formula
  // join the document's shown parameters; colour equations and clips need
  // the fragment program; a transformation's block learns its lookup row.
  void (*AddToParameterList)(const ExpressionRecord*, DocumentRecord*) = nullptr;
  void (*SetDocumentFragmentProgramFlag)(DocumentRecord*) = nullptr;
  void (*SetTransformEquationBlockIndex)(MBlock*, int32_t row) = nullptr;
};

extern GraphPaneHooks gGraphPaneHooks;

// The calls as the views make them.
namespace PaneHooks {
void NotifyWindowGraphFinished(DocumentRecord* document);
bool UseSampleBuffer(DocumentRecord* document);
double SliderValue(DocumentRecord* document);
// The variable id the window slider drives; 0 (none) until filled.
int32_t SliderVariable(DocumentRecord* document);
int32_t GetGraphingAnimationState(DocumentRecord* document);
void FrameRateFeedback(DocumentRecord* document, double seconds);
void SetRTErrorCheck(DocumentRecord* document);
void SetDocDirty(DocumentRecord* document, bool dirty);
bool IsBenchmarkRunning();
void RedrawGraph(DocumentRecord* document);
void InvalGraphRect(DocumentRecord* document);
void CheckWindowEventLoopTimerInterval(DocumentRecord* document);
void SetCursorRegion(DocumentRecord* document);
void OurFlushWindowPortBuffer(DocumentRecord* document);
OurPort* GetOffscreenGWorld(DocumentRecord* document);
void RedrawPrimeViewIfNecessary(DocumentRecord* document, const void* view);
void RecomputeWindow(DocumentRecord* document);
void ClearMathAssistanceString(DocumentRecord* document);
void ChangeEquation(DocumentRecord* document, AGraph* graph, double x, double y);
// Sets the foreground to the window's selection colour, a fixed default
// until the window supplies one.
void SetGraphSelectionForeColor(DocumentRecord* document);
void SetViewControlToolTip(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper,
                           DocumentRecord* document);
void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* document);
void ClearCoordinateDisplay(DocumentRecord* document);
void RedoCoordinateDisplay(DocumentRecord* document);
void RedrawCoordinates(DocumentRecord* document);
void AddToParameterList(const ExpressionRecord* tree, DocumentRecord* document);
void SetDocumentFragmentProgramFlag(DocumentRecord* document);
void SetTransformEquationBlockIndex(MBlock* block, int32_t row);
}  // namespace PaneHooks
