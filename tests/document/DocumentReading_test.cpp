#include "CoreUtilities/MathConstants.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "expression/DocumentStatements.h"
#include "expression/ExpressionParser.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(DocumentReading, RecoversFromBadStatementsAndAbortsOnBadExpressions) {
  auto document = Read("Zentrolabworksheet 4;\nWindow 1 2 3;\nSlider 1;\nFontSizes 1 2;\nSignificantDigits 5;\n");
  ASSERT_TRUE(document);
  EXPECT_EQ(document->fContents.windowRect[0], 0);
  EXPECT_EQ(document->fContents.sliderMaximum, 1);
  EXPECT_EQ(document->fContents.fontSize, 12);
  EXPECT_EQ(document->fContents.significantDigits, 5);

  // The statements before the bad expression applied to the record being
  // read, but the read fails and hands nothing back.
  {
    DocumentRecord target;
    SetDocumentUnderConstruction(&target);
    const std::string text = "Zentrolabworksheet 4;\nParameter b = 1;\nExpr x y;\nWindow 1 2 3 4;\n";
    CoreParseDoc(text.data(), static_cast<int32_t>(text.size()));
    SetDocumentUnderConstruction(nullptr);
    EXPECT_FALSE(target.fContents.readSucceeded);
    EXPECT_EQ(target.fContents.parameters.Count(), 1);
    EXPECT_EQ(target.fContents.windowRect[0], 0);
  }
  EXPECT_FALSE(Read("Zentrolabworksheet 4;\nExpr y = ;\n"));
  EXPECT_FALSE(Read("Zentrolabworksheet 4;\nExpr y = x \x01;\n"));
  EXPECT_FALSE(Read("Window 1 2 3 4;\n"));
  EXPECT_FALSE(Read("Zentrolabworksheet x;\nWindow 1 2 3 4;\n"));
}

TEST(DocumentReading, DocumentsCutAtEveryByteNeitherCrashNorLeak) {
  for (const char* name : {"document_golden_settings.zlf", "document_golden_blocks.zlf"}) {
    const std::string text = Golden(name);
    ASSERT_GT(text.size(), 100u);
    int read = 0;
    for (size_t length = 0; length <= text.size(); ++length) read += Read(text.substr(0, length)) != nullptr;
    EXPECT_GT(read, 0);
  }
}

TEST(DocumentReading, TrustsNoValueOfTheFile) {
  std::string longName(400, 'a');
  longName.replace(254, 2, "\xC3\xA9");  // a two-byte character across the field's end
  const auto document = Read("Zentrolabworksheet 4;\nFontName \"" + longName +
                             "\";\nSignificantDigits 40;\nFontSizes -7;\nPageMargins 1e300 -1e300 NaN 0.5;\n"
                             "SliderSteps 1e10;\nWindow NaN 1e10 -1e10 70000;\nBackgroundColor 256 -1 300;\n"
                             "3D.Speed 7;\n3D.Rotation 2 0 0 0 1 0 0 0 1;\n4D.Speed1 5;\n"
                             "4D.Rotation 1 1 0 0 0 1 0 0 0 0 1 0 0 0 0 1;\nTableFontSize 2147483647;\n"
                             "Table\tx\nEndOfTable;\n");
  ASSERT_TRUE(document);
  const DocumentContents& c = document->fContents;
  EXPECT_EQ(std::string(c.fontName), std::string(254, 'a'));
  EXPECT_EQ(SignificantDigitsInUse(c), 17);
  EXPECT_EQ(FontSizeInUse(c), 1);
  EXPECT_EQ(c.pageMargins->fields[2], INT32_MAX);
  EXPECT_EQ(c.pageMargins->fields[0], INT32_MIN);
  EXPECT_EQ(c.pageMargins->fields[3], INT32_MIN);  // NaN, as the conversion rule gives
  EXPECT_EQ(c.pageMargins->fields[1], 32768);
  EXPECT_EQ(c.sliderSteps, -1);   // the low 16 bits of the saturated 2147483647
  EXPECT_EQ(c.windowRect[0], 0);  // low bits of -2147483648
  EXPECT_EQ(c.windowRect[3], int16_t(70000 - 65536));
  EXPECT_EQ(c.backgroundColor[0], 0);
  EXPECT_EQ(c.backgroundColor[1], 255);
  EXPECT_EQ(c.pane.spinSpeed3D, 0);  // not a rotation: no spin
  EXPECT_EQ(c.pane.speed1_4D, 0);
  EXPECT_EQ(c.pane.speed2_4D, 0);
  EXPECT_EQ(c.blocks[0].table->fontSize, 255);
  EXPECT_EQ(c.blocks[0].table->rowHeight, 255 + 127 + 2);
}

TEST(DocumentReading, RotationsGiveSpinAxesAndClampedSpeeds) {
  // A turn by 0.3 about z in the views' convention (transposed textbook form).
  const double c = std::cos(0.3), s = std::sin(0.3);
  std::string text = "Zentrolabworksheet 4;\n3D.Rotation";
  for (double v : {c, s, 0.0, -s, c, 0.0, 0.0, 0.0, 1.0}) text += " " + std::to_string(v);
  // p = q = (cos 0.25, sin 0.25 k): a 4-D rotation with both angles 0.5.
  const double a = std::cos(0.25), b = std::sin(0.25);
  // Columns of v -> p v q for that p and q, worked by hand: e0 -> (a^2 - b^2) e0 + 2ab e3, e3 -> -2ab e0 + (a^2 - b^2)
  // e3.
  const double m[16] = {a * a - b * b, 0, 0, -2 * a * b, 0, 1, 0, 0, 0, 0, 1, 0, 2 * a * b, 0, 0, a * a - b * b};
  text += ";\n4D.Rotation";
  for (double v : m) text += " " + std::to_string(v);
  const auto document = Read(text + ";\n");
  ASSERT_TRUE(document);
  const GraphPaneSettings& p = document->fContents.pane;
  EXPECT_NEAR(p.spinAxis3D[2], 1, 1e-5);
  EXPECT_NEAR(p.spinSpeed3D, 3, 1e-4);
  EXPECT_NEAR(p.axis1_4D[2], 1, 1e-5);
  EXPECT_NEAR(p.axis2_4D[2], 1, 1e-5);
  EXPECT_EQ(p.speed1_4D, 3.1);
  EXPECT_EQ(p.speed2_4D, 3.1);
}

TEST(DocumentReading, MacRomanTextFollowsPythonsCodec) {
  std::ifstream reference(std::string(ZL_TEST_DATA_DIR) + "/mac_roman_reference.txt");
  std::string text = "Zentrolabworksheet 4;\nTextEncoding MacOS;\nTable";
  std::u16string expected;
  unsigned byte = 0, code = 0;
  while (reference >> std::hex >> byte >> code) {
    text += "\t";
    text += char(byte);
    expected += char16_t(code);
  }
  ASSERT_EQ(expected.size(), 128u);
  const auto document = Read(text + "\nEndOfTable;\n");
  ASSERT_TRUE(document);
  const TableColumn& column = document->fContents.blocks[0].table->columns[0];
  ASSERT_EQ(column.CellCount(), 128);
  for (int i = 0; i < 128; ++i) EXPECT_EQ(column.Cell(i), std::u16string(1, expected[size_t(i)])) << i;
}

}  // namespace
