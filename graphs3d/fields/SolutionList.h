#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/threads/OurMutex.h"
#include "graphpane/GraphEnums.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/fields/ASolution.h"

// The solution curves a graph draws, guarded against the workers that
// append to it. Those of the previous computation stay at the front, and
// are drawn, until the view keeps its finished models.
class SolutionList {
 public:
  void Append(std::unique_ptr<ASolution> solution);
  // Appends the solutions make(k) gives (null for none) for the n items,
  // which the jobs take one by one as each is free: the work per item
  // varies, and fixed runs of items leave the slowest run waited for.
  // False when cancelled.
  template <typename Make>
  bool AppendShare(int32_t n, const GraphJobs& jobs, Make make) {
    for (int32_t k; (k = fNext.fetch_add(1, std::memory_order_relaxed)) < n;) {
      std::unique_ptr<ASolution> solution = make(k);
      if (jobs.Cancelled()) return false;
      if (solution) Append(std::move(solution));
    }
    return true;
  }
  // What is in the list becomes the previous computation's, and the items
  // are shared out again from the first. No job is running.
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
  std::atomic<int32_t> fNext{0};
  OurMutex fMutex;
  std::vector<std::unique_ptr<ASolution>> fSolutions;
  int32_t fStaleCount = 0;
};
