#include "renderer/RendererHooks.h"

RendererHooks gRendererHooks;

namespace {

template <typename Result, typename... Args>
Result Ask(Result (*hook)(Args...), Result fallback, Args... args) {
  return hook ? hook(args...) : fallback;
}

template <typename... Args>
void Tell(void (*hook)(Args...), Args... args) {
  if (hook) hook(args...);
}

}  // namespace

namespace RenderHooks {

OurPort* GetOffscreenGWorld(DocumentRecord* d) { return Ask(gRendererHooks.GetOffscreenGWorld, (OurPort*)nullptr, d); }
bool UseSampleBuffer(DocumentRecord* d) { return Ask(gRendererHooks.UseSampleBuffer, false, d); }
bool IsTranslucent(DocumentRecord* d) { return Ask(gRendererHooks.IsTranslucent, false, d); }
bool HasDataPlotSymbolsOrLabels(DocumentRecord* d) { return Ask(gRendererHooks.HasDataPlotSymbolsOrLabels, false, d); }
int32_t BackgroundType(DocumentRecord* d) { return Ask(gRendererHooks.BackgroundType, int32_t(0), d); }
uint32_t BackgroundColor(DocumentRecord* d) { return Ask(gRendererHooks.BackgroundColor, uint32_t(0), d); }
bool DrawGraph(DocumentRecord* d) { return Ask(gRendererHooks.DrawGraph, false, d); }
void NotifyWindowGraphFinished(DocumentRecord* d) { Tell(gRendererHooks.NotifyWindowGraphFinished, d); }
void RedrawGraph(DocumentRecord* d) { Tell(gRendererHooks.RedrawGraph, d); }
int32_t GetGraphingAnimationState(DocumentRecord* d) {
  return Ask(gRendererHooks.GetGraphingAnimationState, int32_t(0), d);
}
void DisposeDrawContexts(DocumentRecord* d) { Tell(gRendererHooks.DisposeDrawContexts, d); }
void ResetDesiredRendererType(DocumentRecord* d) { Tell(gRendererHooks.ResetDesiredRendererType, d); }
void InvalExprs(DocumentRecord* d) { Tell(gRendererHooks.InvalExprs, d); }
void DoGraph(DocumentRecord* d) { Tell(gRendererHooks.DoGraph, d); }
void LoopGraphingAnimation(DocumentRecord* d) { Tell(gRendererHooks.LoopGraphingAnimation, d); }

}  // namespace RenderHooks
