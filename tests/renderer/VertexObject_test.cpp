#include "renderer/VertexObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "renderer/Submission.h"
#include "tests/renderer/TestFrame.h"

namespace {

// A small lit mesh: a fan of four triangles in the plane x = 0.
const Vertex kVertices[5] = {{0, 0, 0}, {0, 1, -1}, {0, 1, 1}, {0, -1, 1}, {0, -1, -1}};
const Vertex kNormals[5] = {{1, 0, 0}, {1, 0.2f, 0}, {1, 0, 0.2f}, {1, -0.2f, 0}, {1, 0, -0.2f}};
const Triangle kTriangles[4] = {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 3, 4}}, {{0, 4, 1}}};
const ColorArrayElement kColors[5] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}};

std::vector<uint32_t> PanePixels(const TestFrame& frame) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) pixels.push_back(frame.Pixel(x, y));
  return pixels;
}

struct VertexScene : TestFrame {
  VertexScene() : TestFrame(false) {
    SetIdentityMatrix(ctx.view.rotation);
    EXPECT_EQ(RenderStart(ctx.ctx, false), 0);
  }
};

std::vector<uint32_t> Direct() {
  VertexScene scene;
  OurSubmitVertices(kVertices, 5, scene.ctx.ctx);
  OurSubmitNormals(kNormals, scene.ctx.ctx);
  OurSubmitColors(kColors, scene.ctx.ctx);
  OurSubmitTriangles(kTriangles, 4, scene.ctx.ctx);
  return PanePixels(scene);
}

TEST(VertexObject, CachedModelsDrawAsTheirArrays) {
  const std::vector<uint32_t> expected = Direct();
  {
    VertexScene scene;
    VertexObject model;
    model.CacheModel(kVertices, kNormals, kColors, nullptr, kTriangles, 5, 4, false, scene.ctx.ctx);
    ASSERT_EQ(model.GetMode(), VertexObject::kClientArrays);
    model.DrawCachedModel();
    EXPECT_EQ(PanePixels(scene), expected);
  }
  // The same mesh as two implicit-surface pieces, each with all five
  // vertices and half the triangles in its own numbering.
  VertexScene scene;
  AListGenericLarge<SurfaceVertex, 13> vertices[2];
  AListGenericLarge<Triangle, 13> triangles[2];
  for (int piece = 0; piece < 2; ++piece) {
    for (int i = 0; i < 5; ++i) {
      const Vertex &v = kVertices[i], &n = kNormals[i];
      vertices[piece].Add({v.x, v.y, v.z, n.x, n.y, n.z});
    }
    triangles[piece].Add(kTriangles[2 * piece]);
    triangles[piece].Add(kTriangles[2 * piece + 1]);
  }
  const AListGenericLarge<SurfaceVertex, 13>* vl[2] = {&vertices[0], &vertices[1]};
  const AListGenericLarge<Triangle, 13>* tl[2] = {&triangles[0], &triangles[1]};
  ColorArrayElement colors[10];
  std::copy_n(kColors, 5, colors);
  std::copy_n(kColors, 5, colors + 5);
  VertexObject model;
  model.CacheModel(2, vl, tl, colors, false, scene.ctx.ctx);
  ASSERT_EQ(model.GetMode(), VertexObject::kClientArrays);
  EXPECT_EQ(model.VertexCount(), 10);
  EXPECT_EQ(model.TriangleCount(), 4);
  model.DrawCachedModel();
  EXPECT_EQ(PanePixels(scene), expected);
}

TEST(VertexObject, PointsAndSegmentsAndColourChanges) {
  const Vertex ends[3] = {{0, -1, 0}, {0, 1, 0}, {0, 0, 1}};
  const LineSegment segments[2] = {{{0, 1}}, {{1, 2}}};
  const ColorArrayElement red[3] = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
  VertexObject lines;
  {
    VertexScene scene;
    lines.CacheModel(ends, segments, nullptr, 3, 2, scene.ctx.ctx);
    lines.DrawCachedModel();
    EXPECT_EQ(scene.Pixel(kWidth / 2, kHeight / 2), 0xFFBFBFBFu);  // white, halfway to grey
  }
  {
    VertexScene scene;
    lines.CacheModel(ends, segments, nullptr, 3, 2, scene.ctx.ctx);
    lines.CacheColorArray(red);
    lines.DrawCachedModel();
    EXPECT_EQ(scene.Pixel(kWidth / 2, kHeight / 2), 0xFFBF3F3Fu);
  }
  VertexScene scene;
  VertexObject points;
  const Vertex centre[1] = {{0, 0, 0}};
  const float sizes[1] = {9};
  points.CacheModel(centre, red, nullptr, nullptr, sizes, 1, scene.ctx.ctx);
  EXPECT_EQ(points.GetMode(), VertexObject::kClientArrays);
  points.DrawCachedModel();
  EXPECT_EQ(scene.Pixel(kWidth / 2, kHeight / 2), 0xFFFF0000u);
}

TEST(VertexObject, RefusedMemoryLeavesItEmptyAndReleaseFreesAll) {
  VertexScene scene;
  const int64_t before = gApproximateTotalMemoryUsed;
  {
    VertexObject model;
    model.CacheModel(kVertices, kNormals, kColors, nullptr, kTriangles, 5, 4, false, scene.ctx.ctx);
    EXPECT_GT(gApproximateTotalMemoryUsed, before);
    const TexCoord coordinates[5] = {};
    model.CacheTexCoordsArray(coordinates);
    model.ReleaseMemory();
    EXPECT_EQ(model.GetMode(), VertexObject::kEmpty);
    EXPECT_EQ(gApproximateTotalMemoryUsed, before);
    const double physical = gPhysicalMemory;
    gPhysicalMemory = double(before + 64) / 0.75;
    model.CacheModel(kVertices, kNormals, kColors, nullptr, kTriangles, 5, 4, false, scene.ctx.ctx);
    gPhysicalMemory = physical;
    EXPECT_EQ(model.GetMode(), VertexObject::kEmpty);
    EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
    EnableError(kOutOfMemoryError);
    model.DrawCachedModel();  // nothing
    model.CacheModel(kVertices, kNormals, kColors, nullptr, kTriangles, 5, 4, false, scene.ctx.ctx);
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed, before);
}

}  // namespace
