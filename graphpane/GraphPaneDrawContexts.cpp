#include "graphpane/AGraphPane.h"

#include "graphpane/AGraphView.h"
#include "renderer/DrawContext.h"
#include "renderer/GLFrame.h"

namespace {

MDrawContext* ContextOf(const AGraphView* view) { return view ? view->Record().drawContext : nullptr; }

}  // namespace

void AGraphPane::DisposeDrawContexts() {
  for (const AGraphView* view : {View3D(0), View3D(1), View4D()})
    if (MDrawContext* ctx = ContextOf(view)) DisposeDrawContext(ctx);
}

void AGraphPane::SetDrawContextsTransparencyChangedFlag() {
  for (const AGraphView* view : {View3D(0), View3D(1), View4D()})
    if (MDrawContext* ctx = ContextOf(view)) SetDrawContextTransparencyChangedFlag(ctx);
}

bool AGraphPane::UsingOurRenderer() const {
  for (const AGraphView* view : {Shown3DCurrent(), Shown3DSecond()}) {
    const MDrawContext* ctx = ContextOf(view);
    if (ctx != nullptr && GetRendererType(ctx) == kRendererSoftware) return true;
  }
  return false;
}

// The views the user sees in space: the current one, the second when it is
// 3-D, and the 4-D view only while current.
Our3DRendererType AGraphPane::SetDesiredRendererType(Our3DRendererType type) {
  Our3DRendererType previous = kRendererAutomatic;
  for (const AGraphView* view : {Shown3DCurrent(), Shown3DSecond()}) {
    MDrawContext* ctx = ContextOf(view);
    if (ctx == nullptr) continue;
    previous = GetDesiredRendererType(ctx);
    ::SetDesiredRendererType(ctx, type);
  }
  return previous;
}

void AGraphPane::SetDrawContextsWindow(QWidget* window) {
  for (const AGraphView* view : {View3D(0), View3D(1), View4D()})
    if (MDrawContext* ctx = ContextOf(view)) SetDrawContextWindow(ctx, window, fDocument);
}

// The 4-D view, current, is read whichever view is asked for.
void AGraphPane::ReadFrameBufferIfNeeded(ShownViews which) {
  const bool current = which == kCurrentView || which == kBothViews || IsView4D();
  const bool second = which == kSecondView || which == kBothViews;
  for (AGraphView* view : {current ? Shown3DCurrent() : nullptr, second ? Shown3DSecond() : nullptr})
    if (view != nullptr && view->IsDMA()) OurReadPixels(ContextOf(view));
}
