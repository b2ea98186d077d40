#include "MathLayoutFixture.h"

#include "expression/SelectionGeometry.h"
#include "expression/SelectionQuestions.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MouseSelection.h"
#include "platform/MouseSource.h"

#include <deque>

namespace {

using Steps = std::deque<ScriptedMouseSource::Step>;

class MouseSelection : public SnapshotCountingTest {
 protected:
  void TearDown() override {
    SetMouseSource(nullptr);
    SnapshotCountingTest::TearDown();
  }

  static FRect Box(const ExpressionRecord* node) {
    FRect box{};
    ME_GetScreenBounds(node, box);
    return box;
  }
  static QPoint At(float h, float v) { return QPoint(static_cast<int>(h), static_cast<int>(v)); }
  static float MidV(const ExpressionRecord* node) { return (Box(node).top + Box(node).bottom) / 2; }

  // A press at (h, v), the held positions of the script, then the release.
  void Press(float h, float v, Steps held = {}, bool extend = false, bool dragAllowed = false) {
    for (auto& step : held) step.released = false;
    ScriptedMouseSource mouse(std::move(held));
    SetMouseSource(&mouse);
    MEClick(MPoint{int16_t(v), int16_t(h)}, extend, dragAllowed, false, fRecord, nullptr);
    SetMouseSource(nullptr);
  }
  void ExpectClick(float h, float v, const ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0,
                   int line = __builtin_LINE()) {
    Press(h, v);
    ExpectSelection(node, type, start, end, line);
  }
  void ExpectSelection(const ExpressionRecord* node, MathIPType type, int32_t start = 0, int32_t end = 0,
                       int line = __builtin_LINE()) {
    ExpectCaret(node, type, line);
    if (type != kIPWholeNode && type != kIPAfterNode && type != kIPBeforeNode) ExpectRange(start, end, line);
  }
  ExpressionRecord* Sum(int terms) {
    return LayOut(Filled(kOpPlus, terms, [](int32_t i) { return Var(std::string(1, char('a' + i)).c_str()); }));
  }
};

TEST_F(MouseSelection, ClickOnNumbersInAProduct) {
  ExpressionRecord* product = LayOut(Node(kOpTimes, {Var("a"), Number(7), Number(123)}));
  ExpressionRecord* seven = product->operands[1];
  ExpressionRecord* digits = product->operands[2];
  const FRect s = Box(seven), d = Box(digits);
  ExpectClick(s.left + 1, MidV(seven), product->operands[0], kIPAfterNode);  // before 7 is after a
  ExpectClick(s.right - 1, MidV(seven), seven, kIPAfterNode);
  const float digit = (d.right - d.left) / 3;
  ExpectClick(d.left + 1, MidV(digits), digits, kIPBeforeNode);  // two numbers side by side keep their caret
  ExpectClick(d.left + digit * 1.2f, MidV(digits), digits, kIPNumberText, 1, 1);
  ExpectClick(d.left + digit * 1.8f, MidV(digits), digits, kIPNumberText, 2, 2);
  ExpectClick(d.right - 1, MidV(digits), digits, kIPAfterNode);
}

TEST_F(MouseSelection, ClickInStringsFunctionsAndPrompts) {
  ExpressionRecord* string = StringLeaf(u"abc");
  ExpressionRecord* sine = Node(kOpSin, {Var("x")});
  ExpressionRecord* prompt = NewPrompt();
  LayOut(Node(kOpPlus, {string, sine, prompt}));
  // The string shows as “abc”: the quotes count, one character each.
  const FRect q = Box(string);
  const float unit = (q.right - q.left) / 5;
  ExpectClick(q.left + unit * 0.2f, MidV(string), string, kIPBeforeNode);  // before the opening quote
  ExpectClick(q.left + unit * 1.1f, MidV(string), string, kIPStringText, 0, 0);
  ExpectClick(q.left + unit * 2.9f, MidV(string), string, kIPStringText, 2, 2);
  ExpectClick(q.right - 1, MidV(string), string, kIPAfterNode);

  // Right of the function's middle but left of its operand: before the operand.
  const FRect f = Box(sine), x = Box(sine->operands[0]);
  const float middle = f.left + (f.right - f.left) / 2;
  ASSERT_LT(middle + 1, x.left);
  ExpectClick(middle + 1, MidV(sine), sine->operands[0], kIPBeforeNode);
  ExpectClick(f.left + 1, MidV(sine), sine, kIPBeforeNode);

  ExpectClick((Box(prompt).left + Box(prompt).right) / 2, MidV(prompt), prompt, kIPWholeNode);
  EXPECT_FALSE(gShowPromptAsIP);
}

TEST_F(MouseSelection, ShiftClickExtendsFromTheFarEndOfARange) {
  ExpressionRecord* sum = Sum(5);
  auto mid = [&](int i) { return At((Box(sum->operands[i]).left + Box(sum->operands[i]).right) / 2, MidV(sum)); };
  Select(sum, kIPOperandRange, 1, 2);
  Press(mid(3).x(), mid(3).y(), {{mid(3)}}, true);
  ExpectSelection(sum, kIPOperandRange, 1, 3);
  Press(mid(0).x(), mid(0).y(), {{mid(0)}}, true);  // left of the range: anchored at its last operand
  ExpectSelection(sum, kIPOperandRange, 0, 3);
}

TEST_F(MouseSelection, DragsSelectRangesSumsSignsAndBlocks) {
  ExpressionRecord* sum = Sum(5);
  auto mid = [&](int i) { return At((Box(sum->operands[i]).left + Box(sum->operands[i]).right) / 2, MidV(sum)); };
  Press(mid(1).x(), mid(1).y(), {{mid(2)}, {mid(3)}});
  ExpectSelection(sum, kIPOperandRange, 1, 3);
  Press(mid(4).x(), mid(4).y(), {{mid(2)}, {mid(0)}});
  ExpectSelection(sum, kIPWholeNode);

  // Inside the gap between a and b, on either side of its middle.
  const float gapLeft = Box(sum->operands[0]).right, gapRight = Box(sum->operands[1]).left;
  const float v = MidV(sum);
  Press(gapLeft + 2, v, {{At(gapLeft + 5, v)}});
  ExpectSelection(sum, kIPOperator, 0, 0);
  Press(gapLeft + 2, v, {{At(gapRight - 2, v)}});
  ExpectSelection(sum, kIPOperator, 0, 0);

  // A move of one point is no move.
  Press(mid(1).x(), mid(1).y());
  ASSERT_EQ(fRecord->caretType, kIPAfterNode);
  EXPECT_FALSE(MouseMovedInExpr(FPoint{gLastPoint.v + 1, gLastPoint.h - 1}, nullptr));
  EXPECT_EQ(fRecord->caretType, kIPAfterNode);
}

TEST_F(MouseSelection, DragBetweenMatrixElementsSelectsTheirBlock) {
  ExpressionRecord* matrix = LayOut(Grid(2, 3));
  auto centre = [&](int i) {
    const FRect b = Box(matrix->operands[i]);
    return At((b.left + b.right) / 2, (b.top + b.bottom) / 2);
  };
  Press(centre(1).x(), centre(1).y(), {{centre(3)}});  // row 0 column 1 to row 1 column 0
  ExpectSelection(matrix, kIPMatrixBlock, 0, 4);
  Press(centre(5).x(), centre(5).y(), {{centre(4)}});
  ExpectSelection(matrix, kIPMatrixBlock, 4, 5);
}

TEST_F(MouseSelection, LiveDragStepsOnlyPastTwelvePoints) {
  ExpressionRecord* sum = Sum(3);
  ExpressionRecord* a = sum->operands[0];
  const FRect box = Box(a);
  const float v = MidV(a);
  for (const float beyond : {12.0f, 13.0f}) {
    Select(a, kIPWholeNode);
    ASSERT_TRUE(DIM_SelectionIsGrabbable());
    gSnapshots = 0;
    gCurrentFunctionCode = 0;
    Press(box.right, v, {{At(box.right + beyond, v)}}, false, true);
    EXPECT_EQ(gSnapshots, beyond > 12 ? 1 : 0) << beyond;
    EXPECT_EQ(gCurrentFunctionCode, beyond > 12 ? 0x2101 : 0) << beyond;
    EXPECT_EQ(gLiveDragging, 0);
  }
  const ExpressionRecord* moved = fRecord->root;
  ASSERT_EQ(moved->opcode, kOpPlus);
  EXPECT_EQ(moved->operands[1]->payload.id, 'a');  // a moved right past b
}

}  // namespace
