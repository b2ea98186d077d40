#include "MathLayoutFixture.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "matheditor/TypingOperators.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/expression/CountedMemory.h"

#include <functional>

namespace {

// A new row or column of a wide matrix takes a prompt for each place:
// enough nodes that memory runs out part way at some rooms. Every round,
// whether the edit was refused or done, hands back each counted byte once
// the formula goes.
class MatrixEditsBudget : public MathLayoutTest {
 protected:
  // The edit on a fresh rows-by-columns matrix at room after room; true
  // from `done` when the edit went through.
  void Sweep(int rows, int columns, const std::function<bool()>& edit) {
    UseWhole(nullptr);
    int refused = 0, done = 0;
    for (int64_t room = 0; room <= 256 * 1024; room += 4096) {
      const int64_t before = CountedMemory();
      UseWhole(Grid(rows, columns));
      {
        BudgetRoom budget(room);
        edit() ? ++done : ++refused;
      }
      UseWhole(nullptr);
      EXPECT_EQ(CountedMemory(), before) << "room " << room;
      gMathError = 0;
      ResetDeferredErrors();
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(done, 0);
  }
};

TEST_F(MatrixEditsBudget, ANewRowOrColumnRefusedPartWayFreesItsPrompts) {
  Sweep(2, 600, [this] {
    fRecord->selected = fRecord->root->operands[0];
    KEY_NewRow();
    return fRecord->root->payload.shape.rows == 3;
  });
  Sweep(600, 2, [this] {
    fRecord->selected = fRecord->root->operands[0];
    KEY_NewCol();
    return fRecord->root->payload.shape.columns == 3;
  });
}

}  // namespace
