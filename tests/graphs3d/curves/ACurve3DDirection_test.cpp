#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "algebra/AlgebraStartup.h"
#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "renderer/RotationMath.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs3d/EitherRendererTest.h"
#include "tests/graphs3d/VertexTestSupport.h"

namespace {

constexpr int kTubePictureSide = 200;
constexpr unsigned long kTubeColour = 0xFF9933;

using TubePicture = std::vector<uint32_t>;
using TubeSigns = std::array<int, 3>;
// x, y and z of a surface, in u and v.
using SurfaceTexts = std::array<std::string, 3>;

int TubeRed(uint32_t pixel) { return int(pixel >> 16 & 0xFF); }

// Pixels whose 3 x 3 neighbourhood the picture covers wholly: away from
// its silhouette, where meshes of one shape raster alike.
std::vector<bool> TubeInterior(const TubePicture& p) {
  std::vector<bool> inside(p.size(), false);
  for (int v = 1; v + 1 < kTubePictureSide; ++v)
    for (int h = 1; h + 1 < kTubePictureSide; ++h) {
      bool all = true;
      for (int dv = -1; dv <= 1; ++dv)
        for (int dh = -1; dh <= 1; ++dh) all = all && p[size_t((v + dv) * kTubePictureSide + h + dh)] != 0;
      inside[size_t(v * kTubePictureSide + h)] = all;
    }
  return inside;
}

struct TubeComparison {
  int64_t compared = 0;
  double meanRed = 0, expectedMeanRed = 0;
  // The share of the pixels compared whose red is within 12 levels.
  double close = 0;
};

// Two pictures over the pixels inside both and inside `where`.
TubeComparison CompareTubes(const TubePicture& picture, const TubePicture& expected, const TubePicture& where) {
  const std::vector<bool> a = TubeInterior(picture), b = TubeInterior(expected), c = TubeInterior(where);
  TubeComparison t;
  int64_t close = 0;
  for (size_t k = 0; k < picture.size(); ++k) {
    if (!(a[k] && b[k] && c[k])) continue;
    ++t.compared;
    t.meanRed += TubeRed(picture[k]);
    t.expectedMeanRed += TubeRed(expected[k]);
    close += std::abs(TubeRed(picture[k]) - TubeRed(expected[k])) <= 12;
  }
  const double n = double(std::max<int64_t>(t.compared, 1));
  t.meanRed /= n, t.expectedMeanRed /= n, t.close = double(close) / n;
  return t;
}

// The exact value as expression text.
std::string Exactly(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "(%.17g)", v);
  return text;
}

// A surface of revolution about `about`: the point base + u axis +
// radius(u) (e1 cos v + e2 sin v) for u from 0 to 1, e1 and e2 across
// `about` and each other.
SurfaceTexts Revolved(const Vec3& base, const Vec3& axis, const std::string& radius, const Vec3& about) {
  const Vec3 e1 = about.cross(Vec3::UnitZ()).normalized(), e2 = about.cross(e1).normalized();
  SurfaceTexts t;
  for (int k = 0; k < 3; ++k)
    t[size_t(k)] = Exactly(base[k]) + " + " + Exactly(axis[k]) + "*u + (" + radius + ")*(" + Exactly(e1[k]) +
                   "*cos(v) + " + Exactly(e2[k]) + "*sin(v))";
  return t;
}

// A thick arrow from start to tip as the tube and cone it is drawn as: a
// disc closing the start, the shaft, the ring at the head's base and the
// cone, each a surface of revolution. Its sizes follow the arrow's rule:
// shaft radius r = min(rho, l/2), head radius max(r, min(2r, 0.7 l)),
// head length min(0.7 l, sqrt 3 min(2r, 0.7 l)) for a length l.
std::vector<SurfaceTexts> ArrowSurfaces(const Vec3& start, const Vec3& tip, double rho) {
  const Vec3 d = tip - start, none = Vec3::Zero();
  const double l = d.norm(), r = std::min(rho, l / 2), cone = std::min(2 * r, 0.7 * l);
  const double head = std::max(r, cone), headLength = std::min(0.7 * l, std::sqrt(3.0) * cone);
  const Vec3 base = tip - (headLength / l) * d;
  return {Revolved(start, none, Exactly(r) + "*u", d), Revolved(start, base - start, Exactly(r), d),
          Revolved(base, none, Exactly(r) + " + " + Exactly(head - r) + "*u", d),
          Revolved(base, tip - base, Exactly(head) + "*(1 - u)", d)};
}

