#include "CoreUtilities/threads/BuildInterruption.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "tests/document/GraphedDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class GraphPassDeadline : public GraphingTest {
 protected:
  // The check is asked at every clock reading: an optimised build of the
  // long formula may end within the usual interval.
  void SetUp() override {
    GraphingTest::SetUp();
    fFormerInterval = SetBuildAskingInterval(0);
  }
  void TearDown() override {
    SetBuildAskingInterval(fFormerInterval);
    ClearComputationDeadline();
    SetBuildInterruptionCheck(nullptr);
    gMathError = 0;
    GraphingTest::TearDown();
  }
  int32_t fFormerInterval = 0;
};

// A pass that starts past the deadline makes no graph and still ends, its
// pane drawable; the next pass, once the deadline is gone, graphs them all.
TEST_F(GraphPassDeadline, APassPastTheDeadlineStopsWhereItStandsAndTheNextGraphsAll) {
  GraphedDocument graphed("Expr y = sin(x);\nExpr y = x^2;\nExpr y = cos(3*x) + 1;\n");
  ASSERT_TRUE(graphed.document);
  DocumentRecord* document = graphed.document.get();
  ASSERT_TRUE(AwaitExpansion(document));
  SetComputationDeadline(0);
  DocumentIdle(document);
  EXPECT_TRUE(document->fExpansion.graphed);
  EXPECT_TRUE(document->fExpansion.passCutShort);
  EXPECT_EQ(graphed.Graphs(), 0);
  ClearComputationDeadline();
  DoGraph(document);
  ASSERT_TRUE(graphed.RunUntilDone());
  EXPECT_EQ(graphed.Graphs(), 3);
  EXPECT_FALSE(document->fExpansion.passCutShort);
}

// A formula short to write whose build asks the check: 2^6 copies of a0
// once the definitions are applied, with subexpressions shared among its
// programs, and the check asked at every clock reading.
std::string LongBuildBetweenTwoShortOnes() {
  std::string text = "Expr y = sin(x);\nExpr a0(x) = cos(x)/2 + sin(x)/3;\n";
  for (int i = 1; i <= 6; ++i) {
    const std::string previous = "a" + std::to_string(i - 1);
    text += "Expr a" + std::to_string(i) + "(x) = " + previous + "(x) + " + previous + "(x/" + std::to_string(i + 1) +
            ");\n";
  }
  return text + "Expr y = a6(x);\nExpr y = x^2;\n";
}

int gStopsAsked = 0;
bool StopAtOnce() {
  ++gStopsAsked;
  return true;
}

// A build cut short by an edit leaves nothing of the pass: no graph, row or
// message, no error, no math-error state; the pass starts over at the next
// idle and then graphs everything.
TEST_F(GraphPassDeadline, ABuildCutShortLeavesNothingAndThePassStartsOver) {
  GraphedDocument graphed(LongBuildBetweenTwoShortOnes());
  ASSERT_TRUE(graphed.document);
  DocumentRecord* document = graphed.document.get();
  const ExpansionState& state = document->fExpansion;
  ASSERT_TRUE(AwaitExpansion(document));
  ResetDeferredErrors();
  gStopsAsked = 0;
  SetBuildInterruptionCheck(StopAtOnce);
  for (int idle = 0; idle < 40 && gStopsAsked == 0; ++idle) DocumentIdle(document, 0);
  ASSERT_EQ(gStopsAsked, 1);
  EXPECT_FALSE(state.passStarted);
  EXPECT_FALSE(state.graphed);
  EXPECT_EQ(graphed.Graphs(), 0);
  for (size_t i = 0; i < state.rows.size(); ++i) {
    EXPECT_EQ(state.rows[i], -1) << i;
    EXPECT_EQ(state.messages[i], 0) << i;
  }
  EXPECT_EQ(TakeDeferredError(), 0);
  EXPECT_EQ(gMathError.load(), 0);
  SetBuildInterruptionCheck(nullptr);
  ASSERT_TRUE(graphed.RunUntilDone());
  EXPECT_EQ(graphed.Graphs(), 3);
  EXPECT_EQ(TakeDeferredError(), 0);
}

}  // namespace
