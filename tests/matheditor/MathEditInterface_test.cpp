#include "MathLayoutFixture.h"

#include "matheditor/MathEditInterface.h"
#include "matheditor/MathSizeTable.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>

namespace {

struct SavedSizeSettings {
  ~SavedSizeSettings() {
    gEquationFontMinSize = minimum;
    gEquationFontsizeSuperscriptFactor = factor;
  }
  float minimum = gEquationFontMinSize;
  float factor = gEquationFontsizeSuperscriptFactor;
};

void ExpectTable(const float (&table)[6], std::initializer_list<float> expected) {
  int i = 0;
  for (float value : expected) EXPECT_FLOAT_EQ(table[i++], value) << "level " << i - 1;
}

TEST(MathSizeTable, ScriptStepsStopAtAClampedMinimum) {
  SavedSizeSettings saved;
  float table[6];
  FillMathSizeTable(table, 24);
  ExpectTable(table, {24, 24, 24, 18, 13.5f, 13.5f});
  FillMathSizeTable(table, 8);
  ExpectTable(table, {8, 8, 8, 7, 7, 7});
  FillMathSizeTable(table, 3);  // never below the minimum
  ExpectTable(table, {7, 7, 7, 7, 7, 7});
  gEquationFontMinSize = 0;                   // read as 1
  gEquationFontsizeSuperscriptFactor = 0.1f;  // read as 41 %
  FillMathSizeTable(table, 10);
  ExpectTable(table, {10, 10, 10, 4.1f, 1.681f, 1.681f});
  gEquationFontMinSize = 80;  // read as 49
  gEquationFontsizeSuperscriptFactor = std::numeric_limits<float>::quiet_NaN();
  FillMathSizeTable(table, 60);
  ExpectTable(table, {60, 60, 60, 49, 49, 49});
}

using MathEditInterface = MathLayoutTest;

// The node drawn on white.
QImage Drawn(ExpressionRecord* node) {
  QImage image(100, 50, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  MathGraphicsContext context{&painter, {}};
  OUTPUT_DrawExpression(node, &context);
  painter.end();
  return image;
}

TEST_F(MathEditInterface, NewRecordIsCurrentAndMeasuresOnDemand) {
  MERecord* made = MENew(nullptr);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(gMathCurrentMEH, made);
  EXPECT_TRUE(gShowPromptAsIP);
  made->sizeTable = fSizes;
  gMathCurrentMEH = fRecord;
  // Made current and laid out by the measuring itself: a bold "?" at 20 pt.
  EXPECT_EQ(MEWidth(made), 10);
  EXPECT_EQ(gMathCurrentMEH, made);
  EXPECT_EQ(MEHeight(made), 25);
  EXPECT_EQ(MEHeight(nullptr), 0);
  EXPECT_EQ(MEWidth(nullptr), 0);
  MEDispose(made);
  gMathCurrentMEH = fRecord;
}

TEST_F(MathEditInterface, HeightIgnoresLineBreaks) {
  fRecord->wrapWidth = 60;
  LayOut(Node(kOpPlus, {Var("a"), Var("b"), Var("c"), Var("d"), Var("e")}), 60);
  ASSERT_EQ(fRecord->lineCount, 3);
  EXPECT_EQ(MEHeight(fRecord), 25);
  EXPECT_EQ(MEWidth(fRecord), 130);
}

TEST_F(MathEditInterface, NodeWithoutEditDataOrAPromptShownAsCaretDrawsNothing) {
  SetFixedMetricMeasuring(0);
  const QImage blank = Drawn(nullptr);
  ExpressionRecord* bare = Node(kOpPlus, {Var("a"), Number(2)});
  bare->operands[1]->editData = nullptr;  // a number gets none until laid out
  EXPECT_EQ(Drawn(bare), blank);
  DisposExpr(bare);
  // A prompt shown as the caret keeps its width.
  for (const bool asCaret : {true, false}) {
    gShowPromptAsIP = asCaret;
    ExpressionRecord* prompt = LayOut(NewPrompt());
    EXPECT_GT(E(prompt).width, 0);
    EXPECT_EQ(Drawn(prompt) == blank, asCaret);
  }
}

}  // namespace
