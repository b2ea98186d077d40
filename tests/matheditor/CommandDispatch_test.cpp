#include "MathLayoutFixture.h"

#include "CoreUtilities/MemoryBudget.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/EditorDocumentHooks.h"

namespace {

int gSnapshots = 0;

class CommandDispatch : public MathLayoutTest {
 protected:
  void SetUp() override {
    MathLayoutTest::SetUp();
    gSnapshots = 0;
    InstallEditorDocumentHooks({.cacheMathState = [] { ++gSnapshots; }, .documentNames = nullptr, .isNameFunctionDefinition = nullptr});
    UNDO_HasMoved();
    DisposExpr(record_->root);
    record_->root = Node(kOpPlus, {Var("a"), Var("b")});
    record_->selected = record_->root->operands[0];
    record_->caretType = kIPWholeNode;
  }
  void TearDown() override {
    InstallEditorDocumentHooks({});
    gMathError.store(0);
    MathLayoutTest::TearDown();
  }
  static void Run(std::initializer_list<int32_t> codes) {
    for (int32_t code : codes) MATH_FunctionCode(code);
  }
};

constexpr int32_t kMoveRight = 0x2100;
constexpr int32_t kMoveLeft = 0x2103;
constexpr int32_t kNumberKrunch = 0x2007;
constexpr int32_t kUpArrow = 0x1601;

TEST_F(CommandDispatch, ARunOfTermMovesIsOneUndoStep) {
  Run({kMoveRight, kMoveLeft, kMoveRight});
  EXPECT_EQ(gSnapshots, 1);
  Run({kUpArrow, kMoveRight});  // the caret moved: a new step
  EXPECT_EQ(gSnapshots, 2);
  EXPECT_EQ(gCurrentFunctionCode, kMoveRight);
  EXPECT_EQ(gLastFunctionCode, 0);
  EXPECT_EQ(gMathUndoIPMovedFlag, 1);
}

TEST_F(CommandDispatch, AnAlgebraCommandEndsARunOfMoves) {
  Run({kMoveRight, 0x2204, kMoveRight, kMoveRight});
  EXPECT_EQ(gSnapshots, 3);
  Run({kNumberKrunch, kNumberKrunch});  // commands are each their own step
  EXPECT_EQ(gSnapshots, 5);
}

TEST_F(CommandDispatch, MovementTakesNoSnapshotAndClearsTheCodes) {
  gMathUndoIPMovedFlag = 0;
  Run({kUpArrow});
  EXPECT_EQ(gSnapshots, 0);
  EXPECT_EQ(gCurrentFunctionCode, 0);
  EXPECT_EQ(gLastFunctionCode, 0);
  EXPECT_EQ(gMathUndoIPMovedFlag, 1);
  EXPECT_EQ(record_->selected, record_->root);
}

TEST_F(CommandDispatch, InternalKindsAndUnknownCodesDoNothing) {
  for (int32_t code : {0x1000, 0x1001, 0x1002, 0x1004, 0x1307, 0x3000, -1}) MATH_FunctionCode(code);
  EXPECT_EQ(gSnapshots, 0);
  EXPECT_EQ(record_->selected, record_->root->operands[0]);
  EXPECT_EQ(record_->root->operandCount, 2);
}

// An out-of-memory flag left by an earlier edit is cleared by the next
// command; left set, it would refuse every later edit.
TEST_F(CommandDispatch, AnEarlierShortageDoesNotRefuseTheNextCommand) {
  gMathError.store(1);
  Run({kMoveRight});
  EXPECT_EQ(gSnapshots, 1);
  EXPECT_EQ(gMathError.load(), 0);
}

}  // namespace
