#pragma once

#include <cstdint>
#include <memory>
#include <algorithm>
#include <vector>

#include "CoreUtilities/OurMutex.h"
#include "graphpane/GraphEnums.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/ASolution.h"

// The solution curves a graph draws, guarded against the workers that
// append to it. Those of the previous computation stay at the front, and
// are drawn, until the view keeps its finished models.
class SolutionList {
 public:
  void Append(std::unique_ptr<ASolution> solution);
  // Appends the solutions make(k) gives (null for none) for the slice's
  // run of the n items, n / jobs + 1 a slice; false when cancelled.
  template <typename Make>
  bool AppendRun(int32_t n, int32_t slice, const GraphJobs& jobs, Make make) {
    const int32_t per = n / jobs.Count() + 1, first = per * slice, last = std::min(first + per - 1, n - 1);
    for (int32_t k = first; k <= last; ++k) {
      std::unique_ptr<ASolution> solution = make(k);
      if (jobs.Cancelled()) return false;
      if (solution) Append(std::move(solution));
    }
    return true;
  }
  // What is in the list becomes the previous computation's.
  void MarkStale();
  // Drops the previous computation's solutions and passes the attribute
  // on to every remaining curve.
  void KeepCurrent(ViewAttribute attribute, double value);
  void PassToCurves(ViewAttribute attribute, double value);
  bool Draw();
  double MaximumModelSpaceRadius();

  int32_t Count();
  int32_t StaleCount();
  int32_t CurrentCount();
  // A copy of the current computation's k-th solution; null when there is
  // none or memory runs out.
  std::unique_ptr<ASolution> CopyCurrent(int32_t k);

 private:
  OurMutex fMutex;
  std::vector<std::unique_ptr<ASolution>> fSolutions;
  int32_t fStaleCount = 0;
};
