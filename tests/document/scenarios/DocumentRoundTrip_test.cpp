#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "app/TextureCoding.h"
#include "document/DocumentReading.h"
#include "document/DocumentWriter.h"
#include "expression/ExpressionParser.h"
#include "graphpane/UsableRanges.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/views/A4DGraphView.h"
#include "tests/document/DocumentFields.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>

using namespace document_fields;

namespace {

std::string Write(const DocumentRecord& document) {
  const auto text = WriteDocumentText(document);
  EXPECT_TRUE(text);
  return text.value_or("");
}

void ExpectFixedPoint(const DocumentRecord& document) {
  const std::string once = Write(document);
  const auto again = Read(once);
  ASSERT_TRUE(again) << once;
  EXPECT_EQ(Changed(FieldsOf(document), FieldsOf(*again)), Fields{}) << once;
  EXPECT_EQ(Write(*again), once);
}

TEST(DocumentRoundTrip, GoldenDocumentsAreFixedPoints) {
  for (const char* name :
       {"document_golden_settings.zlf", "document_golden_blocks.zlf", "../../examples/welcome.zlf"}) {
    SCOPED_TRACE(name);
    const auto document = Read(Golden(name));
    ASSERT_TRUE(document);
    ExpectFixedPoint(*document);
  }
}

TEST(DocumentRoundTrip, GoldenDocumentsReadAsWritten) {
  const auto settings = Read(Golden("document_golden_settings.zlf"));
  ASSERT_TRUE(settings);
  const DocumentContents& c = settings->fContents;
  EXPECT_STREQ(c.fontName, "Helvetica");
  EXPECT_EQ(c.pageMargins->fields[0], 49152);  // the second value, 0.75
  // "-1e999 Infinity" reads as the infinities, which no view can use: the
  // range keeps its default.
  EXPECT_EQ(c.pane.view4D.w[0], -2);
  EXPECT_EQ(c.pane.view4D.w[1], 2);
  EXPECT_TRUE(std::signbit(c.parameters[1].value));
  ASSERT_EQ(c.pictures2D.Count(), 1);
  const QImage& image = c.pictures2D[0].picture->image;
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.pixel(2, 1), 0xFF808080u);
  EXPECT_DOUBLE_EQ(settings->fSliderValue.load(), -1.5);  // -3 + 6 * 15 / 60

  const auto blocks = Read(Golden("document_golden_blocks.zlf"));
  ASSERT_TRUE(blocks);
  ASSERT_EQ(blocks->fContents.blocks.Count(), 7);
  const Table* table = blocks->fContents.blocks[5].table;
  EXPECT_EQ(table->columns[1].Cell(2), u"");  // the empty cell keeps its row
  EXPECT_EQ(table->columns[1].Cell(3), u"5");
  EXPECT_EQ(table->columns[2].Cell(3), u"\"three\"");
}

TEST(DocumentRoundTrip, CellsWithTabsAndLineBreaksStayInTheirCells) {
  auto document = Read("Zentrolabworksheet 4;\nTable\tx\t1\nEndOfTable;\n");
  ASSERT_TRUE(document);
  AddTableCell(document->fContents.blocks[0].table, "a\tb\nc\rd", 7, false);
  AddTableCell(document->fContents.blocks[0].table, "after", 5, false);
  const auto again = Read(Write(*document));
  ASSERT_TRUE(again);
  const TableColumn& column = again->fContents.blocks[0].table->columns[0];
  ASSERT_EQ(column.CellCount(), 4);
  EXPECT_EQ(column.Cell(2), u"a b c d");
  EXPECT_EQ(column.Cell(3), u"after");
  EXPECT_EQ(again->fContents.blocks[0].table->columns.size(), 1u);
}

// Bytes that are not UTF-8 read as U+FFFD, one for each piece that cannot
// begin or go on a character (as Python's "replace" error handler decodes
// them), in a table cell as in a text block: the cell keeps its place and
// the rest of its text, and survives writing and reading again.
TEST(DocumentRoundTrip, CellsOfInvalidUTF8ReadAsReplacementCharacters) {
  struct Case {
    const char* bytes;
    std::u16string text;
  };
  const Case kCases[] = {
      {"a\xED\xA0\x80z", u"a\uFFFD\uFFFD\uFFFDz"},        // a lone surrogate, U+D800
      {"\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},            // and U+DFFF
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // '/' overlong in two bytes
      {"\xE0\x80\xAF!", u"\uFFFD\uFFFD\uFFFD!"},          // and in three
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"x\xFFy", u"x\uFFFDy"},
      {"\xF0\x9F\x98\x80\xED\xA0\x80\xC3\xA9", u"\U0001F600\uFFFD\uFFFD\uFFFD\u00E9"},
  };
  const size_t count = std::size(kCases);
  std::string file = "Zentrolabworksheet 4;\nTextEncoding UTF8;\nTable\tname";
  for (const Case& c : kCases) file += std::string("\t") + c.bytes;
  file += "\t7\nEndOfTable;\n";
  for (const Case& c : kCases) file += std::string("Text \"") + c.bytes + "\";\n";
  const auto first = Read(file);
  ASSERT_TRUE(first);
  const auto again = Read(Write(*first));
  ASSERT_TRUE(again);
  for (const DocumentRecord* document : {first.get(), again.get()}) {
    ASSERT_EQ(document->fContents.blocks.Count(), int32_t(count + 1));
    const TableColumn& column = document->fContents.blocks[0].table->columns.at(0);
    ASSERT_EQ(column.CellCount(), int32_t(count + 2));
    EXPECT_EQ(column.HeadingText(), u"name");
    for (size_t i = 0; i < count; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(column.Cell(int32_t(i) + 1), kCases[i].text);
      UniChar* block = OurTextGetContents(document->fContents.blocks[int32_t(i) + 1].text);
      ASSERT_NE(block, nullptr);
      EXPECT_EQ(std::u16string(block), kCases[i].text);
      OurStringDispose(block);
    }
    EXPECT_EQ(column.NumberAt(int32_t(count)), 7.0);
  }
}

