#include "renderer/GLFrame.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QImage>
#include <Eigen/Dense>
#include <cmath>

#include "renderer/BackgroundPatterns.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tools/Render3DCompare.h"
#include "tools/Render3DScene.h"

namespace {

using EigenMatrix4 = Eigen::Matrix4d;

EigenMatrix4 Current(GLenum which) {
  EigenMatrix4 m;
  glGetDoublev(which, m.data());  // both column-major
  return m;
}

Eigen::Vector3d Column(const Matrix3& r, int column) { return {r[column], r[3 + column], r[6 + column]}; }

// The camera as its definition gives it: look from 50 units out along the
// view's x axis, the box scaled to -2 .. 2 about its centre.
EigenMatrix4 ExpectedModelview(const M3DView& v) {
  const Eigen::Vector3d eye = 50 * Column(v.rotation, 0), up = Column(v.rotation, 2);
  const Eigen::Vector3d f = (-eye).normalized(), s = f.cross(up).normalized(), u = s.cross(f);
  EigenMatrix4 look = EigenMatrix4::Identity();
  look.block<1, 3>(0, 0) = s.transpose();
  look.block<1, 3>(1, 0) = u.transpose();
  look.block<1, 3>(2, 0) = -f.transpose();
  look.block<3, 1>(0, 3) = -(look.block<3, 3>(0, 0) * eye);
  const Eigen::Vector3d scale(4 / (v.xmax - v.xmin), 4 / (v.ymax - v.ymin), 4 / (v.zmax - v.zmin));
  const Eigen::Vector3d centre((v.xmax + v.xmin) / 2, (v.ymax + v.ymin) / 2, (v.zmax + v.zmin) / 2);
  EigenMatrix4 box = EigenMatrix4::Identity();
  box.block<3, 3>(0, 0) = scale.asDiagonal();
  box.block<3, 1>(0, 3) = -scale.cwiseProduct(centre);
  return look * box;
}

EigenMatrix4 ExpectedProjection(double w, double h, double zoom, double nearest, double farthest) {
  const double aspect = w / h;
  const double fov = (aspect < 1 ? 10 / aspect : 10) * zoom / 1.7330909743 * M_PI / 180;
  const double f = 1 / std::tan(fov / 2);
  EigenMatrix4 p = EigenMatrix4::Zero();
  p(0, 0) = f / aspect;
  p(1, 1) = f;
  p(2, 2) = (farthest + nearest) / (nearest - farthest);
  p(2, 3) = 2 * farthest * nearest / (nearest - farthest);
  p(3, 2) = -1;
  EigenMatrix4 nudge = EigenMatrix4::Identity();
  nudge(0, 3) = 0.3 / w;
  return p * nudge;
}

class GLFrame : public testing::Test {
 protected:
  void TearDown() override { DestroyContextsAwaitingDestruction(); }
};

TEST_F(GLFrame, CameraAndProjectionFollowTheView) {
  RendererTestWorld world(200, 200);
  struct Case {
    MRect pane;
    double radius, zoom, nearest, farthest;
  };
  const Case cases[] = {{{10, 20, 70, 100}, 2.3, 1.7330909743, 47.7, 52.3},
                        {{0, 0, 100, 40}, 60, 3.0, 1.0, 110.0},  // tall: the field widens
                        {{0, 0, 30, 30}, 200, 0.8, 1.0, 200.0}};
  for (const Case& c : cases) {
    ScopedDrawContext ctx(kRendererOffscreen);
    GenerateRotationMatrixFromAxisAndAngle(ctx.view.rotation, {1, 2, 3}, 0.7);
    ctx.view.xmin = -1, ctx.view.xmax = 3, ctx.view.zmin = -8, ctx.view.zmax = 0;
    ctx.view.modelRadius = c.radius;
    ctx.view.zoom = c.zoom;
    Qd3d_SetPane(ctx.ctx, c.pane, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
    const double w = c.pane.right - c.pane.left, h = c.pane.bottom - c.pane.top;
    EXPECT_TRUE(Current(GL_MODELVIEW_MATRIX).isApprox(ExpectedModelview(ctx.view), 1e-6));
    EXPECT_TRUE(Current(GL_PROJECTION_MATRIX).isApprox(ExpectedProjection(w, h, c.zoom, c.nearest, c.farthest), 1e-6))
        << Current(GL_PROJECTION_MATRIX) << "\n"
        << ExpectedProjection(w, h, c.zoom, c.nearest, c.farthest);
    EXPECT_EQ(RenderEnd(ctx.ctx), 0);
  }
}

TEST_F(GLFrame, TheBackgroundFillsThePaneOfTheWorld) {
  RendererTestWorld world(200, 100);
  for (int sampled = 0; sampled < 2; ++sampled) {
    gTestDocument.sampled = sampled;
    ScopedDrawContext ctx(kRendererAutomatic);
    Qd3d_SetPane(ctx.ctx, {10, 20, 70, 100}, &ctx.view, false);
    ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
    const int64_t frames = gFramesRendered;
    ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
    // A red square in the pane's top-left corner shows the rows' order.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    glRectf(-1, 0.5f, -0.5f, 1);
    glEnable(GL_LIGHTING);
    ASSERT_EQ(RenderEnd(ctx.ctx), 0);
    EXPECT_EQ(gFramesRendered, frames + 1);
    EXPECT_EQ(world.Pixel(22, 12), 0xFFFF0000u);
    EXPECT_EQ(world.Pixel(98, 68), 0xFF336699u);
    EXPECT_EQ(world.Pixel(60, 12), 0xFF336699u);
    EXPECT_EQ(world.Pixel(19, 12), 0xFFFFFFFFu);  // outside the pane: untouched
    EXPECT_EQ(world.Pixel(100, 68), 0xFFFFFFFFu);
  }
}

// The floor pattern repeats from the pane's lower-left corner, its first row
// at the bottom, as the texture coordinates run.
TEST_F(GLFrame, TheFloorBackgroundTilesThePane) {
  RendererTestWorld world(100, 70);
  gTestDocument.backgroundType = 2;
  ScopedDrawContext ctx(kRendererAutomatic);
  const MRect pane{3, 5, 53, 85};  // 80 x 50
  Qd3d_SetPane(ctx.ctx, pane, &ctx.view, false);
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  ASSERT_EQ(RenderEnd(ctx.ctx), 0);
  const QImage* floor = LoadedPattern(kFloorPatternId);
  ASSERT_NE(floor, nullptr);
  // From the pane's top left corner down, as the software frame lays it.
  for (int y = 0; y < pane.bottom - pane.top; ++y)
    for (int x = 0; x < pane.right - pane.left; ++x)
      ASSERT_EQ(world.Pixel(pane.left + x, pane.top + y), floor->pixel(x % 16, y % 16)) << x << " " << y;
  // A change to the solid colour shows at the next frame.
  gTestDocument.backgroundType = 0;
  ASSERT_EQ(RenderStart(ctx.ctx, false), 0);
  ASSERT_EQ(RenderEnd(ctx.ctx), 0);
  EXPECT_EQ(world.Pixel(pane.left, pane.top), 0xFF336699u);
  ReleaseRendererMemoryBeforeQuitting();
}

// The scene without its label (which only software draws) in software
// against OpenGL.
Scene3DComparison SoftwareAgainstOpenGL(Scene3DOptions options) {
  options.label = false;
  options.renderer = kRendererSoftware;
  const Scene3DResult software = RenderScene3D(options);
  options.renderer = kRendererOffscreen;
  const Scene3DResult gl = RenderScene3D(options);
  EXPECT_TRUE(software.drawn && gl.drawn);
  EXPECT_EQ(gl.renderer, kRendererOffscreen) << "no OpenGL context could be made";
  return CompareScene3D(software.image, gl.image, kScene3DBackground);
}

// The two renderers draw the same scene alike: coverage agrees but for the
// silhouettes' rasterisation, colours but for the lighting's rounding and
// highlights. Textures are compared face-on, where the two samplers agree.
TEST_F(GLFrame, SoftwareAndOpenGLDrawTheSceneAlike) {
  for (const bool faceOn : {false, true}) {
    const char* name = faceOn ? "textured quad face-on" : "default view";
    Scene3DOptions options;
    options.fromBelow = faceOn;
    options.texturedQuad = faceOn;
    const Scene3DComparison d = SoftwareAgainstOpenGL(options);
    EXPECT_GT(d.interior, 20000) << name;
    EXPECT_LE(d.MismatchShare(), 0.001) << name << ": " << d.coverageMismatch << " of " << d.covered;
    EXPECT_LE(d.meanChannelDifference, 6.0) << name;
    EXPECT_LE(d.percentile99, 40) << name;
  }
}

// The floor and walls of both renderers repeat from the same corner,
// whatever the pane's height: the pictures differ by little more than the
// scene's rasterisation.
TEST_F(GLFrame, BothRenderersLayTheBackgroundAlike) {
  for (int32_t background : {1, 2}) {
    for (int height : {600, 608, 601}) {
      Scene3DOptions options;
      options.height = height;
      options.background = background;
      EXPECT_LE(SoftwareAgainstOpenGL(options).meanChannelDifference, 2)
          << "background " << background << " at 800 x " << height;
    }
  }
}

}  // namespace
