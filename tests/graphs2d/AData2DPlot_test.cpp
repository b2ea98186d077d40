#include <cmath>
#include <string>

#include "CoreUtilities/drawing/OurDrawing.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "graphs2d/AData2DPlot.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

// Column a has three rows, b four, S three texts.
constexpr char kDocument[] =
    "Zentrolabworksheet 4;\nTable\n\ta\t1\t2\t3\n\tb\t-4\t5\t60\t7\n\tS\tone\ttwo\tthree\nEndOfTable;\n";

class DataPlotTest : public FunctionGraphTest {
 protected:
  void SetUp() override {
    FunctionGraphTest::SetUp();
    document = ReadDocumentText(kDocument, int32_t(sizeof kDocument - 1));
    ASSERT_TRUE(document);
  }
  Compiled F(const char* text) { return text ? MakeExpression(text, document.get()) : nullptr; }
  AData2DPlot* Plot(ViewOnPort& view, const char* x, const char* y, const char* condition = nullptr,
                    const char* radius = nullptr, const char* symbol = nullptr, const char* label = nullptr) {
    auto* plot = AddedTo(view.view,
                         std::make_unique<AData2DPlot>(F(x), F(y), SolidColour(), F(condition), F(radius), F(symbol),
                                                       F(label), nullptr, view.view.GraphTransform(), document.get()));
    WaitUntilDone(*plot);
    return plot;
  }
  std::unique_ptr<DocumentRecord> document;
};

TEST_F(DataPlotTest, RowsOfTheLongerColumnWithHiddenRowsKept) {
  ViewOnPort view(400, 300);
  AData2DPlot* plot = Plot(view, "a", "b");
  ASSERT_EQ(plot->RowCount(), 4);
  EXPECT_EQ(plot->X(0), 1);
  EXPECT_EQ(plot->Y(2), 60);
  // Row 4 has no a: hidden.
  EXPECT_TRUE(std::isnan(plot->X(3)));

  ViewOnPort other(400, 300);
  AData2DPlot* some = Plot(other, "a", "b", "x > 1");
  EXPECT_EQ(some->RowCount(), 4);
  EXPECT_TRUE(std::isnan(some->X(0)));
  EXPECT_EQ(some->X(1), 2);
  EXPECT_EQ(some->Computed(), 4);
}

TEST_F(DataPlotTest, DataBoundsAndShowAllData) {
  ViewOnPort view(400, 300);
  AData2DPlot* plot = Plot(view, "a", "b");
  double b[4];
  ASSERT_TRUE(plot->GetDataBounds(&b[0], &b[1], &b[2], &b[3]));
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 3);
  EXPECT_EQ(b[2], -4);
  EXPECT_EQ(b[3], 60);
  // 60 lies above the default view: show-all-data widens it to the data and
  // keeps what was shown.
  const A2DTransform& t = view.view.GraphTransform();
  const double left = t.ITOX(t.pixelRect.left), bottom = t.ITOY(t.pixelRect.bottom);
  ASSERT_LT(t.ITOY(t.pixelRect.top), 60);
  EXPECT_TRUE(view.view.EnableShowAllData());
  view.view.DoShowAllData();
  EXPECT_GE(t.ITOY(t.pixelRect.top), 60);
  EXPECT_LE(t.ITOX(t.pixelRect.left), left);
  EXPECT_LE(t.ITOY(t.pixelRect.bottom), bottom);

  ViewOnPort inside(400, 300);
  Plot(inside, "a", "a / 2");
  EXPECT_FALSE(inside.view.EnableShowAllData());
  ViewOnPort none(400, 300);
  AData2DPlot* hidden = Plot(none, "a", "b", "0");
  ASSERT_TRUE(hidden->GetDataBounds(&b[0], &b[1], &b[2], &b[3]));
  EXPECT_TRUE(std::isnan(b[0]) && std::isnan(b[3]));
}

TEST_F(DataPlotTest, DotsOfThreePixelsTimesTheSampleFactor) {
  ViewOnPort view(400, 300);
  for (int factor : {1, 2}) {
    A2DTransform t = view.view.GraphTransform();
    t.xSampleFactor = t.ySampleFactor = factor;
    auto plot = std::make_unique<AData2DPlot>(F("a"), F("a"), SolidColour(), nullptr, nullptr, nullptr, nullptr,
                                              nullptr, t, document.get());
    WaitUntilDone(*plot);
    PortPtr port(NewOffscreenPort(QRect(0, 0, 400, 300)));
    {
      APushPort push(port.get());
      OurEraseRect(MRect{0, 0, 300, 400});
      plot->Draw();
    }
    const int h = t.XTOI_InfSafe(2), v = t.YTOI_InfSafe(2);
    EXPECT_EQ(RgbAt(*port, h + 3 * factor - 1, v), 0xFF0000u) << factor;
    EXPECT_NE(RgbAt(*port, h + 3 * factor + 2, v), 0xFF0000u) << factor;
  }
}

TEST_F(DataPlotTest, NonFiniteRadiiAreSkipped) {
  ViewOnPort view(400, 300);
  Plot(view, "a", "a", nullptr, "sqrt(-x)");
  view.Draw();
  EXPECT_EQ(PixelsOf(view.port->image, 0xFF0000), 0);
}

TEST_F(DataPlotTest, SymbolsAndLabelsSurviveATableEdit) {
  ViewOnPort view(400, 300);
  Plot(view, "a", "a", nullptr, nullptr, "S", "S");
  // Growing the text column moves its cells; the graph drew from copies.
  for (int32_t i = 0; i < document->fContents.blocks.Count(); ++i) {
    Table* table = document->fContents.blocks[i].table;
    if (table == nullptr) continue;
    for (TableColumn& column : table->columns) {
      for (int n = 0; n < 200; ++n) column.AppendCell(u"a longer text than any short string holds");
    }
  }
  view.Draw();
  const A2DTransform& t = view.view.GraphTransform();
  int ink = 0;
  for (int h = t.XTOI_InfSafe(2) - 8; h < t.XTOI_InfSafe(2) + 40; ++h) {
    for (int v = t.YTOI_InfSafe(2) - 8; v < t.YTOI_InfSafe(2) + 8; ++v) ink += ((view.At(h, v) >> 8) & 0xFF) < 0x80;
  }
  EXPECT_GT(ink, 10);
}

}  // namespace
