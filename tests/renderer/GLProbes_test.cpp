#include "renderer/GLProbes.h"

#include <gtest/gtest.h>

#include "renderer/DrawContext.h"
#include "renderer/RendererGlobals.h"

namespace {

const char* gRenderer = "";
const char* gExtensions = "";

// The card strings of one case, and the preferences back to their start.
class GLProbes : public testing::Test {
 protected:
  void SetUp() override {
    SetGLStringSource({[] { return gRenderer; }, [] { return gExtensions; }});
  }
  void TearDown() override {
    SetGLStringSource({});
    gDisableVertexBufferObjectsPreference = gEnableVertexBufferObjectsPreference = 0;
    gDisableFragmentProgramPreference = gR200MultisampleDriverBugFixed = gGeForceMultisampleDriverBugFixed = 0;
    gUseVBOs = 1;
  }
  static void Card(const char* renderer, const char* extensions) {
    gRenderer = renderer;
    gExtensions = extensions;
  }
};

TEST_F(GLProbes, ExtensionsCountOnlyAsWholeWords) {
  EXPECT_TRUE(IsWholeWordOf("GL_ARB_vertex_program", "GL_ARB_vertex_program"));
  EXPECT_TRUE(IsWholeWordOf("GL_A GL_ARB_vertex_program GL_B", "GL_ARB_vertex_program"));
  EXPECT_FALSE(IsWholeWordOf("GL_ARB_vertex_program_x", "GL_ARB_vertex_program"));
  EXPECT_FALSE(IsWholeWordOf("xGL_ARB_vertex_program", "GL_ARB_vertex_program"));
  // A later occurrence counts when an earlier one is part of a longer name.
  EXPECT_TRUE(IsWholeWordOf("GL_ARB_vertex_program_x GL_ARB_vertex_program", "GL_ARB_vertex_program"));
  EXPECT_FALSE(IsWholeWordOf("", "GL_X"));
  EXPECT_FALSE(IsWholeWordOf("GL_X", ""));
}

TEST_F(GLProbes, CardNames) {
  for (const char* r200 : {"ATI Radeon 8500 OpenGL Engine", "ATI Radeon 9000", "ATI Radeon 9200 x"}) {
    Card(r200, "");
    EXPECT_TRUE(IsR200()) << r200;
    EXPECT_TRUE(RendererIsATI());
    EXPECT_EQ(MultisampleLineWidth(), 3.0f);
  }
  Card("ATI Radeon 9600", "");
  EXPECT_FALSE(IsR200());
  EXPECT_TRUE(RendererIsATI());
  EXPECT_EQ(MultisampleLineWidth(), 1.5f);
  Card("ATI Radeon 9000", "");
  gR200MultisampleDriverBugFixed = 1;
  EXPECT_EQ(MultisampleLineWidth(), 1.5f);
  for (const char* nvidia : {"NVIDIA GeForce", "nv40", "Nv", "nVidia"}) {
    Card(nvidia, "");
    EXPECT_TRUE(RendererIsNVidia()) << nvidia;
  }
  for (const char* other : {"N", "llvmpipe (LLVM 15.0.6, 256 bits)", "ANV", ""}) {
    Card(other, "");
    EXPECT_FALSE(RendererIsNVidia()) << other;
  }
  Card("NVidia GeForce4 MX 440", "");
  EXPECT_EQ(MultisampleLineWidth(), 3.0f);
  gGeForceMultisampleDriverBugFixed = 1;
  EXPECT_EQ(MultisampleLineWidth(), 1.5f);
}

TEST_F(GLProbes, BufferObjectsFollowTheExtensionPreferencesAndQuirk) {
  MDrawContext ctx{};
  Card("llvmpipe", "GL_ARB_vertex_buffer_object");
  EXPECT_TRUE(DoVBOsWork(&ctx));
  Card("llvmpipe", "GL_ARB_vertex_buffer_objects");
  EXPECT_FALSE(DoVBOsWork(&ctx));
  // The quirk turns the answer over: the cards it names misdraw from buffers.
  Card("ATI Radeon 9800 Pro", "GL_ARB_vertex_buffer_object");
  EXPECT_FALSE(DoVBOsWork(&ctx));
  Card("ATI Radeon 9200", "GL_ARB_vertex_buffer_object");
  EXPECT_FALSE(DoVBOsWork(&ctx));
  gEnableVertexBufferObjectsPreference = 1;
  EXPECT_TRUE(DoVBOsWork(&ctx));
  gDisableVertexBufferObjectsPreference = 1;
  EXPECT_FALSE(DoVBOsWork(&ctx));
}

TEST_F(GLProbes, ShadersNeedAllFourExtensionsOnAnOpenGLRenderer) {
  MDrawContext ctx{};
  ctx.rendererType = kRendererOffscreen;
  const char* all = "GL_ARB_shader_objects GL_ARB_fragment_shader GL_ARB_fragment_program GL_ARB_vertex_program";
  Card("llvmpipe", all);
  EXPECT_TRUE(DoesContextSupportShaders(&ctx));
  Card("llvmpipe", "GL_ARB_shader_objects GL_ARB_fragment_shader GL_ARB_fragment_program GL_ARB_vertex_program_x");
  EXPECT_FALSE(DoesContextSupportShaders(&ctx));
  Card("llvmpipe", all);
  ctx.rendererType = kRendererSoftware;
  EXPECT_FALSE(DoesContextSupportShaders(&ctx));
  ctx.rendererType = kRendererOnscreen;
  EXPECT_TRUE(DoesContextSupportShaders(&ctx));
  gDisableFragmentProgramPreference = 1;
  EXPECT_FALSE(DoesContextSupportShaders(&ctx));
}

}  // namespace
