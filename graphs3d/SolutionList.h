#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/OurMutex.h"
#include "graphpane/GraphEnums.h"
#include "graphs3d/ASolution.h"

// The solution curves a graph draws, guarded against the workers that
// append to it. Those of the previous computation stay at the front, and
// are drawn, until the view keeps its finished models.
class SolutionList {
 public:
  void Append(std::unique_ptr<ASolution> solution);
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