// Random records of every field kind; the second views' T, R and Theta
// ranges are shared, as the format carries them once.
class RandomDocument {
 public:
  explicit RandomDocument(uint32_t seed) : fRandom(seed) {}

  std::unique_ptr<DocumentRecord> Make() {
    auto d = std::make_unique<DocumentRecord>();
    DocumentContents& c = d->fContents;
    for (int16_t& v : c.windowRect) v = int16_t(Int(-32768, 32767));
    c.textEncoding = Int(0, 1);
    c.paneDivider = Int(-5, 100000);
    c.significantDigits = int16_t(Int(-3, 40));
    c.drawGraph = Int(0, 1);
    const char* fonts[] = {"Times", "Helvetica", "Zapf \xC3\xA9l\xC3\xA9gant", "x"};
    std::snprintf(c.fontName, sizeof c.fontName, "%s", fonts[Int(0, 3)]);
    c.fontSize = int16_t(Int(-10, 300));
    c.backgroundType = uint8_t(Int(0, 255));
    for (uint8_t& v : c.backgroundColor) v = uint8_t(Int(0, 255));
    c.stackPanes = Int(0, 1);
    if (Int(0, 1)) {
      c.pageMargins = static_cast<PageMargins*>(OurAllocateMemory(sizeof(PageMargins), true));
      for (int32_t& v : c.pageMargins->fields) v = Int(INT32_MIN, INT32_MAX);
    }
    c.sliderMinimum = UsableReal(), c.sliderMaximum = UsableReal();
    c.sliderSteps = int16_t(Int(-100, 1000));
    c.sliderControlValue = Int(-10, 1000);
    c.animationRunning = Int(0, 1);
    c.sliderVariable = uint8_t(Int(0, 1) ? Int('a', 'z') : Int('A', 'Z'));
    c.sliderThrottle = Int(-3, 30);
    c.sliderOneDirection = Int(0, 1);
    c.sliderDirection = Int(-1, 1);
    c.useAntialiasing = Int(0, 1);
    if (Int(0, 3) == 0) {
      c.printRecord = OurAllocateMemoryPurgeable(size_t(Int(1, 40)));
      auto* bytes = static_cast<unsigned char*>(OurLockMemoryPurgeable(c.printRecord));
      for (size_t i = 0; i < c.printRecord->size; ++i) bytes[i] = uint8_t(Int(0, 255));
    }
    FillPane(c.pane);
    for (int i = Int(0, 3); i > 0; --i) c.parameters.Add({Real(), Int('a', 'z')});
    for (int i = Int(0, 4); i > 0; --i) AddBlock(c);
    if (Int(0, 4) == 0) c.pictures2D.Add({Picture(), Real(), Real()});
    if (Int(0, 4) == 0) c.pictures2Dp.Add({Picture(), Real(), Real()});
    c.readSucceeded = true;
    return d;
  }

