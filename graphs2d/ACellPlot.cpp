#include "graphs2d/ACellPlot.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"

int32_t CellWidth(const A2DTransform& transform) { return transform.xSampleFactor == 2 ? 2 : 1; }
int32_t CellHeight(const A2DTransform& transform) { return transform.ySampleFactor == 2 ? 2 : 1; }

CellGeometry CellGeometryOf(const A2DTransform& t) {
  const double ux = t.xUnitsPerPixel, uy = t.yUnitsPerPixel;
  return CellGeometry{(t.pixelRect.left - t.xOrigin) * ux, -(t.pixelRect.top - t.yOrigin) * uy, ux * CellWidth(t),
                      -uy * CellHeight(t)};
}

template <typename Cell>
ACellPlot<Cell>::ACellPlot(const A2DTransform& transform, Cell toDo)
    : fTransform(transform), fJobs(this, GraphJobs::kOnePerProcessor), fToDo(toDo) {}

template <typename Cell>
void ACellPlot<Cell>::SetCancelList(AGraphColor* colour, AnExpression* e1, AnExpression* e2, AnExpression* e3,
                                    AnExpression* e4) {
  fCancelColour = colour;
  fCancelExpressions[0] = e1, fCancelExpressions[1] = e2, fCancelExpressions[2] = e3, fCancelExpressions[3] = e4;
}

template <typename Cell>
void ACellPlot<Cell>::SetGridData(std::unique_ptr<MGridData> data) {
  fGridData = std::move(data);
  if (!fGridData) QueueError(kOutOfMemoryError);
}

template <typename Cell>
void ACellPlot<Cell>::Stop() {
  AnExpression* const* e = fCancelExpressions;
  fJobs.Stop(fCancelColour, {e[0], e[1], e[2], e[3]});
}

template <typename Cell>
void ACellPlot<Cell>::NewMap() {
  const MRect& r = fTransform.pixelRect;
  const int32_t w = (r.right - r.left) / CellWidth(fTransform), h = (r.bottom - r.top) / CellHeight(fTransform);
  fWidth = fHeight = 0;
  fCells.reset();
  if (w <= 0 || h <= 0) return;
  fCells.reset(new (std::nothrow) Cell[static_cast<size_t>(w) * h]);
  if (!fCells) {
    QueueError(kOutOfMemoryError);
    return;
  }
  fWidth = w, fHeight = h;
  std::fill_n(fCells.get(), static_cast<size_t>(w) * h, fToDo);
}

template <typename Cell>
bool ACellPlot<Cell>::RowUntouched(int32_t row) const {
  for (int32_t i = 0; i < fWidth; ++i) {
    if (LoadCell(fCells[row * fWidth + i]) != fToDo) return false;
  }
  return true;
}

template <typename Cell>
bool ACellPlot<Cell>::AllCellsAre(Cell value) const {
  for (int32_t k = 0; k < fWidth * fHeight; ++k) {
    if (LoadCell(fCells[k]) != value) return false;
  }
  return true;
}

template <typename Cell>
void ACellPlot<Cell>::SubmitJobs() {
  // Only rows still holding cells to do are dealt out.
  fFirstRow = fHeight, fLastRow = 0;
  for (int32_t j = 0; fCells && j < fHeight; ++j) {
    for (int32_t i = 0; i < fWidth; ++i) {
      if (fCells[j * fWidth + i] == fToDo) {
        fFirstRow = std::min(fFirstRow, j), fLastRow = j;
        break;
      }
    }
  }
  if (!fRangeStands) fRangeComputed.store(false, std::memory_order_release);
  AnExpression* const* e = fCancelExpressions;
  fJobs.Submit(fCancelColour, {e[0], e[1], e[2], e[3]});
}

template <typename Cell>
void ACellPlot<Cell>::InvalidatePoints() {
  Stop();
  NewMap();
  SubmitJobs();
}

template <typename Cell>
void ACellPlot<Cell>::ViewChanged() {
  fFrames.RemoveAllElements();
  InvalidatePoints();
}

