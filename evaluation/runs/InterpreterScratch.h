#pragma once

#include <cstdint>

#include "CoreUtilities/memory/MemoryBudget.h"

// Scratch of one interpreter run. Both live in the run's frame and only
// reach for the memory budget when a program needs more than the frame
// holds, so an ordinary run allocates nothing.

inline constexpr int32_t kFrameStackCells = 64;

template <typename T>
class StackCells {
 public:
  explicit StackCells(int32_t count) {
    if (count <= kFrameStackCells) {
      fCells = fFrameCells;
    } else {
      fHeap = static_cast<T*>(OurAllocateMemory(static_cast<size_t>(count) * sizeof(T), false));
      fCells = fHeap;
    }
  }
  ~StackCells() {
    if (fHeap != nullptr) OurDisposeMemory(fHeap);
  }
  StackCells(const StackCells&) = delete;
  StackCells& operator=(const StackCells&) = delete;

  T* Cells() const { return fCells; }  // null when the budget refused

 private:
  T fFrameCells[kFrameStackCells];
  T* fHeap = nullptr;
  T* fCells = nullptr;
};

// Saved table rows: 16 in the frame, then doubling in the budget.
class SavedRows {
 public:
  SavedRows() = default;
  ~SavedRows() {
    if (fRows != fFrameRows) OurDisposeMemory(fRows);
  }
  SavedRows(const SavedRows&) = delete;
  SavedRows& operator=(const SavedRows&) = delete;

  // When memory runs out the row is not saved and the run goes on.
  void Save(int32_t row) {
    if (fCount == fCapacity) {
      const int32_t capacity = fCapacity * 2;
      auto* rows = static_cast<int32_t*>(OurAllocateMemory(static_cast<size_t>(capacity) * sizeof(int32_t), false));
      if (rows == nullptr) return;
      OurCopyMemory(rows, fRows, static_cast<size_t>(fCount) * sizeof(int32_t));
      if (fRows != fFrameRows) OurDisposeMemory(fRows);
      fRows = rows;
      fCapacity = capacity;
    }
    fRows[fCount++] = row;
  }
  // The row stays as it is when none was saved.
  void Restore(int32_t& row) {
    if (fCount > 0) row = fRows[--fCount];
  }

 private:
  static constexpr int32_t kFrameRows = 16;
  int32_t fFrameRows[kFrameRows];
  int32_t* fRows = fFrameRows;
  int32_t fCount = 0;
  int32_t fCapacity = kFrameRows;
};
