#include <gtest/gtest.h>

#include "graphpane/TransformedBuilders.h"
#include "tests/graphpane/RecordingMakers.h"
#include "tests/support/ColourEquations.h"

namespace {

using CT = CoordinateTransformation;

// Plane kind 1 gives the source in the transformed coordinates (x = x'/2,
// y = y'), kind 2 the transformed in the source (x' = 2x, y' = y), the
// same map; space kind 4: x' = 2x, y' = y, z' = z + x.
struct Transformation {
  explicit Transformation(int32_t kind) {
    ct.kind = kind;
    ct.plotValue = 0.75;
    const char* const plane1[] = {"x/2", "y"};
    const char* const plane2[] = {"2*x", "y"};
    const char* const space[] = {"2*x", "y", "z + x"};
    const char* const* texts = kind == CT::kPlaneFromTransformed ? plane1 : kind == CT::kSpace ? space : plane2;
    for (int i = 0; i < (kind == CT::kSpace ? 3 : 2); ++i) {
      formulas[i] = Parse(texts[i]);
      if (kind == CT::kPlaneFromTransformed) ExchangeXYZwithXYZprime(formulas[i].get());
      ct.formulas[i] = formulas[i].get();
    }
  }
  Tree formulas[3];
  CT ct;
};

// A pane whose pass runs under the transformation, the current view of
// the space given beside the second one the transformation brings.
struct MirrorPane : Pane {
  MirrorPane(Space space, const Transformation& t, bool recording = true) : Pane(space, recording) {
    ct = t.ct;
    gMade.clear();
    pane->StartAddingEquations(space == k3D, false, false, false, ct);
  }
  const GraphLookup& Row(int32_t row) { return *pane->Lookup().At(row); }
  std::vector<int32_t> Sources() {
    const AListGenericSmall<int32_t>& list = pane->Pass().TransformSources();
    std::vector<int32_t> indexes;
    for (int32_t i = 0; i < list.Count(); ++i) indexes.push_back(list[i]);
    return indexes;
  }
};

enum Way { kNothing, kRebuilt, kListed };

struct MirrorCase {
  const char* text;
  Space space;
  double xyType;
  Way way[3];  // for kinds 1, 2, 4
};

const MirrorCase kMirrorCases[] = {
    {"y = x^2", k2D, 1, {kRebuilt, kListed, kNothing}},
    {"x^2 + y^2 < 1", k2D, 1, {kRebuilt, kListed, kNothing}},
    {"leq(x^2 + y^2, 1)", k2D, 1, {kRebuilt, kListed, kNothing}},
    {"vector(x, y) = vector(cos(t), sin(t))", k2D, 1, {kListed, kRebuilt, kNothing}},
    {"r = theta", k2D, 1, {kListed, kRebuilt, kNothing}},
    {"vector(1, 2)", k2D, 1, {kListed, kRebuilt, kNothing}},
    {"vector(1, 2), vector(3, 4)", k2D, 1, {kListed, kRebuilt, kNothing}},
    {"z = x*y", k2D, 2, {kRebuilt, kListed, kNothing}},
    {"z = x*y", k2D, 3, {kListed, kListed, kNothing}},
    {"d*y/(d*x) = x*y", k2D, 1, {kListed, kListed, kNothing}},
    {"vector(d*x, d*y) = vector(y, -x)", k2D, 1, {kListed, kListed, kNothing}},
    {"vector(r, g, b) = vector(x, y, 0.5)", k2D, 1, {kRebuilt, kListed, kNothing}},
    {"vector(x, y, z) = vector(cos(t), sin(t), t)", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"z = x*y", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"Rotate(x, x = 2)", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"vector(1, 2, 3)", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"vector(1, 2, 3), vector(4, 5, 6)", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"x^2 + y^2 + z^2 = 1", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"function(optotal(t), vector(x, y, z)) = vector(y, -x, 0), z = x^2 + y^2", k3D, 1, {kNothing, kNothing, kRebuilt}},
    {"vector(d*x, d*y, d*z) = vector(y, -x, 0), z = x^2 + y^2", k3D, 1, {kNothing, kNothing, kNothing}},
};

// The mirroring rule: kind 0 and view 1 mirror nothing; kinds 1 and 2 rebuild
// or list a 2-D graph, kind 4 rebuilds a 3-D one, each in the equation's row.
TEST(Mirrors, EachGraphIsRebuiltListedOrLeftAsItsKindAndViewSay) {
  for (const MirrorCase& c : kMirrorCases) {
    for (const int32_t kind : {CT::kNone, CT::kPlaneFromTransformed, CT::kPlaneFromSource, CT::kSpace}) {
      for (const int32_t view : {0, 1}) {
        SCOPED_TRACE(std::string(c.text) + " kind " + std::to_string(kind) + " view " + std::to_string(view));
        const Transformation t(kind);
        MirrorPane p(c.space, t);
        const size_t before = gMade.size();
        const int32_t rows = p.pane->Lookup().Count();
        Tree tree = Parse(c.text);
        const Tree unprimed(Copy(tree.get()));
        if (view == 1) ExchangeXYZwithXYZprime(tree.get());
        // Constant points and arrows have no primed form.
        if (view == 1 && MATH_Equal(tree.get(), unprimed.get())) continue;
        const int32_t row = p.Add(tree.get(), c.xyType);
        ASSERT_EQ(row, rows);
        const Way way = kind == CT::kNone || view == 1 ? kNothing : c.way[kind == CT::kSpace ? 2 : kind - 1];
        const size_t made = gMade.size() - before;
        const size_t main = c.text == std::string("leq(x^2 + y^2, 1)") ? 2 : 1;  // region and boundary
        const GraphLookup& lookup = p.Row(row);
        AGraphView* second = c.space == k2D ? p.pane->View2D(1) : p.pane->View3D(1);
        if (way == kRebuilt) {
          // The region's mirror comes before its boundary.
          ASSERT_EQ(made, 2 * main);
          const Made& original = gMade[before];
          const Made& mirror = gMade[before + 1];
          EXPECT_EQ(mirror.view, second);
          EXPECT_NE(mirror.colour, original.colour);
          EXPECT_EQ(lookup.pairs[1].view, second);
          EXPECT_EQ(lookup.pairs[1].index, second->GraphCount() - int32_t(main));
          if (main == 2) {
            EXPECT_EQ(lookup.pairs[3].view, second);
            EXPECT_EQ(lookup.pairs[3].index, 1 + lookup.pairs[1].index);
          }
        } else {
          EXPECT_EQ(made, main);
          EXPECT_EQ(lookup.pairs[1].view, nullptr);
          EXPECT_EQ(lookup.pairs[3].view, nullptr);
        }
        std::vector<int32_t> listed;
        if (way == kListed) {
          for (int32_t i = 0; i < int32_t(main); ++i) listed.push_back(i);
        }
        EXPECT_EQ(p.Sources(), listed);
      }
    }
  }
}

// Kinds 1 and 2 put the whole-picture plot in the second view, first, with
// the source list and the transformation's own formulas.
TEST(Mirrors, PlaneTransformationsMakeTheWholePicturePlot) {
  {
    // The transformation's block learns the plot's row.
    static std::vector<std::pair<MBlock*, int32_t>> told;
    told.clear();
    Transformation t(CT::kPlaneFromTransformed);
    t.ct.block = reinterpret_cast<MBlock*>(&told);
    const Transformation none(CT::kNone);
    MirrorPane p(k2D, none);
    gGraphPaneHooks.SetTransformEquationBlockIndex = [](MBlock* block, int32_t row) { told.emplace_back(block, row); };
    p.ct = t.ct;
    p.pane->StartAddingEquations(false, false, false, false, p.ct);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, t.ct.block);
    EXPECT_EQ(told[0].second, 0);
    ASSERT_EQ(gMade.size(), 1u);
    EXPECT_EQ(gMade[0].maker, "TransformPlot");
    EXPECT_EQ(gMade[0].view, p.pane->View2D(1));
    EXPECT_EQ(gMade[0].list, &p.pane->Pass().TransformSources());
    EXPECT_DOUBLE_EQ(gMade[0].formulas[0]->Evaluate(0, 0, 3, 5, 0, 0), 1.5);
    EXPECT_EQ(p.pane->SecondView(), p.pane->View2D(1));
    EXPECT_EQ(p.pane->Lookup().Count(), 1);
  }
  {
    const Transformation t(CT::kPlaneFromSource);
    MirrorPane p(k2D, t);
    ASSERT_EQ(gMade.size(), 1u);
    EXPECT_EQ(gMade[0].maker, "TextureMapPlot");
    EXPECT_DOUBLE_EQ(gMade[0].grain, 0.75);
    EXPECT_DOUBLE_EQ(gMade[0].formulas[0]->Evaluate(0, 0, 3, 5, 0, 0), 6);
  }
  for (const int32_t kind : {CT::kNone, CT::kSpace}) {
    const Transformation t(kind);
    MirrorPane p(k2D, t);
    EXPECT_TRUE(gMade.empty());
    EXPECT_EQ(p.pane->Lookup().Count(), 0);
  }
}

