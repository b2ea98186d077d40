#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/OurTime.h"
#include "document/DocumentWindow.h"
#include "document/DocumentWriter.h"
#include "document/MathPaneEditing.h"
#include "document/SliderAnimation.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "tests/document/GraphedDocument.h"

namespace {

class GraphPassSlices : public GraphingTest {
 protected:
  void SetUp() override {
    GraphingTest::SetUp();
    MEInit();
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
  }
};

// Sums of ten terms, with equations among them that say something under
// themselves: a question mark left in (15), a curve far above the view (5),
// one undefined everywhere shown (3).
std::string ManySums(int count) {
  std::string text;
  for (int j = 0; j < count; ++j) {
    if (j % 40 == 7) {
      text += "Expr y = ?;\n";
      continue;
    }
    std::string sum = j % 10 == 3 ? "1000" : j % 40 == 21 ? "sqrt(-1 - x^2)" : "0";
    for (int k = 1; k <= 10; ++k)
      sum += " + cos(" + std::to_string(k) + "*x)/(" + std::to_string(k) + " + " + std::to_string(j) + ")";
    text += "Expr y = " + sum + ";\n";
  }
  return text;
}

std::vector<int32_t> Messages(DocumentRecord* d) {
  std::vector<int32_t> messages;
  for (int32_t block = 0; block < d->fContents.blocks.Count(); ++block) messages.push_back(EquationMessage(d, block));
  return messages;
}

// Idles, each slice spent as soon as it began, until the pass is complete;
// the most equations any idle handed the pane, and how many idles passed.
struct Slicing {
  size_t mostAdded = 0;
  int idles = 0;
};

Slicing IdleInSpentSlices(DocumentRecord* d) {
  Slicing slicing;
  EXPECT_TRUE(AwaitExpansion(d));
  while (!d->fExpansion.graphed && slicing.idles < 100000) {
    const size_t before = d->fExpansion.passNext;
    DocumentIdle(d, 0);
    ++slicing.idles;
    const size_t after = d->fExpansion.graphed ? d->fExpansion.expanded.size() : d->fExpansion.passNext;
    slicing.mostAdded = std::max(slicing.mostAdded, after - before);
  }
  return slicing;
}

TEST_F(GraphPassSlices, ASpentSliceAddsOneEquationAndThePassEndsAsAWholeOne) {
  const std::string text = ManySums(40);
  GraphedDocument sliced(text);
  ASSERT_TRUE(sliced.document);
  DocumentRecord* d = sliced.document.get();
  const Slicing slicing = IdleInSpentSlices(d);
  EXPECT_EQ(slicing.mostAdded, 1u);
  EXPECT_EQ(slicing.idles, 40);
  ASSERT_TRUE(sliced.RunUntilDone());
  UpdateGraphMessages(d);

  // The export's idle takes the whole pass at once.
  GraphedDocument whole(text);
  ASSERT_TRUE(whole.document && AwaitExpansion(whole.document.get()));
  DocumentIdle(whole.document.get());
  EXPECT_TRUE(whole.document->fExpansion.graphed);
  EXPECT_EQ(whole.Graphs(), 39);
  ASSERT_TRUE(whole.RunUntilDone());
  UpdateGraphMessages(whole.document.get());
  EXPECT_EQ(sliced.Graphs(), whole.Graphs());
  EXPECT_EQ(sliced.Graphs(), 39);
  const std::vector<int32_t> messages = Messages(d);
  EXPECT_EQ(messages, Messages(whole.document.get()));
  EXPECT_EQ(messages[7], 15);
  EXPECT_EQ(messages[13], 5);
  EXPECT_EQ(messages[21], 3);
  EXPECT_EQ(messages[0], 0);
  EXPECT_EQ(DifferingPixels(sliced.Picture(), whole.Picture()), 0);
}

// The slider animation steps between whole passes: not while a pass is
// half done, though the graphs added so far are done computing (a slice
// that adds a formula of no graph leaves nothing computing).
TEST_F(GraphPassSlices, TheAnimationWaitsForTheWholePass) {
  GraphedDocument g("Slider 0 2;\nSliderSteps 2;\nExpr y = x + n;\nExpr y = ?;\nExpr y = ?;\nExpr y = x - n;\n");
  ASSERT_TRUE(g.document && AwaitExpansion(g.document.get()));
  DocumentRecord* d = g.document.get();
  LoopGraphingAnimation(d);
  for (;;) {
    DocumentIdle(d, 0);
    if (d->fExpansion.graphed) break;  // whole: the animation may step
    ASSERT_EQ(d->fContents.sliderControlValue, 0);
    ASSERT_TRUE(AwaitDocument(
        d, [d] { return d->fGraphPane->AreAllGraphsDoneComputing(); }, "the graphs"));
    // Past the throttle of 0 ticks: a step would be due now.
    const uint32_t stepped = d->fExpansion.lastStepTime;
    while (!OurTimeIsPast(OurTime(), stepped)) std::this_thread::yield();
  }
  ASSERT_TRUE(g.RunUntilDone());
  while (d->fContents.sliderControlValue == 0) DocumentIdle(d);
  StopGraphingAnimation(d);
}

// Return after the first formula, then a new formula typed, while the pass
// is a slice in: the pass starts over on the new expansion, and what it
// ends with is what a document opened on the edited text shows.
TEST_F(GraphPassSlices, AnEditAfterTheFirstSliceStartsThePassOver) {
  DocumentWindow window;  // outlives the document's formulas, which point to it
  GraphedDocument edited(ManySums(40));
  ASSERT_TRUE(edited.document);
  DocumentRecord* d = edited.document.get();
  ASSERT_TRUE(AwaitExpansion(d));
  DocumentIdle(d, 0);
  ASSERT_FALSE(d->fExpansion.graphed);
  ASSERT_EQ(edited.Graphs(), 1);

  OurPort* pane = OurNewGWorld(MRect{0, 0, 400, 300});
  window.document = d;
  window.mathPanePort = pane;
  FocusMathPaneBlock(&window, 0);
  ASSERT_TRUE(MathPaneKey(&window, '\r', '\r', 0));
  // Nothing of the stale pass is left to show.
  EXPECT_EQ(edited.Graphs(), 0);
  EXPECT_EQ(Messages(d), std::vector<int32_t>(41, 0));
  for (const char key : std::string("y=")) ASSERT_TRUE(MathPaneKey(&window, uint8_t(key), uint8_t(key), 0)) << key;
  FocusMathPaneBlock(&window, -1);
  OurDisposeGWorld(pane);

  const Slicing slicing = IdleInSpentSlices(d);
  EXPECT_EQ(slicing.mostAdded, 1u);
  ASSERT_TRUE(edited.RunUntilDone());
  UpdateGraphMessages(d);
  const std::optional<std::string> text = WriteDocumentText(*d);
  ASSERT_TRUE(text);
  ASSERT_NE(text->find("Expr y=?;"), std::string::npos) << *text;

  GraphedDocument fresh(text->substr(text->find('\n') + 1));
  ASSERT_TRUE(fresh.RunUntilDone());
  UpdateGraphMessages(fresh.document.get());
  EXPECT_EQ(edited.Graphs(), fresh.Graphs());
  const std::vector<int32_t> messages = Messages(d);
  EXPECT_EQ(messages, Messages(fresh.document.get()));
  EXPECT_EQ(messages[1], 15);
  EXPECT_EQ(messages[8], 15);
  EXPECT_EQ(DifferingPixels(edited.Picture(), fresh.Picture()), 0);
}

}  // namespace
