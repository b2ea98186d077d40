#include "MathBudgetSweep.h"

#include "matheditor/FormulaClipboard.h"

#include <functional>
#include <string>

namespace {

// A copy of a wide matrix takes enough nodes that memory runs out part way
// at some rooms. A copy cut short would be the number NaN: a copy or paste
// refused for memory leaves the clipboard and the formula as they were,
// and every round hands back each counted byte once the formula goes.
class FormulaClipboardBudget : public MathBudgetTest {
 protected:
  void TearDown() override {
    ClearMathClipboard();
    MathBudgetTest::TearDown();
  }

  // The edit on a fresh formula and clipboard at room after room: `done`
  // is the formula and clipboard written as the edit leaves them with
  // memory to spare, `refused` as they were before it.
  void Sweep(const std::function<void()>& setUp, const std::function<void()>& edit, const std::string& done,
             const std::string& refused) {
    SweepRooms(
        128 * 1024, 2048,
        [this] {
          UseWhole(nullptr);
          ClearMathClipboard();
        },
        setUp, edit, [this] { return Formula() + " | " + Written(gMathClipboard); }, done, refused);
  }

  // The clipboard holds a copy of the tree.
  void Hold(ExpressionRecord* tree) {
    UseWhole(tree);
    CMD_EqnCopy();
    UseWhole(nullptr);
  }
};

TEST_F(FormulaClipboardBudget, APasteRefusedForMemoryLeavesTheFormula) {
  UseWhole(Var("a"));  // the name's entry is made once, before the counting
  UseWhole(Grid(2, 300));
  const std::string matrix = Formula();
  for (MathIPType caret : {kIPWholeNode, kIPAfterNode}) {
    const std::string pasted = caret == kIPWholeNode ? matrix : "a*" + matrix;
    Sweep(
        [&] {
          Hold(Grid(2, 300));
          UseWhole(Var("a"), caret);
        },
        CMD_EqnPaste, pasted + " | " + matrix, "a | " + matrix);
  }
}

TEST_F(FormulaClipboardBudget, ACopyRefusedForMemoryLeavesTheClipboard) {
  UseWhole(Var("b"));
  UseWhole(Grid(2, 300));
  const std::string matrix = Formula();
  Sweep(
      [this] {
        Hold(Var("b"));
        UseWhole(Grid(2, 300));
      },
      CMD_EqnCopy, matrix + " | " + matrix, matrix + " | b");
}

}  // namespace
