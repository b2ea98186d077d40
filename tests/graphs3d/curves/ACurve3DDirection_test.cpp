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

#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "renderer/RotationMath.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs3d/BoxPictureTest.h"
#include "tests/graphs3d/VertexTestSupport.h"

namespace {

constexpr int kTubePictureSide = 200;

// x, y and z of a surface, in u and v.
using SurfaceTexts = std::array<std::string, 3>;

// Two pictures alike over the pixels whose 3 x 3 neighbourhood each of
// them and `where` cover wholly, away from silhouettes, where meshes of one
// shape raster alike: mean reds within `levels`, and at least `share` of
// the pixels within 12 levels of red. Normals that lean round each ring the
// way it runs move the mean red by up to 40 levels, and two thirds of the
// pixels or more by over 12.
void ExpectAlike(const BoxPicture& picture, const BoxPicture& expected, const BoxPicture& where, double levels,
                 double share, const testing::Message& trace) {
  const auto inside = [](int v, int h, const BoxPicture& p) {
    for (int dv = -1; dv <= 1; ++dv)
      for (int dh = -1; dh <= 1; ++dh)
        if (p[size_t((v + dv) * kTubePictureSide + h + dh)] == 0) return false;
    return true;
  };
  int64_t compared = 0, close = 0;
  double meanRed = 0, expectedMeanRed = 0;
  for (int v = 1; v + 1 < kTubePictureSide; ++v)
    for (int h = 1; h + 1 < kTubePictureSide; ++h) {
      if (!(inside(v, h, picture) && inside(v, h, expected) && inside(v, h, where))) continue;
      const size_t k = size_t(v * kTubePictureSide + h);
      const int red = int(picture[k] >> 16 & 0xFF), expectedRed = int(expected[k] >> 16 & 0xFF);
      ++compared, meanRed += red, expectedMeanRed += expectedRed, close += std::abs(red - expectedRed) <= 12;
    }
  const double n = double(std::max<int64_t>(compared, 1));
  EXPECT_GT(compared, 300) << trace;
  EXPECT_NEAR(meanRed / n, expectedMeanRed / n, levels) << trace;
  EXPECT_GE(double(close) / n, share) << trace;
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

using AddGraphs = std::function<void()>;

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
  AddGraphs forward, reversed, surfaces, reversedSurfaces = nullptr, shared = nullptr;
};

// A tube is lit as its shape is, whichever way its curve runs: the tube of
// each kind that draws one, drawn along its curve and along the curve
// reversed, against each other and against the same shape as parametric
// surfaces, on either renderer and in boxes with axes reversed.
class TubeDirections : public BoxPictureTest {
 protected:
  TubeDirections() : BoxPictureTest(kTubePictureSide) {}
  void SetUp() override {
    BoxPictureTest::SetUp();
    if (HasFatalFailure()) return;
    Matrix3 seen;
    GetDefaultView(seen);
    view->SetRotation(seen);
    view->SetZoom(0.75);
    other.SetViewRect(MRect{0, 0, kTubePictureSide, kTubePictureSide});
    for (int a = 0; a < 3; ++a) other.Record().ranges[kCoordX + a][0] = -2, other.Record().ranges[kCoordX + a][1] = 2;
    other.ConstructContextNeededByGraphConstructors();
  }

  AddGraphs Curve(const SurfaceTexts& c, const std::string& radius) {
    return [=, this] {
      const double* t = view->Record().ranges[kCoordT];
      view->AddGraph(std::make_unique<ASpaceCurve>(MakeExpression(c[0]), MakeExpression(c[1]), MakeExpression(c[2]),
                                                   MakeExpression(radius), nullptr, Colour(), 1.0, 1.0,
                                                   view->DrawContext(), t[0], t[1]));
    };
  }
  AddGraphs Surfaces(const std::vector<SurfaceTexts>& all) {
    return [=, this] {
      const double* u = view->Record().ranges[kCoordU];
      const double* v = view->Record().ranges[kCoordV];
      for (const SurfaceTexts& s : all)
        view->AddGraph(std::make_unique<AGridSurface>(MakeExpression(s[0]), MakeExpression(s[1]), MakeExpression(s[2]),
                                                      1.0, 1, Colour(), nullptr, kPlotInterval, u[0], u[1], v[0], v[1],
                                                      view->DrawContext()));
    };
  }
  // Solutions of the field through one point while the condition holds,
  // as tubes of radius 0.35, or its arrows of radius 0.2. The box the
  // solutions are bounded by is the unreversed one. Moved, they are
  // computed in a view of their own and drawn here moved by (0.3, -0.2, 0).
  AddGraphs Field(const Vec3& p, const SurfaceTexts& f, const char* condition, bool moved, bool arrows = false) {
    return [=, this] {
      MDrawContext* context = moved ? other.DrawContext() : view->DrawContext();
      auto field = std::make_unique<AStartOnPoint>(
          MakeExpression(Exactly(p[0])), MakeExpression(Exactly(p[1])), MakeExpression(Exactly(p[2])),
          MakeExpression(f[0]), MakeExpression(f[1]), MakeExpression(f[2]), MakeExpression(arrows ? "0.2" : "0.35"),
          condition ? MakeExpression(condition) : nullptr, 1.0, Colour(context), box, context, arrows ? 0 : 1);
      if (!moved) {
        view->AddGraph(std::move(field));
        return;
      }
      view->AddGraph(std::make_unique<ATransformedDEPlot3D>(MakeExpression("x + 0.3"), MakeExpression("y - 0.2"),
                                                            MakeExpression("z"), field->Solutions(),
                                                            view->DrawContext()));
      source = std::move(field);
    };
  }

