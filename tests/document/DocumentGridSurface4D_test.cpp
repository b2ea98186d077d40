#include <gtest/gtest.h>

#include "graphs3d/A4DGraphView.h"
#include "renderer/Frame.h"
#include "tests/document/GraphedDocument.h"

namespace {

// The spin held as an export holds it, so pictures don't depend on timing.
class DocumentGridSurface4D : public GraphingTest {
 protected:
  void SetUp() override {
    GraphingTest::SetUp();
    gInhibit3DRotationKluge = true;
  }
  void TearDown() override {
    gInhibit3DRotationKluge = false;
    GraphingTest::TearDown();
  }
};

TEST_F(DocumentGridSurface4D, ASurfaceOfZOpensTheFourDViewAndDrawsWithoutAMessage) {
  GraphedDocument empty("4D.Show4Daxes 0;\nExpr vector(x, y, z, w) = vector(9, 9, 9, 9);\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g("4D.Show4Daxes 0;\nExpr w = z^2;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_TRUE(g.document->fExpansion.viewIs4D);
  ASSERT_EQ(g.Graphs(), 1);
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);
  EXPECT_NE(dynamic_cast<A4DGraphView*>(g.document->fGraphPane->CurrentView()), nullptr);
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 5000);

  GraphedDocument nowhere("Expr w = z^2, x > 5;\n");
  ASSERT_TRUE(nowhere.document && nowhere.RunUntilDone());
  UpdateGraphMessages(nowhere.document.get());
  EXPECT_EQ(EquationMessage(nowhere.document.get(), 0), 11);
}

}  // namespace
