#include "graphs2d/ATextureMapPlot.h"

#include <cstdio>
#include <random>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "graphs2d/TexturedTriangles.h"
#include "tests/graphs2d/TransformPlotTestSupport.h"

namespace {

std::unique_ptr<ATextureMapPlot> MakePlot(const std::string& f, const std::string& g, double grain,
                                          const A2DTransform& t, SourceScene& scene) {
  return std::make_unique<ATextureMapPlot>(MakeExpression(f), MakeExpression(g), PaperColour(), grain, t,
                                           scene.source.view, &scene.list);
}

std::string Exact(double x) {
  char text[40];
  std::snprintf(text, sizeof text, "(%.17g)", x);
  return text;
}

using ATextureMapPlotTest = ComputeTest;

// Grain 0: a step of 15 pixels, an 8 x 8 grid over the view.
TEST_F(ATextureMapPlotTest, TheGrainSetsTheGridOverTheView) {
  SourceScene scene(100, 100);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = MakePlot("x", "y", 0, t, scene);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->GridColumns(), 8);
  EXPECT_EQ(plot->GridRows(), 8);
  EXPECT_EQ(plot->Evaluations(), 64);
}

TEST_F(ATextureMapPlotTest, UndefinedCornersDropTheTrianglesThatUseThem) {
  SourceScene scene(100, 100);
  A2DTransform t = scene.source.view.ViewTransform();
  const A2DTransform& s = scene.source.view.ViewTransform();
  // 0/0 exactly at the grid's first corner, and at its right neighbour.
  const double x0 = (s.pixelRect.left - s.xOrigin) * s.xUnitsPerPixel;
  const double y0 = -(s.pixelRect.top - s.yOrigin) * s.yUnitsPerPixel;
  const double dx = ((s.pixelRect.right - s.xOrigin) * s.xUnitsPerPixel - x0) / 7;
  const std::string corner = "0/((x - " + Exact(x0) + ")^2 + (y - " + Exact(y0) + ")^2)";
  const int cells = 7 * 7;
  auto one = MakePlot("x", "y + " + corner, 0, t, scene);
  WaitUntilDone(*one);
  DrawnOnWhite(*one, 100, 100);
  EXPECT_EQ(one->TrianglesDrawn(), 2 * cells - 1);
  const std::string next = "0/((x - " + Exact(x0 + 1 * dx) + ")^2 + (y - " + Exact(y0) + ")^2)";
  auto two = MakePlot("x + " + next, "y + " + corner, 0, t, scene);
  WaitUntilDone(*two);
  DrawnOnWhite(*two, 100, 100);
  // The first cell loses both triangles, its right neighbour one.
  EXPECT_EQ(two->TrianglesDrawn(), 2 * cells - 3);
}

TEST_F(ATextureMapPlotTest, AfterAPanTheWholeGridIsRecomputedBeforeDrawing) {
  SourceScene scene(100, 100);
  A2DTransform t = scene.source.view.ViewTransform();
  auto plot = MakePlot("x + y/9", "y", 0, t, scene);
  WaitUntilDone(*plot);
  const QImage before = DrawnOnWhite(*plot, 100, 100);
  plot->Pan(10, 0);
  // Nothing of a half-made grid: all or nothing.
  const QImage early = DrawnOnWhite(*plot, 100, 100);
  QImage white(early.size(), early.format());
  white.fill(0xFFFFFF);
  EXPECT_TRUE(early == before || early == white);
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Evaluations(), 2 * 64);
  EXPECT_EQ(DrawnOnWhite(*plot, 100, 100), before);
  // The source view moved: Draw recomputes the grid first.
  scene.source.view.Pan(8, 0);
  WaitUntil("the source view done computing", [&] { return scene.source.view.AreAllGraphsDoneComputing(); });
  scene.source.Draw();
  const QImage moved = DrawnOnWhite(*plot, 100, 100);
  EXPECT_EQ(plot->Evaluations(), 3 * 64);
  EXPECT_GT(plot->TrianglesDrawn(), 0);
  auto fresh = MakePlot("x + y/9", "y", 0, t, scene);
  WaitUntilDone(*fresh);
  EXPECT_EQ(moved, DrawnOnWhite(*fresh, 100, 100));
}