 private:
  int32_t Int(int64_t low, int64_t high) {
    return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(low, high)(fRandom));
  }
  double Real() {
    const double specials[] = {-0.0, 0.0, gNaN, gInf, -gInf, 1e-310, 1.7976931348623157e308, 0.1, -2.5};
    if (Int(0, 2) == 0) return specials[Int(0, 8)];
    return std::uniform_real_distribution<double>(-1e6, 1e6)(fRandom);
  }
  double UsableZoom() {
    return std::uniform_real_distribution<double>(A3DGraphView::kMinimumZoom, A3DGraphView::kMaximumZoom)(fRandom);
  }
  double UsableReal() {
    double v = Real();
    while (!IsUsableViewValue(v)) v = Real();
    return v;
  }
  void FillPane(GraphPaneSettings& p) {
    ForEachPaneField(
        p, [&](const std::string&, bool& flag) { flag = Int(0, 1); },
        [&](const std::string& name, double* values, int count) {
          // A range with equal ends reads as not given; ranges, scales and
          // corners no view can use are not read, nor 3-D boxes, 4-D
          // domains and depths the views cannot draw.
          const bool range = count == 2 && !name.ends_with(".scale") && !name.ends_with(".bottomLeft");
          const bool viewed = count == 2;
          const bool domain = name.ends_with(".x") || name.ends_with(".y") || name.ends_with(".z");
          const bool box = name.starts_with("view3D") && domain;
          const bool fourD = name.starts_with("view4D") && (domain || name.ends_with(".w"));
          if (name.ends_with(".depth") || name == "pane.depth4D") {
            values[0] = Int(0, 1) ? 0 : UsableZoom();
            return;
          }
          for (int i = 0; i < count; ++i) values[i] = viewed ? UsableReal() : Real();
          while ((range && values[1] == values[0]) || (box && !A3DGraphView::IsUsableBoxRange(values[0], values[1])) ||
                 (fourD && !A4DGraphView::IsUsableAxisRange(values[0], values[1])))
            values[1] = UsableReal();
        });
    for (View2DSettings* v : {&p.view2D, &p.view2Dp})
      v->integers[0] = Int(INT32_MIN, INT32_MAX), v->integers[1] = Int(-5, 5);
    std::copy(p.view2Dp.t, p.view2Dp.t + 2, p.view3Dp.t);
    std::copy(p.view2Dp.r, p.view2Dp.r + 2, p.view3Dp.r);
    std::copy(p.view2Dp.theta, p.view2Dp.theta + 2, p.view3Dp.theta);
  }
  OurPicture* Picture() {
    auto* picture = new OurPicture;
    picture->image = QImage(Int(1, 3), Int(1, 2), QImage::Format_ARGB32);
    for (int y = 0; y < picture->image.height(); ++y)
      for (int x = 0; x < picture->image.width(); ++x) picture->image.setPixel(x, y, uint32_t(Int(0, UINT32_MAX)));
    picture->frame = picture->image.rect();
    return picture;
  }
  void AddBlock(DocumentContents& c) {
    MBlock block = {};
    switch (Int(0, 2)) {
      case 0: {
        const char* formulas[] = {"y=x^2",         "z=x*y-1", "x^2+y^2<4", "w=sin(x)/x", "a=\"it's; \"\"q\"\"\"",
                                  "k=slider(0,1)", "p=1+2*i"};
        block.kind = kEquationBlock;
        block.Color = Real(), block.Grain = UsableReal(), block.Opacity = Real(), block.PlottingMode = Real();
        block.XYType = Real(), block.mathPaneSlider = Int(INT32_MIN, INT32_MAX);
        SetEquationTree(block, ParseExprFromString(formulas[Int(0, 6)]));
        if (Int(0, 3) == 0) block.texture = Picture();
        break;
      }
      case 1: {
        block.kind = kTextBlock;
        block.text = OurTextNew();
        const char* pieces[] = {"plain", "<tag>", "\"quoted\"", "\xC3\xA9t\xC3\xA9", "\r", "tab\there", "\xE2\x88\x9E"};
        const char* fonts[] = {"Times", "Helvetica", "Courier"};
        for (int i = Int(1, 5); i > 0; --i) {
          OurTextSetFont(fonts[Int(0, 2)], 0, true, block.text);
          OurTextSetSize(Int(6, 40), block.text);
          OurTextSetStyleBold(block.text, Int(0, 1));
          OurTextSetStyleItalic(block.text, Int(0, 1));
          OurTextSetStyleUnderline(block.text, Int(0, 1));
          const char* piece = pieces[Int(0, 6)];
          OurTextInsertString(piece, int32_t(std::strlen(piece)), true, block.text);
        }
        break;
      }
      default: {
        block.kind = kTableBlock;
        block.table = CreateTable(nullptr);
        block.table->fontSize = Int(1, 255);
        block.table->rowHeight = block.table->fontSize + block.table->fontSize / 2 + 2;
        block.table->displayRows = Int(0, 9);
        const char* cells[] = {"", "1", "-0", "x", "name", "\xC3\xA9", "2.5e3", "\"q\"", "EndOfTable"};
        for (int column = Int(1, 3); column > 0; --column) {
          bool first = true;
          for (int row = Int(1, 4); row > 0; --row, first = false) {
            const char* cell = cells[Int(0, 8)];
            AddTableCell(block.table, cell, int32_t(std::strlen(cell)), first);
          }
        }
        break;
      }
    }
    c.blocks.Add(block);
  }

  std::mt19937 fRandom;
};

TEST(DocumentRoundTrip, RandomRecordsAreFixedPoints) {
  for (uint32_t seed = 1; seed <= 1000; ++seed) {
    SCOPED_TRACE(seed);
    const auto document = RandomDocument(seed).Make();
    ExpectFixedPoint(*document);
    if (HasFailure()) break;
  }
}

}  // namespace
