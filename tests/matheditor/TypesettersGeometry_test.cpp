#include "MathLayoutFixture.h"

#include "matheditor/MathGraphicsContext.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <QImage>
#include <QPainter>

#include <limits>

// Hand-computed boxes on the fixed-metric seam: at the root size s = 20
// every character is 10 wide, fA = 20, fD = 5, vs = hs = 2, lw = 1; scripts
// are at 10 (characters 5 wide).

namespace {

constexpr float kS = 20, kAxis = 0.26171875f * kS;  // at the root size

using LayoutGeometry = MathLayoutTest;

TEST_F(LayoutGeometry, LeavesStandOnTheTextBaseline) {
  ExpressionRecord* x = LayOut(Var("x"));
  EXPECT_FLOAT_EQ(E(x).width, 10);
  EXPECT_FLOAT_EQ(E(x).ascent, 20);
  EXPECT_FLOAT_EQ(E(x).descent, 5);
  EXPECT_EQ(E(x).composed, 1);
  EXPECT_EQ(E(x).sizeLevel, 2);
  EXPECT_FLOAT_EQ(E(x).bottom, 25);  // the root's bottom is its height
  EXPECT_EQ(fRecord->baselineOffset, 5);

  EXPECT_FLOAT_EQ(E(LayOut(StringLeaf(u"abc"))).width, 50);  // three letters between two quotes
  EXPECT_FLOAT_EQ(E(LayOut(Var("abc"))).width, 30);
  EXPECT_FLOAT_EQ(E(LayOut(NewPrompt())).width, 10);
}

TEST_F(LayoutGeometry, InfixListsSpaceTheirSigns) {
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
  EXPECT_FLOAT_EQ(E(sum).width, 10 + (10 + 5 + 5) + 10);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, 30);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).bottomOffset, 0);

  // Root equation: half the size either side; nested in a list, a third.
  EXPECT_FLOAT_EQ(E(LayOut(Node(kOpEquals, {Var("a"), Var("b")}))).width, 10 + 10 + 20 + 10);
  ExpressionRecord* list = LayOut(Node(kOpComma, {Node(kOpEquals, {Var("a"), Var("b")}), Var("c")}));
  EXPECT_NEAR(E(list->operands[0]).width, 10 + 10 + 2 * 0.333f * 20 + 10, 1e-4);
  EXPECT_FLOAT_EQ(E(list->operands[1]).leftOffset - E(list->operands[0]).width, 10 + 5);
}

TEST_F(LayoutGeometry, ProductsShowDotsOnlyWhereNeeded) {
  const float gap = 0.077f * 20;
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Number(2), Number(3)}))).width, 10 + gap + 10 + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Number(2), Var("x")}))).width, 10 + gap + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Var("x"), Var("y")}))).width, 10 + gap + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(Node(kOpTimes, {Var("ab"), Var("cd")}))).width, 20 + gap + 10 + 20, 1e-4);
}

TEST_F(LayoutGeometry, NegationTakesThePlaceOfThePlusSign) {
  // Under a plus the minus takes the plus sign's 0.25 s; alone it hugs with 0.15 s.
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), NewUnop(kOpMinus, Var("b"))}));
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, 10 + 20 - (10 + 5));
  EXPECT_FLOAT_EQ(E(sum->operands[1]).width, 5 + 10 + 10);
  EXPECT_FLOAT_EQ(E(sum).width, 15 + 25);
  ExpressionRecord* alone = LayOut(NewUnop(kOpMinus, Var("b")));
  EXPECT_FLOAT_EQ(E(alone->operands[0]).leftOffset, 3 + 10);
  EXPECT_FLOAT_EQ(E(alone).ascent, 20);  // no font minimum: the operand's own
}

