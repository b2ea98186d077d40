#include <gtest/gtest.h>

#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/VertexObject.h"
#include "tests/renderer/RendererTestWorld.h"
#include "tools/Render3DScene.h"

namespace {

// A program of its own with this one test: any GL suite before it would
// have taken the process's first names.
TEST(GLVertexObject, BufferNamesStartAt10001AndAreRecycled) {
  RendererTestWorld world{160, 120};
  ScopedDrawContext ctx{kRendererAutomatic};
  Qd3d_SetPane(ctx.ctx, MRect{0, 0, 120, 160}, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  const Scene3DMesh grid = Scene3DGrid();
  VertexObject model;
  model.CacheModel(grid.vertices.data(), grid.normals.data(), grid.colors.data(), nullptr, grid.triangles.data(),
                   int(grid.vertices.size()), int(grid.triangles.size()), false, ctx.ctx);
  ASSERT_EQ(model.GetMode(), VertexObject::kBufferObjects);
  EXPECT_EQ(model.VertexBufferName(), 10001u);
  EXPECT_EQ(model.IndexBufferName(), 10002u);
  model.ReleaseMemory();
  EXPECT_EQ(model.GetMode(), VertexObject::kEmpty);
  EXPECT_EQ(VertexObject::TakeBufferName(), 10002u);
  EXPECT_EQ(VertexObject::TakeBufferName(), 10001u);
  EXPECT_EQ(VertexObject::TakeBufferName(), 10003u);
  DisposeDrawContext(ctx.ctx);
  DestroyContextsAwaitingDestruction();
}

}  // namespace
