#include "document/DocumentRendererHooks.h"

#include "document/DocumentIdle.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"
#include "renderer/DrawContext.h"
#include "renderer/RendererHooks.h"

namespace {

int32_t BackgroundType(DocumentRecord* document) { return document ? document->fContents.backgroundType : 0; }

uint32_t BackgroundColor(DocumentRecord* document) {
  if (!document) return 0;
  const uint8_t* c = document->fContents.backgroundColor;
  return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

}  // namespace

void InstallDocumentRendererHooks() {
  gRendererHooks.UseSampleBuffer = [](DocumentRecord* d) { return d && d->fContents.useAntialiasing; };
  gRendererHooks.BackgroundType = BackgroundType;
  gRendererHooks.BackgroundColor = BackgroundColor;
  gRendererHooks.IsTranslucent = [](DocumentRecord* d) { return d && d->fExpansion.translucent.load(); };
  gRendererHooks.HasDataPlotSymbolsOrLabels = [](DocumentRecord* d) {
    return d && d->fExpansion.dataPlotSymbolsOrLabels.load();
  };
  gRendererHooks.DrawGraph = [](DocumentRecord* d) { return d && d->fContents.drawGraph; };
  gRendererHooks.NotifyWindowGraphFinished = NotifyWindowGraphFinished;
  gRendererHooks.GetGraphingAnimationState = GetGraphingAnimationState;
  gRendererHooks.DisposeDrawContexts = [](DocumentRecord* d) {
    if (d && d->fGraphPane) d->fGraphPane->DisposeDrawContexts();
  };
  gRendererHooks.ResetDesiredRendererType = [](DocumentRecord* d) {
    if (d && d->fGraphPane) d->fGraphPane->SetDesiredRendererType(kRendererAutomatic);
  };
  gRendererHooks.InvalExprs = InvalExprs;
  gRendererHooks.DoGraph = DoGraph;
  gRendererHooks.LoopGraphingAnimation = LoopGraphingAnimation;
}