TEST_F(LayoutGeometry, NamedFunctionGapsAndAxisShift) {
  ExpressionRecord* bare = LayOut(NewUnop(kOpSin, Var("x")));
  EXPECT_NEAR(E(bare->operands[0]).leftOffset, 0.154f * 20 + 30 + 2, 1e-4);
  ExpressionRecord* grouped = LayOut(NewUnop(kOpSin, NewUnop(kOpId, Var("x"))));
  EXPECT_NEAR(E(grouped->operands[0]).leftOffset, 0.154f * 20 + 30, 1e-4);

  // A 1 x 1 matrix: the cell plus 0.8 s high, plus 1.0 s wide, middle on the axis.
  ExpressionRecord* matrix = Matrix(1, 1, {Var("x")});
  ExpressionRecord* f = LayOut(NewUnop(kOpSin, matrix));
  const EditData& m = E(f->operands[0]);
  EXPECT_FLOAT_EQ(m.ascent + m.descent, 25 + 16);
  EXPECT_FLOAT_EQ(m.width, 10 + 20);
  EXPECT_EQ(m.composed, 0);
  EXPECT_FLOAT_EQ(E(f).ascent, 20.5f + kAxis);
  EXPECT_FLOAT_EQ(E(f).descent, 20.5f - kAxis);
  EXPECT_FLOAT_EQ(E(matrix->operands[0]).leftOffset, 0.5f * 20 + 1);
}

TEST_F(LayoutGeometry, SubscriptSitsBelowItsBase) {
  ExpressionRecord* indexes = LayOut(Shaped(Node(kOpIndexes, {Var("x"), Number(1)}), 0, 1));
  // Script size 10: height 12.5; drop = min(0.5 * 25 - 0.5, 0.75 * 12.5).
  const float u = 12.5f - 9.375f;
  EXPECT_FLOAT_EQ(E(indexes).width, 10 + 0.038f * 20 + 5);
  EXPECT_FLOAT_EQ(E(indexes).descent, 5 + u);
  EXPECT_FLOAT_EQ(E(indexes).ascent, 20);
  EXPECT_FLOAT_EQ(E(indexes->operands[0]).bottomOffset, -u);
  EXPECT_EQ(E(indexes->operands[1]).sizeLevel, 3);
}

TEST_F(LayoutGeometry, SumWithALowerLimitOnly) {
  fSizes[0] = 40;  // the symbol's size
  ExpressionRecord* sum = LayOut(Node(kOpSum, {Var("k"), Var("k")}));
  // Symbol: descent 4, ascent 36, middle 20; up = axis + 20, dn = 20 - axis.
  const float up = kAxis + 20, dn = 20 - kAxis;
  EXPECT_FLOAT_EQ(E(sum).ascent, 0.05f * 20 + up);
  EXPECT_FLOAT_EQ(E(sum).descent, dn + 12.5f);
  EXPECT_FLOAT_EQ(E(sum).width, 20 + 2 + 10);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).leftOffset, (20 - 5) / 2.0f);
}

TEST_F(LayoutGeometry, SizeLevelsOfScripts) {
  ExpressionRecord* inner = NewBinop(kOpPower, Var("y"), NewBinop(kOpPower, Var("z"), Var("w")));
  ExpressionRecord* root = LayOut(NewBinop(kOpPower, Var("x"), inner));
  EXPECT_EQ(E(root->operands[0]).sizeLevel, 2);
  EXPECT_EQ(E(inner).sizeLevel, 3);
  EXPECT_EQ(E(inner->operands[1]).sizeLevel, 4);
  EXPECT_EQ(E(inner->operands[1]->operands[1]).sizeLevel, 4);
}

// A stand-in power: base and exponent side by side.
void SideBySide(ExpressionRecord* node, int32_t mode, MathGraphicsContext*) {
  if (mode != 0) return;
  float x = 0;
  for (int32_t i = 0; i < node->operandCount; ++i) {
    node->operands[i]->editData->leftOffset = x;
    x += node->operands[i]->editData->width;
  }
  node->editData->width = x;
  node->editData->ascent = 20;
  node->editData->descent = 5;
  node->editData->composed = 1;
}

