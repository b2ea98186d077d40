#include <gtest/gtest.h>

#include <map>
#include <set>

#include "document/DocumentParameters.h"
#include "expression/NumericComputability.h"
#include "expression/OperatorKinds.h"
#include "expression/VariableIds.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/GraphKindQueries.h"
#include "graphpane/GraphKinds.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/graphpane/RecordingMakers.h"

namespace {

// Columns P, Q and S for the data kinds; p a point off the real line.
constexpr char kDocument[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tP\t1\t2\t3\n\tQ\t4\t5\t6\n\tS\t7\t8\t9\nEndOfTable;\n"
    "Expr p = 1 - 2*i;\n";

struct Representative {
  int32_t kind;
  const char* text;
  Space space;  // the view it is classified and built in
};

// One equation of each kind, written from the forms of the cascade.
const std::vector<Representative> kRepresentatives = {
    {1, "y = x^2", k2D},
    {2, "x = y^2", k2D},
    {3, "r = theta", k2D},
    {4, "theta = r", k2D},
    {5, "z = x*y", k3D},
    {6, "x = y^2", k3D},
    {7, "y = x^2", k3D},
    {8, "r = theta", k3D},
    {9, "theta = r", k3D},
    {10, "phi = pi/4", k3D},
    {11, "r = theta + z", k3D},
    {12, "z = r*theta", k3D},
    {13, "z = x + r", k3D},
    {14, "theta = r + z", k3D},
    {15, "vector(r, theta) = vector(t, 2*t)", k2D},
    {16, "vector(d*x, d*y) = vector(y, -x)", k2D},
    {17, "function(optotal(t), vector(x, y, z)) = vector(y, -x, z)", k3D},
    {18, "vector(x, y) = vector(cos(t), sin(t))", k2D},
    {19, "vector(x, y, z) = vector(cos(t), sin(t), t)", k3D},
    {20, "vector(x, y, u, v) = vector(t, t, t, t)", k4D},
    {21, "vector(x, y, u, v) = vector(u, v, u*v, u - v)", k4D},
    {22, "w = z^2", k4D},
    {23, "vector(1, 2, 3, 4), vector(5, 6, 7, 8)", k4D},
    {24, "vector(r, theta, phi) = vector(1, t, t)", k3D},
    {25, "vector(r, theta, z) = vector(1, t, t)", k3D},
    {26, "vector(x, y, z) = vector(u, v, u*v)", k3D},
    {27, "vector(r, theta, phi) = vector(1, u, v)", k3D},
    {28, "vector(r, theta, z) = vector(1, u, v)", k3D},
    {29, "x^2 + y^2 = 1", k2D},
    {30, "x^2 + y^2 + z^2 = 4", k3D},
    {31, "sin(x)", k2D},
    {32, "sin(y)", k2D},
    {33, "x + y", k3D},
    {34, "x < y", k2D},
    {35, "leq(x, y)", k2D},
    {36, "function(optotal(t), vector(x, y, z)) = vector(y, -x, z), vector(x, y, z) = vector(1, 0, 0)", k3D},
    {37, "d*y/(d*x) = x*y", k2D},
    {38, "function(optotal(t), vector(x, y)) = vector(y, -x)", k2D},
    {39, "z = t", k2D},
    {40, "x + i*y = z^2", k3D},
    {41, "z^2", k3D},
    {42, "d*z/(d*t) = z^2", k2D},
    {43, "p = 1 - 2*i", k2D},
    {44, "z = 3 + 2*i", k2D},
    {45, "vector(1, 2)", k2D},
    {46, "vector(x, y) = vector(1, 2)", k2D},
    {47, "vector(r, theta) = vector(1, 2)", k2D},
    {48, "vector(P, Q)", k2D},
    {49, "vector(x, y) = vector(P, Q)", k2D},
    {50, "vector(r, theta) = vector(P, Q)", k2D},
    {51, "vector(P, Q, S)", k3D},
    {52, "vector(x, y, z) = vector(P, Q, S)", k3D},
    {53, "vector(r, theta, z) = vector(P, Q, S)", k3D},
    {54, "vector(r, theta, phi) = vector(P, Q, S)", k3D},
    {55, "vector(t, t^2)", k2D},
    {56, "vector(cos(t), sin(t), t)", k3D},
    {58, "vector(u, v, u + v)", k3D},
    {59, "vector(r, g, b) = vector(x, y, 0.5)", k2D},
    {60, "vector(h, s, v) = vector(x, y, 1)", k2D},
    {61, "vector(1, 2), vector(3, 4)", k2D},
    {62, "vector(1, 2, 3), vector(4, 5, 6)", k3D},
    {63, "vector(1, 2, 3)", k3D},
    {64, "vector(x, y, z) = vector(1, 2, 3)", k3D},
    {65, "vector(r, theta, z) = vector(1, 2, 3)", k3D},
    {66, "vector(r, theta, phi) = vector(1, 2, 3)", k3D},
    {67, "vector(d*x, d*y, d*z) = vector(y, -x, z), x^2 + y^2 + z^2 = 1", k3D},
    {68, "vector(d*x, d*y, d*z) = vector(y, -x, z), x = y*z", k3D},
    {69, "vector(d*x, d*y, d*z) = vector(y, -x, z), y = z*x", k3D},
    {70, "vector(d*x, d*y, d*z) = vector(y, -x, z), z = x*y", k3D},
    {71, "vector(d*x, d*y, d*z) = vector(y, -x, z), r = theta*phi", k3D},
    {72, "vector(d*x, d*y, d*z) = vector(y, -x, z), theta = r*phi", k3D},
    {73, "vector(d*x, d*y, d*z) = vector(y, -x, z), phi = r*theta", k3D},
    {74, "vector(d*x, d*y, d*z) = vector(y, -x, z), r = theta + z", k3D},
    {75, "vector(d*x, d*y, d*z) = vector(y, -x, z), z = r*theta", k3D},
    {76, "vector(d*x, d*y, d*z) = vector(y, -x, z), theta = r + z", k3D},
    {77, "vector(d*x, d*y, d*z) = vector(y, -x, z), vector(x, y, z) = vector(1, 0, 0)", k3D},
    {78, "vector(d*x, d*y, d*z) = vector(y, -x, z), vector(r, theta, phi) = vector(1, u, v)", k3D},
    {79, "vector(d*x, d*y, d*z) = vector(y, -x, z), vector(r, theta, z) = vector(1, u, v)", k3D},
    {80, "Rotate(x^2, y = 0)", k3D},
};

class GraphKindTable : public testing::Test {
 protected:
  void SetUp() override {
    document = Read(kDocument);
    ASSERT_TRUE(document);
    RebuildParameterDefinitions(document.get());
  }
  int32_t Classify(const std::string& text, Space space) {
    Tree tree = Parse(text);
    EXPECT_TRUE(tree) << text;
    return tree ? ExprType(tree.get(), space == k3D, space == k4D, document.get()) : -1;
  }
  // The kind keeps the item after it: the classification accepts it as an option.
  bool Accepts(const Representative& r, const char* item) {
    return Classify(std::string(r.text) + ", " + item, r.space) == r.kind;
  }
  std::unique_ptr<DocumentRecord> document;
};

bool In(int32_t kind, KindOptions options) { return (kGraphKinds[kind].options & options) != 0; }

TEST_F(GraphKindTable, EachRowAgreesWithTheClassificationOfItsEquation) {
  std::set<int32_t> seen;
  for (const Representative& r : kRepresentatives) {
    SCOPED_TRACE(std::to_string(r.kind) + ": " + r.text);
    seen.insert(r.kind);
    const bool is3D = r.space == k3D, is4D = r.space == k4D;
    ASSERT_EQ(Classify(r.text, r.space), r.kind);
    const ViewDimension view = kGraphKinds[r.kind].view;
    EXPECT_EQ(view, is4D ? ViewDimension::k4D : is3D ? ViewDimension::k3D : ViewDimension::k2D);

    EXPECT_EQ(Accepts(r, "radius = 2"), In(r.kind, kRadius));
    EXPECT_EQ(Accepts(r, "label = \"a\""), In(r.kind, kLabel));
    EXPECT_EQ(Accepts(r, "vector(x, y) = vector(0, 1)"), In(r.kind, kStartPoint));
    const bool clips = (is3D && In(r.kind, kClipIn3D)) || In(r.kind, kClipInAnyView);
    EXPECT_EQ(Accepts(r, "0 < x"), clips || In(r.kind, kClipInXY));
    EXPECT_EQ(Accepts(r, "0 < r"), clips || In(r.kind, kClipInPolar));
    EXPECT_EQ(Accepts(r, "7"), In(r.kind, kItemsToBuilder));

    Tree tree = Parse(r.text);
    const EquationList one{tree.get()};
    EXPECT_EQ(AllowsCheckers(&one, is3D, is4D, document.get()), In(r.kind, kSurface));
    EXPECT_EQ(IsPointPlot(&one, is3D, is4D, document.get()), In(r.kind, kPointPlot));
    EXPECT_EQ(AllowsPictures(tree.get(), is3D, is4D, document.get()), In(r.kind, kSurface | kPointPlot));
    EXPECT_EQ(ExprReferencesTableData(tree.get(), document.get()), In(r.kind, kTableData));
    if (is3D) {
      Tree thick = Parse(std::string(r.text) + ", radius = 2");
      const EquationList bare{tree.get()}, withRadius{thick.get()};
      EXPECT_EQ(MayUseTransparency(&bare, document.get()), In(r.kind, kSurface | kTranslucent));
      EXPECT_EQ(MayUseTransparency(&withRadius, document.get()),
                In(r.kind, kSurface | kTranslucent | kTranslucentWithRadius));
    }
    // Read in a 2-D view, a flat kind is a surface only for XY type 1.
    if (BaseKind(ExprTypeIgnoringModifiers(tree.get(), false, false, document.get())) == r.kind) {
      const ExprTypeInfo surface = GetExprTypeInfo(tree.get(), 1, document.get());
      const ExprTypeInfo contour = GetExprTypeInfo(tree.get(), 2, document.get());
      EXPECT_TRUE(surface.graphable);
      EXPECT_EQ(surface.fourD, is4D);
      EXPECT_EQ(surface.threeD, view == ViewDimension::k3D);
      EXPECT_EQ(contour.threeD, view == ViewDimension::k3D && !In(r.kind, kFlatInTwoD));
    }
  }
  for (int32_t kind = 1; kind <= kLastGraphKind; ++kind)
    EXPECT_EQ(seen.contains(kind), kGraphKinds[kind].view != ViewDimension::kNone) << kind;
}

// A maker that makes nothing, freeing what it was handed as it returns.
template <typename Graph, typename... Args>
std::unique_ptr<Graph> Refused(Args...) {
  return nullptr;
}

template <typename Graph, typename... Args>
auto Refusing(std::unique_ptr<Graph> (*)(Args...)) -> std::unique_ptr<Graph> (*)(Args...) {
  return &Refused<Graph, Args...>;
}

void InstallRefusingMakers() {
  GraphMakers& m = gGraphMakers;
#define ZL_REFUSE(entry) m.entry = Refusing(m.entry)
  ZL_REFUSE(FunctionOfXorY);
  ZL_REFUSE(ParametricCurve);
  ZL_REFUSE(Inequality);
  ZL_REFUSE(DensityPlot);
  ZL_REFUSE(ContourPlot);
  ZL_REFUSE(Point);
  ZL_REFUSE(Data2D);
  ZL_REFUSE(DEPlot);
  ZL_REFUSE(VectorPlot);
  ZL_REFUSE(ColorPlot);
  ZL_REFUSE(Arrow);
  ZL_REFUSE(TransformPlot);
  ZL_REFUSE(TextureMapPlot);
  ZL_REFUSE(GridSurface);
  ZL_REFUSE(GridSurface4D);
  ZL_REFUSE(ImplicitSurface);
  ZL_REFUSE(SpaceCurve);
  ZL_REFUSE(SpaceCurve4D);
  ZL_REFUSE(StartOnLattice);
  ZL_REFUSE(StartOnPoint);
  ZL_REFUSE(StartOnImplicit);
  ZL_REFUSE(StartOnGrid);
  ZL_REFUSE(Point3D);
  ZL_REFUSE(Data3D);
  ZL_REFUSE(VertexList4D);
  ZL_REFUSE(TransformedDEPlot3D);
  ZL_REFUSE(TransformedImplicitSurface);
#undef ZL_REFUSE
}

// Every builder, given options it keeps, through a maker that refuses and
// with memory running out at each point of the build: no row, and nothing
// left behind (the sanitized build's leak check).
TEST_F(GraphKindTable, EveryBuilderFreesWhatItHeldWhenNoGraphIsMade) {
  const char* const kOptions[] = {"",
                                  ", radius = 0.1",
                                  ", label = \"a\"",
                                  ", 0 < x",
                                  ", vector(x, y) = vector(0, 1)",
                                  ", vector(r, g, b) = vector(x, 0, 1)"};
  for (const Representative& r : kRepresentatives) {
    for (const char* option : kOptions) {
      const std::string text = std::string(r.text) + option;
      if (Classify(text, r.space) == 0) continue;
      SCOPED_TRACE(text);
      {
        Pane p(r.space, false, document.get());
        InstallRefusingMakers();
        EXPECT_EQ(p.Add(text, 1), -1);
        EXPECT_EQ(p.pane->Lookup().Count(), 0);
      }
      for (int64_t room = 0; room <= 1 << 16; room = room * 4 + 64) {
        Pane p(r.space, true, document.get());
        BudgetRoom budget(room);
        p.Add(text, 1);
      }
    }
  }
}

// The dependent column against the representatives themselves: an equation
// c = ... with a coordinate c alone on the left gives c; a function alone
// of x is drawn as y = f(x) and one of y as x = f(y); every other form
// gives none.
TEST_F(GraphKindTable, EachKindGivesTheCoordinateItsEquationSolvesFor) {
  const std::set<int32_t> coordinates = {kIdX, kIdY, kIdZ, kIdW, kIdR, kIdTheta, kIdPhi};
  const std::map<int32_t, int32_t> functionsAlone = {{31, kIdY}, {32, kIdX}};
  for (const Representative& r : kRepresentatives) {
    SCOPED_TRACE(std::to_string(r.kind) + ": " + r.text);
    Tree tree = Parse(r.text);
    ASSERT_TRUE(tree);
    const ExpressionRecord* e = tree.get();
    const ExpressionRecord* left = e->opcode == kOpEquals && e->operandCount == 2 ? e->operands[0] : nullptr;
    int32_t expected = 0;
    if (left != nullptr && left->opcode == kOpAtom && coordinates.count(left->payload.id) != 0) {
      expected = left->payload.id;
    } else if (const auto alone = functionsAlone.find(r.kind); alone != functionsAlone.end()) {
      expected = alone->second;
    }
    EXPECT_EQ(int32_t(KindDependent(r.kind)), expected);
  }
  EXPECT_EQ(KindDependent(57), Dependent::kNone);
  EXPECT_EQ(KindDependent(kLastGraphKind + 1), Dependent::kNone);
}

}  // namespace
