#include "document/DocumentRendererHooks.h"

#include <gtest/gtest.h>

#include "document/DocumentRecord.h"
#include "renderer/RendererHooks.h"
#include "tests/document/DocumentTestSupport.h"

namespace {

// The renderer reads the document's own settings, and answers for no
// document as for a plain one.
TEST(DocumentRendererHooks, BackgroundAndAntialiasingComeFromTheDocument) {
  InstallDocumentRendererHooks();
  const auto document =
      Read("Zentrolabworksheet 4;\nTextEncoding UTF8;\nBackgroundType 1;\nBackgroundColor 16 32 48;\nExpr ?;\n");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(RenderHooks::BackgroundType(document.get()), 1);
  EXPECT_EQ(RenderHooks::BackgroundColor(document.get()), 0x102030u);
  document->fContents.useAntialiasing = false;
  EXPECT_FALSE(RenderHooks::UseSampleBuffer(document.get()));
  document->fContents.useAntialiasing = true;
  EXPECT_TRUE(RenderHooks::UseSampleBuffer(document.get()));
  EXPECT_EQ(RenderHooks::BackgroundType(nullptr), 0);
  EXPECT_FALSE(RenderHooks::DrawGraph(nullptr));
}

}  // namespace
