#include <random>

#include "document/MathPaneResults.h"
#include "document/SliderAnimation.h"
#include "tests/document/GraphedDocument.h"

namespace {

class DocumentInvalidation : public GraphingTest {};

// Definitions, a derivative, result strings, a slider and several kinds of
// graph: every thread the document starts has work when the next edit comes.
constexpr char kBusyDocument[] =
    "Slider 0 2;\nSliderSteps 4;\n"
    "Expr 'f'(x) = sin(3*x) + x^2/4;\nExpr a = 1/3;\nExpr y = 'f'(x) + a*n;\n"
    "Expr y < 'f'(x) - 1;\nExpr r = 1 + theta/6;\nExpr 2/7;\nExpr exp(i);\nExpr y = d/dx('f'(x));\n";

TEST_F(DocumentInvalidation, AThousandEditsAmidExpansionResultsAndGraphsEndAsOne) {
  GraphedDocument busy(kBusyDocument);
  ASSERT_TRUE(busy.document);
  DocumentRecord* d = busy.document.get();
  std::mt19937 random(35);
  for (int edit = 0; edit < 1000; ++edit) {
    InvalExprs(d);
    const int idles = static_cast<int>(random() % 4);
    for (int k = 0; k < idles; ++k) DocumentIdle(d);
    if (edit % 100 == 0) {
      ASSERT_TRUE(busy.RunUntilDone());
    }
  }
  ASSERT_TRUE(busy.RunUntilDone() && AwaitResults(d));
  EXPECT_EQ(MathPaneResultForBlock(d, 5), u"0.28571429");

  GraphedDocument fresh(kBusyDocument);
  ASSERT_TRUE(fresh.RunUntilDone());
  EXPECT_EQ(DifferingPixels(busy.Picture(), fresh.Picture()), 0);
}

TEST_F(DocumentInvalidation, TheAnimationStepsOnlyWhenTheGraphsAreDone) {
  GraphedDocument g("Slider 0 2;\nSliderSteps 2;\nExpr y = x + n;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  DocumentRecord* d = g.document.get();
  LoopGraphingAnimation(d);
  QImage frames[3];
  for (QImage& frame : frames) {
    const int32_t value = d->fContents.sliderControlValue;
    while (d->fContents.sliderControlValue == value) DocumentIdle(d);
    ASSERT_TRUE(g.RunUntilDone());
    frame = g.Picture().copy();
  }
  EXPECT_EQ(d->fContents.sliderControlValue, 0);  // 1, 2, then round to 0
  GraphedDocument shifted("Expr y = x + 1;\n");
  ASSERT_TRUE(shifted.RunUntilDone());
  EXPECT_EQ(DifferingPixels(frames[0], shifted.Picture()), 0);
  EXPECT_GT(DifferingPixels(frames[0], frames[1]), 50);
  StopGraphingAnimation(d);
}

}  // namespace