TEST_F(ATextureMapPlotTest, NoGridFromAnEmptySourceOrRefusedMemoryYetTheJobEnds) {
  SourceScene scene(40, 30);
  A2DTransform t = scene.source.view.ViewTransform();
  const double memory = gPhysicalMemory.load();
  gPhysicalMemory = 1;
  auto refused = MakePlot("x", "y", 0.5, t, scene);
  gPhysicalMemory = memory;
  WaitUntilDone(*refused);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  EXPECT_EQ(refused->GridRows(), 0);
  const QImage nothing = DrawnOnWhite(*refused, 40, 30);
  EXPECT_EQ(RgbAt(nothing, 20, 15), 0xFFFFFFu);
  scene.source.view.SetViewRect(MRect{0, 0, 0, 0});
  scene.source.view.Resize();
  auto empty = MakePlot("x", "y", 0.5, t, scene);
  WaitUntilDone(*empty);
  EXPECT_EQ(empty->Evaluations(), 0);
}

// An independent clipper: the convex intersection's vertices are the
// triangle's corners inside the rectangle, the rectangle's corners inside
// the triangle and the crossings of their edges.
double IntersectionArea(const VerTex2D* tri, const MRect& r) {
  using P = std::pair<long double, long double>;
  std::vector<P> points;
  const P t[3] = {{tri[0].x, tri[0].y}, {tri[1].x, tri[1].y}, {tri[2].x, tri[2].y}};
  const P q[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
  const auto cross = [](P o, P a, P b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
  };
  const long double orient = cross(t[0], t[1], t[2]) > 0 ? 1 : -1;
  for (const P& p : t) {
    if (p.first >= r.left && p.first <= r.right && p.second >= r.top && p.second <= r.bottom) points.push_back(p);
  }
  for (const P& p : q) {
    bool in = true;
    for (int i = 0; i < 3; ++i) in = in && orient * cross(t[i], t[(i + 1) % 3], p) >= 0;
    if (in) points.push_back(p);
  }
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 4; ++k) {
      const P a = t[i], b = t[(i + 1) % 3], c = q[k], d = q[(k + 1) % 4];
      const long double den = (b.first - a.first) * (d.second - c.second) - (b.second - a.second) * (d.first - c.first);
      if (den == 0) continue;
      const long double s =
          ((c.first - a.first) * (d.second - c.second) - (c.second - a.second) * (d.first - c.first)) / den;
      const long double u =
          ((c.first - a.first) * (b.second - a.second) - (c.second - a.second) * (b.first - a.first)) / den;
      if (s >= 0 && s <= 1 && u >= 0 && u <= 1)
        points.push_back({a.first + s * (b.first - a.first), a.second + s * (b.second - a.second)});
    }
  }
  if (points.size() < 3) return 0;
  long double cx = 0, cy = 0;
  for (const P& p : points) cx += p.first, cy += p.second;
  cx /= points.size(), cy /= points.size();
  std::sort(points.begin(), points.end(), [&](P a, P b) {
    return std::atan2(double(a.second - cy), double(a.first - cx)) <
           std::atan2(double(b.second - cy), double(b.first - cx));
  });
  long double area = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const P& a = points[i];
    const P& b = points[(i + 1) % points.size()];
    area += a.first * b.second - b.first * a.second;
  }
  return double(std::fabs(area) / 2);
}

double PolygonArea(const VerTex2D* p, int n) {
  double area = 0;
  for (int i = 0; i < n; ++i) area += double(p[i].x) * p[(i + 1) % n].y - double(p[(i + 1) % n].x) * p[i].y;
  return std::fabs(area) / 2;
}

TEST(TexturedTriangles, ClippingKeepsTheAreaAndTheTexturePlane) {
  const MRect r{10, 20, 90, 120};  // top, left, bottom, right
  std::mt19937 random(38);
  std::uniform_real_distribution<float> x(-40, 180), y(-40, 140), uv(0, 1);
  for (int trial = 0; trial < 2000; ++trial) {
    VerTex2D tri[3];
    for (VerTex2D& v : tri) v = VerTex2D{x(random), y(random), uv(random), uv(random)};
    VerTex2D out[8];
    const int n = ClipTexturedTriangle2D(tri, out, r);
    const double expected = IntersectionArea(tri, r);
    ASSERT_NEAR(n >= 3 ? PolygonArea(out, n) : 0.0, expected, 1e-3 * (1 + expected)) << trial;
    // u and v are affine over the triangle: new vertices lie on its plane.
    const double x1 = tri[1].x - tri[0].x, y1 = tri[1].y - tri[0].y, x2 = tri[2].x - tri[0].x, y2 = tri[2].y - tri[0].y;
    const double d = x1 * y2 - x2 * y1;
    if (std::fabs(d) < 1) continue;
    for (int k = 0; k < n; ++k) {
      const double px = out[k].x - tri[0].x, py = out[k].y - tri[0].y;
      const double s = (px * y2 - x2 * py) / d, t = (x1 * py - px * y1) / d;
      EXPECT_NEAR(out[k].u, tri[0].u + s * (tri[1].u - tri[0].u) + t * (tri[2].u - tri[0].u), 1e-3) << trial;
      EXPECT_NEAR(out[k].v, tri[0].v + s * (tri[1].v - tri[0].v) + t * (tri[2].v - tri[0].v), 1e-3) << trial;
    }
  }
  const VerTex2D outside[3] = {{200, 0, 0, 0}, {300, 0, 1, 0}, {250, 50, 0, 1}};
  VerTex2D out[8];
  EXPECT_EQ(ClipTexturedTriangle2D(outside, out, r), 0);
}