  A3DGraphView other;
  const double limits[6] = {-2, 2, -2, 2, -2, 2};
  const BoxRefs box{limits[0], limits[1], limits[2], limits[3], limits[4], limits[5]};
};

TEST_P(TubeDirections, AreLitAsTheirShapeWhicheverWayTheyRun) {
  const Vec3 tail{-0.3, -1.2, -0.4}, head{0.3, 1.1, 0.3}, d = head - tail;
  const Vec3 helixStart{1.2, 0, -1.2}, helixEnd{1.2 * std::cos(kHelixTurn), 1.2 * std::sin(kHelixTurn), 1.2};
  const SurfaceTexts up{"-y", "x", "0.5"}, down{"y", "-x", "-0.5"};
  const SurfaceTexts along{Exactly(d[0]), Exactly(d[1]), Exactly(d[2])},
      back{Exactly(-d[0]), Exactly(-d[1]), Exactly(-d[2])};
  // The ellipse's plane's normal b = (0, -0.5, 0.8) / sqrt 0.89, and b x
  // the unit tangent.
  const std::string m = "(sqrt(0.89)*sqrt(1.21*sin(u)^2 + 0.89*cos(u)^2))";
  const TubeKind kinds[] = {
      {"space curve about a tilted ellipse", 2 * M_PI, 2 * M_PI, true, false,
       Curve({"0.3 + 1.1*cos(u)", "0.8*sin(u)", "0.5*sin(u) - 0.2"}, "0.35"),
       Curve({"0.3 + 1.1*cos(u)", "-0.8*sin(u)", "-0.5*sin(u) - 0.2"}, "0.35"),
       Surfaces({{"0.3 + 1.1*cos(u) + 0.35*(-0.89*cos(u)/" + m + ")*sin(v)",
                  "0.8*sin(u) + 0.35*(-0.5/sqrt(0.89)*cos(v) - 0.88*sin(u)/" + m + "*sin(v))",
                  "0.5*sin(u) - 0.2 + 0.35*(0.8/sqrt(0.89)*cos(v) - 0.55*sin(u)/" + m + "*sin(v))"}})},
      {"space curve about a circle", 2 * M_PI, 2 * M_PI, true, false, Curve({"1.2*cos(u)", "1.2*sin(u)", "0"}, "0.35"),
       Curve({"1.2*cos(u)", "-1.2*sin(u)", "0"}, "0.35"),
       Surfaces({{"(1.2 + 0.35*cos(v))*cos(u)", "(1.2 + 0.35*cos(v))*sin(u)", "0.35*sin(v)"}})},
      {"space curve about a helix, its radius varying", kHelixTurn, kHelixTurn, false, false,
       Curve({"1.2*cos(u)", "1.2*sin(u)", "0.5*u - 1.2"}, "0.25 + 0.1*cos(3*u)"),
       Curve({"1.2*cos(4.8 - u)", "1.2*sin(4.8 - u)", "0.5*(4.8 - u) - 1.2"}, "0.25 + 0.1*cos(3*(4.8 - u))"),
       Surfaces({HelixTube("0.25 + 0.1*cos(3*u)")})},
      {"solution of a field", 1, kHelixTurn, false, true, Field(helixStart, up, "z < 1.2", false),
       Field(helixEnd, down, "z > -1.2", false), Surfaces({HelixTube("0.35")})},
      {"solution of a field, moved", 1, kHelixTurn, false, true, Field(helixStart, up, "z < 1.2", true),
       Field(helixEnd, down, "z > -1.2", true), Surfaces({HelixTube("0.35", 0.3, -0.2)})},
      // Arrows that point either way share the middle of the shaft.
      {"thick arrow of a field", 1, 1, true, false, Field(tail, along, nullptr, false, true),
       Field(head, back, nullptr, false, true), Surfaces(ArrowSurfaces(tail, head, 0.2)),
       Surfaces(ArrowSurfaces(head, tail, 0.2)), Surfaces({Revolved(tail + 0.4 * d, 0.2 * d, "0.2", d)})},
  };
  double* u = view->Record().ranges[kCoordU];
  double* v = view->Record().ranges[kCoordV];
  double* t = view->Record().ranges[kCoordT];
  for (const TubeKind& kind : kinds) {
    t[0] = 0, t[1] = kind.tmax, u[0] = 0, u[1] = kind.umax, v[0] = 0, v[1] = 2 * M_PI;
    for (const AxisSigns& signs : {AxisSigns{1, 1, 1}, AxisSigns{1, -1, -1}, AxisSigns{1, 1, -1}}) {
      const auto trace = testing::Message() << kind.name << ", axes " << signs[0] << " " << signs[1] << " " << signs[2];
      const BoxPicture forward = DrawBox(signs, kind.forward), reversed = DrawBox(signs, kind.reversed);
      const BoxPicture surfaces = DrawBox(signs, kind.surfaces);
      const BoxPicture reversedSurfaces = kind.reversedSurfaces ? DrawBox(signs, kind.reversedSurfaces) : surfaces;
      const BoxPicture shared = kind.shared ? DrawBox(signs, kind.shared) : surfaces;
      const double levels = kind.coarse ? 7 : 5, share = kind.coarse ? 0.65 : 0.8;
      ExpectAlike(reversed, forward, shared, 2.5, kind.sameMesh ? 0.97 : 0.6, testing::Message(trace) << ", both ways");
      ExpectAlike(forward, surfaces, surfaces, levels, share,
                  testing::Message(trace) << ", along its curve against its surfaces");
      ExpectAlike(reversed, reversedSurfaces, reversedSurfaces, levels, share,
                  testing::Message(trace) << ", reversed against its surfaces");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Renderers, TubeDirections, testing::Values(false, true), RendererName);

}  // namespace
