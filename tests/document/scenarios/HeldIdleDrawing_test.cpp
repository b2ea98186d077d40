#include <string>

#include "document/DocumentWindow.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "tests/document/GraphedDocument.h"

namespace {

// Each draw of the pane asks for the graph world once.
int gWorldAsks = 0;

class HeldIdleDrawing : public GraphingTest {
 protected:
  void SetUp() override {
    MEInit();
    InstallMathEditor();
    InstallDocumentMathEditGlobals();
    gWorldAsks = 0;
    gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) {
      ++gWorldAsks;
      return GraphedDocument::sWorld;
    };
  }
};

std::string ManyCurves(int count) {
  std::string text;
  for (int j = 1; j <= count; ++j)
    text += "Expr y = sin(" + std::to_string(j) + "*x)/" + std::to_string(j) + " + x/" + std::to_string(j) + ";\n";
  return text;
}

// Held idles bring the graphs in without drawing them, yet say the picture
// changed; the one draw after them is the picture the window's idles,
// drawing as the graphs come, end with.
TEST_F(HeldIdleDrawing, HeldIdlesDrawOnlyTheFinalPictureTheWindowsEndWith) {
  const std::string curves = ManyCurves(60);
  GraphedDocument held(curves);
  ASSERT_TRUE(held.document);
  DocumentRecord* d = held.document.get();
  GraphedDocument::sWorld = held.world;
  bool changed = false;
  ASSERT_TRUE(AwaitDocument(
      d,
      [&] {
        changed |= DocumentIdle(d, kWholePass, true, IdleDrawing::kHeld);
        return IsDocumentGraphDone(d);
      },
      "the held graphs"));
  EXPECT_TRUE(changed);
  EXPECT_EQ(gWorldAsks, 0);
  DrawDocumentGraph(d);
  EXPECT_EQ(gWorldAsks, 1);

  gWorldAsks = 0;
  GraphedDocument shown(curves);
  ASSERT_TRUE(shown.RunUntilDone());
  // The pass's idle draws, and the draw once done: progress stays shown.
  EXPECT_GE(gWorldAsks, 2);
  EXPECT_EQ(DifferingPixels(held.Picture(), shown.Picture()), 0);
}

}  // namespace
