#include "platform/FontFaces.h"
#include "platform/TextLayout.h"
#include "platform/TextWidthCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Far more (face, text) pairs than the per-thread table holds, some longer
// than it keeps, asked for in turn several times over: every answer is the
// text laid out afresh, scaled.
TEST(TextWidthCache, EveryAnswerIsTheLayoutsWidth) {
  const uint32_t faces[] = {FontFaceId(FindFontFamily("Times"), false, true),
                            FontFaceId(FindFontFamily("Times"), true, false),
                            FontFaceId(FindFontFamily("Courier"), false, false)};
  std::vector<std::u16string> texts;
  for (char16_t c = u'!'; c < u'!' + 90; ++c) texts.push_back(std::u16string(1, c));
  for (int i = 0; i < 600; ++i) texts.push_back(u"x" + std::u16string(1 + i % 14, char16_t(u'a' + i % 26)));
  std::vector<double> expected;
  for (const uint32_t face : faces)
    for (const std::u16string& text : texts) expected.push_back(TextLayout(text, face, 1.0).Width());
  for (const double size : {12.0, 7.5, 12.0}) {
    size_t k = 0;
    for (const uint32_t face : faces)
      for (const std::u16string& text : texts) ASSERT_EQ(CachedTextWidth(text, face, size), expected[k++] * size);
  }
  EXPECT_EQ(CachedTextWidth(u"", faces[0], 12), 0);
  EXPECT_EQ(CachedTextWidth(u"x", faces[0], -1), 0);
}

}  // namespace
