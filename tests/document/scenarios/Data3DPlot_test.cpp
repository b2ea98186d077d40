#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "document/DocumentTable.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/curves/AData3DPlot.h"
#include "renderer/DrawContext.h"
#include "renderer/M3DView.h"
#include "tests/document/GraphedDocument.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/support/SquareTopView.h"

namespace {

constexpr int kSide = 200;

std::string Column(const std::string& heading, int rows, const std::function<std::string(int)>& cell) {
  std::string text = "\t" + heading;
  for (int row = 1; row <= rows; ++row) text += "\t" + cell(row);
  return text + "\n";
}

// Data plots of a document's tables in a 3-D view of kSide pixels square,
// seen from above, without axes or spin.
class Data3DPlot : public GraphingTest {
 protected:
  void Open(const std::string& table) {
    document = DocumentOf("Table\n" + table + "EndOfTable;\n");
    ASSERT_TRUE(document);
    world = OurNewGWorld(MRect{0, 0, kSide, kSide});
    GraphedDocument::sWorld = world;
    view = std::make_unique<A3DGraphView>();
    SquareTopView(*view, document.get(), kSide);
    view->ConstructContextNeededByGraphConstructors();
  }
  void TearDown() override {
    view.reset();
    document.reset();
    if (world) OurDisposeGWorld(world);
    GraphedDocument::sWorld = nullptr;
    GraphingTest::TearDown();
  }
  std::unique_ptr<AnExpression> F(const char* text) { return text ? MakeExpression(text, document.get()) : nullptr; }
  AData3DPlot& Plot(const char* x, const char* y, const char* z, const char* condition = nullptr,
                    const char* symbol = nullptr, const char* label = nullptr, const char* size = nullptr,
                    std::unique_ptr<AGraphColor> colour = nullptr) {
    if (colour == nullptr) {
      colour = std::make_unique<AGraphColor>();
      colour->fSolidColor = 0xFF0000;
    }
    auto* plot = new AData3DPlot(F(x), F(y), F(z), F(condition), F(symbol), F(label), F(size), std::move(colour),
                                 view->DrawContext(), document.get());
    view->AddGraph(std::unique_ptr<AGraph>(plot));
    Wait();
    return *plot;
  }
  void Wait() {
    ASSERT_TRUE(AwaitDocument(
        document.get(), [this] { return view->AreAllGraphsDoneComputing(); }, "the plots"));
  }
  void Draw() {
    Wait();
    view->SetViewParameter(kAttributeUpdateVertexObjects);
    ASSERT_EQ(view->Draw(true), 1);
  }
  uint32_t Pixel(int h, int v) const { return world->image.pixel(h, v) & 0xFFFFFF; }
  // The pixel over the point (x, y) of the plane z = 0 of the default box.
  QPoint At(double x, double y) const {
    const double scale = kSide * 0.5 * 0.3972 / M3DView::kDefaultZoom;
    return {int(kSide / 2 + x * scale), int(kSide / 2 - y * scale)};
  }
  bool Inked(int h, int v) const { return Pixel(h, v) != Pixel(0, 0); }
  int Ink() const {
    int n = 0;
    for (int v = 0; v < kSide; ++v)
      for (int h = 0; h < kSide; ++h) n += Inked(h, v);
    return n;
  }

  std::unique_ptr<DocumentRecord> document;
  OurPort* world = nullptr;
  std::unique_ptr<A3DGraphView> view;
};

// Row 2 has a NaN y, row 4 an infinite z; R marks every second row.
constexpr char kRows[] =
    "\tP\t1\t2\t3\t0\t5\t6\n\tQ\t1\t-1\t1\t1\t1\t1\n\tR\t1\t0\t1\t0\t1\t0\n\tS\tone\ttwo\tthree\tfour\tfive\tsix\n";

// NaN rows are kept, outside the bounds; infinite rows and those failing
// the condition are left out, the rest packed in order.
TEST_F(Data3DPlot, RowsKeptArePackedInOrder) {
  Open(kRows);
  AData3DPlot& plot = Plot("P", "sqrt(Q)", "1/P");
  ASSERT_EQ(plot.RowCount(), 6);
  ASSERT_EQ(plot.PointCount(), 5);
  const float xs[5] = {1, 2, 3, 5, 6};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(plot.Points()[i].x, xs[i]) << i;
  EXPECT_TRUE(std::isnan(plot.Points()[1].y));
  EXPECT_EQ(plot.GraphVisibility(), 0);
  double b[6];
  ASSERT_TRUE(plot.GetDataBounds(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]));
  const double expected[6] = {1, 6, 1, 1, 1.0 / 6, 1};
  for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(b[k], expected[k]) << k;

