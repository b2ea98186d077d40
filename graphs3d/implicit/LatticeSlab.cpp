#include "graphs3d/implicit/LatticeSlab.h"

#include <algorithm>

LatticeSlab SlabOfJob(int32_t job, int32_t jobCount, int32_t n) {
  const int32_t perJob = (n + jobCount - 1) / jobCount;
  const int32_t start = job * perJob;
  return {start, std::min(start + perJob, n)};
}
