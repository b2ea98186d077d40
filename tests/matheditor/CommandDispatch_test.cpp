#include "MathLayoutFixture.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "matheditor/CommandDispatch.h"

#include <vector>

namespace {

class CommandDispatch : public SnapshotCountingTest {
 protected:
  void TearDown() override {
    gMathError.store(0);
    SnapshotCountingTest::TearDown();
  }
  // The snapshots the codes take on a + b with a selected, as after a click.
  int SnapshotsOf(const std::vector<int32_t>& codes) {
    ExpressionRecord* a = Var("a");
    Use(Node(kOpPlus, {a, Var("b")}), a, kIPWholeNode);
    UNDO_HasMoved();
    gSnapshots = 0;
    for (int32_t code : codes) MATH_FunctionCode(code);
    return gSnapshots;
  }
};

constexpr int32_t kMoveRight = 0x2100;
constexpr int32_t kMoveLeft = 0x2103;
constexpr int32_t kNumberKrunch = 0x2007;
constexpr int32_t kFactor = 0x2204;
constexpr int32_t kUpArrow = 0x1601;

// A run of typing or of term moves is one undo step; a caret move or a
// command ends it, and commands are each their own step.
TEST_F(CommandDispatch, UndoStepsPerRun) {
  const struct {
    std::vector<int32_t> codes;
    int snapshots;
  } rows[] = {
      {{kMoveRight, kMoveLeft, kMoveRight}, 1},
      {{kMoveRight, kMoveLeft, kMoveRight, kUpArrow, kMoveRight}, 2},
      {{kMoveRight, kFactor, kMoveRight, kMoveRight}, 3},
      {{kNumberKrunch, kNumberKrunch}, 2},
      {{kUpArrow}, 0},
      {{'a', 'b', 'c'}, 1},
      {{'a', 'b', 'c', kUpArrow, 'd'}, 2},
      {{'a', 'b', 'c', kUpArrow, 'd', kNumberKrunch, 'e'}, 4},
  };
  for (const auto& row : rows) EXPECT_EQ(SnapshotsOf(row.codes), row.snapshots) << testing::PrintToString(row.codes);
  SnapshotsOf({kUpArrow});
  EXPECT_EQ(fRecord->selected, fRecord->root);
}

TEST_F(CommandDispatch, InternalKindsAndUnknownCodesDoNothing) {
  EXPECT_EQ(SnapshotsOf({0x1000, 0x1001, 0x1002, 0x1004, 0x1307, 0x3000, -1}), 0);
  EXPECT_EQ(fRecord->selected, fRecord->root->operands[0]);
  EXPECT_EQ(Formula(), "a+b");
}

// An out-of-memory flag left by an earlier edit is cleared by the next
// command or character; left set, it would refuse every later edit.
TEST_F(CommandDispatch, AnEarlierShortageDoesNotRefuseTheNextEdit) {
  gMathError.store(1);
  EXPECT_EQ(SnapshotsOf({kMoveRight}), 1);
  EXPECT_EQ(gMathError.load(), 0);
  UseWhole(NewPrompt());
  gMathError.store(1);
  MATH_UnicodeInput('q');
  EXPECT_EQ(Formula(), "q");
  gMathError.store(1);
  MATH_FunctionCode('r');
  EXPECT_EQ(Formula(), "q*r");
}

}  // namespace