  AData3DPlot& odd = Plot("P", "Q", "R", "R > 0");
  ASSERT_EQ(odd.PointCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(odd.Points()[i].x, 2 * i + 1) << i;
  AData3DPlot& none = Plot("P", "Q", "R", "R > 1");
  EXPECT_EQ(none.PointCount(), 0);
  EXPECT_EQ(none.GraphVisibility(), 11);
  EXPECT_FALSE(none.GetDataBounds(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]));
}

TEST_F(Data3DPlot, AnEmptyTableIsDoneAtOnceAndSaysSo) {
  Open("\tE\n\tP\t1\n");
  AData3DPlot& plot = Plot("E", "E", "E");
  EXPECT_EQ(plot.RowCount(), 0);
  EXPECT_EQ(plot.GraphVisibility(), 11);
  Draw();
  EXPECT_EQ(plot.ModelCount(), 0);
  EXPECT_EQ(Ink(), 0);
}

// Point indexes are 16 bits: the rows past the first 65,536 lie on a line
// where none before them does, and must be drawn there, not over row 1.
TEST_F(Data3DPlot, RowsPastTheSixteenBitIndexesAreDrawnWhereTheyLie) {
  constexpr int kRowCount = 70000, kFirstRun = 65536, kTail = kRowCount - kFirstRun;
  Open(Column("P", kRowCount,
              [](int r) {
                return r <= kFirstRun ? std::string("1.9")
                                      : std::to_string(-1 + 2.0 * (r - kFirstRun - 1) / (kTail - 1));
              }) +
       Column("Q", kRowCount, [](int r) { return std::string(r <= kFirstRun ? "1.9" : "0"); }));
  AData3DPlot& plot = Plot("P", "Q", "0");
  ASSERT_EQ(plot.PointCount(), kRowCount);
  Draw();
  EXPECT_EQ(plot.ModelCount(), 2);
  const QPoint left = At(-0.9, 0), right = At(0.9, 0);
  int inked = 0;
  for (int h = left.x(); h <= right.x(); ++h)
    for (int v = left.y() - 1; v <= left.y() + 1; ++v) inked += Inked(h, v);
  EXPECT_GT(inked, (right.x() - left.x()) * 3 / 4);
}

// The symbols are copies: growing the text column frees the cells they came
// from (AddressSanitizer reports a read of them), and they still draw.
TEST_F(Data3DPlot, SymbolsAndLabelsSurviveATableEdit) {
  Open(kRows);
  document->fExpansion.dataPlotSymbolsOrLabels = true;
  Plot("P / 4", "0", "0", "R > 0", "S", "S");
  Draw();
  ASSERT_EQ(GetRendererType(view->DrawContext()), kRendererSoftware);
  const int before = Ink();
  for (int32_t i = 0; i < document->fContents.blocks.Count(); ++i) {
    Table* table = document->fContents.blocks[i].table;
    if (table == nullptr) continue;
    for (TableColumn& column : table->columns)
      for (int n = 0; n < 200; ++n) column.AppendCell(u"a longer text than any short string holds");
  }
  ASSERT_EQ(view->Draw(true), 1);
  // Three texts drawn twice each: far more than three dots.
  EXPECT_GT(before, 60);
  EXPECT_EQ(Ink(), before);
}

// A text size that is no size (negative, NaN, beyond a float) draws at the
// default, as no size does.
TEST_F(Data3DPlot, UnusableSizesDrawTheDefaultSize) {
  Open(kRows);
  document->fExpansion.dataPlotSymbolsOrLabels = true;
  const QImage none = [this] {
    AData3DPlot& plot = Plot("P / 4", "0", "0", "R > 0", "S");
    Draw();
    EXPECT_EQ(plot.ModelCount(), 1);
    view->DeleteGraphs();
    return world->image.copy();
  }();
  for (const char* size : {"-P", "sqrt(-P)", "10^300 * P", "9"}) {
    Plot("P / 4", "0", "0", "R > 0", "S", nullptr, size);
    Draw();
    EXPECT_EQ(DifferingPixels(world->image, none), 0) << size;
    view->DeleteGraphs();
  }
}

