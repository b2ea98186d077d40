#include "graphs3d/fields/SolutionList.h"

#include <algorithm>

void SolutionList::Append(std::unique_ptr<ASolution> solution) {
  OurLock lock(fMutex);
  fSolutions.push_back(std::move(solution));
}

void SolutionList::MarkStale() {
  OurLock lock(fMutex);
  fStaleCount = int32_t(fSolutions.size());
  fNext.store(0, std::memory_order_relaxed);
}

void SolutionList::KeepCurrent(ViewAttribute attribute, double value) {
  OurLock lock(fMutex);
  fSolutions.erase(fSolutions.begin(), fSolutions.begin() + fStaleCount);
  fStaleCount = 0;
  for (auto& solution : fSolutions) solution->curve->SetParameter(attribute, value);
}

void SolutionList::PassToCurves(ViewAttribute attribute, double value) {
  OurLock lock(fMutex);
  for (auto& solution : fSolutions) solution->curve->SetParameter(attribute, value);
}

bool SolutionList::Draw() {
  OurLock lock(fMutex);
  bool drawn = true;
  for (auto& solution : fSolutions) drawn = solution->curve->Draw() && drawn;
  return drawn;
}

double SolutionList::MaximumModelSpaceRadius() {
  OurLock lock(fMutex);
  double largest = 0;
  for (auto& solution : fSolutions) largest = std::max(largest, solution->curve->MaximumModelSpaceRadius());
  return largest;
}

int32_t SolutionList::Count() {
  OurLock lock(fMutex);
  return int32_t(fSolutions.size());
}

int32_t SolutionList::StaleCount() {
  OurLock lock(fMutex);
  return fStaleCount;
}

int32_t SolutionList::CurrentCount() {
  OurLock lock(fMutex);
  return int32_t(fSolutions.size()) - fStaleCount;
}

std::unique_ptr<ASolution> SolutionList::CopyCurrent(int32_t k) {
  OurLock lock(fMutex);
  const size_t index = size_t(k) + size_t(fStaleCount);
  if (k < 0 || index >= fSolutions.size()) return nullptr;
  return fSolutions[index]->Copy();
}