TEST_F(LayoutGeometry, OverflowingPowerGetsAFullSizeExponentOnTheSecondPass) {
  const TypesetHandler saved = GetTypesetHandler(Typesetter::kTothe);
  SetTypesetHandler(Typesetter::kTothe, SideBySide);
  ExpressionRecord* root = LayOut(NewBinop(kOpPower, Var("x"), Var("y")), 14);
  EXPECT_EQ(E(root->operands[1]).sizeLevel, 2);
  EXPECT_FLOAT_EQ(E(root).width, 20);
  ExpressionRecord* narrow = LayOut(NewBinop(kOpPower, Var("x"), Var("y")), 16);
  EXPECT_EQ(E(narrow->operands[1]).sizeLevel, 3);
  EXPECT_FLOAT_EQ(E(narrow).width, 15);
  SetTypesetHandler(Typesetter::kTothe, saved);
}

TEST_F(LayoutGeometry, CaretCoordinatesFollowTheCaretType) {
  LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
  float x = -1, y1 = -1, y2 = -1;
  fRecord->caretType = kIPWholeNode;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, 20);
  EXPECT_FLOAT_EQ(y1, 25);
  EXPECT_FLOAT_EQ(y2, 0);
  fRecord->caretType = kIPAfterNode;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, 39);
  EXPECT_FLOAT_EQ(y1, 24);
  fRecord->caretType = kIPOperandRange;
  x = -7;
  MATH_GetIPCoords(&x, &y1, &y2);
  EXPECT_FLOAT_EQ(x, -7);
}

// The mantissa is the number's own digits, exactly: a subnormal keeps them
// all, and 1.5e30 shows 1.5 however many digits are shown.
TEST_F(LayoutGeometry, NumbersThatDoNotReadBackBecomeScientific) {
  const double cases[][3] = {{1.5e30, 1.5, 30}, {5.71540396e-316, 5.71540396, -316}, {-2.5e-5, -2.5, -5}};
  for (const auto& [value, mantissa, exponent] : cases) {
    ExpressionRecord* root = LayOut(Number(value));
    ASSERT_EQ(root->opcode, kOpSn) << value;
    EXPECT_EQ(root->operands[0]->payload.number->value, mantissa);
    EXPECT_EQ(root->operands[1]->payload.number->value, exponent);
  }
}

using TypesettingGeometry = MathLayoutTest;

float Height(const EditData& e) { return e.ascent + e.descent; }
float Baseline(const EditData& e) { return e.bottom - e.descent; }

TEST_F(TypesettingGeometry, EveryKindHasItsOwnHandler) {
  const TypesetHandler before = GetTypesetHandler(Typesetter::kHat);
  SetTypesetHandler(Typesetter::kHat, nullptr);
  const TypesetHandler unset = GetTypesetHandler(Typesetter::kHat);
  SetTypesetHandler(Typesetter::kHat, before);
  for (OpCodeT kind = kFirstOperatorKind; IsOperatorTableKind(kind); ++kind)
    EXPECT_NE(GetTypesetHandler(FindOperatorInfo(kind)->handler), unset) << kind;
}

TEST_F(TypesettingGeometry, ParenthesesAroundOneAtom) {
  ExpressionRecord* id = LayOut(NewUnop(kOpId, Var("x")));
  EXPECT_NEAR(E(id->operands[0]).leftOffset, 10 + (0.167f + 0.071f + 0.025f) * kS, 1e-4);
  EXPECT_NEAR(E(id).width, 2 * 10 + 10 + (0.334f + 0.142f) * kS, 1e-4);
  EXPECT_FLOAT_EQ(E(id).ascent, 20);
  EXPECT_FLOAT_EQ(E(id).descent, 5);
  // Doubled parentheses are exactly as tall as the inner pair.
  ExpressionRecord* twice = LayOut(NewUnop(kOpId, NewUnop(kOpId, Var("x"))));
  EXPECT_FLOAT_EQ(Height(E(twice)), Height(E(twice->operands[0])));
}

