#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>

#include "document/DocumentWriter.h"
#include "graphpane/GraphKinds.h"
#include "graphpane/GraphabilityDiagnostics.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "graphs3d/views/ViewClock.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "renderer/DrawContext.h"
#include "renderer/Frame.h"
#include "tests/document/GraphedDocument.h"
#include "tests/document/SpinHeldGraphingTest.h"

namespace {

A3DGraphView& FirstSpace(GraphedDocument& g) { return dynamic_cast<A3DGraphView&>(*g.document->fGraphPane->View3D(0)); }

// Pixels of the pane's rectangle r that differ between the pictures.
int DifferingPixelsIn(const QImage& a, const QImage& b, const MRect& r) {
  return DifferingPixels(a.copy(r.left, r.top, r.right - r.left, r.bottom - r.top),
                         b.copy(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

using Document3D = SpinHeldGraphingTest;

TEST_F(Document3D, ASurfaceOpensTheSpaceViewAndDrawsWithoutAMessage) {
  GraphedDocument empty("3D.Axes 0;\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g("3D.Axes 0;\nExpr z = x^2 - y^2;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_TRUE(g.document->fExpansion.viewIs3D);
  EXPECT_EQ(g.Graphs(), 1);
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);
  EXPECT_EQ(g.document->fGraphPane->CurrentView(), g.document->fGraphPane->View3D(0));
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 5000);

  GraphedDocument undefined("Expr z = sqrt(-1 - x^2);\n");
  ASSERT_TRUE(undefined.document && undefined.RunUntilDone());
  // What the idle that hears the graph finish shows.
  UpdateGraphMessages(undefined.document.get());
  EXPECT_EQ(EquationMessage(undefined.document.get(), 0), 11);
}

// A helix tube and a point draw through the document with no message.
TEST_F(Document3D, AHelixTubeAndAPointDrawWithoutAMessage) {
  GraphedDocument empty("3D.Axes 0;\nExpr z = 100;\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g(
      "3D.Axes 0;\nExpr z = 100;\nExpr vector(cos(t), sin(t), t/5), radius = 0.1;\nExpr vector(1, 1, 1);\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(g.Graphs(), 3);
  UpdateGraphMessages(g.document.get());
  for (int32_t k : {1, 2}) EXPECT_EQ(EquationMessage(g.document.get(), k), 0) << k;
  // A short piece of tube and a ball on a small picture.
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 150);
}

// Lattice arrows, a solution through a point as a tube and a thick arrow
// draw through the document with no message; a field whose start points
// all fail the condition draws nothing, also without one.
TEST_F(Document3D, FieldsSolutionsAndArrowsDrawWithoutAMessage) {
  GraphedDocument empty("3D.Axes 0;\nExpr z = 100;\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g(
      "3D.Axes 0;\nExpr z = 100;\nExpr vector(d*x, d*y, d*z) = vector(-y, x, 0.3);\n"
      "Expr function(optotal(t), vector(x, y, z)) = vector(-y, x, 0.2), vector(x, y, z) = vector(1, 0, -1), "
      "radius = 0.05;\nExpr vector(0, 0, 0), vector(1, 1, 1), radius = 0.1;\n"
      "Expr vector(d*x, d*y, d*z) = vector(y, -x, z), x > 5;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(g.Graphs(), 5);
  UpdateGraphMessages(g.document.get());
  for (int32_t k : {1, 2, 3, 4}) EXPECT_EQ(EquationMessage(g.document.get(), k), 0) << k;
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 500);
}

TEST_F(Document3D, RotationZoomAndSpinSurviveSavingAndAStoredViewIsMended) {
  GraphedDocument g("Expr z = x*y;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  A3DGraphView& view = FirstSpace(g);
  Matrix3 turned;
  GenerateRotationMatrixFromAxisAndAngle(turned, {1, 2, 3}, 0.7);
  view.SetRotation(turned);
  view.SetZoom(2.5);
  view.SetSpin({0, 1, 0}, 1.5);
  const auto text = WriteDocumentText(*g.document);
  ASSERT_TRUE(text);
  GraphedDocument again(text->substr(text->find('\n') + 1));
  ASSERT_TRUE(again.document);
  const A3DGraphView& reopened = FirstSpace(again);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(reopened.Camera().rotation[i], turned[i], 1e-12) << i;
  EXPECT_EQ(reopened.Camera().zoom, 2.5);
  EXPECT_EQ(reopened.SpinSpeed(), 1.5);
  EXPECT_EQ(reopened.SpinAxis().y, 1);

  // A sheared matrix and the depth documents have held so far open as the
  // default view; a rounded rotation is made exact.
  GraphedDocument sheared("3D.View 1 0.5 0 0 1 0 0 0 1;\n3D.Depth 0;\n");
  Matrix3 standard;
  GetDefaultView(standard);
  EXPECT_TRUE(EqualMatrix(FirstSpace(sheared).Camera().rotation, standard));
  EXPECT_EQ(FirstSpace(sheared).Camera().zoom, M3DView::kDefaultZoom);
  GraphedDocument rounded("3D.View 0.827346 0.29552 -0.477668 -0.255928 0.955336 0.14776 0.5 0 0.866025;\n");
  const double* r = FirstSpace(rounded).Camera().rotation;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      EXPECT_NEAR(r[3 * a] * r[3 * b] + r[3 * a + 1] * r[3 * b + 1] + r[3 * a + 2] * r[3 * b + 2], a == b, 1e-14);
  EXPECT_NEAR(r[0], standard[0], 1e-6);
  // Opening and writing an untouched document changes nothing in it.
  const auto plain = WriteDocumentText(*sheared.document);
  ASSERT_TRUE(plain);
  EXPECT_NE(plain->find("3D.Depth 0;"), std::string::npos);

  // A stored speed holds with or without an axis; none stored spins as a
  // new view does, about its own axis.
  const struct {
    const char* stored;
    int view;
    double speed;
    AVector axis;
  } spins[] = {{"", 0, A3DGraphView::kDefaultSpinSpeed, {0, 0, -1}}, {"3D.Speed 0;\n", 0, 0, {0, 0, -1}},
               {"3D.Axis 0 0 0;\n3D.Speed 0;\n", 0, 0, {0, 0, -1}},  {"3D.Speed 0.25;\n", 0, 0.25, {0, 0, -1}},
               {"3D.Axis 1 0 0;\n3D.Speed 2;\n", 0, 2, {1, 0, 0}},   {"3Dp.Speed 0;\n", 1, 0, {0, 0, -1}},
               {"", 1, A3DGraphView::kDefaultSpinSpeed, {0, 0, -1}}};
  for (const auto& c : spins) {
    GraphedDocument spinning(c.stored);
    ASSERT_TRUE(spinning.document);
    const auto& view = dynamic_cast<const A3DGraphView&>(*spinning.document->fGraphPane->View3D(c.view));
    EXPECT_EQ(view.SpinSpeed(), c.speed) << c.stored << c.view;
    EXPECT_EQ(view.SpinAxis().x, c.axis.x) << c.stored << c.view;
    EXPECT_EQ(view.SpinAxis().z, c.axis.z) << c.stored << c.view;
    const auto written = WriteDocumentText(*spinning.document);
    ASSERT_TRUE(written);
    std::istringstream statements(c.stored);
    for (std::string statement; std::getline(statements, statement);)
      EXPECT_NE(written->find("\n" + statement + "\n"), std::string::npos) << statement;
  }
}

TEST_F(Document3D, ASpinningViewTurnsAtIdleUnlessHeld) {
  GraphedDocument g("Expr z = x*y;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  A3DGraphView& view = FirstSpace(g);
  ASSERT_GT(view.SpinSpeed(), 0);
  Matrix3 before;
  CopyMatrix(view.Camera().rotation, before);
  for (int i = 0; i < 3; ++i) DocumentIdle(g.document.get());
  EXPECT_TRUE(EqualMatrix(before, view.Camera().rotation));
  gInhibit3DRotationKluge = false;
  const QImage held = g.Picture().copy();
  // The view's clock moves 30 ms between idles, however long they take.
  static int64_t microseconds = 1000000;
  const ViewClock real = std::exchange(gViewClock, ViewClock{[] { return microseconds; }, gViewClock.ticks});
  for (int i = 0; i < 4; ++i) {
    DocumentIdle(g.document.get());
    microseconds += 30000;
  }
  gViewClock = real;
  EXPECT_FALSE(EqualMatrix(before, view.Camera().rotation));
  EXPECT_GT(DifferingPixels(held, g.Picture()), 50);
}

// Turning antialiasing over remakes the space view's context, and a renderer
// forced for it goes back to the automatic choice.
TEST_F(Document3D, AnAntialiasingChangeRemakesTheContextOnTheAutomaticRenderer) {
  GraphedDocument g("Expr z = x^2 - y^2;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  MDrawContext* ctx = FirstSpace(g).DrawContext();
  ASSERT_NE(ctx, nullptr);
  ASSERT_NE(GetRendererType(ctx), kRendererNone);
  EXPECT_EQ(g.document->fGraphPane->SetDesiredRendererType(kRendererSoftware), kRendererAutomatic);
  RecomputeGraphsIfNeededForFSAA(g.document.get());
  EXPECT_EQ(GetRendererType(ctx), kRendererNone);
  EXPECT_EQ(GetDesiredRendererType(ctx), kRendererAutomatic);
  ASSERT_TRUE(g.RunUntilDone());
  EXPECT_EQ(GetRendererType(ctx), kRendererOffscreen);
  EXPECT_EQ(g.Graphs(), 1);
}

// An equation in x, y and z draws as an implicit surface with no message.
TEST_F(Document3D, ASphereEquationDrawsAsAnImplicitSurface) {
  GraphedDocument empty("3D.Axes 0;\nExpr z = 100;\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g("3D.Axes 0;\nExpr z = 100;\nExpr x^2 + y^2 + z^2 = 4;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_EQ(g.Graphs(), 2);
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 0);
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 2000);
}

// w = z^2 is a 4-D surface: the 4-D view shows it.
TEST_F(Document3D, ASurfaceOfZOpensTheFourDViewAndDrawsWithoutAMessage) {
  GraphedDocument empty("4D.Show4Daxes 0;\nExpr vector(x, y, z, w) = vector(9, 9, 9, 9);\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g("4D.Show4Daxes 0;\nExpr w = z^2;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_TRUE(g.document->fExpansion.viewIs4D);
  ASSERT_EQ(g.Graphs(), 1);
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 0);
  EXPECT_NE(dynamic_cast<A4DGraphView*>(g.document->fGraphPane->CurrentView()), nullptr);
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 5000);

  GraphedDocument nowhere("Expr w = z^2, x > 5;\n");
  ASSERT_TRUE(nowhere.document && nowhere.RunUntilDone());
  UpdateGraphMessages(nowhere.document.get());
  EXPECT_EQ(EquationMessage(nowhere.document.get(), 0), 11);
}

// Solutions through a start point the slider moves, copied through the
// space transformation into the second view: the copy is drawn there, and
// follows each move of the slider, a restart that begins in the start point
// and not in the field.
TEST_F(Document3D, TheTransformedCopyOfSolutionsFollowsASliderInTheStartPoint) {
  const std::string transformation = "Expr vector('x''', 'y''', 'z''') = vector(x, y, z + x);\n";
  GraphedDocument empty("3D.Axes 0;\nExpr z = 100;\n" + transformation);
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  GraphedDocument g(
      "3D.Axes 0;\nSlider 0 2;\nSliderSteps 4;\nExpr z = 100;\n"
      "Expr function(optotal(t), vector(x, y, z)) = vector(-y, x, 0.2), vector(x, y, z) = "
      "vector(1, 0, n - 1), radius = 0.05;\n" +
      transformation);
  ASSERT_TRUE(g.document && g.RunUntilDone());
  DocumentRecord* d = g.document.get();
  const auto [plot, copy] = GraphAndMirror<AStartOnPoint, ATransformedDEPlot3D>(g);
  ASSERT_TRUE(plot && copy && plot->Solutions());
  AGraphPane& pane = *d->fGraphPane;
  for (ShownViews which : {kCurrentView, kSecondView})
    EXPECT_GT(DifferingPixelsIn(g.Picture(), empty.Picture(), pane.GetGraphRect(which)), 100) << which;
  for (int32_t step : {3, 1, 4}) {
    MoveSlider(d, step);
    ASSERT_TRUE(g.RunUntilDone());
    const double n = DocumentSliderValue(d);
    SolutionList& source = plot->Solutions()->Solutions();
    ASSERT_EQ(source.CurrentCount(), 1);
    ASSERT_EQ(copy->Solutions().CurrentCount(), 1);
    const std::unique_ptr<ASolution> s = source.CopyCurrent(0), m = copy->Solutions().CopyCurrent(0);
    ASSERT_GT(s->count, 1);
    ASSERT_EQ(m->count, s->count);
    EXPECT_EQ(s->points[0].z, float(n - 1)) << step;
    for (int32_t i = 0; i < s->count; ++i) {
      const Vertex &p = s->points[i], &q = m->points[i];
      EXPECT_TRUE(q.x == p.x && q.y == p.y && q.z == float(double(p.z) + p.x)) << step << " point " << i;
    }
  }
}

// Every equation of the classification table whose kind goes to a space
// view, graphed in one document per view: none says its view can't show
// it. Table rows need a table, so they are left out.
TEST_F(Document3D, EveryKindOfSpaceGraphsWithoutAViewMessage) {
  std::ifstream table(ZL_TEST_DATA_DIR "/equation_kinds.tsv");
  std::string spaceEquations, fourDEquations;
  int spaceCount = 0, fourDCount = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 8u) << line;
    const int32_t spaceKind = BaseKind(std::stoi(fields[3])), fourDKind = BaseKind(std::stoi(fields[5]));
    if (KindView(spaceKind) == ViewDimension::k3D && !IsDataKind(spaceKind) && spaceKind == std::stoi(fields[3])) {
      spaceEquations += "Expr " + fields[0] + ";\n";
      ++spaceCount;
    }
    if (IsFourDKind(fourDKind) && fourDKind == std::stoi(fields[5])) {
      fourDEquations += "Expr " + fields[0] + ";\n";
      ++fourDCount;
    }
  }
  ASSERT_GE(spaceCount, 20);
  ASSERT_GE(fourDCount, 3);
  for (const auto& [equations, count] :
       {std::pair{spaceEquations, spaceCount}, std::pair{fourDEquations, fourDCount}}) {
    GraphedDocument g("3D.Axes 0;\n" + equations);
    ASSERT_TRUE(g.document && g.RunUntilDone());
    UpdateGraphMessages(g.document.get());
    for (int32_t e = 0; e < count; ++e) {
      const int32_t message = EquationMessage(g.document.get(), e);
      EXPECT_NE(message, kMsgCantGraphIn3D) << "equation " << e << " of\n" << equations;
      EXPECT_NE(message, kMsgCantGraphIn4D) << "equation " << e << " of\n" << equations;
    }
  }
}

}  // namespace
