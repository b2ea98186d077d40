#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include <QRegion>

#include "CoreUtilities/MRect.h"
#include "graphpane/AGraph.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/GraphList.h"
#include "graphpane/GraphViewRecord.h"
#include "graphpane/UsableRanges.h"

class DocumentRecord;
struct OurPicture;

// A graph view as the pane reaches it. Every view has its document, its
// rectangle and its graphs, addressed by index; it owns the graphs.
class AGraphView {
 public:
  AGraphView() = default;
  AGraphView(const AGraphView&) = delete;
  AGraphView& operator=(const AGraphView&) = delete;
  virtual ~AGraphView() = default;

  virtual int32_t Draw(bool drawGraphs) = 0;
  virtual int32_t GraphVisibility(int32_t graph) = 0;
  virtual bool IsDoneComputing(int32_t graph) = 0;
  virtual void Resize() = 0;
  virtual void Zoom(ZoomCommand command) = 0;
  virtual bool MouseWheel(int32_t dh, int32_t dv) = 0;
  virtual void SetGraphParameter(ViewAttribute attribute, double value, int32_t graph) = 0;
  virtual bool UsesGrainSlider(int32_t graph) = 0;
  virtual void GetHandCursorRgn(QRegion* region, bool panModifier) = 0;
  virtual void GetMarkCursorRgn(QRegion* region, bool markModifier, MPoint point) = 0;
  virtual void GetDragCursorRgn(QRegion* region) = 0;
  virtual MPoint GetDemoMouseLocation(int32_t step) = 0;
  virtual int32_t MouseDown(MPoint point, long when, bool command, bool option, bool control, bool shift,
                            bool doubleClick) = 0;
  virtual void MouseUp(MPoint point) = 0;
  virtual void MouseMove(MPoint now, MPoint before) = 0;
  virtual bool IsMoving() = 0;
  virtual bool IsDrawAccelerated() = 0;
  virtual bool AreAllGraphsDoneComputing() = 0;
  virtual bool NoGraphs() = 0;
  virtual bool EnableShowAllData() = 0;
  virtual void DoShowAllData() = 0;
  virtual void SetViewParameter(ViewAttribute attribute) = 0;
  // The 4-D view's settings with their values; other views ignore them.
  virtual void SetViewParameter4D(ViewAttribute /*attribute*/, double /*value*/) {}
  virtual bool IsDMA() { return false; }

  // What the pane reads or calls besides the slots above.
  virtual void ViewChanged() = 0;
  // Takes the other view's domain (ranges and view state); true when
  // anything changed. Views of different kinds change nothing.
  virtual bool CopyDomainFrom(const AGraphView& other) = 0;
  // Readies what graph constructors need of the view (3-D and 4-D views).
  virtual void ConstructContextNeededByGraphConstructors() {}
  // A 2-D view zooms to ranges and takes pasted pictures; others ignore them.
  virtual void DialogZoom(double /*x1*/, double /*x2*/, double /*y1*/, double /*y2*/) {}
  // Shows exactly these ranges edge to edge (a 2-D view); others ignore it.
  virtual void ShowRanges(double /*x1*/, double /*x2*/, double /*y1*/, double /*y2*/) {}
  virtual void PastePicture(const OurPicture* /*picture*/, const MPoint* /*point*/) {}

  // The graph list, the same in every view.
  int32_t GraphCount() const { return fGraphs.Count(); }
  AGraph* GraphAt(int32_t graph) const { return fGraphs.At(graph); }
  // Appends a graph of the view's kind, which the view then owns; one the
  // list can't take is destroyed here.
  void AddGraph(std::unique_ptr<AGraph> graph) { fGraphs.Add(std::move(graph)); }
  // Deletes every graph and empties the list.
  void DeleteGraphs() { fGraphs.Clear(); }

  bool IsShowingAxes() const { return fRecord.axesShown != 0; }
  bool IsShowingGraphPaper() const { return fRecord.graphPaperShown != 0; }
  // Whether the view can take the range p from low to high: finite ends
  // that differ, and whatever more the view's drawing needs.
  virtual bool IsUsableRange(int32_t /*parameter*/, double low, double high) const {
    return IsUsableViewRange(low, high) && low != high;
  }
  // The low and high end of a range the view's graphs sample, by
  // coordinate-display number; null when the view has no such range.
  double* ParameterRange(int32_t parameter) { return fRecord.Keeps(parameter) ? fRecord.ranges[parameter] : nullptr; }
  GraphViewRecord& Record() { return fRecord; }
  const GraphViewRecord& Record() const { return fRecord; }

  void SetDocument(DocumentRecord* document) { fDocument = document; }
  DocumentRecord* Document() const { return fDocument; }
  // Takes the rectangle; the pane calls Resize after.
  void SetViewRect(const MRect& rect) { fViewRect = rect; }
  const MRect& ViewRect() const { return fViewRect; }

 protected:
  DocumentRecord* fDocument = nullptr;
  MRect fViewRect;
  GraphViewRecord fRecord;
  // A view whose graphs reach its own members deletes them in its
  // destructor, before those members go.
  GraphList fGraphs;
};
