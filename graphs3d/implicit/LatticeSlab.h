#pragma once

#include <cstdint>

// The z cells start to end (of n) that one job of an implicit surface
// polygonises. Every job takes the same number of cells, rounded up, so the
// last ones may get none.
struct LatticeSlab {
  int32_t start, end;
  bool IsEmpty() const { return start >= end; }
};

LatticeSlab SlabOfJob(int32_t job, int32_t jobCount, int32_t n);
