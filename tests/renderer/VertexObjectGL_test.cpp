#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/OurPort.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/VertexObject.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tools/Render3DCompare.h"
#include "tools/Render3DScene.h"

namespace {

const MRect kObjectPane{0, 0, 120, 160};

class GLVertexObject : public testing::Test {
 protected:
  void SetUp() override { Qd3d_SetPane(ctx.ctx, kObjectPane, &ctx.view, false); }
  void TearDown() override {
    model.ReleaseMemory();
    DisposeDrawContext(ctx.ctx);
    DestroyContextsAwaitingDestruction();
  }
  // The model alone in one frame of the pane.
  QImage Frame(VertexObject& drawn) {
    Qd3d_SetPane(ctx.ctx, kObjectPane, &ctx.view, false);
    if (RenderStart(ctx.ctx, false) != 0) return {};
    drawn.DrawCachedModel();
    if (RenderEnd(ctx.ctx) != 0) return {};
    return gTestDocument.world->image.copy();
  }
  void CacheGrid(VertexObject& into, bool colours) {
    into.CacheModel(grid.vertices.data(), grid.normals.data(), colours ? grid.colors.data() : nullptr, nullptr,
                    grid.triangles.data(), int(grid.vertices.size()), int(grid.triangles.size()), false, ctx.ctx);
  }

