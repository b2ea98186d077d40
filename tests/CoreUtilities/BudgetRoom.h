#pragma once

#include "CoreUtilities/memory/MemoryBudget.h"

#include <cstdint>

// Sets physical memory so that the plain limit lies `room` to `room` + 2
// bytes above the current total (below 1.2 GB the limit is exactly three
// quarters of a multiple of 4); restores the old figure when it goes.
class BudgetRoom {
 public:
  explicit BudgetRoom(int64_t room) { Leave(room); }
  ~BudgetRoom() { gPhysicalMemory = fSaved; }
  BudgetRoom(const BudgetRoom&) = delete;
  BudgetRoom& operator=(const BudgetRoom&) = delete;

  void Leave(int64_t room) {
    const int64_t quarter = (gApproximateTotalMemoryUsed.load() + room + 2) / 3;
    gPhysicalMemory = 4.0 * static_cast<double>(quarter);
  }

 private:
  double fSaved = gPhysicalMemory.load();
};
