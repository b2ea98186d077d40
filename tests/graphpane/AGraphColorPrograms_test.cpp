#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <memory>
#include <string>

#include "document/DocumentRecord.h"
#include "graphpane/GraphColorGlobals.h"
#include "platform/EGLContexts.h"
#include "platform/OurPicture.h"
#include "renderer/Frame.h"
#include "renderer/GLProbes.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Shader.h"
#include "renderer/Submission.h"
#include "renderer/Textures.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

const MRect kPane{0, 0, 60, 80};

// The document's own hooks are in force in this program: the renderer's
// test world stands in for them, and they come back afterwards.
struct DocumentHooksSetAside {
  DocumentHooksSetAside() { gRendererHooks = {}; }
  ~DocumentHooksSetAside() { gRendererHooks = saved; }
  DocumentHooksSetAside(const DocumentHooksSetAside&) = delete;
  DocumentHooksSetAside& operator=(const DocumentHooksSetAside&) = delete;
  RendererHooks saved = gRendererHooks;
};

// Colours on Mesa's offscreen renderer, with a document of five parameters.
class GraphColorPrograms : public testing::Test {
 protected:
  void SetUp() override {
    for (char id : {'a', 'b', 'c', 'd', 'f'}) {
      auto parameter = std::make_unique<ParameterDefinition>();
      parameter->variableId = id;
      parameter->re.store(id - 'a' + 1.0);
      parameters[int(id)] = parameter.get();
      document.fParameterDefinitions.push_back(std::move(parameter));
    }
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    ASSERT_TRUE(DoesContextSupportShaders(ctx.ctx));
  }
  void TearDown() override {
    gInjectedFragmentProgram = nullptr;
    gTestDocument.translucent = false;
    DestroyContextsAwaitingDestruction();
  }

  std::unique_ptr<AGraphColor> Colour(const char* red, const char* green, const char* blue) {
    auto colour = EquationColour(AGraphColor::kRGBEquations, red, green, blue, &document);
    colour->fDrawContext = ctx.ctx;
    colour->Compile(nullptr, kPlotSampling, ctx.ctx);
    return colour;
  }

  // Goes to software for translucency and back, each time a new context.
  void SwitchRenderer(Our3DRendererType to) {
    gTestDocument.translucent = to == kRendererSoftware;
    SetDrawContextTransparencyChangedFlag(ctx.ctx);
    Qd3d_SetPane(ctx.ctx, kPane, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), to);
  }

  DocumentHooksSetAside hooks;
  RendererTestWorld world{100, 80};
  ScopedDrawContext ctx{kRendererAutomatic};
  DocumentRecord document;
  ParameterDefinition* parameters[128] = {};
};

// Fragment-program local parameter i as the driver holds it.
std::array<double, 4> LocalParameter(GLuint i) {
  static const auto get =
      reinterpret_cast<PFNGLGETPROGRAMLOCALPARAMETERDVARBPROC>(eglGetProcAddress("glGetProgramLocalParameterdvARB"));
  std::array<double, 4> value{-1, -1, -1, -1};
  get(GL_FRAGMENT_PROGRAM_ARB, i, value.data());
  return value;
}

TEST_F(GraphColorPrograms, ParametersReachTheProgramPaddedToFourEachFrame) {
  auto colour = Colour("a * x", "b * y + c", "d * z + f");
  ASSERT_NE(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kFragmentProgram);
  EXPECT_EQ(colour->fSavedType, AGraphColor::kRGBEquations);
  ASSERT_EQ(colour->fUniformVariables->Count(), 5);
  ASSERT_TRUE(colour->EnableShaders(ctx.ctx));
  EXPECT_EQ(LocalParameter(0), (std::array<double, 4>{1, 2, 3, 4}));
  EXPECT_EQ(LocalParameter(1), (std::array<double, 4>{6, 0, 0, 0}));
  OurDisableShaders(ctx.ctx);

  parameters[int('f')]->re.store(7.5);
  ASSERT_TRUE(colour->EnableShaders(ctx.ctx));
  EXPECT_EQ(LocalParameter(1), (std::array<double, 4>{7.5, 0, 0, 0}));
  OurDisableShaders(ctx.ctx);
}

TEST_F(GraphColorPrograms, ARefusedProgramLeavesTheProcessorPath) {
  gInjectedFragmentProgram = "!!ARBfp1.0\nMOV result.color, nonsense;\nEND\n";
  auto colour = Colour("x", "y", "a");
  EXPECT_EQ(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fVertexProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kRGBEquations);
  EXPECT_NE(colour->fColorExpressions[0]->PointMachine(), nullptr);
  EXPECT_FALSE(colour->EnableShaders(ctx.ctx));
}

