#include "CoreUtilities/ComputationDeadline.h"
#include "CoreUtilities/MemoryBudget.h"
#include "tests/document/GraphedDocument.h"

#include <gtest/gtest.h>

namespace {

class GraphPassDeadline : public GraphingTest {
 protected:
  void TearDown() override {
    ClearComputationDeadline();
    gMathError = 0;
    GraphingTest::TearDown();
  }
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
  EXPECT_EQ(graphed.Graphs(), 0);
  ClearComputationDeadline();
  DoGraph(document);
  ASSERT_TRUE(graphed.RunUntilDone());
  EXPECT_EQ(graphed.Graphs(), 3);
}

}  // namespace