// The tube of radius r(u) about the helix (1.2 cos u + x0, 1.2 sin u + y0,
// 0.5 u - 1.2), through its Frenet frame: normal (-cos u, -sin u, 0),
// binormal (0.5 sin u, -0.5 cos u, 1.2) / 1.3.
SurfaceTexts HelixTube(const std::string& r, double x0 = 0, double y0 = 0) {
  return {Exactly(x0) + " + 1.2*cos(u) + (" + r + ")*(-cos(u)*cos(v) + 0.5*sin(u)*sin(v)/1.3)",
          Exactly(y0) + " + 1.2*sin(u) + (" + r + ")*(-sin(u)*cos(v) - 0.5*cos(u)*sin(v)/1.3)",
          "0.5*u - 1.2 + (" + r + ")*(1.2*sin(v)/1.3)"};
}

// The helix's end: where z reaches 1.2, after a turn of 4.8.
constexpr double kHelixTurn = 4.8;

// One kind of tube drawn three ways: along its curve, along the curve
// reversed, and as parametric surfaces of the same shape. Where the
// reversed graph is not the same shape (an arrow pointing the other way),
// `reversedSurfaces` draws it, and `shared` the part both have.
struct TubeKind {
  const char* name;
  // The view's t range, and its u range for the surfaces; v runs round.
  double tmax, umax;
  // Both ways put their rings' vertices in the same places (a plane curve
  // or a straight one), else the rings turn by the curve's twist or fall
  // between each other's: Gouraud shading then moves the highlights.
  bool sameMesh;
  // Eight sides a ring, not twelve: the facets shade further from the
  // smooth surface.
  bool coarse;
  std::function<void()> forward, reversed, surfaces, reversedSurfaces, shared;
};

// A tube is lit as its shape is, whichever way its curve runs: the tube of
// each kind that draws one, drawn along its curve and along the curve
// reversed, against each other and against the same shape as parametric
// surfaces, on either renderer and in boxes with axes reversed.
class TubeDirections : public EitherRendererTest {
 protected:
  TubeDirections() : EitherRendererTest(kTubePictureSide, 0x000000) {}
  void SetUp() override {
    EitherRendererTest::SetUp();
    if (HasFatalFailure()) return;
    InstallAlgebra();  // the surfaces' analytic normals
    Matrix3 seen;
    GetDefaultView(seen);
    view->SetRotation(seen);
    view->SetZoom(0.75);
    other.SetViewRect(MRect{0, 0, kTubePictureSide, kTubePictureSide});
    for (int a = 0; a < 3; ++a) other.Record().ranges[kCoordX + a][0] = -2, other.Record().ranges[kCoordX + a][1] = 2;
    other.ConstructContextNeededByGraphConstructors();
  }
  void TearDown() override {
    if (view) view->DeleteGraphs();
    source.reset();
    EitherRendererTest::TearDown();
  }

  std::unique_ptr<AGraphColor> Colour() {
    auto colour = std::make_unique<AGraphColor>(view->DrawContext(), nullptr);
    colour->fSolidColor = kTubeColour;
    return colour;
  }
  void Curve(const SurfaceTexts& c, const std::string& radius) {
    const double* t = view->Record().ranges[kCoordT];
    view->AddGraph(std::make_unique<ASpaceCurve>(MakeExpression(c[0]), MakeExpression(c[1]), MakeExpression(c[2]),
                                                 MakeExpression(radius), nullptr, Colour(), 1.0, 1.0,
                                                 view->DrawContext(), t[0], t[1]));
  }
  void Surface(const SurfaceTexts& s) {
    const double* u = view->Record().ranges[kCoordU];
    const double* v = view->Record().ranges[kCoordV];
    view->AddGraph(std::make_unique<AGridSurface>(MakeExpression(s[0]), MakeExpression(s[1]), MakeExpression(s[2]), 1.0,
                                                  1, Colour(), nullptr, kPlotInterval, u[0], u[1], v[0], v[1],
                                                  view->DrawContext()));
  }
  // Solutions of the field through one point while the condition holds,
  // as tubes of radius 0.35; arrows of the field when `arrows`. The box
  // the solutions are bounded by is the unreversed one.
  std::unique_ptr<AStartOnPoint> Field(const Vec3& p, const SurfaceTexts& f, const char* condition, bool arrows,
                                       MDrawContext* context, const char* radius = "0.35") {
    auto colour = std::make_unique<AGraphColor>(context, nullptr);
    colour->fSolidColor = kTubeColour;
    return std::make_unique<AStartOnPoint>(
        MakeExpression(Exactly(p[0])), MakeExpression(Exactly(p[1])), MakeExpression(Exactly(p[2])),
        MakeExpression(f[0]), MakeExpression(f[1]), MakeExpression(f[2]), MakeExpression(radius),
        condition ? MakeExpression(condition) : nullptr, 1.0, std::move(colour), box, context, arrows ? 0 : 1);
  }
  // The field's solutions computed in a view of their own, drawn here
  // moved by (0.3, -0.2, 0).
  void Moved(const Vec3& p, const SurfaceTexts& f, const char* condition) {
    source = Field(p, f, condition, false, other.DrawContext());
    view->AddGraph(std::make_unique<ATransformedDEPlot3D>(MakeExpression("x + 0.3"), MakeExpression("y - 0.2"),
                                                          MakeExpression("z"), source->Solutions(),
                                                          view->DrawContext()));
  }