// The mirrors' formulas, evaluated against the map written here.
TEST(Mirrors, RebuiltGraphsFollowTheMap) {
  std::mt19937 random(39);
  std::uniform_real_distribution<double> draw(-1.5, 1.5);
  const auto check = [&](const Made& made, size_t i, const Formula& expected) {
    for (int trial = 0; trial < 8; ++trial) {
      const double u = draw(random), v = draw(random), x = draw(random), y = draw(random), z = draw(random);
      EXPECT_TRUE(Near(expected(u, v, x, y, z), made.formulas[i]->Evaluate(u, v, x, y, z, 0)))
          << made.maker << " formula " << i << " at u=" << u << " v=" << v << " x=" << x << " y=" << y;
    }
  };
  {
    // (x, y) = (cos t, sin t) carried forward: (2 cos t, sin t), by evaluation.
    const Transformation t(CT::kPlaneFromSource);
    MirrorPane p(k2D, t);
    p.Add("vector(x, y) = vector(cos(t), sin(t))");
    const Made& mirror = gMade.back();
    EXPECT_EQ(mirror.maker, "ParametricCurve");
    EXPECT_EQ(mirror.number, 3);
    EXPECT_EQ(mirror.range, &p.pane->View2D(0)->Record().ranges[kCoordT][0]);
    check(mirror, 0, F(2 * std::cos(u)));
    check(mirror, 1, F(std::sin(u)));
    p.Add("vector(1, 2), vector(3, 4)");
    check(gMade.back(), 0, F(2.0));
    check(gMade.back(), 2, F(6.0));
  }
  {
    // Read back through x = x'/2: y = x^2 becomes the curve y = (x/2)^2.
    const Transformation t(CT::kPlaneFromTransformed);
    MirrorPane p(k2D, t);
    p.Add("y = x^2");
    const Made& mirror = gMade.back();
    EXPECT_EQ(mirror.maker, "Inequality");
    EXPECT_EQ(mirror.number, 1);
    check(mirror, 1, F(y - x * x / 4));
    p.Add("z = x*y", 2);
    check(gMade.back(), 0, F(u * v / 2));
    p.Add("vector(r, g, b) = vector(x, y, 0.5)");
    check(gMade.back(), 0, F(u / 2));
  }
  {
    const Transformation t(CT::kSpace);
    MirrorPane p(k3D, t);
    p.Add("vector(x, y, z) = vector(cos(t), sin(t), t), t < 1");
    const Made& curve = gMade.back();
    EXPECT_EQ(curve.maker, "SpaceCurve");
    check(curve, 0, F(2 * std::cos(u)));
    check(curve, 1, F(std::sin(u)));
    check(curve, 2, F(u + std::cos(u)));
    check(curve, 4, F(u < 1));
    EXPECT_TRUE(p.Flags().contains(kCoordXPrime));
    p.Add("z = x*y");
    check(gMade.back(), 0, F(2 * u));
    check(gMade.back(), 2, F(u * v + u));
    p.Add("vector(1, 2, 3), vector(4, 6, 8)");
    check(gMade.back(), 0, F(6.0));  // the direction (3, 4, 5) as a point
    check(gMade.back(), 3, F(2.0));
    check(gMade.back(), 5, F(4.0));
  }
}