// Colour equations colour each row; the colour menu's colour then takes
// over every row.
TEST_F(Data3DPlot, ColourEquationsColourEachRowUntilTheMenuSetsOne) {
  Open(kRows);
  auto colour = EquationColour(AGraphColor::kRGBEquations, "R", "0", "1 - R", document.get());
  AData3DPlot& plot = Plot("P / 4", "0", "0", nullptr, nullptr, nullptr, nullptr, std::move(colour));
  Draw();
  // Pixels about the point at (x, 0) where red (or blue) stands out; the
  // renderer may grey points with distance.
  const auto near = [this](double x, uint32_t rgb) {
    const QPoint p = At(x, 0);
    int n = 0;
    for (int v = p.y() - 2; v <= p.y() + 2; ++v)
      for (int h = p.x() - 2; h <= p.x() + 2; ++h) {
        const int red = int(Pixel(h, v) >> 16), blue = int(Pixel(h, v) & 0xFF);
        n += rgb == 0xFF0000 ? red > blue + 30 : blue > red + 30;
      }
    return n;
  };
  EXPECT_GT(near(0.25, 0xFF0000), 0);  // row 1: R = 1
  EXPECT_GT(near(0.5, 0x0000FF), 0);   // row 2: R = 0
  EXPECT_EQ(near(0.5, 0xFF0000), 0);
  plot.SetParameter(kAttributeColor, 2);  // red
  Draw();
  EXPECT_GT(near(0.5, 0xFF0000), 0);
  EXPECT_EQ(near(0.5, 0x0000FF), 0);
}

TEST_F(Data3DPlot, ShowAllDataWidensTheBoxAndNeverShrinksIt) {
  Open(kRows);
  Plot("P / 10", "Q / 10", "R / 10");
  EXPECT_FALSE(view->EnableShowAllData());
  Plot("P", "-Q", "R");
  ASSERT_TRUE(view->EnableShowAllData());
  view->DoShowAllData();
  const GraphViewRecord& record = view->Record();
  EXPECT_EQ(record.ranges[kCoordX][0], -2);
  EXPECT_EQ(record.ranges[kCoordX][1], 6);
  EXPECT_EQ(record.ranges[kCoordY][0], -2);
  EXPECT_EQ(record.ranges[kCoordY][1], 2);
  EXPECT_EQ(record.ranges[kCoordZ][0], -2);
  EXPECT_EQ(record.ranges[kCoordZ][1], 2);
  EXPECT_FALSE(view->EnableShowAllData());
}

// The jobs read the view's box as it was when they were submitted: the
// draw context may be disposed and remade while they run.
TEST_F(Data3DPlot, JobsOutliveTheirDrawContext) {
  constexpr int kRowCount = 20000;
  Open(Column("P", kRowCount, [](int r) { return std::to_string(r % 7); }));
  AData3DPlot& plot = Plot("P", "P", "P");
  for (int k = 0; k < 5; ++k) {
    plot.ViewChanged();
    DisposeDrawContext(view->DrawContext());
    view->ConstructContextNeededByGraphConstructors();
  }
  Draw();
  EXPECT_EQ(plot.PointCount(), kRowCount);
  EXPECT_GT(plot.MaximumModelSpaceRadius(), 0);
}

// Through the document: a table and its plot, framed by Show All Data.
TEST_F(Data3DPlot, ADocumentDrawsItsDataPlotWithoutAMessage) {
  const std::string table = "Table\n" + std::string(kRows) + "EndOfTable;\n";
  GraphedDocument empty("3D.Axes 0;\n" + table + "Expr vector(P,Q,R),R>1;\n");
  ASSERT_TRUE(empty.document && empty.RunUntilDone());
  UpdateGraphMessages(empty.document.get());
  EXPECT_EQ(EquationMessage(empty.document.get(), 1), 11);
  GraphedDocument g("3D.Axes 0;\n" + table + "Expr vector(P/4,Q,R),'label'=S;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  EXPECT_TRUE(g.document->fExpansion.viewIs3D);
  EXPECT_EQ(g.Graphs(), 1);
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 0);
  EXPECT_GT(DifferingPixels(g.Picture(), empty.Picture()), 40);
}

}  // namespace