TEST_F(TypesettingGeometry, BraceIsPaddedOnlyBetweenOneAndTwoPieces) {
  EXPECT_FLOAT_EQ(Height(E(LayOut(NewUnop(kOpLParen, Var("x"))))), 25);  // 25 <= 1.275 s
  // x^y: the exponent (12.5 tall) drops min(0.75 * 20 - 1, 0.85 * 12.5).
  const float t = 20 - 10.625f + 12.5f + 5;
  ExpressionRecord* brace = LayOut(NewUnop(kOpLParen, NewBinop(kOpPower, Var("x"), Var("y"))));
  EXPECT_NEAR(Height(E(brace)), 4.8f * kS - t, 1e-3);
  EXPECT_NEAR(E(brace).width, 10 + E(brace->operands[0]).width + 0.476f * kS, 1e-4);  // no closing brace
}

TEST_F(TypesettingGeometry, BinomialIsCentredOnTheAxis) {
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), NewBinop(kOpChoice, Var("n"), Var("k"))}));
  const EditData& choice = E(sum->operands[1]);
  EXPECT_EQ(choice.composed, 0);
  EXPECT_FLOAT_EQ(choice.ascent, (25 + 25 + 2) / 2.0f);
  EXPECT_NEAR(choice.bottom - Height(choice) / 2, Baseline(E(sum)) - kAxis, 1e-4);
  EXPECT_FLOAT_EQ(E(sum->operands[1]->operands[0]).bottom, E(sum->operands[1]->operands[1]).bottom - 27);
}

TEST_F(TypesettingGeometry, PiecewiseRowsArePaddedAndCentred) {
  ExpressionRecord* one = LayOut(Node(kOpBranch, {Var("x")}));
  EXPECT_NEAR(Height(E(one)), 4.8f * kS - 25 + 2 * 2, 1e-4);
  EXPECT_NEAR(E(one).ascent - E(one).descent, 2 * kAxis, 1e-4);
  ExpressionRecord* two = LayOut(Node(kOpBranch, {Var("x"), Var("abc")}));
  const EditData& narrow = E(two->operands[0]);
  const EditData& wide = E(two->operands[1]);
  EXPECT_FLOAT_EQ(narrow.left + narrow.width / 2, wide.left + wide.width / 2);
  EXPECT_FLOAT_EQ(wide.bottom, E(two).bottom);  // 60 tall: no padding
  EXPECT_FLOAT_EQ(narrow.bottom, wide.bottom - 25 - 10);
}

TEST_F(TypesettingGeometry, PowerOfANamedFunctionPutsTheExponentAfterTheName) {
  ExpressionRecord* bare = LayOut(NewBinop(kOpPower, NewUnop(kOpSin, Var("x")), Number(2)));
  const float name = 0.154f * kS + 30;                         // the name and its gaps
  EXPECT_NEAR(E(bare->operands[1]).left, name + 2 - 2, 1e-4);  // 0.1 s further left
  EXPECT_NEAR(E(bare->operands[0]->operands[0]).left, name + 2 + 5, 1e-4);
  ExpressionRecord* grouped = LayOut(NewBinop(kOpPower, NewUnop(kOpSin, NewUnop(kOpId, Var("x"))), Number(2)));
  EXPECT_NEAR(E(grouped->operands[1]).left, name, 1e-4);
  EXPECT_NEAR(E(grouped).width, E(grouped->operands[0]).width, 1e-4);
}

TEST_F(TypesettingGeometry, ExponentStandsAboveASingleSubscript) {
  ExpressionRecord* base = Shaped(Node(kOpIndexes, {Var("x"), Number(1)}), 0, 1);
  ExpressionRecord* power = LayOut(NewBinop(kOpPower, base, Var("y")));
  EXPECT_FLOAT_EQ(E(power->operands[1]).left, E(base->operands[1]).left);
  EXPECT_FLOAT_EQ(E(power).width, E(base).width);
}

