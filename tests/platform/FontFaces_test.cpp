#include "platform/FontFaces.h"

#include <gtest/gtest.h>

namespace {

TEST(FontFamilies, NamesCompareWithoutRegardToCase) {
  const uint32_t times = FindFontFamily("Times");
  ASSERT_NE(times, kNoFontFace);
  EXPECT_EQ(FindFontFamily("times"), times);
  EXPECT_EQ(FindFontFamily("TIMES"), times);
  EXPECT_NE(FindFontFamily("Courier"), times);
  EXPECT_EQ(FindFontFamily("Timess"), kNoFontFace);
  EXPECT_EQ(FindFontFamily(""), kNoFontFace);
  // A name with letters outside ASCII takes the Unicode comparison.
  EXPECT_EQ(FindFontFamily("Tim\xC3\xA9s"), kNoFontFace);
  EXPECT_EQ(FindFontFamily(FontFamilyName(times).toStdString()), times);
}

}  // namespace
