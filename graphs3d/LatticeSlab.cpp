#include "graphs3d/LatticeSlab.h"

#include <algorithm>

LatticeSlab SlabOfJob(int32_t job, int32_t jobCount, int32_t n, double zmin, double zmax) {
  const int32_t perJob = (n + jobCount - 1) / jobCount;
  const int32_t start = job * perJob, end = std::min(start + perJob, n);
  const double dz = (zmax - zmin) / n;
  return {start, end, zmin + dz * start, std::min(zmin + dz * end, zmax)};
}