  RendererTestWorld world{160, 120};
  ScopedDrawContext ctx{kRendererAutomatic};
  Scene3DMesh grid = Scene3DGrid();
  VertexObject model;
};

bool Same(const QImage& a, const QImage& b) {
  return !a.isNull() && a.size() == b.size() && std::memcmp(a.constBits(), b.constBits(), size_t(a.sizeInBytes())) == 0;
}

TEST_F(GLVertexObject, ArraysMoveIntoBuffersAtTheFirstOpenGLDrawAndNeverUploadAgain) {
  SetDesiredRendererType(ctx.ctx, kRendererSoftware);
  Qd3d_SetPane(ctx.ctx, kObjectPane, &ctx.view, false);
  CacheGrid(model, true);
  ASSERT_EQ(model.GetMode(), VertexObject::kClientArrays);
  const QImage software = Frame(model);
  EXPECT_EQ(model.GetMode(), VertexObject::kClientArrays);
  SetDesiredRendererType(ctx.ctx, kRendererOffscreen);
  const int64_t before = gVertexBufferUploads;
  const QImage first = Frame(model);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  EXPECT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  EXPECT_EQ(gVertexBufferUploads, before + 1);
  for (int frame = 0; frame < 100; ++frame) ASSERT_TRUE(Same(Frame(model), first)) << frame;
  EXPECT_EQ(gVertexBufferUploads, before + 1);
  // Buffers drawn as the arrays were.
  ctx->vbosUsable = 0;
  EXPECT_TRUE(Same(Frame(model), first));
  EXPECT_EQ(model.GetMode(), VertexObject::kClientArrays);
  EXPECT_FALSE(software.isNull());
}

TEST_F(GLVertexObject, CopyBackReturnsTheArraysBitForBit) {
  grid.vertices[39].x = -0.0f;  // x is 0 there: signs and all
  CacheGrid(model, true);
  ASSERT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  SetDesiredRendererType(ctx.ctx, kRendererSoftware);
  Frame(model);
  ASSERT_EQ(model.GetMode(), VertexObject::kClientArrays);
  const size_t n = grid.vertices.size();
  EXPECT_EQ(std::memcmp(model.Vertices(), grid.vertices.data(), n * sizeof(Vertex)), 0);
  EXPECT_EQ(std::memcmp(model.Normals(), grid.normals.data(), n * sizeof(Vertex)), 0);
  EXPECT_EQ(std::memcmp(model.Colors(), grid.colors.data(), n * sizeof(ColorArrayElement)), 0);
  EXPECT_EQ(std::memcmp(model.Triangles(), grid.triangles.data(), grid.triangles.size() * sizeof(Triangle)), 0);
  EXPECT_EQ(model.TexCoords(), nullptr);
}

// The implicit surfaces' pieces gathered into one interleaved buffer draw
// what the same triangles draw from arrays.
TEST_F(GLVertexObject, TheGatheredSurfaceDrawsAsItsArrays) {
  AListGenericLarge<SurfaceVertex, 13> vertices[2];
  AListGenericLarge<Triangle, 13> triangles[2];
  const int half = int(grid.vertices.size()) / 2;
  for (int i = 0; i < int(grid.vertices.size()); ++i) {
    const Vertex &v = grid.vertices[size_t(i)], &n = grid.normals[size_t(i)];
    vertices[i < half ? 0 : 1].Add({v.x, v.y, v.z, n.x, n.y, n.z});
  }
  for (const Triangle& t : grid.triangles) {
    const bool first = t.v[0] < half && t.v[1] < half && t.v[2] < half;
    const bool second = t.v[0] >= half && t.v[1] >= half && t.v[2] >= half;
    if (first) triangles[0].Add(t);
    if (second) triangles[1].Add({{t.v[0] - half, t.v[1] - half, t.v[2] - half}});
  }
  const AListGenericLarge<SurfaceVertex, 13>* vl[2] = {&vertices[0], &vertices[1]};
  const AListGenericLarge<Triangle, 13>* tl[2] = {&triangles[0], &triangles[1]};
  model.CacheModel(2, vl, tl, grid.colors.data(), false, ctx.ctx);
  ASSERT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  const QImage buffers = Frame(model);
  ctx->vbosUsable = 0;
  VertexObject arrays;
  arrays.CacheModel(2, vl, tl, grid.colors.data(), false, ctx.ctx);
  ASSERT_EQ(arrays.GetMode(), VertexObject::kClientArrays);
  EXPECT_TRUE(Same(buffers, Frame(arrays)));
  const QImage background = Frame(*std::make_unique<VertexObject>());
  EXPECT_FALSE(Same(buffers, background));
}

// A buffer model cached without colours has no room for them: it is cached
// again with them, and the later of colours and texture coordinates wins.
TEST_F(GLVertexObject, ColoursGivenToABufferModelWithoutRoomRecacheIt) {
  CacheGrid(model, false);
  ASSERT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  model.CacheColorArray(grid.colors.data());
  EXPECT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  VertexObject coloured;
  CacheGrid(coloured, true);
  const QImage expected = Frame(coloured);
  EXPECT_TRUE(Same(Frame(model), expected));
  std::vector<TexCoord> coordinates(grid.vertices.size(), TexCoord{0.5f, 0.5f});
  model.CacheTexCoordsArray(coordinates.data());
  model.CacheColorArray(grid.colors.data());
  EXPECT_TRUE(Same(Frame(model), expected));
  ctx->vbosUsable = 0;
  Frame(model);
  EXPECT_EQ(model.TexCoords(), nullptr);
  EXPECT_NE(model.Colors(), nullptr);
}

// A point model with symbols cached while the context was OpenGL draws
// plain points from buffers; copied back for the software renderer it
// draws its symbols, labels and sizes again.
TEST_F(GLVertexObject, PointSymbolsOutlastTheModelsTimeInBuffers) {
  const Vertex points[3] = {{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}};
  const UniChar *symbols[3] = {u"A", nullptr, u"C"}, *labels[3] = {nullptr, u"label", nullptr};
  const float sizes[3] = {14, 30, 9};
  model.CacheModel(points, nullptr, symbols, labels, sizes, 3, ctx.ctx);
  ASSERT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  SetDesiredRendererType(ctx.ctx, kRendererSoftware);
  const QImage copiedBack = Frame(model);
  ASSERT_EQ(model.GetMode(), VertexObject::kClientArrays);
  VertexObject arrays;
  arrays.CacheModel(points, nullptr, symbols, labels, sizes, 3, ctx.ctx);
  ASSERT_EQ(arrays.GetMode(), VertexObject::kClientArrays);
  EXPECT_TRUE(Same(copiedBack, Frame(arrays)));
  VertexObject plain;
  plain.CacheModel(points, nullptr, nullptr, nullptr, nullptr, 3, ctx.ctx);
  EXPECT_FALSE(Same(copiedBack, Frame(plain)));
}

}  // namespace
