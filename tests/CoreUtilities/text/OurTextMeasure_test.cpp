#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "platform/FontFaces.h"
#include "tests/CoreUtilities/DataLines.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct ShapedText {
  std::string family;
  bool bold, italic;
  double unitsPerEm;
  std::u16string text;
  double advance, inkTop;  // font units
};

std::u16string FromCodePoints(const std::string& hex) {
  std::u16string text;
  std::istringstream in(hex);
  unsigned code;
  while (in >> std::hex >> code) text.push_back(static_cast<char16_t>(code));  // all in the BMP
  return text;
}

std::vector<ShapedText> ReadShaperReference() {
  std::vector<ShapedText> rows;
  for (const std::string& line : DataLines("font_advances.txt")) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '|');) fields.push_back(field);
    EXPECT_EQ(fields.size(), 7u) << line;
    if (fields.size() != 7) continue;
    rows.push_back({fields[0], fields[1] == "1", fields[2] == "1", std::stod(fields[3]), FromCodePoints(fields[4]),
                    std::stod(fields[5]), std::stod(fields[6])});
  }
  return rows;
}

TEST(OurFontDesc, PinnedFamiliesAreTheInstalledFiles) {
  for (const char* name : {"Times", "Symbol", "STIXGeneral"}) {
    const OurFontDesc font(name, 12, false, false);
    ASSERT_NE(font.GetStyle(), nullptr) << name;
    EXPECT_EQ(QFontInfo(font.GetStyle()->font).family(), "STIXGeneral") << name;
  }
  for (const char* name : {"Helvetica", "Lucida Grande", "Geneva"}) {
    const OurFontDesc font(name, 12, false, false);
    ASSERT_NE(font.GetStyle(), nullptr) << name;
    EXPECT_EQ(QFontInfo(font.GetStyle()->font).family(), "DejaVu Sans") << name;
  }
}

TEST(OurFontDesc, UnknownFamilyAndBadSizeGiveTimesAtTwelve) {
  const OurFontDesc unknown("No Such Family 9", 0, false, false);
  const OurFontDesc times("Times", 12, false, false);
  EXPECT_EQ(unknown.fontId, times.fontId);
  EXPECT_EQ(unknown.size, 12.0f);
  EXPECT_EQ(OurFontDesc(nullptr, -3, false, false).fontId, times.fontId);
  EXPECT_EQ(OurFontDesc("Times", std::nanf(""), false, false).size, 12.0f);
}

TEST(OurFontDesc, AscentAndDescentScaleWithSize) {
  const OurFontDesc small("Times", 10, false, false);
  const OurFontDesc large("Times", 40, false, false);
  EXPECT_GT(small.GetAscent(), 5);
  EXPECT_NEAR(large.GetAscent(), 4 * small.GetAscent(), 1e-4);
  EXPECT_NEAR(large.GetDescent(), 4 * small.GetDescent(), 1e-4);
}

TEST(OurTextMeasure, WidthsAndInkAgreeWithAnIndependentShaper) {
  const std::vector<ShapedText> rows = ReadShaperReference();
  ASSERT_GT(rows.size(), 50u);
  for (const ShapedText& row : rows) {
    for (float size : {9.0f, 12.0f, 17.5f}) {
      const OurFontDesc font(row.family.c_str(), size, row.bold, row.italic);
      const double scale = size / row.unitsPerEm;
      EXPECT_NEAR(OurStringWidth(row.text.c_str(), font), row.advance * scale, 0.01)
          << row.family << " " << row.bold << row.italic << " size " << size << " text " << row.text.size();
      EXPECT_NEAR(OurStringAscent(row.text.c_str(), font), row.inkTop * scale, 0.01) << row.family;
    }
  }
}

TEST(OurTextMeasure, EmptyNullAndInvalidMeasureZeroAndAPairIsOneCharacter) {
  const OurFontDesc font("Times", 12, false, false);
  EXPECT_EQ(OurStringWidth(u"", font), 0);
  EXPECT_EQ(OurStringWidth(nullptr, font), 0);
  EXPECT_EQ(OurStringAscent(u"", font), 0);
  EXPECT_EQ(OurPositionToOffset(nullptr, 5, font), 0);
  EXPECT_EQ(OurCharWidth(0x110000, font), 0);
  EXPECT_EQ(OurCharWidth(0xD800, font), 0);
  const char16_t pair[] = {0xD835, 0xDC65, 0};  // mathematical italic x
  EXPECT_GT(OurCharWidth(0x1D465, font), 2);
  EXPECT_FLOAT_EQ(OurCharWidth(0x1D465, font), OurStringWidth(pair, font));
}

TEST(OurTextMeasure, CaretPositionsAndHitTestingAreInverse) {
  const OurFontDesc font("Helvetica", 14, false, false);
  const char16_t* text = u"Wave form";
  float previous = -1;
  for (int32_t offset = 0; offset <= 9; ++offset) {
    const float x = OurOffsetToPosition(text, offset, font);
    EXPECT_GT(x, previous);
    previous = x;
    EXPECT_EQ(OurPositionToOffset(text, x + 0.3f, font), offset);
  }
  EXPECT_FLOAT_EQ(OurOffsetToPosition(text, 9, font), OurStringWidth(text, font));
  EXPECT_EQ(OurPositionToOffset(text, -50, font), 0);
  EXPECT_EQ(OurPositionToOffset(text, 1e6f, font), 9);
}

}  // namespace
