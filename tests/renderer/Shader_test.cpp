#include "renderer/Shader.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <fstream>
#include <vector>

#include "platform/GLFunctions.h"
#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Submission.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tools/Render3DCompare.h"
#include "tools/Render3DScene.h"

namespace {

constexpr const char* kPassThroughProgram = "!!ARBfp1.0\nMOV result.color, fragment.color;\nEND\n";

class GLShaders : public testing::Test {
 protected:
  void TearDown() override { DestroyContextsAwaitingDestruction(); }
};

struct HSVCase {
  int h, s, v;
  double r, g, b;
};

std::vector<HSVCase> ReadHSVCases() {
  std::ifstream in(ZL_TEST_DATA_DIR "/renderer/hsv_pass.txt");
  std::vector<HSVCase> cases;
  HSVCase c;
  while (in >> c.h >> c.s >> c.v >> c.r >> c.g >> c.b) cases.push_back(c);
  return cases;
}

uint8_t Channel(uint32_t pixel, int shift) { return uint8_t((pixel >> shift) & 0xFF); }

// Each case one 4 x 4 block of hue, saturation and value bytes, written as
// an HSV graph leaves them; the last row of blocks is left to the
// background.
TEST_F(GLShaders, TheHSVPassTurnsTheStoredBytesIntoRGB) {
  const std::vector<HSVCase> cases = ReadHSVCases();
  ASSERT_EQ(cases.size(), 240u);
  RendererTestWorld world(64, 64);
  for (const bool sampled : {false, true}) {
    gTestDocument.sampled = sampled;
    ScopedDrawContext ctx(kRendererAutomatic);
    Qd3d_SetPane(ctx.ctx, {0, 0, 64, 64}, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    ASSERT_EQ(RenderStart(ctx.ctx, true), 0);
    glEnable(GL_SCISSOR_TEST);
    for (size_t k = 0; k < cases.size(); ++k) {
      glScissor(GLint(k % 16) * 4, GLint(k / 16) * 4, 4, 4);
      glClearColor(float(cases[k].h) / 255, float(cases[k].s) / 255, float(cases[k].v) / 255, 1);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    ConvertFrameBufferHSVtoRGBandPrepareToDrawEverythingElse(ctx.ctx);
    ASSERT_EQ(RenderEnd(ctx.ctx), 0);
    for (size_t k = 0; k < 256; ++k) {
      const int x = int(k % 16) * 4 + 1, row = 63 - (int(k / 16) * 4 + 1);
      const uint32_t pixel = world.Pixel(x, row);
      if (k >= cases.size()) {
        ASSERT_EQ(pixel, 0xFF336699u) << k;
        continue;
      }
      const HSVCase& c = cases[k];
      EXPECT_NEAR(Channel(pixel, 16), c.r, 2) << c.h << " " << c.s << " " << c.v << (sampled ? " 4x" : "");
      EXPECT_NEAR(Channel(pixel, 8), c.g, 2) << c.h << " " << c.s << " " << c.v << (sampled ? " 4x" : "");
      EXPECT_NEAR(Channel(pixel, 0), c.b, 2) << c.h << " " << c.s << " " << c.v << (sampled ? " 4x" : "");
    }
  }
}

TEST_F(GLShaders, ABadTextFailsWithItsPositionAndTheSecondBindOnlyBinds) {
  RendererTestWorld world(16, 16);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, {0, 0, 16, 16}, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  const char* bad = "!!ARBfp1.0\nMOV result.color, nowhere;\nEND\n";
  Shader rejected("", bad, true);
  rejected.bind();
  EXPECT_FALSE(rejected.isWorking());
  EXPECT_GE(rejected.errorPosition(), 10);
  EXPECT_LE(rejected.errorPosition(), int32_t(std::strlen(bad)));
  EXPECT_FALSE(rejected.errorString().empty());
  rejected.bind();  // stays failed, no crash
  Shader none("", nullptr, false);
  none.bind();
  EXPECT_FALSE(none.isWorking());

  Shader first("", kPassThroughProgram, true), second("", gHSVtoRGB, true), vertex("", gVertexProgram, false);
  first.bind();
  GLint firstName = 0, bound = 0;
  gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &firstName);
  second.bind();
  vertex.bind();
  EXPECT_TRUE(first.isWorking() && second.isWorking() && vertex.isWorking());
  GLuint before = 0;
  gGL.genPrograms(1, &before);
  first.bind();
  gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &bound);
  EXPECT_EQ(bound, firstName);
  GLuint after = 0;
  gGL.genPrograms(1, &after);
  EXPECT_EQ(after, before + 1);  // no name taken between
  gGL.deletePrograms(1, &before);
  gGL.deletePrograms(1, &after);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

enum class Lighting { kFixed, kProgramFrontOnly, kProgramBothSides };

// One frame of the scene's grid in a solid colour, lit by the fixed
// function or by the vertex program (front faces, then the back faces
// flipped).
QImage GridFrame(Lighting lighting) {
  RendererTestWorld world(320, 240);
  ScopedDrawContext ctx(kRendererAutomatic);
  ctx.view.zoom = 0.7;
  // Level with the grid, which shows its saddle from both sides.
  GenerateRotationMatrixFromAxisAndAngle(ctx.view.rotation, {0, 1, 0}, 0.15);
  Qd3d_SetPane(ctx.ctx, {0, 0, 240, 320}, &ctx.view, false);
  if (GetRendererType(ctx.ctx) != kRendererOffscreen || RenderStart(ctx.ctx, false) != 0) return {};
  const Scene3DMesh grid = Scene3DGrid();
  Shader fragment("", kPassThroughProgram, true), vertex("", gVertexProgram, false);
  OurSubmitVertices(grid.vertices.data(), int(grid.vertices.size()), ctx.ctx);
  OurSubmitNormals(grid.normals.data(), ctx.ctx);
  OurSubmitSolidColor(0xD09040, ctx.ctx);
  const int count = int(grid.triangles.size());
  if (lighting != Lighting::kFixed) {
    if (!OurEnableShaders(&fragment, &vertex, ctx.ctx)) return {};
    OurSubmitTriangles(grid.triangles.data(), count, ctx.ctx);
    if (lighting == Lighting::kProgramBothSides) {
      OurFlipBackFacing(ctx.ctx);
      OurSubmitTriangles(grid.triangles.data(), count, ctx.ctx);
    }
    OurDisableShaders(ctx.ctx);
  } else {
    OurSubmitTriangles(grid.triangles.data(), count, ctx.ctx);
  }
  OurDisableNormalArrayState(ctx.ctx);
  if (RenderEnd(ctx.ctx) != 0) return {};
  return gTestDocument.world->image.copy();
}

TEST_F(GLShaders, TheVertexProgramLightsAsTheFixedFunctionDoes) {
  const QImage fixed = GridFrame(Lighting::kFixed), programmed = GridFrame(Lighting::kProgramBothSides);
  ASSERT_FALSE(fixed.isNull() || programmed.isNull());
  const Scene3DComparison d = CompareScene3D(fixed, programmed, 0x336699);
  EXPECT_GT(d.interior, 8000);
  EXPECT_EQ(d.coverageMismatch, 0);
  EXPECT_LE(d.maximum, 2) << "mean " << d.meanChannelDifference;
  // The view sees back faces too, which only the flipped pass draws.
  const QImage frontOnly = GridFrame(Lighting::kProgramFrontOnly);
  EXPECT_GT(CompareScene3D(fixed, frontOnly, 0x336699).coverageMismatch, 1000);
}

}  // namespace