  // The box -2 .. 2 on each axis, reversed where the sign is negative, with
  // the graphs `add` makes.
  TubePicture Draw(const TubeSigns& signs, const std::function<void()>& add) {
    view->DeleteGraphs();
    source.reset();
    for (int a = 0; a < 3; ++a) {
      double* r = view->Record().ranges[kCoordX + a];
      r[0] = -2.0 * signs[size_t(a)], r[1] = 2.0 * signs[size_t(a)];
    }
    // A draw hands the box to the context the graphs read it from.
    view->Draw(true);
    view->ViewChanged();
    add();
    WaitUntil("the view's graphs", [&] { return view->AreAllGraphsDoneComputing(); });
    view->SetViewParameter(kAttributeUpdateVertexObjects);
    EXPECT_EQ(view->Draw(true), 1);
    TubePicture pixels;
    for (int v = 0; v < kTubePictureSide; ++v)
      for (int h = 0; h < kTubePictureSide; ++h) pixels.push_back(world.Pixel(h, v) & 0xFFFFFF);
    return pixels;
  }

  A3DGraphView other;
  const double limits[6] = {-2, 2, -2, 2, -2, 2};
  const BoxRefs box{limits[0], limits[1], limits[2], limits[3], limits[4], limits[5]};
  std::unique_ptr<AStartOnPoint> source;
};

// Normals that lean round each ring the way it runs move the mean red by
// up to 40 levels, and two thirds of the pixels or more by over 12.
void ExpectAlike(const TubeComparison& c, double meanLevels, double closeShare, const testing::Message& trace) {
  EXPECT_GT(c.compared, 300) << trace;
  EXPECT_NEAR(c.meanRed, c.expectedMeanRed, meanLevels) << trace;
  EXPECT_GE(c.close, closeShare) << trace;
}

