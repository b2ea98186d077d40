#include "app/GraphCommands.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <array>
#include <memory>
#include <utility>

#include "CoreUtilities/OurTime.h"
#include "document/DocumentIdle.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphColorGlobals.h"
#include "graphpane/GraphKindQueries.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/CheckedConvert.h"
#include "window/DocumentMainWindow.h"
#include "window/GraphPaneWidget.h"
#include "window/WindowDialogs.h"
#include "window/ZoomRangesDialog.h"

namespace {

constexpr double kTranslucentOpacity = 0.5;
// How long copying a fragment program waits for the graphing pass.
constexpr int32_t kProgramExportTicks = 120;

constexpr std::array<ColorMenuItem, 16> kColorItems{{
    {1, "Purple"},
    {2, "Red"},
    {3, "Blue"},
    {4, "Green"},
    {5, "Cyan"},
    {6, "Yellow"},
    {7, "Frost"},
    {8, "Off-Black"},
    {10, "Checkerboard"},
    {11, "Horizontal Stripes"},
    {12, "Vertical Stripes"},
    {13, "Hue Gradient Down"},
    {14, "Hue Gradient Across"},
    {15, "Hue Bands Down"},
    {16, "Hue Bands Across"},
    {17, "Hidden"},
}};

MBlock* FocusedEquationBlock(DocumentMainWindow* window) {
  DocumentRecord* document = window->Document();
  MBlock* block = document->fContents.blocks.At(document->fFocusedBlock);
  return block && block->kind == kEquationBlock && EquationTree(*block) ? block : nullptr;
}

// The focused block's equations as the finished expansion left them; none
// while it runs, when they can't be asked about.
EquationList ExpandedEquationsOfFocus(DocumentMainWindow* window) {
  DocumentRecord* document = window->Document();
  EquationList equations;
  if (!document->fExpansion.expansionDone.load()) return equations;
  for (const ExpandedEquation& e : document->fExpansion.expanded)
    if (e.block == document->fFocusedBlock && e.tree) equations.push_back(e.tree.get());
  return equations;
}

void Regraph(DocumentMainWindow* window) {
  InvalExprs(window->Document());
  window->UpdateModifiedMark();
  window->WakeIdle();
}

// A layout the window still owes resizes the pane first, so that ranges
// are read from and fitted to the pane as it will be shown.
void SettleLayout() { QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); }

A2DGraphView* CurrentPlaneView(DocumentMainWindow* window) {
  AGraphPane* pane = window->Document()->fGraphPane.get();
  return pane ? dynamic_cast<A2DGraphView*>(pane->CurrentView()) : nullptr;
}

}  // namespace

std::span<const ColorMenuItem> ColorMenuItems() { return kColorItems; }

void SetFocusedEquationColor(DocumentMainWindow* window, int32_t code) {
  MBlock* block = FocusedEquationBlock(window);
  if (!block || block->Color == code) return;
  block->Color = code;
  Regraph(window);
}

void SetFocusedEquationXYType(DocumentMainWindow* window, XYTypeChoice type) {
  MBlock* block = FocusedEquationBlock(window);
  if (!block || block->XYType == static_cast<double>(type)) return;
  SetSurfaceDensityContour(window->Document(), type);
  window->UpdateModifiedMark();
  window->WakeIdle();
}

void ToggleFocusedEquationTransparency(DocumentMainWindow* window) {
  MBlock* block = FocusedEquationBlock(window);
  if (!block) return;
  block->Opacity = block->Opacity != 1 ? 1 : kTranslucentOpacity;
  Regraph(window);
}

void ZoomToRanges(DocumentMainWindow* window) {
  SettleLayout();
  A2DGraphView* view = CurrentPlaneView(window);
  if (!view) return;
  AGraphPane* pane = window->Document()->fGraphPane.get();
  const A2DTransform& shown = view->ViewTransform();
  const MRect& rect = view->ViewRect();
  GraphViewRecord& record = view->Record();
  ZoomRanges current{};
  current.x[0] = shown.ITOX(rect.left), current.x[1] = shown.ITOX(rect.right - 1);
  current.y[0] = shown.ITOY(rect.bottom - 1), current.y[1] = shown.ITOY(rect.top);
  for (int i = 0; i < 2; ++i) {
    current.t[i] = record.ranges[kCoordT][i];
    current.r[i] = record.ranges[kCoordR][i];
    current.theta[i] = record.ranges[kCoordTheta][i];
  }
  const std::optional<ZoomRanges> asked = AskZoomRanges(window, current);
  if (!asked) return;
  const ZoomRanges& z = *asked;
  SettleLayout();
  if (z.x[0] != z.x[1] && z.y[0] != z.y[1]) pane->Zoom(z.x[0], z.x[1], z.y[0], z.y[1], kCurrentView);
  // The graphs sample these; equal ends are no range.
  bool rangesChanged = false;
  const auto take = [&](int32_t p, const double(&range)[2]) {
    if (range[0] == range[1] || (range[0] == record.ranges[p][0] && range[1] == record.ranges[p][1])) return;
    record.ranges[p][0] = range[0], record.ranges[p][1] = range[1];
    rangesChanged = true;
  };
  take(kCoordT, z.t);
  take(kCoordR, z.r);
  take(kCoordTheta, z.theta);
  if (rangesChanged) {
    Regraph(window);
  } else {
    window->UpdateModifiedMark();
    window->GraphPane()->RedrawGraph();
  }
}

void CopyFragmentProgram(DocumentMainWindow* window) {
  if (!FocusedEquationBlock(window)) return;
  DocumentRecord* document = window->Document();
  gHackExportShaderPointer.reset();
  gHackExportShaderBlock = document->fFocusedBlock;
  gHackExportShaderFlag = true;
  DoGraph(document);
  const uint32_t deadline = OurTime() + OurDuration(kProgramExportTicks);
  while (!document->fExpansion.graphed && !OurTimeIsPast(OurTime(), deadline)) window->RunIdle();
  const std::unique_ptr<char[]> text = std::move(gHackExportShaderPointer);
  gHackExportShaderFlag = false;
  gHackExportShaderBlock = -1;
  if (!text) {
    ShowNote(QObject::tr("This equation's colour has no fragment program: it is computed on the processor."));
    return;
  }
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.get()));
}

GraphItemState CurrentGraphItems(DocumentMainWindow* window) {
  GraphItemState state;
  state.planeView = CurrentPlaneView(window) != nullptr;
  const MBlock* block = FocusedEquationBlock(window);
  if (!block) return state;
  state.equation = true;
  state.colorCode = DoubleToInt32(block->Color);
  state.xyType = DoubleToInt32(block->XYType);
  state.translucent = block->Opacity != 1;
  const EquationList equations = ExpandedEquationsOfFocus(window);
  state.xyTypes = MayBeContourOrDensityPlot(&equations, window->Document());
  state.transparency = MayUseTransparency(&equations, window->Document());
  return state;
}