// The space mirrors of a field and an implicit surface show the graph the
// first view keeps; the solution plot of arrows is none.
TEST(Mirrors, SpaceMirrorsShowTheFirstViewsGraph) {
  const Transformation t(CT::kSpace);
  MirrorPane p(k3D, t);
  p.Add("function(optotal(t), vector(x, y, z)) = vector(y, -x, 0), z = x^2 + y^2");
  ASSERT_EQ(gMade.size(), 2u);
  EXPECT_EQ(gMade[1].maker, "TransformedDEPlot3D");
  EXPECT_EQ(gMade[1].source, p.pane->View3D(0)->GraphAt(0));
  EXPECT_DOUBLE_EQ(gMade[1].formulas[2]->Evaluate(0, 0, 1, 0, 2, 0), 3);
  p.Add("x^2 + y^2 + z^2 = 1");
  EXPECT_EQ(gMade.back().maker, "TransformedImplicitSurface");
  EXPECT_EQ(gMade.back().source, p.pane->View3D(0)->GraphAt(1));
}

// With no graph makers no mirror is made and nothing leaks (the sanitizer
// build checks); nothing is listed for a graph that was not made.
TEST(Mirrors, NothingMadeNothingMirrored) {
  for (const int32_t kind : {CT::kPlaneFromTransformed, CT::kPlaneFromSource, CT::kSpace}) {
    for (const MirrorCase& c : kMirrorCases) {
      SCOPED_TRACE(std::string(c.text) + " kind " + std::to_string(kind));
      const Transformation t(kind);
      MirrorPane p(c.space, t, false);
      EXPECT_EQ(p.Add(c.text, c.xyType), -1);
      EXPECT_TRUE(p.Sources().empty());
    }
  }
}

