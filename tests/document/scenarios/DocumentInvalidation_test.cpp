#include <random>

#include "document/MathPaneResults.h"
#include "document/SliderAnimation.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "graphs3d/implicit/ATransformedImplicitSurface.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "tests/document/GraphedDocument.h"

namespace {

class DocumentInvalidation : public GraphingTest {};

// Definitions, a derivative, result strings, a slider and several kinds of
// graph: every thread the document starts has work when the next edit comes.
constexpr char kBusyDocument[] =
    "Slider 0 2;\nSliderSteps 4;\n"
    "Expr 'f'(x) = sin(3*x) + x^2/4;\nExpr a = 1/3;\nExpr y = 'f'(x) + a*n;\n"
    "Expr y < 'f'(x) - 1;\nExpr r = 1 + theta/6;\nExpr 2/7;\nExpr exp(i);\nExpr y = d/dx('f'(x));\n";

TEST_F(DocumentInvalidation, AThousandEditsAmidExpansionResultsAndGraphsEndAsOne) {
  GraphedDocument busy(kBusyDocument);
  ASSERT_TRUE(busy.document);
  DocumentRecord* d = busy.document.get();
  std::mt19937 random(35);
  for (int edit = 0; edit < 1000; ++edit) {
    InvalExprs(d);
    const int idles = static_cast<int>(random() % 4);
    for (int k = 0; k < idles; ++k) DocumentIdle(d);
    if (edit % 100 == 0) {
      ASSERT_TRUE(busy.RunUntilDone());
    }
  }
  ASSERT_TRUE(busy.RunUntilDone() && AwaitResults(d));
  EXPECT_EQ(MathPaneResultForBlock(d, 5), u"0.28571429");

  GraphedDocument fresh(kBusyDocument);
  ASSERT_TRUE(fresh.RunUntilDone());
  EXPECT_EQ(DifferingPixels(busy.Picture(), fresh.Picture()), 0);
}

TEST_F(DocumentInvalidation, TheAnimationStepsOnlyWhenTheGraphsAreDone) {
  GraphedDocument g("Slider 0 2;\nSliderSteps 2;\nExpr y = x + n;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  DocumentRecord* d = g.document.get();
  LoopGraphingAnimation(d);
  QImage frames[3];
  for (QImage& frame : frames) {
    const int32_t value = d->fContents.sliderControlValue;
    while (d->fContents.sliderControlValue == value) DocumentIdle(d);
    ASSERT_TRUE(g.RunUntilDone());
    frame = g.Picture().copy();
  }
  EXPECT_EQ(d->fContents.sliderControlValue, 0);  // 1, 2, then round to 0
  GraphedDocument shifted("Expr y = x + 1;\n");
  ASSERT_TRUE(shifted.RunUntilDone());
  EXPECT_EQ(DifferingPixels(frames[0], shifted.Picture()), 0);
  EXPECT_GT(DifferingPixels(frames[0], frames[1]), 50);
  StopGraphingAnimation(d);
}

// The slider in a start point, a field and an implicit surface, each with
// its copy through a space transformation in the second view.
constexpr char kSpaceDocument[] =
    "Slider 0 2;\nSliderSteps 4;\n"
    "Expr function(optotal(t), vector(x, y, z)) = vector(-y, x, n/4), vector(x, y, z) = vector(1, 0, n - 1);\n"
    "Grain 0.1;\nExpr x^2 + y^2 + z^2 = 1 + n/4;\n"
    "Expr vector('x''', 'y''', 'z''') = vector(x, y + z, z);\n";

// Two hundred moves of the slider amid the idle's work while the graphs and
// their copies compute (the thread sanitizer watches): the end is what a
// document opened at the last value draws, and each copy maps its source.
TEST_F(DocumentInvalidation, SliderStormsOnSolutionsSurfacesAndTheirCopiesEndAsOne) {
  GraphedDocument g(kSpaceDocument);
  ASSERT_TRUE(g.document);
  DocumentRecord* d = g.document.get();
  std::mt19937 random(52);
  for (int move = 0; move < 200; ++move) {
    MoveSlider(d, int32_t(random() % 5));
    for (int k = int(random() % 3); k > 0; --k) DocumentIdle(d);
    if (move % 50 == 0) {
      ASSERT_TRUE(g.RunUntilDone());
    }
  }
  MoveSlider(d, 3);
  ASSERT_TRUE(g.RunUntilDone());
  GraphedDocument fresh(std::string("SliderControlValue 3;\n") + kSpaceDocument);
  ASSERT_TRUE(fresh.RunUntilDone());

  const auto [plot, copy] = GraphAndMirror<AStartOnPoint, ATransformedDEPlot3D>(g);
  const auto [freshPlot, freshCopy] = GraphAndMirror<AStartOnPoint, ATransformedDEPlot3D>(fresh);
  ASSERT_TRUE(plot && copy && freshPlot && freshCopy);
  ASSERT_EQ(plot->Solutions()->Solutions().CurrentCount(), 1);
  ASSERT_EQ(copy->Solutions().CurrentCount(), 1);
  const std::unique_ptr<ASolution> s = plot->Solutions()->Solutions().CopyCurrent(0);
  const std::unique_ptr<ASolution> m = copy->Solutions().CopyCurrent(0);
  const std::unique_ptr<ASolution> f = freshPlot->Solutions()->Solutions().CopyCurrent(0);
  ASSERT_EQ(s->count, f->count);
  ASSERT_EQ(m->count, s->count);
  for (int32_t i = 0; i < s->count; ++i) {
    const Vertex &p = s->points[i], &q = m->points[i];
    EXPECT_TRUE(p.x == f->points[i].x && p.y == f->points[i].y && p.z == f->points[i].z) << i;
    EXPECT_TRUE(q.x == p.x && q.y == float(double(p.y) + p.z) && q.z == p.z) << i;
  }

  const auto [surface, mirror] = GraphAndMirror<AnImplicitSurface, ATransformedImplicitSurface>(g);
  const auto [freshSurface, freshMirror] = GraphAndMirror<AnImplicitSurface, ATransformedImplicitSurface>(fresh);
  ASSERT_TRUE(surface && mirror && freshSurface && freshMirror);
  EXPECT_GT(surface->TriangleCount(), 0);
  EXPECT_EQ(surface->TriangleCount(), freshSurface->TriangleCount());
  EXPECT_EQ(mirror->TriangleCount(), surface->TriangleCount());
  EXPECT_EQ(mirror->TriangleCount(), freshMirror->TriangleCount());
}

}  // namespace