TEST_F(TypesettingGeometry, FractionsInExponentsAreSlashed) {
  const float slashed = 5 + 5 + 5 + 0.222f * 10;
  ExpressionRecord* p = LayOut(NewBinop(kOpPower, Var("x"), NewBinop(kOpOver, Var("a"), Var("b"))));
  EXPECT_NEAR(E(p->operands[1]).width, slashed, 1e-4);
  EXPECT_EQ(E(p->operands[1]).composed, 1);
  ExpressionRecord* m = LayOut(NewBinop(kOpPower, Var("x"), NewUnop(kOpMinus, NewBinop(kOpOver, Var("a"), Var("b")))));
  EXPECT_NEAR(E(m->operands[1]->operands[0]).width, slashed, 1e-4);
  // A stacked fraction's bar lies on the parent's math axis.
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("c"), NewBinop(kOpOver, Var("a"), Var("b"))}));
  const EditData& f = E(sum->operands[1]);
  EXPECT_EQ(f.composed, 0);
  EXPECT_NEAR(Baseline(f), Baseline(E(sum)) - kAxis, 1e-4);
  EXPECT_NEAR(f.descent, 0.5f + 2 + 25, 1e-4);
}

TEST_F(TypesettingGeometry, OverflowingPowersFractionsAndScientificNotationGoOnOneLine) {
  ExpressionRecord* power = LayOut(NewBinop(kOpPower, Var("x"), Var("y")), 5);
  EXPECT_FLOAT_EQ(E(power).width, 10 + 10 + 10 + 10);  // x ^ y, spaced like a list
  EXPECT_FLOAT_EQ(Baseline(E(power->operands[1])), Baseline(E(power)));
  ExpressionRecord* over = LayOut(NewBinop(kOpOver, Var("a"), Var("b")), 5);
  EXPECT_FLOAT_EQ(E(over).width, 40);
  EXPECT_EQ(E(over).composed, 1);
  ExpressionRecord* sn = LayOut(NewBinop(kOpSn, Number(2), Number(7)));
  EXPECT_NEAR(E(sn).width, 3 * 10 + 0.077f * kS + 10 + 5, 1e-4);
  ExpressionRecord* e = LayOut(NewBinop(kOpSn, Number(2), Number(7)), 5);
  EXPECT_NEAR(E(e).width, 2 + 10 + 2 + 10 + 10, 1e-4);  // 2E7
  EXPECT_FLOAT_EQ(E(e->operands[1]).bottom, E(e).bottom);
}

TEST_F(TypesettingGeometry, RootIndexAboveTheCrookRaisesTheRoot) {
  const float t = 20 + 2 * 2 + 1, q = (5 + t) / 4;
  ExpressionRecord* low = LayOut(Node(kOpSqrt, {Var("x"), Var("n")}));
  EXPECT_FLOAT_EQ(E(low).ascent, t);  // 2 + 12.5 + q < t
  ExpressionRecord* high = LayOut(Node(kOpSqrt, {Var("x"), NewBinop(kOpOver, Var("a"), Var("b"))}));
  const float index = 2 * (0.25f + 1 + 12.5f);
  EXPECT_NEAR(E(high).ascent, 2 + index + q, 1e-4);
  EXPECT_NEAR(E(high->operands[0]).leftOffset, E(high->operands[1]).width - 6 + 12 + 2, 1e-4);
}

TEST_F(TypesettingGeometry, DerivativeOfANameIsWrittenDyDx) {
  ExpressionRecord* f = LayOut(NewBinop(kOpFunction, Node(kOpOpTotal, {Var("x")}), Var("y")));
  const EditData& op = E(f->operands[0]);
  const EditData& y = E(f->operands[1]);
  EXPECT_FLOAT_EQ(y.leftOffset, 10);  // right after the numerator's d
  EXPECT_FLOAT_EQ(y.bottomOffset, -(20 + 5 + 4 + 1));
  EXPECT_NEAR(E(f).width, op.width, 1e-4);  // no parentheses
  EXPECT_NEAR(op.width, 10 + 0.062f * kS + 10, 1e-4);
  EXPECT_EQ(E(f).composed, 0);
}

