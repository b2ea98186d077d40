#include "window/WindowHooks.h"

#include "CoreUtilities/ErrorReport.h"
#include "document/DocumentRecord.h"
#include "graphpane/GraphHooks.h"
#include "renderer/RendererHooks.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"
#include "window/WindowDialogs.h"
#include "window/WindowRegistry.h"

namespace {

GraphPaneWidget* GraphWidget(DocumentRecord* document) {
  DocumentMainWindow* window = WindowOfDocument(document);
  return window ? window->GraphPane() : nullptr;
}

void RedrawGraph(DocumentRecord* document) {
  if (GraphPaneWidget* widget = GraphWidget(document)) widget->RedrawGraph();
}

void InvalGraphRect(DocumentRecord* document) {
  if (GraphPaneWidget* widget = GraphWidget(document)) widget->InvalidateGraph();
}

void FlushWindow(DocumentRecord* document) {
  if (GraphPaneWidget* widget = GraphWidget(document)) widget->repaint();
}

OurPort* GraphWorld(DocumentRecord* document) {
  GraphPaneWidget* widget = GraphWidget(document);
  return widget ? widget->World() : nullptr;
}

void SetCursorRegion(DocumentRecord* document) {
  if (GraphPaneWidget* widget = GraphWidget(document)) widget->UpdateCursor();
}

void CheckTimerInterval(DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->CheckTimerInterval();
}

void SetDocDirty(DocumentRecord* document, bool dirty) {
  if (!document || !dirty) return;
  document->fModified = true;
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->UpdateModifiedMark();
}

void ClearMathAssistanceString(DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->SetStatusText(QString());
}

void ShowAlert(int messageId, const UniChar*) { ReportError(messageId); }

}  // namespace

void InstallWindowHooks() {
  GraphPaneHooks& hooks = gGraphPaneHooks;
  hooks.InvalGraphRect = InvalGraphRect;
  hooks.OurFlushWindowPortBuffer = FlushWindow;
  hooks.SetCursorRegion = SetCursorRegion;
  hooks.CheckWindowEventLoopTimerInterval = CheckTimerInterval;
  hooks.SetDocDirty = SetDocDirty;
  hooks.ClearMathAssistanceString = ClearMathAssistanceString;
  gRendererHooks.RedrawGraph = RedrawGraph;
  gRendererHooks.GetOffscreenGWorld = GraphWorld;
  SetErrorAlertHook(ShowAlert);
}
