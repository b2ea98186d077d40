#pragma once

#include <cstdint>
#include <memory>

#include "renderer/RendererHooks.h"

class AGraph;
class AGraphView;
class DocumentRecord;
struct ExpressionRecord;
struct MBlock;

// What the views and graphs ask of the layers above them (document, window,
// application). Those layers fill the table at start-up; an entry left
// empty does nothing and answers false, 0 or null.
//
// X(result, name, parameters, arguments): each entry is a member of the
// table and a call of the same name in PaneHooks that does nothing while
// the entry is empty.
#define ZL_GRAPH_PANE_HOOKS(X)                                                                                      \
  X(double, SliderValue, (DocumentRecord * document), (document))                                                   \
  /* The variable id the window slider drives; 0 (none) until filled. */                                            \
  X(int32_t, SliderVariable, (DocumentRecord * document), (document))                                               \
  X(void, FrameRateFeedback, (DocumentRecord * document, double seconds), (document, seconds))                      \
  X(void, SetRTErrorCheck, (DocumentRecord * document), (document))                                                 \
  X(void, SetDocDirty, (DocumentRecord * document, bool dirty), (document, dirty))                                  \
  X(bool, IsBenchmarkRunning, (), ())                                                                               \
  X(void, InvalGraphRect, (DocumentRecord * document), (document))                                                  \
  X(void, CheckWindowEventLoopTimerInterval, (DocumentRecord * document), (document))                               \
  X(void, SetCursorRegion, (DocumentRecord * document), (document))                                                 \
  X(void, OurFlushWindowPortBuffer, (DocumentRecord * document), (document))                                        \
  X(void, RedrawPrimeViewIfNecessary, (DocumentRecord * document, const void* view), (document, view))              \
  X(void, RecomputeWindow, (DocumentRecord * document), (document))                                                 \
  X(void, ClearMathAssistanceString, (DocumentRecord * document), (document))                                       \
  /* A dragged point's graph rewrites its equation for the new place. */                                            \
  X(void, ChangeEquation, (DocumentRecord * document, AGraph * graph, double x, double y), (document, graph, x, y)) \
  X(void, SetViewControlToolTip,                                                                                    \
    (int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper, DocumentRecord* document),        \
    (attribute, axes, secondAxes, paper, secondPaper, document))                                                    \
  X(void, SetCoordinateValues, (int32_t field, double low, double high, DocumentRecord* document),                  \
    (field, low, high, document))                                                                                   \
  X(void, ClearCoordinateDisplay, (DocumentRecord * document), (document))                                          \
  X(void, RedoCoordinateDisplay, (DocumentRecord * document), (document))                                           \
  X(void, RedrawCoordinates, (DocumentRecord * document), (document))                                               \
  /* The pass of adding equations: the free parameter letters of a formula */                                       \
  /* join the document's shown parameters; colour equations and clips need */                                       \
  /* the fragment program; a transformation's block learns its lookup row. */                                       \
  X(void, AddToParameterList, (const ExpressionRecord* tree, DocumentRecord* document), (tree, document))           \
  X(void, SetDocumentFragmentProgramFlag, (DocumentRecord * document), (document))                                  \
  X(void, SetTransformEquationBlockIndex, (MBlock * block, int32_t row), (block, row))                              \
  /* A demo drives the mouse; a movie is being saved frame by frame. */                                             \
  X(bool, IsDemoRunning, (), ())                                                                                    \
  X(bool, IsDemoPaused, (DocumentRecord * document), (document))                                                    \
  X(bool, IsSavingMovie, (), ())                                                                                    \
  /* The 4-D view's axis indicator: the window points of o, X, Y, Z, W as */                                        \
  /* x, y pairs; and the view's spin stopped. */                                                                    \
  X(void, Set4DAxisInfo, (DocumentRecord * document, const double* points), (document, points))                     \
  X(void, StopThumbwheels, (DocumentRecord * document), (document))

struct GraphPaneHooks {
#define ZL_GRAPH_PANE_HOOK_ENTRY(result, name, parameters, arguments) result(*name) parameters = nullptr;
  ZL_GRAPH_PANE_HOOKS(ZL_GRAPH_PANE_HOOK_ENTRY)
#undef ZL_GRAPH_PANE_HOOK_ENTRY
  // The window's palette colour of a marked point (0xRRGGBB).
  uint32_t (*GraphSelectionColor)(DocumentRecord*) = nullptr;
  // The pane's views, made by the layers that implement them; a view with
  // no maker is an empty one.
  std::unique_ptr<AGraphView> (*Make2DView)() = nullptr;
  std::unique_ptr<AGraphView> (*Make3DView)() = nullptr;
  std::unique_ptr<AGraphView> (*Make4DView)() = nullptr;
};

extern GraphPaneHooks gGraphPaneHooks;

// Set by the window while the user drags the pane divider or the grain
// control: 3-D views then hold their spin. Interface thread only.
extern bool gInhibit3DRotationKluge;

// The calls as the views make them.
namespace PaneHooks {
// An entry called when filled, else the empty answer.
template <typename Result, typename... Parameters>
struct EntryCall {
  Result (*entry)(Parameters...);
  Result operator()(Parameters... arguments) const { return entry != nullptr ? entry(arguments...) : Result(); }
};
template <typename Result, typename... Parameters>
EntryCall<Result, Parameters...> Entry(Result (*entry)(Parameters...)) {
  return {entry};
}

#define ZL_GRAPH_PANE_HOOK_CALL(result, name, parameters, arguments) \
  inline result name parameters { return Entry(gGraphPaneHooks.name) arguments; }
ZL_GRAPH_PANE_HOOKS(ZL_GRAPH_PANE_HOOK_CALL)
#undef ZL_GRAPH_PANE_HOOK_CALL

// The renderer's table holds these; the views call them by the same names.
using RenderHooks::GetGraphingAnimationState;
using RenderHooks::GetOffscreenGWorld;
using RenderHooks::NotifyWindowGraphFinished;
using RenderHooks::RedrawGraph;
using RenderHooks::UseSampleBuffer;

// Sets the foreground to the window's selection colour, a fixed default
// until the window supplies one.
void SetGraphSelectionForeColor(DocumentRecord* document);
}  // namespace PaneHooks