TEST_F(TypesettingGeometry, PartialDerivativeSpacesItsVariables) {
  ExpressionRecord* d = LayOut(Node(kOpOpPartial, {Var("x"), Number(2), Var("y")}));
  const float g = 10 + 0.062f * kS;
  EXPECT_NEAR(E(d->operands[0]).leftOffset, g, 1e-4);
  EXPECT_NEAR(E(d->operands[2]).leftOffset, g + 10 + 2 + g, 1e-4);
  EXPECT_NEAR(E(d).width, std::max(2 * g + 22, 0.062f * kS + (g + 2 * g + 22) / 2 + 5), 1e-4);
}

TEST_F(TypesettingGeometry, EnclosuresAndDecorations) {
  ExpressionRecord* bar = LayOut(NewUnop(kOpSubstitution, Var("x")));
  EXPECT_FLOAT_EQ(E(bar).width, 10 + 3 * 2 + 1);
  EXPECT_FLOAT_EQ(E(bar->operands[0]).bottomOffset, -2);
  const float m = 2 * 2 + 0.3f * kS + 1;
  EXPECT_NEAR(E(LayOut(NewUnop(kOpFloor, Var("x")))).width, 2 * m + 10, 1e-4);
  EXPECT_NEAR(E(LayOut(NewUnop(kOpAbs, Var("x")))).width, 2 * 5 + 10, 1e-4);
  EXPECT_FLOAT_EQ(E(LayOut(NewUnop(kOpOverline, Var("x")))).ascent, 20 + 4 + 1);
  ExpressionRecord* interval = LayOut(NewBinop(kOpInterval, Var("a"), Var("b")));
  EXPECT_FLOAT_EQ(E(interval->operands[1]).leftOffset, 30);
  EXPECT_FLOAT_EQ(E(interval).width, 50);
  // A hat over a letter without ascender follows the letter: 20/2 + 3.
  ExpressionRecord* hat = LayOut(NewUnop(kOpHat, Var("x")));
  EXPECT_FLOAT_EQ(E(hat).ascent, 13 + 8 * 2);
  EXPECT_FLOAT_EQ(E(LayOut(NewUnop(kOpHat, Number(2)))).ascent, 20 + 6 * 2);
}

TEST_F(TypesettingGeometry, ScriptSizedMarksLeaveNoStateBehind) {
  // The transpose's T is at the next level; its neighbour keeps the root size.
  ExpressionRecord* sum = LayOut(Node(kOpPlus, {NewUnop(kOpSuperscriptT, Var("A")), Var("b")}));
  EXPECT_FLOAT_EQ(E(sum->operands[0]).width, 10 + 5);
  EXPECT_FLOAT_EQ(E(sum->operands[1]).width, 10);
  ExpressionRecord* lap = LayOut(Node(kOpPlus, {NewUnop(kOpLap, Var("u")), Var("b")}));
  EXPECT_FLOAT_EQ(E(lap->operands[0]).width, 10 + 5 + 10);
  EXPECT_FLOAT_EQ(E(lap->operands[1]).width, 10);
}

TEST_F(TypesettingGeometry, BracketsOfAbsurdHeightStillFinish) {
  // Stepping down a float far larger than the step would never end.
  ExpressionRecord* id = LayOut(NewUnop(kOpId, Var("x")));
  QImage image(40, 40, QImage::Format_RGB32);
  QPainter painter(&image);
  MathGraphicsContext context{&painter, {}};
  for (const float height : {3e8f, 1e30f, std::numeric_limits<float>::infinity()})
    for (const OpCodeT kind : {kOpId, kOpLParen}) {
      id->opcode = kind;
      id->operands[0]->editData->ascent = height;
      MathTextSize(kS);
      parens_(id, 0, nullptr);
      parens_(id, 1, &context);
    }
  id->opcode = kOpBranch;
  MathTextSize(kS);
  branch_(id, 0, nullptr);
  id->editData->ascent = 1e30f;
  branch_(id, 1, &context);
  id->opcode = kOpId;
}

}  // namespace