template <typename Cell>
int32_t ACellPlot<Cell>::Compute(int32_t slice) {
  DocumentRecord* document = fTransform.document;
  if (!fCells || fWidth == 0 || fHeight == 0 || !fGridData) {
    return fJobs.Finish(slice, kJobNothingToCompute, document);
  }
  MGridVariables grid;
  if (!fRangeComputed.load(std::memory_order_acquire)) {
    OurLock lock(fRangeMutex);
    if (!fRangeComputed.load(std::memory_order_relaxed)) {
      fRangeStands = SetRange(&grid) && !fJobs.Cancelled();
      if (!fJobs.Cancelled()) fRangeComputed.store(true, std::memory_order_release);
    }
  }
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kJobCancelled, document);
  const int32_t rows = (fLastRow - fFirstRow + 1) / fJobs.Count() + 1;
  const int32_t first = fFirstRow + slice * rows, last = std::min(first + rows - 1, std::min(fLastRow, fHeight - 1));
  if (first <= last) {
    // Rows indexed from the map's top, so that a cell's point does not
    // depend on how the rows were dealt out.
    const CellGeometry g = CellGeometryOf(fTransform);
    AnExpression::SetupGrid(g.x0, g.y0, g.dx, g.dy, fWidth, last + 1, fGridData.get(), &grid);
    std::vector<Cell> row(static_cast<size_t>(fWidth));
    const bool rowPrograms = HasRowPrograms();
    for (int32_t j = first; j <= last; ++j) {
      Cell* cells = &fCells[j * fWidth];
      if (rowPrograms && RowUntouched(j)) {
        ComputeRow(&grid, j, row.data());
        if (fJobs.Cancelled()) return fJobs.Finish(slice, kJobCancelled, document);
        for (int32_t i = 0; i < fWidth; ++i) StoreCell(cells[i], row[i]);
        continue;
      }
      for (int32_t i = 0; i < fWidth; ++i) {
        if (LoadCell(cells[i]) != fToDo) continue;
        const Cell value = ComputeCell(&grid, i, j);
        if (fJobs.Cancelled()) return fJobs.Finish(slice, kJobCancelled, document);
        StoreCell(cells[i], value);
      }
    }
  }
  return fJobs.Finish(slice, kJobFinished, document);
}

template <typename Cell>
void ACellPlot<Cell>::CopyAnchored(const Cell* old, int32_t oldWidth, int32_t oldHeight, int32_t dh, int32_t dv) {
  for (int32_t j = 0; j < fHeight; ++j) {
    const int32_t oj = j - dv;
    if (oj < 0 || oj >= oldHeight) continue;
    for (int32_t i = 0; i < fWidth; ++i) {
      const int32_t oi = i - dh;
      if (oi >= 0 && oi < oldWidth) fCells[j * fWidth + i] = old[oj * oldWidth + oi];
    }
  }
}

template <typename Cell>
void ACellPlot<Cell>::Pan(int32_t dh, int32_t dv) {
  if (!fCells) return;
  fFrames.RemoveAllElements();
  Stop();
  const int32_t sh = dh / CellWidth(fTransform), sv = dv / CellHeight(fTransform);
  if (sh != 0 || sv != 0) {
    std::unique_ptr<Cell[]> old(new (std::nothrow) Cell[static_cast<size_t>(fWidth) * fHeight]);
    if (old) std::copy_n(fCells.get(), static_cast<size_t>(fWidth) * fHeight, old.get());
    std::fill_n(fCells.get(), static_cast<size_t>(fWidth) * fHeight, fToDo);
    if (old) CopyAnchored(old.get(), fWidth, fHeight, sh, sv);
  }
  SubmitJobs();
}

template <typename Cell>
void ACellPlot<Cell>::Resize() {
  fFrames.RemoveAllElements();
  Stop();
  std::unique_ptr<Cell[]> old = std::move(fCells);
  const int32_t oldWidth = fWidth, oldHeight = fHeight;
  NewMap();
  // Anchored at the left and bottom edges: the old bottom row lands on the
  // new bottom row.
  if (old && fCells) CopyAnchored(old.get(), oldWidth, oldHeight, 0, fHeight - oldHeight);
  SubmitJobs();
}

template <typename Cell>
void ACellPlot<Cell>::KeepFrameIfWanted() {
  if (!fFrameWanted || fFrameCachingOff || !fCells || !IsDone()) return;
  fFrameWanted = false;
  const size_t bytes = static_cast<size_t>(fWidth) * fHeight * sizeof(Cell);
  RelocatableBlock* block = OurAllocateMemoryPurgeable(bytes);
  void* data = block ? OurLockMemoryPurgeable(block) : nullptr;
  if (!data) {
    OurDisposeMemoryPurgeable(block);
    fFrames.RemoveAllElements();
    fFrameCachingOff = true;
    return;
  }
  std::memcpy(data, fCells.get(), bytes);
  OurUnlockMemoryPurgeable(block);
  if (fFrames.Add(fFrameValue, block) != 0) OurDisposeMemoryPurgeable(block);
}

template <typename Cell>
void ACellPlot<Cell>::ShowFrameOrCompute(DocumentRecord* document) {
  const double slider = PaneHooks::SliderValue(document);
  RelocatableBlock* frame = fFrames.Get(slider);
  if (!frame) {
    fFrameWanted = true, fFrameValue = slider;
    InvalidatePoints();
    return;
  }
  void* data = OurLockMemoryPurgeable(frame);
  const size_t bytes = static_cast<size_t>(fWidth) * fHeight * sizeof(Cell);
  if (!data || frame->size != bytes) {
    fFrameWanted = false, fFrameCachingOff = true;
    InvalidatePoints();
    return;
  }
  Stop();
  std::memcpy(fCells.get(), data, bytes);
  OurUnlockMemoryPurgeable(frame);
  fFrameWanted = false;
  // Nothing is left to do: the slices finish at once and notify.
  SubmitJobs();
}

template class ACellPlot<uint8_t>;
template class ACellPlot<uint32_t>;