TEST_F(GraphColorPrograms, AFormulaWithoutAProgramIsColouredOnTheProcessor) {
  auto colour = Colour("x", "sum(k, k, 1, 3)", "z");
  EXPECT_EQ(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kRGBEquations);
  EXPECT_NE(colour->fColorExpressions[1]->PointMachine(), nullptr);
}

TEST_F(GraphColorPrograms, IntervalModeDropsTheProgramAndRestoresTheType) {
  auto colour = Colour("x", "y", "z");
  ASSERT_NE(colour->fFragmentProgram, nullptr);
  colour->Compile(nullptr, kPlotInterval, ctx.ctx);
  EXPECT_EQ(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kRGBEquations);
  EXPECT_NE(colour->fColorExpressions[0]->PointMachine(), nullptr);
  colour->Compile(nullptr, kPlotSampling, ctx.ctx);
  EXPECT_NE(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kFragmentProgram);
  // Compiled again while in force, it keeps its equations' program.
  colour->Compile(nullptr, kPlotSampling, ctx.ctx);
  EXPECT_EQ(colour->fType, AGraphColor::kFragmentProgram);
  EXPECT_EQ(colour->fSavedType, AGraphColor::kRGBEquations);
}

// Programs and texture made on one context and dropped after a switch touch
// nothing of the new one (the sanitizers watch the rest).
TEST_F(GraphColorPrograms, ARendererSwitchRebuildsAndDisposalAfterOneIsHarmless) {
  OurPicture picture;
  picture.image = QImage(8, 8, QImage::Format_RGB32);
  picture.image.fill(0xFF00FF00u);
  picture.frame = picture.image.rect();
  gSurfacePicture = &picture;
  auto textured = std::make_unique<AGraphColor>(ctx.ctx, &document);
  textured->Set(999);
  gSurfacePicture = nullptr;
  ASSERT_NE(textured->fTexture, nullptr);
  EXPECT_TRUE(textured->CheckAndUpdateTexture());
  auto colour = Colour("x", "y", "a");
  ASSERT_NE(colour->fFragmentProgram, nullptr);
  EXPECT_TRUE(colour->CheckAndUpdateFragmentProgram());

  SwitchRenderer(kRendererSoftware);
  EXPECT_FALSE(colour->CheckAndUpdateFragmentProgram());
  EXPECT_EQ(colour->fFragmentProgram, nullptr);
  EXPECT_EQ(colour->fType, AGraphColor::kRGBEquations);
  EXPECT_TRUE(colour->CheckAndUpdateFragmentProgram());
  colour->Compile(nullptr, kPlotSampling, ctx.ctx);  // software: none made
  EXPECT_EQ(colour->fFragmentProgram, nullptr);

  SwitchRenderer(kRendererOffscreen);
  EXPECT_FALSE(colour->CheckAndUpdateFragmentProgram());
  colour->Compile(nullptr, kPlotSampling, ctx.ctx);
  EXPECT_NE(colour->fFragmentProgram, nullptr);
  EXPECT_TRUE(colour->CheckAndUpdateFragmentProgram());
  EXPECT_TRUE(colour->EnableShaders(ctx.ctx));
  OurDisableShaders(ctx.ctx);

  // The texture of the first context is remade for this one.
  EXPECT_TRUE(textured->CheckAndUpdateTexture());
  EXPECT_TRUE(IsTextureValid(textured->fTexture, ctx.ctx));

  // A colour made before the switch dies after it.
  auto stale = Colour("x", "y", "b");
  ASSERT_NE(stale->fFragmentProgram, nullptr);
  SwitchRenderer(kRendererSoftware);
  SwitchRenderer(kRendererOffscreen);
  stale.reset();
  EXPECT_TRUE(colour->EnableShaders(ctx.ctx));
  OurDisableShaders(ctx.ctx);
}

TEST_F(GraphColorPrograms, TheExportedTextHasCarriageReturns) {
  gHackExportShaderFlag = true;
  gHackExportShaderFlag2 = true;
  auto colour = Colour("x", "y", "z");
  ASSERT_NE(gHackExportShaderPointer, nullptr);
  const std::string text = gHackExportShaderPointer.get();
  gHackExportShaderPointer.reset();
  EXPECT_FALSE(gHackExportShaderFlag);
  EXPECT_FALSE(gHackExportShaderFlag2);
  EXPECT_EQ(text.rfind("!!ARBfp1.0\r", 0), 0u);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_NE(text.find("END"), std::string::npos);
}

}  // namespace
