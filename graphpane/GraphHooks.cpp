#include "graphpane/GraphHooks.h"

#include "CoreUtilities/OurDrawing.h"

GraphPaneHooks gGraphPaneHooks;

namespace PaneHooks {

namespace {
template <typename Result, typename... Args, typename... Passed>
Result Call(Result (*hook)(Args...), Passed... arguments) {
  if (hook == nullptr) return Result();
  return hook(arguments...);
}
}  // namespace

void NotifyWindowGraphFinished(DocumentRecord* d) { Call(gGraphPaneHooks.NotifyWindowGraphFinished, d); }
bool UseSampleBuffer(DocumentRecord* d) { return Call(gGraphPaneHooks.UseSampleBuffer, d); }
double SliderValue(DocumentRecord* d) { return Call(gGraphPaneHooks.SliderValue, d); }
int32_t SliderVariable(DocumentRecord* d) { return Call(gGraphPaneHooks.SliderVariable, d); }
int32_t GetGraphingAnimationState(DocumentRecord* d) { return Call(gGraphPaneHooks.GetGraphingAnimationState, d); }
void FrameRateFeedback(DocumentRecord* d, double seconds) { Call(gGraphPaneHooks.FrameRateFeedback, d, seconds); }
void SetRTErrorCheck(DocumentRecord* d) { Call(gGraphPaneHooks.SetRTErrorCheck, d); }
void SetDocDirty(DocumentRecord* d, bool dirty) { Call(gGraphPaneHooks.SetDocDirty, d, dirty); }
bool IsBenchmarkRunning() { return Call(gGraphPaneHooks.IsBenchmarkRunning); }
void RedrawGraph(DocumentRecord* d) { Call(gGraphPaneHooks.RedrawGraph, d); }
void InvalGraphRect(DocumentRecord* d) { Call(gGraphPaneHooks.InvalGraphRect, d); }
void CheckWindowEventLoopTimerInterval(DocumentRecord* d) {
  Call(gGraphPaneHooks.CheckWindowEventLoopTimerInterval, d);
}
void SetCursorRegion(DocumentRecord* d) { Call(gGraphPaneHooks.SetCursorRegion, d); }
void OurFlushWindowPortBuffer(DocumentRecord* d) { Call(gGraphPaneHooks.OurFlushWindowPortBuffer, d); }
OurPort* GetOffscreenGWorld(DocumentRecord* d) { return Call(gGraphPaneHooks.GetOffscreenGWorld, d); }
void RedrawPrimeViewIfNecessary(DocumentRecord* d, const void* view) {
  Call(gGraphPaneHooks.RedrawPrimeViewIfNecessary, d, view);
}
void RecomputeWindow(DocumentRecord* d) { Call(gGraphPaneHooks.RecomputeWindow, d); }
void ClearMathAssistanceString(DocumentRecord* d) { Call(gGraphPaneHooks.ClearMathAssistanceString, d); }
void ChangeEquation(DocumentRecord* d, AGraph* graph, double x, double y) {
  Call(gGraphPaneHooks.ChangeEquation, d, graph, x, y);
}
void SetGraphSelectionForeColor(DocumentRecord* d) {
  constexpr uint32_t kDefaultSelectionColor = 0x99CCFF;
  OurRGBForeColor(gGraphPaneHooks.GraphSelectionColor ? gGraphPaneHooks.GraphSelectionColor(d)
                                                      : kDefaultSelectionColor);
}
void SetViewControlToolTip(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper,
                           DocumentRecord* d) {
  Call(gGraphPaneHooks.SetViewControlToolTip, attribute, axes, secondAxes, paper, secondPaper, d);
}
void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* d) {
  Call(gGraphPaneHooks.SetCoordinateValues, field, low, high, d);
}
void ClearCoordinateDisplay(DocumentRecord* d) { Call(gGraphPaneHooks.ClearCoordinateDisplay, d); }
void RedoCoordinateDisplay(DocumentRecord* d) { Call(gGraphPaneHooks.RedoCoordinateDisplay, d); }
void RedrawCoordinates(DocumentRecord* d) { Call(gGraphPaneHooks.RedrawCoordinates, d); }
void AddToParameterList(const ExpressionRecord* tree, DocumentRecord* d) {
  Call(gGraphPaneHooks.AddToParameterList, tree, d);
}
void SetDocumentFragmentProgramFlag(DocumentRecord* d) { Call(gGraphPaneHooks.SetDocumentFragmentProgramFlag, d); }
void SetTransformEquationBlockIndex(MBlock* block, int32_t row) {
  Call(gGraphPaneHooks.SetTransformEquationBlockIndex, block, row);
}

}  // namespace PaneHooks