struct GrayCanvas {
  GrayCanvas() : world(NewOffscreenPort(QRect(0, 0, 40, 30))), canvas(NewOffscreenPort(QRect(0, 0, 50, 40))) {
    world->image.fill(0x808080);
    EXPECT_TRUE(texture.CreateTexture(world.get(), MRect{0, 0, 30, 40}));
  }
  TriangleTarget Target() {
    return TriangleTarget{reinterpret_cast<uint32_t*>(canvas->image.bits()), canvas->image.bytesPerLine() / 4, 50, 40};
  }
  PortPtr world, canvas;
  MipPyramid texture;
};

TEST(TexturedTriangles, TwoTrianglesTileARectangleCoveringEachPixelOnce) {
  GrayCanvas g;
  // A square split along its diagonal: a pixel drawn twice would be darker.
  const VerTex2D a{5, 3, 0, 0}, b{25, 3, 1, 0}, c{25, 23, 1, 1}, d{5, 23, 0, 1};
  DrawTexturedTriangle2D(&a, &b, &c, g.texture, g.Target());
  DrawTexturedTriangle2D(&a, &d, &c, g.texture, g.Target());
  for (int v = 0; v < 40; ++v) {
    for (int h = 0; h < 50; ++h) {
      const bool in = h >= 5 && h < 25 && v >= 3 && v < 23;
      ASSERT_EQ(RgbAt(*g.canvas, h, v), in ? 0x808080u : 0xFFFFFFu) << h << "," << v;
    }
  }
}

TEST(TexturedTriangles, DegenerateAndFarTrianglesDrawNothingAndHugeOnesAreSafe) {
  GrayCanvas g;
  const VerTex2D line[3] = {{2, 2, 0, 0}, {10, 10, 1, 0}, {20, 20.5f, 0, 1}};
  DrawTexturedTriangle2D(&line[0], &line[1], &line[2], g.texture, g.Target());
  const VerTex2D thin[3] = {{2, 2.2f, 0, 0}, {30, 2.7f, 1, 0}, {15, 2.9f, 0, 1}};
  DrawTexturedTriangle2D(&thin[0], &thin[1], &thin[2], g.texture, g.Target());
  EXPECT_EQ(PixelsOf(g.canvas->image, 0xFFFFFF), 50 * 40);
  // Unclipped, far beyond the target and the int range: rows and columns are clipped.
  const VerTex2D huge[3] = {{-1e12f, -1e12f, 0, 0}, {1e12f, -1e12f, 1, 0}, {0, 1e12f, 0, 1}};
  DrawTexturedTriangle2D(&huge[0], &huge[1], &huge[2], g.texture, g.Target());
}

TEST(TexturedTriangles, ThePyramidAveragesEachLevelFromTheNext) {
  PortPtr world(NewOffscreenPort(QRect(0, 0, 64, 64)));
  for (int v = 0; v < 64; ++v) {
    for (int h = 0; h < 64; ++h) *PortPixel(*world, h, v) = v < 32 ? 0xFF0000u : 0x0000FFu;
  }
  MipPyramid texture;
  ASSERT_TRUE(texture.CreateTexture(world.get(), MRect{0, 0, 64, 64}));
  // Row 0 of every level is the bottom of the picture.
  EXPECT_EQ(texture.Level(9)[0] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(texture.Level(9)[511 * 512] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(texture.Level(1)[0] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(texture.Level(0)[0] & 0xFFFFFF, 0x7F007Fu);
}

}  // namespace
