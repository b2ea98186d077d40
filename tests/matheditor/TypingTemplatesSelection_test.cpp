#include "MathLayoutFixture.h"

#include "expression/ExpressionParser.h"
#include "expression/SelectionGeometry.h"
#include "expression/TreeComparison.h"
#include "matheditor/KeyMap.h"
#include "matheditor/MathEditInterface.h"
#include "platform/MouseSource.h"

#include <deque>
#include <string>

namespace {

// However the 1 of y = x + 1 was selected, the square and cube keys raise
// it to their power and root key takes its root: the digits selected are
// never dropped.
class TemplatesOnSelection : public SnapshotCountingTest {
 protected:
  void Key(uint32_t c, int32_t modifiers = 0) { MEKey(c, c < 256 ? uint8_t(c) : 0, modifiers, fRecord, nullptr); }
  void Type(const char* keys) {
    for (; *keys; ++keys) Key(static_cast<unsigned char>(*keys));
  }
  void TypeFresh(const char* keys) {
    UseWhole(NewPrompt());
    Type(keys);
  }
  // The last digits' box, laid out.
  FRect LastNumberBox() {
    MATH_Hmm();
    const ExpressionRecord* number = fRecord->root->operands[1]->operands[1];
    FRect box{};
    ME_GetScreenBounds(number, box);
    return box;
  }
  // A press left of the middle of the box's first digit dragged to the right
  // end, or the other way round.
  void DragAcross(const FRect& box, bool leftward) {
    const float v = (box.top + box.bottom) / 2;
    const QPoint left(int(box.left + 1), int(v)), right(int(box.right - 1), int(v));
    ScriptedMouseSource mouse(std::deque<ScriptedMouseSource::Step>{{leftward ? left : right, false}});
    SetMouseSource(&mouse);
    const QPoint from = leftward ? right : left;
    MEClick(MPoint{int16_t(from.y()), int16_t(from.x())}, false, false, false, fRecord, nullptr);
    SetMouseSource(nullptr);
  }
  void ExpectTree(const char* text, int line = __builtin_LINE()) {
    SCOPED_TRACE(line);
    ExpressionRecord* expected = ParseExprFromString(text);
    ASSERT_NE(expected, nullptr);
    EXPECT_TRUE(MATH_Equal(fRecord->root, expected)) << Formula() << " is not " << text;
    DisposExpr(expected);
  }
};

TEST_F(TemplatesOnSelection, SquareAndCubeTheSelectionHoweverMade) {
  const struct {
    uint32_t key;
    const char* power;
  } kPowers[] = {{'@', "y = x + 1 ^ 2"}, {'#', "y = x + 1 ^ 3"}};
  for (const auto& p : kPowers) {
    SCOPED_TRACE(char(p.key));
    TypeFresh("y=x+1");
    Key(kKeyLeft, kModShift);
    Key(p.key);
    ExpectTree(p.power);

    TypeFresh("y=x+1");
    Key(kKeyLeft);
    Key(kKeyRight, kModShift);
    Key(p.key);
    ExpectTree(p.power);

    TypeFresh("y=x+1");
    Key(kKeyUp);
    Key(p.key);
    ExpectTree(p.power);

    for (bool leftward : {false, true}) {
      TypeFresh("y=x+1");
      DragAcross(LastNumberBox(), leftward);
      Key(p.key);
      ExpectTree(p.power);
    }
  }
}

TEST_F(TemplatesOnSelection, SelectedDigitsOfALongerNumberAreWhatIsRaised) {
  TypeFresh("y=x+123");
  DragAcross(LastNumberBox(), false);
  Key('@');
  ExpectTree("y = x + 123 ^ 2");

  TypeFresh("y=x+123");
  Key(kKeyLeft, kModShift);  // the 3
  Key('#');
  ExpectTree("y = x + 12 * 3 ^ 3");
}

TEST_F(TemplatesOnSelection, TheRootKeyTakesTheRootOfSelectedDigits) {
  TypeFresh("y=x+1");
  Key(kKeyLeft, kModShift);
  Key('r', kModControl);
  ExpectTree("y = x + sqrt(1)");
}

}  // namespace
