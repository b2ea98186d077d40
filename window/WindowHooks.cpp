#include "window/WindowHooks.h"

#include <QPalette>

#include "CoreUtilities/files/ErrorReport.h"
#include "document/DemoState.h"
#include "document/DocumentRecord.h"
#include "graphpane/GraphHooks.h"
#include "renderer/RendererHooks.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"
#include "window/ViewControls.h"
#include "window/WindowDialogs.h"
#include "window/WindowPalette.h"
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
  return widget ? widget->DrawingWorld() : nullptr;
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

// A demo's caption stays while the demo runs.
void ClearMathAssistanceString(DocumentRecord* document) {
  if (IsDemoRunning()) return;
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->SetStatusText(QString());
}

void RedrawCoordinates(DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document)) window->RedrawCoordinates();
}

void SetViewControlToolTip(int32_t attribute, bool axes, bool secondAxes, bool paper, bool secondPaper,
                           DocumentRecord* document) {
  if (DocumentMainWindow* window = WindowOfDocument(document))
    window->ViewButtons()->SetToolTips(attribute, axes, secondAxes, paper, secondPaper);
}

uint32_t GraphSelectionColor(DocumentRecord* document) {
  const DocumentMainWindow* window = WindowOfDocument(document);
  return ZentrolabPaletteColor(kGraphSelectionPaletteEntry, window ? window->palette() : QPalette());
}

void Set4DAxisInfo(DocumentRecord* document, const double* points) {
  if (GraphPaneWidget* widget = GraphWidget(document)) widget->Indicator().Keep(points);
}

// The window turns no thumbwheels: a stopped spin is the view's own.
void StopThumbwheels(DocumentRecord*) {}

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
  hooks.RedrawCoordinates = RedrawCoordinates;
  hooks.SetViewControlToolTip = SetViewControlToolTip;
  hooks.GraphSelectionColor = GraphSelectionColor;
  hooks.Set4DAxisInfo = Set4DAxisInfo;
  hooks.StopThumbwheels = StopThumbwheels;
  gRendererHooks.RedrawGraph = RedrawGraph;
  gRendererHooks.GetOffscreenGWorld = GraphWorld;
  SetErrorAlertHook(ShowAlert);
}
