#include "document/DocumentPaneHooks.h"

#include <chrono>

#include "CoreUtilities/OurTime.h"
#include "document/CoordinateDisplay.h"
#include "document/DemoState.h"
#include "document/DocumentExpansion.h"
#include "document/DocumentIdle.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "document/ParameterList.h"
#include "document/SliderAnimation.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/EquationDefinitions.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/GraphMakers2D.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/GraphMakers3D.h"

namespace {

constexpr int32_t kFrameSamples = 40;
constexpr int32_t kRecomputeTicks = 60;

double SliderValueOf(DocumentRecord* document) { return DocumentSliderValue(document); }
void SetRTErrorCheck(DocumentRecord* document) {
  if (document) document->fExpansion.runTimeErrorCheck = true;
}
void RedrawPrimeViewIfNecessary(DocumentRecord* document, const void* view) {
  if (document && document->fGraphPane) document->fGraphPane->RedrawPrimeViewifNecessary(view);
}

// The equation block whose graphs include the graph; -1 when none.
int32_t BlockOfGraph(DocumentRecord* document, const AGraph* graph) {
  if (!document->fGraphPane) return -1;
  const auto& blocks = document->fContents.blocks;
  for (int32_t i = 0; i < blocks.Count(); ++i) {
    const AListGenericSmall<int32_t>* rows = blocks[i].graphRows;
    if (rows && document->fGraphPane->DoesIndexMatchObject(rows, graph)) return i;
  }
  return -1;
}

// Gives the graphs 60 ticks to finish, then shows them as far as they got.
void RecomputeWindow(DocumentRecord* document) {
  if (!document || !document->fGraphPane) return;
  document->fGraphPane->Compute(OurDuration(kRecomputeTicks), false);
  DrawDocumentGraph(document);
  PaneHooks::RedrawGraph(document);
}

void SetDocumentFragmentProgramFlag(DocumentRecord* document) {
  if (document) document->fExpansion.fragmentProgramFlag = true;
}

}  // namespace

void SetTransformEquationBlockIndex(MBlock* block, int32_t row) {
  if (!block) return;
  if (!block->graphRows) block->graphRows = new AListGenericSmall<int32_t>;
  block->graphRows->Add(row);
}

void NotifyWindowGraphFinished(DocumentRecord* document) {
  if (!document) return;
  ExpansionState& state = document->fExpansion;
  {
    std::lock_guard<std::mutex> lock(state.wakeMutex);
    state.graphFinished = true;
  }
  WakeDocument(document);
}

bool TakeGraphFinished(DocumentRecord* document) {
  ExpansionState& state = document->fExpansion;
  std::lock_guard<std::mutex> lock(state.wakeMutex);
  const bool finished = state.graphFinished;
  state.graphFinished = false;
  return finished;
}

void WaitForDocumentWake(DocumentRecord* document, int64_t microseconds) {
  ExpansionState& state = document->fExpansion;
  std::unique_lock<std::mutex> lock(state.wakeMutex);
  state.wakeCondition.wait_for(lock, std::chrono::microseconds(microseconds), [&] { return state.woken; });
  state.woken = false;
}

void ChangeEquation(DocumentRecord* document, AGraph* graph, double x, double y) {
  const int32_t block = BlockOfGraph(document, graph);
  if (block < 0) return;
  ExpressionRecord* tree = EquationTree(document->fContents.blocks[block]);
  // Only a point's equation (a name set to a constant) takes the new place.
  if (!tree || tree->opcode != kOpEquals || tree->operandCount != 2 || !IsParameterName(tree->operands[0]) ||
      !ComplexConstantValue(tree->operands[1]))
    return;
  ExpressionRecord* point = ComplexNumber({x, y});
  if (!point) return;
  StopDocumentComputations(document);
  ExpressionRecord* old = tree->operands[1];
  tree->operands[1] = point;
  point->parent = tree;
  old->parent = nullptr;
  DisposExpr(old);
  InvalExprs(document);
}

void SetSurfaceDensityContour(DocumentRecord* document, int32_t n) {
  MBlock* block = document->fContents.blocks.At(document->fFocusedBlock);
  if (!block || block->kind != kEquationBlock) return;
  block->XYType = n;
  InvalExprs(document);
}

void FrameRateFeedback(DocumentRecord* document, double seconds) {
  ExpansionState& state = document->fExpansion;
  state.frameTimes[state.frameIndex] = seconds;
  state.frameIndex = (state.frameIndex + 1) % kFrameSamples;
}

void InstallDocumentPaneHooks() {
  gGraphPaneHooks.SliderValue = SliderValueOf;
  gGraphPaneHooks.SliderVariable = SliderVariable;
  gGraphPaneHooks.FrameRateFeedback = FrameRateFeedback;
  gGraphPaneHooks.SetRTErrorCheck = SetRTErrorCheck;
  gGraphPaneHooks.RedrawPrimeViewIfNecessary = RedrawPrimeViewIfNecessary;
  gGraphPaneHooks.ChangeEquation = ChangeEquation;
  gGraphPaneHooks.RecomputeWindow = RecomputeWindow;
  gGraphPaneHooks.Make2DView = MakeA2DGraphView;
  gGraphPaneHooks.Make3DView = MakeA3DGraphView;
  gGraphPaneHooks.Make4DView = MakeA4DGraphView;
  gGraphPaneHooks.SetCoordinateValues = SetCoordinateValues;
  gGraphPaneHooks.ClearCoordinateDisplay = ClearCoordinateDisplay;
  gGraphPaneHooks.RedoCoordinateDisplay = RedoCoordinateDisplay;
  gGraphPaneHooks.AddToParameterList = AddToParameterList;
  gGraphPaneHooks.SetDocumentFragmentProgramFlag = SetDocumentFragmentProgramFlag;
  gGraphPaneHooks.SetTransformEquationBlockIndex = SetTransformEquationBlockIndex;
  gGraphPaneHooks.IsDemoRunning = IsDemoRunning;
  gGraphPaneHooks.IsDemoPaused = IsDemoPaused;
  Install2DGraphMakers();
  Install3DGraphMakers();
}
