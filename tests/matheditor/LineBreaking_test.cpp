#include "MathLayoutFixture.h"

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "matheditor/LineBreaking.h"
#include "tests/CoreUtilities/BudgetRoom.h"

namespace {

using LineBreaking = MathLayoutTest;

std::vector<float> Starts(const MERecord* r) {
  std::vector<float> starts;
  for (int32_t i = 0; i < r->lineCount; ++i) starts.push_back(r->lineRows[i].start);
  return starts;
}

TEST_F(LineBreaking, NarrowFormulaKeepsOneLine) {
  LayOut(Node(kOpPlus, {Var("a"), Var("b")}), 100);
  EXPECT_EQ(fRecord->lineCount, 1);
  EXPECT_EQ(Starts(fRecord), std::vector<float>{0});
  EXPECT_FLOAT_EQ(LB_Width(fRecord), 40);
  EXPECT_FLOAT_EQ(LB_Height(fRecord), 25);
}

// Past an export's deadline a layout is left undone, as one without
// memory is: nothing to draw, every box empty; with the deadline gone the
// same formula lays out as ever.
TEST_F(LineBreaking, ALayoutPastTheDeadlineIsLeftUndone) {
  SetComputationDeadline(0);
  LayOut(Node(kOpPlus, {Var("a"), Var("b")}), 100);
  EXPECT_EQ(fRecord->layoutValid, 0);
  EXPECT_FLOAT_EQ(LB_Width(fRecord), 0);
  ClearComputationDeadline();
  gMathError = 0;
  LayOut(Node(kOpPlus, {Var("a"), Var("b")}), 100);
  EXPECT_EQ(fRecord->layoutValid, 1);
  EXPECT_FLOAT_EQ(LB_Width(fRecord), 40);
}

TEST_F(LineBreaking, BreaksAtTheLastPointBeforeTheLimit) {
  // a + b + c + d + e: right edges 10, 40, 70, 100, 130.
  LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e")}), 60);
  EXPECT_EQ(Starts(fRecord), (std::vector<float>{0, 40, 70}));
  EXPECT_FLOAT_EQ(fRecord->lineRows[2].top, 50);
  EXPECT_FLOAT_EQ(fRecord->widestLine, 60);
  EXPECT_FLOAT_EQ(LB_Width(fRecord), 60);
  EXPECT_FLOAT_EQ(LB_Height(fRecord), 75);

  // The one-line point (75, 10) shows on line 2; a click below the last line maps back there.
  const FPoint shown = ToDisplay(75, 10);
  EXPECT_FLOAT_EQ(shown.h, 5);
  EXPECT_FLOAT_EQ(shown.v, 60);
  FPoint click{500, 5};
  UnVirtual(&click);
  EXPECT_FLOAT_EQ(click.h, 75);
  EXPECT_FLOAT_EQ(click.v, 450);
}

TEST_F(LineBreaking, NoBreakWithoutAPointBeforeTheLimit) {
  LayOut(Node(kOpPlus, {Var("abcdefgh"), Var("b")}), 50);  // points 80, 110
  EXPECT_EQ(fRecord->lineCount, 1);
}

TEST_F(LineBreaking, TooWideLineBreaksPastTheLimit) {
  // Points 10 and 110 (the right end gives none): line 1 has nothing
  // before its limit 40 but its start, so it breaks past it.
  LayOut(Node(kOpPlus, {Var("a"), Var("abcdefgh"), Var("c")}), 30);
  EXPECT_EQ(Starts(fRecord), (std::vector<float>{0, 10, 110}));
}

TEST_F(LineBreaking, EquationAtomsAndUnbreakableKindsGiveNoPoints) {
  LayOut(Node(kOpEquals, {Var("abcdefgh"), Var("abcdefgh")}), 50);
  EXPECT_EQ(fRecord->lineCount, 1);
  ExpressionRecord* sum = LayOut(Node(kOpSum, {Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d")})}), 30);
  EXPECT_EQ(fRecord->lineCount, 1);
  EXPECT_EQ(E(sum).overflow, 0);
  EXPECT_EQ(E(sum->operands[0]).overflow, 0);
}

TEST_F(LineBreaking, WithoutMemoryTheOldLinesStay) {
  ExpressionRecord* root = LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e")}), 60);
  ASSERT_EQ(fRecord->lineCount, 3);
  {
    BudgetRoom exhausted(0);
    fRecord->wrapWidth = 30;
    MATH_Hmm();
  }
  EXPECT_EQ(Starts(fRecord), (std::vector<float>{0, 40, 70}));
  EXPECT_FLOAT_EQ(E(root).width, 130);
  fRecord->wrapWidth = 31;
  MATH_Hmm();
  EXPECT_EQ(Starts(fRecord), (std::vector<float>{0, 10, 40, 70}));  // nothing past the last limit
}

}  // namespace
