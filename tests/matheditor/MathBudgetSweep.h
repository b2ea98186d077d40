#pragma once

#include "MathLayoutFixture.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/expression/CountedMemory.h"

#include <cstdint>
#include <functional>
#include <string>

// An edit run with room after room of memory left, each on a fresh start.
class MathBudgetTest : public MathLayoutTest {
 protected:
  // From no room to `most` in steps of `step`: `clear` empties what the
  // edit may touch, `setUp` makes its start and `state` writes what the
  // edit left, which must be `done` or, refused for memory, `refused`;
  // either way each counted byte comes back once `clear` runs again. Both
  // outcomes must be seen.
  void SweepRooms(int64_t most, int64_t step, const std::function<void()>& clear, const std::function<void()>& setUp,
                  const std::function<void()>& edit, const std::function<std::string()>& state, const std::string& done,
                  const std::string& refused) {
    int refusals = 0, edits = 0;
    for (int64_t room = 0; room <= most; room += step) {
      clear();
      const int64_t before = CountedMemory();
      setUp();
      MEM_FlushExprCaches();  // freed nodes kept for reuse would serve the edit past the budget
      {
        BudgetRoom budget(room);
        gMathError = 0;
        edit();
      }
      gMathError = 0;
      ResetDeferredErrors();
      const std::string now = state();
      if (now == done) {
        ++edits;
      } else {
        EXPECT_TRUE(now == refused) << "room " << room << ": " << now.substr(0, 60);
        ++refusals;
      }
      clear();
      EXPECT_EQ(CountedMemory(), before) << "room " << room;
    }
    EXPECT_GT(refusals, 0);
    EXPECT_GT(edits, 0);
  }
};
