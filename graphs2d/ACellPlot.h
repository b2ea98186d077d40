#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>

#include "CoreUtilities/threads/OurMutex.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "evaluation/grid/GridRecords.h"
#include "graphpane/A2DGraph.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/AListofFrames.h"
#include "graphs2d/GraphJobs.h"
#include "platform/OurPort.h"

class AGraphColor;
class AnExpression;

// Cell (i, j) of a map is the world point of pixel (left + i w, top + j h).
struct CellGeometry {
  double x0, y0, dx, dy;
};
CellGeometry CellGeometryOf(const A2DTransform& transform);
// The transform's cell size, 1 or 2 pixels.
int32_t CellWidth(const A2DTransform& transform);
int32_t CellHeight(const A2DTransform& transform);

// The raster graphs' common part: a map of cells (one per pixel or per 2 x 2
// pixels) anchored at the view's left and bottom edges, worker bands over the
// rows that still hold cells to do, the value range sampled once under its
// mutex, and finished frames kept by slider value. Cells are written by the
// workers and read by Draw at the same time, so every access is atomic;
// the range is published release/acquire.
template <typename Cell>
class ACellPlot : public A2DGraph {
 public:
  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  void ViewChanged() override;
  void Resize() override;
  void Pan(int32_t dh, int32_t dv) override;
  void PauseComputing() override { Stop(); }
  int32_t GraphClass() override { return kGraphClassAreas; }

  int32_t Width() const { return fWidth; }
  int32_t Height() const { return fHeight; }
  bool HasMap() const { return fCells != nullptr; }
  Cell CellAt(int32_t i, int32_t j) const { return LoadCell(fCells[j * fWidth + i]); }
  int32_t FrameCount() const { return fFrames.Count(); }

 protected:
  ACellPlot(const A2DTransform& transform, Cell toDo);
  // Called by the derived destructor while the graph is whole.
  void StopForGood() { Stop(); }
  // The colour and expressions whose cancel flags follow the graph's.
  void SetCancelList(AGraphColor* colour, AnExpression* e1, AnExpression* e2 = nullptr, AnExpression* e3 = nullptr,
                     AnExpression* e4 = nullptr);
  // Without grid programs (memory ran out) message 36; nothing is computed.
  void SetGridData(std::unique_ptr<MGridData> data);

  // Samples the range; true when it stands (a cancelled or unusable sample
  // is taken again at the next submission).
  virtual bool SetRange(MGridVariables* grid) = 0;
  // Row gridRow of the map's grid into out, mapped.
  virtual void ComputeRow(MGridVariables* grid, int32_t gridRow, Cell* out) = 0;
  virtual Cell ComputeCell(MGridVariables* grid, int32_t i, int32_t gridRow) = 0;
  virtual bool HasRowPrograms() const = 0;

  void Stop();
  void SubmitJobs();
  void InvalidatePoints();
  // Sizes a new map from the transform, every cell to do; message 36 when
  // it cannot be had.
  void NewMap();
  // A stored frame for the slider value replaces the map; without one the
  // map is recomputed and kept as the frame.
  void ShowFrameOrCompute(DocumentRecord* document);
  // Keeps the finished map as a frame when one is wanted.
  void KeepFrameIfWanted();
  bool IsDone() { return fJobs.AllDone(); }
  bool AllCellsAre(Cell value) const;
  // Composes every cell over the current port's pixels below it (2 x 2
  // pixels with cells of 2); colourOf gives kSkipCell for cells not drawn.
  static constexpr uint32_t kSkipCell = 0xFFFFFFFF;
  template <typename ColourOf>
  void ComposeCells(ColourOf colourOf) const;

  static Cell LoadCell(const Cell& c) { return std::atomic_ref<const Cell>(c).load(std::memory_order_relaxed); }
  static void StoreCell(Cell& c, Cell v) { std::atomic_ref<Cell>(c).store(v, std::memory_order_relaxed); }

  const A2DTransform& fTransform;
  std::unique_ptr<Cell[]> fCells;
  int32_t fWidth = 0, fHeight = 0;
  std::unique_ptr<MGridData> fGridData;
  GraphJobs fJobs;
  AListofFrames fFrames;
  double fFrameValue = std::numeric_limits<double>::quiet_NaN();
  bool fFrameCachingOff = false;
  bool fFrameWanted = false;

 private:
  bool RowUntouched(int32_t row) const;
  void CopyAnchored(const Cell* old, int32_t oldWidth, int32_t oldHeight, int32_t dh, int32_t dv);

  Cell fToDo;
  OurMutex fRangeMutex;
  std::atomic<bool> fRangeComputed{false};
  bool fRangeStands = false;
  int32_t fFirstRow = 0, fLastRow = 0;
  AGraphColor* fCancelColour = nullptr;
  AnExpression* fCancelExpressions[4] = {};
};

template <typename Cell>
template <typename ColourOf>
void ACellPlot<Cell>::ComposeCells(ColourOf colourOf) const {
  OurPort* port = CurrentPort();
  if (!port || !fCells) return;
  const int32_t cw = CellWidth(fTransform), ch = CellHeight(fTransform);
  const QRect& b = port->bounds;
  const MRect& r = fTransform.pixelRect;
  // The cells whose pixels lie in the port, found once.
  const int32_t i0 = std::max(0, (b.left() - r.left + cw - 1) / cw);
  const int32_t i1 = std::min(fWidth, (b.right() + 1 - r.left) / cw);
  for (int32_t j = 0; j < fHeight; ++j) {
    for (int32_t v = r.top + j * ch; v < r.top + (j + 1) * ch; ++v) {
      if (v < b.top() || v > b.bottom()) continue;
      uint32_t* line = PortPixel(*port, b.left(), v);
      const int32_t shift = r.left - b.left();
      const Cell* cells = &fCells[j * fWidth];
      for (int32_t i = i0; i < i1; ++i) {
        const uint32_t colour = colourOf(LoadCell(cells[i]));
        if (colour == kSkipCell) continue;
        for (int32_t k = shift + i * cw; k < shift + (i + 1) * cw; ++k) line[k] = OurComposeColors(colour, line[k]);
      }
    }
  }
}