TEST_P(TubeDirections, AreLitAsTheirShapeWhicheverWayTheyRun) {
  const Vec3 tail{-0.3, -1.2, -0.4}, head{0.3, 1.1, 0.3};
  const Vec3 helixEnd{1.2 * std::cos(kHelixTurn), 1.2 * std::sin(kHelixTurn), 1.2};
  const SurfaceTexts up{"-y", "x", "0.5"}, down{"y", "-x", "-0.5"};
  const Vec3 d = head - tail;
  const SurfaceTexts along{Exactly(d[0]), Exactly(d[1]), Exactly(d[2])},
      back{Exactly(-d[0]), Exactly(-d[1]), Exactly(-d[2])};
  const std::vector<TubeKind> kinds = {
      {"space curve about a tilted ellipse", 2 * M_PI, 2 * M_PI, true, false,
       [&] {
         Curve({"0.3 + 1.1*cos(u)", "0.8*sin(u)", "0.5*sin(u) - 0.2"}, "0.35");
       },
       [&] {
         Curve({"0.3 + 1.1*cos(u)", "-0.8*sin(u)", "-0.5*sin(u) - 0.2"}, "0.35");
       },
       // Its plane's normal b = (0, -0.5, 0.8) / sqrt 0.89, and b x the
       // unit tangent.
       [&] {
         const std::string m = "(sqrt(0.89)*sqrt(1.21*sin(u)^2 + 0.89*cos(u)^2))";
         Surface({"0.3 + 1.1*cos(u) + 0.35*(-0.89*cos(u)/" + m + ")*sin(v)",
                  "0.8*sin(u) + 0.35*(-0.5/sqrt(0.89)*cos(v) - 0.88*sin(u)/" + m + "*sin(v))",
                  "0.5*sin(u) - 0.2 + 0.35*(0.8/sqrt(0.89)*cos(v) - 0.55*sin(u)/" + m + "*sin(v))"});
       },
       nullptr, nullptr},
      {"space curve about a circle", 2 * M_PI, 2 * M_PI, true, false,
       [&] {
         Curve({"1.2*cos(u)", "1.2*sin(u)", "0"}, "0.35");
       },
       [&] {
         Curve({"1.2*cos(u)", "-1.2*sin(u)", "0"}, "0.35");
       },
       [&] {
         Surface({"(1.2 + 0.35*cos(v))*cos(u)", "(1.2 + 0.35*cos(v))*sin(u)", "0.35*sin(v)"});
       },
       nullptr, nullptr},
      {"space curve about a helix, its radius varying", kHelixTurn, kHelixTurn, false, false,
       [&] {
         Curve({"1.2*cos(u)", "1.2*sin(u)", "0.5*u - 1.2"}, "0.25 + 0.1*cos(3*u)");
       },
       [&] {
         Curve({"1.2*cos(4.8 - u)", "1.2*sin(4.8 - u)", "0.5*(4.8 - u) - 1.2"}, "0.25 + 0.1*cos(3*(4.8 - u))");
       },
       [&] { Surface(HelixTube("0.25 + 0.1*cos(3*u)")); }, nullptr, nullptr},
      {"solution of a field", 1, kHelixTurn, false, true,
       [&] {
         view->AddGraph(Field({1.2, 0, -1.2}, up, "z < 1.2", false, view->DrawContext()));
       },
       [&] { view->AddGraph(Field(helixEnd, down, "z > -1.2", false, view->DrawContext())); },
       [&] { Surface(HelixTube("0.35")); }, nullptr, nullptr},
      {"solution of a field, moved", 1, kHelixTurn, false, true,
       [&] {
         Moved({1.2, 0, -1.2}, up, "z < 1.2");
       },
       [&] { Moved(helixEnd, down, "z > -1.2"); }, [&] { Surface(HelixTube("0.35", 0.3, -0.2)); }, nullptr, nullptr},
      {"thick arrow of a field", 1, 1, true, false,
       [&] { view->AddGraph(Field(tail, along, nullptr, true, view->DrawContext(), "0.2")); },
       [&] { view->AddGraph(Field(head, back, nullptr, true, view->DrawContext(), "0.2")); },
       [&] {
         for (const SurfaceTexts& s : ArrowSurfaces(tail, head, 0.2)) Surface(s);
       },
       [&] {
         for (const SurfaceTexts& s : ArrowSurfaces(head, tail, 0.2)) Surface(s);
       },
       // The middle of the shaft, which both arrows have.
       [&] { Surface(Revolved(tail + 0.4 * d, 0.2 * d, "0.2", d)); }},
  };
  double* u = view->Record().ranges[kCoordU];
  double* v = view->Record().ranges[kCoordV];
  double* t = view->Record().ranges[kCoordT];
  for (const TubeKind& kind : kinds) {
    t[0] = 0, t[1] = kind.tmax, u[0] = 0, u[1] = kind.umax, v[0] = 0, v[1] = 2 * M_PI;
    for (const TubeSigns& signs : {TubeSigns{1, 1, 1}, TubeSigns{1, -1, -1}, TubeSigns{1, 1, -1}}) {
      const auto trace = testing::Message() << kind.name << ", axes " << signs[0] << " " << signs[1] << " " << signs[2];
      const TubePicture forward = Draw(signs, kind.forward), reversed = Draw(signs, kind.reversed);
      const TubePicture surfaces = Draw(signs, kind.surfaces);
      const TubePicture reversedSurfaces = kind.reversedSurfaces ? Draw(signs, kind.reversedSurfaces) : surfaces;
      const TubePicture shared = kind.shared ? Draw(signs, kind.shared) : surfaces;
      const TubeComparison ways = CompareTubes(reversed, forward, shared);
      const TubeComparison first = CompareTubes(forward, surfaces, surfaces);
      const TubeComparison second = CompareTubes(reversed, reversedSurfaces, reversedSurfaces);
      ExpectAlike(ways, 2.5, kind.sameMesh ? 0.97 : 0.6, testing::Message(trace) << ", both ways");
      const double levels = kind.coarse ? 7 : 5, share = kind.coarse ? 0.65 : 0.8;
      ExpectAlike(first, levels, share, testing::Message(trace) << ", along its curve against its surfaces");
      ExpectAlike(second, levels, share, testing::Message(trace) << ", reversed against its surfaces");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Renderers, TubeDirections, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "OpenGL" : "Software"; });

}  // namespace