// A second view that can't take the mirror: the mirror is destroyed and
// the row's pair 1 stays zero (the sanitizer build checks the deletion).
class RefusingView : public A2DGraphView {
 public:
  RefusingView() { fGraphs.TakeNone(); }
};

TEST(Mirrors, AMirrorTheSecondViewRefusesLeavesThePairZero) {
  const Transformation t(CT::kPlaneFromTransformed);
  static int made;
  made = 0;
  MirrorPane p(k2D, t);
  gGraphPaneHooks.Make2DView = []() -> std::unique_ptr<AGraphView> {
    return ++made == 2 ? std::make_unique<RefusingView>() : MakeA2DGraphView();
  };
  p.pane = std::make_unique<AGraphPane>(MRect{0, 0, 200, 200}, nullptr, nullptr);
  p.pane->StartAddingEquations(false, false, false, false, p.ct);
  gMade.clear();
  for (const char* text : {"z = x*y", "y = x^2", "x^2 + y^2 < 1"}) {
    SCOPED_TRACE(text);
    const int32_t row = p.Add(text, 2);
    ASSERT_GE(row, 0);
    EXPECT_EQ(p.Row(row).pairs[1].view, nullptr);
    EXPECT_EQ(gMade.back().view, p.pane->View2D(1));
  }
}

// The space composition itself: the formulas of the map at (X, Y, Z), the
// extra expression and the colour equations read at the original point.
TEST(Mirrors, SpaceCompositionIsTheMapOfThePoint) {
  const Transformation t(CT::kSpace);
  Tree x = Parse("u"), y = Parse("v"), z = Parse("u*v"), extra = Parse("x*y + z");
  AGraphColor colour;
  FillColourEquations(colour, AColorEquations::kRGBEquations, "x + z", "y", "y");
  Tree out[3], outExtra;
  ASSERT_TRUE(TransformXYZ(t.ct, x.get(), y.get(), z.get(), extra.get(), &colour, out, &outExtra));
  const Tree owned[4] = {std::move(out[0]), std::move(out[1]), std::move(out[2]), std::move(outExtra)};
  std::mt19937 random(4);
  std::uniform_real_distribution<double> draw(-2, 2);
  for (int trial = 0; trial < 10; ++trial) {
    const double u = draw(random), v = draw(random);
    const auto at = [&](const Tree& tree) {
      AnExpression e(Copy(tree.get()), nullptr);
      AnExpression::Compile(&e);
      return e.Evaluate(u, v, 0, 0, 0, 0);
    };
    EXPECT_NEAR(at(owned[0]), 2 * u, 1e-12);
    EXPECT_NEAR(at(owned[1]), v, 1e-12);
    EXPECT_NEAR(at(owned[2]), u * v + u, 1e-12);
    EXPECT_NEAR(at(owned[3]), u * v + u * v, 1e-12);
    const Tree red(Copy(colour.fColorExpressions[0]->Tree()));
    EXPECT_NEAR(at(red), u + u * v, 1e-12);
  }
  CoordinateTransformation missing = t.ct;
  missing.formulas[2] = nullptr;
  EXPECT_FALSE(TransformXYZ(missing, x.get(), y.get(), z.get(), nullptr, nullptr, out, nullptr));
  EXPECT_EQ(out[0], nullptr);
}

}  // namespace
