#include <gtest/gtest.h>

#include <cmath>

#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/implicit/ATransformedImplicitSurface.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

constexpr const char* kSphereFormula = "(x - 0.0123)^2 + (y + 0.0217)^2 + (z - 0.0311)^2 - 1";

// A source vertex by its index over the saved model in job order.
struct SourceVertices {
  explicit SourceVertices(AnImplicitSurface& s) {
    for (const auto& piece : s.SavedModel()) {
      const int32_t offset = int32_t(points.size());
      for (int32_t i = 0; i < piece.vertices->Count(); ++i) points.push_back((*piece.vertices)[i]);
      for (int32_t i = 0; i < piece.triangles->Count(); ++i) {
        Triangle t = (*piece.triangles)[i];
        for (int32_t& k : t.v) k += offset;
        triangles.push_back(t);
      }
    }
  }
  std::vector<SurfaceVertex> points;
  std::vector<Triangle> triangles;
};

class TransformedImplicitSurfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    first.SetViewRect(MRect{0, 0, 300, 300});
    first.ConstructContextNeededByGraphConstructors();
    second.SetViewRect(MRect{0, 0, 300, 300});
    second.ConstructContextNeededByGraphConstructors();
    auto& r = first.Record().ranges;
    for (int a : {kCoordX, kCoordY, kCoordZ}) r[a][0] = -2, r[a][1] = 2;
  }
  void TearDown() override {
    mirror.reset();
    source.reset();
    StopComputeThreads();
  }
  void Make(double grain, const char* x, const char* y, const char* z) {
    const auto& r = first.Record().ranges;
    source = std::make_unique<AnImplicitSurface>(
        MakeExpression(kSphereFormula), grain, 1.0, std::make_unique<AGraphColor>(), nullptr, kPlotSampling,
        r[kCoordX][0], r[kCoordX][1], r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1], first.DrawContext());
    mirror = std::make_unique<ATransformedImplicitSurface>(MakeExpression(x), MakeExpression(y), MakeExpression(z),
                                                           source.get(), second.DrawContext());
  }
  // The mirror never computes before its source is done.
  void Finish() {
    WaitUntil("the mirror done", [this] {
      if (mirror->IsDoneComputing()) return true;
      const int64_t computed = mirror->Computations();
      const bool sourceDone = source->IsDoneComputing();
      if (computed > ranBefore) {
        EXPECT_TRUE(sourceDone);
      }
      return false;
    });
    ranBefore = mirror->Computations();
    source->SetParameter(kAttributeUpdateSavedVertexObjects, 0);
    mirror->SetParameter(kAttributeUpdateSavedVertexObjects, 0);
  }
  // Source triangles with a vertex the test rejects.
  int32_t Touching(bool (*rejected)(const SurfaceVertex&)) {
    OurLock lock(source->ModelMutex());
    SourceVertices s(*source);
    int32_t count = 0;
    for (const Triangle& t : s.triangles)
      count += rejected(s.points[size_t(t.v[0])]) || rejected(s.points[size_t(t.v[1])]) ||
               rejected(s.points[size_t(t.v[2])]);
    return count;
  }

  A3DGraphView first, second;
  std::unique_ptr<AnImplicitSurface> source;
  std::unique_ptr<ATransformedImplicitSurface> mirror;
  int64_t ranBefore = 0;
};

TEST_F(TransformedImplicitSurfaceTest, TheIdentityReproducesTheSourceTriangles) {
  Make(0.4, "x", "y", "z");
  Finish();
  OurLock lock(source->ModelMutex());
  SourceVertices s(*source);
  ASSERT_EQ(mirror->VertexCount(), int32_t(s.points.size()));
  ASSERT_EQ(mirror->TriangleCount(), int32_t(s.triangles.size()));
  for (size_t i = 0; i < s.points.size(); ++i) {
    EXPECT_EQ(mirror->Positions()[i].x, s.points[i].x);
    EXPECT_EQ(mirror->Positions()[i].z, s.points[i].z);
  }
  // Outward source triangles stay as they were.
  for (size_t i = 0; i < s.triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(mirror->Triangles()[i].v[k], s.triangles[i].v[k]) << i;
  EXPECT_EQ(mirror->CachedModel().TriangleCount(), mirror->TriangleCount());
  EXPECT_GT(mirror->MaximumModelSpaceRadius(), 0);
}

TEST_F(TransformedImplicitSurfaceTest, VerticesMappedOutOfRangeDropExactlyTheirTriangles) {
  // Grain 0: the lattice plane z = 0 carries vertices with z exactly 0.
  Make(0, "x", "y", "1/z");
  Finish();
  const int32_t onPlane = Touching([](const SurfaceVertex& v) { return v.z == 0; });
  ASSERT_GT(onPlane, 0);
  EXPECT_EQ(mirror->TriangleCount(), source->TriangleCount() - onPlane);
  EXPECT_TRUE(std::isfinite(mirror->MaximumModelSpaceRadius()));

  Make(0.3, "x", "y", "sqrt(z)");
  Finish();
  const int32_t below = Touching([](const SurfaceVertex& v) { return v.z < 0; });
  ASSERT_GT(below, 0);
  EXPECT_EQ(mirror->TriangleCount(), source->TriangleCount() - below);
  for (int32_t i = 0; i < mirror->TriangleCount(); ++i)
    for (int32_t k : mirror->Triangles()[i].v) EXPECT_TRUE(std::isfinite(mirror->Positions()[k].z));
}

TEST_F(TransformedImplicitSurfaceTest, ABoxChangeRecomputesTheSourceThenTheMirror) {
  Make(0.3, "2*x", "y", "z");
  Finish();
  const int32_t before = mirror->VertexCount();
  first.Record().ranges[kCoordZ][0] = 0.0311;
  source->ViewChanged();
  // The mirror notices at its next draw.
  mirror->Draw();
  Finish();
  EXPECT_EQ(mirror->Computations(), 2);
  EXPECT_LT(mirror->VertexCount(), before);
  EXPECT_EQ(mirror->VertexCount(), source->VertexCount());
  for (int32_t i = 0; i < mirror->VertexCount(); ++i) EXPECT_GE(mirror->Positions()[i].z, 0.0311f - 1e-6f);
}

}  // namespace
