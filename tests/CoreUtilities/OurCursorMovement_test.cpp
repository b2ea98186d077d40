#include "CoreUtilities/OurText/OurCursorMovement.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Boundaries {
  std::u16string text;
  std::vector<int32_t> stops;
};

std::vector<Boundaries> ReadIcuBoundaries() {
  std::ifstream file(ZL_TEST_DATA_DIR "/grapheme_boundaries.txt");
  std::vector<Boundaries> rows;
  for (std::string line; std::getline(file, line);) {
    const size_t bar = line.find('|');
    if (bar == std::string::npos) continue;
    Boundaries row;
    std::istringstream units(line.substr(0, bar));
    for (unsigned unit; units >> std::hex >> unit;) row.text.push_back(static_cast<char16_t>(unit));
    std::istringstream stops(line.substr(bar + 1));
    for (int32_t stop; stops >> stop;) row.stops.push_back(stop);
    rows.push_back(row);
  }
  return rows;
}

TEST(OurCursorMovement, LogicalStepsStopAtGraphemeBoundaries) {
  const std::vector<Boundaries> rows = ReadIcuBoundaries();
  ASSERT_GE(rows.size(), 10u);
  for (const Boundaries& row : rows) {
    const char16_t* text = row.text.c_str();
    std::vector<int32_t> forward{0};
    for (int32_t at = 0, next; (next = OurCursorMovement(text, at, kOurCursorNext)) != at; at = next)
      forward.push_back(next);
    EXPECT_EQ(forward, row.stops) << "forward through sample of " << row.text.size() << " units";
    std::vector<int32_t> backward{static_cast<int32_t>(row.text.size())};
    for (int32_t at = backward[0], next; (next = OurCursorMovement(text, at, kOurCursorPrevious)) != at; at = next)
      backward.insert(backward.begin(), next);
    EXPECT_EQ(backward, row.stops) << "backward through sample of " << row.text.size() << " units";
  }
}

TEST(OurCursorMovement, VisualStepsFollowTheDisplayOrder) {
  const char16_t* latin = u"abc";
  EXPECT_EQ(OurCursorMovement(latin, 1, kOurCursorRightward), 2);
  EXPECT_EQ(OurCursorMovement(latin, 3, kOurCursorRightward), 3);  // at the end it stays
  EXPECT_EQ(OurCursorMovement(latin, 0, kOurCursorLeftward), 0);
  const char16_t* hebrew = u"\u05D0\u05D1\u05D2";  // shown right to left
  EXPECT_EQ(OurCursorMovement(hebrew, 1, kOurCursorLeftward), 2);
  EXPECT_EQ(OurCursorMovement(hebrew, 1, kOurCursorRightward), 0);
  EXPECT_EQ(OurCursorMovement(hebrew, 1, kOurCursorNext), 2);
}

TEST(OurCursorMovement, BadArgumentsLeaveTheOffset) {
  EXPECT_EQ(OurCursorMovement(u"abc", 1, 7), 1);
  EXPECT_EQ(OurCursorMovement(u"abc", 9, kOurCursorNext), 9);
  EXPECT_EQ(OurCursorMovement(u"abc", -2, kOurCursorPrevious), -2);
  EXPECT_EQ(OurCursorMovement(u"", 0, kOurCursorNext), 0);
  EXPECT_EQ(OurCursorMovement(nullptr, 0, kOurCursorNext), 0);
}

TEST(OurCursorMovement, SelectionCollapsesToTheEndTheVerbPointsAt) {
  const char16_t* latin = u"abcdef";
  EXPECT_EQ(OurCursorMovement(latin, 2, 4, kOurCursorNext), 5);
  EXPECT_EQ(OurCursorMovement(latin, 4, 2, kOurCursorPrevious), 1);
  EXPECT_EQ(OurCursorMovement(latin, 4, 2, kOurCursorRightward), 5);
  EXPECT_EQ(OurCursorMovement(latin, 2, 4, kOurCursorLeftward), 1);
  const char16_t* hebrew = u"\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5";
  EXPECT_EQ(OurCursorMovement(hebrew, 2, 4, kOurCursorNext), 5);
  EXPECT_EQ(OurCursorMovement(hebrew, 4, 2, kOurCursorPrevious), 1);
  EXPECT_EQ(OurCursorMovement(hebrew, 2, 4, kOurCursorRightward), 1);  // the right end is the smaller
  EXPECT_EQ(OurCursorMovement(hebrew, 2, 4, kOurCursorLeftward), 5);
}

TEST(OurStringGetDirection, ClassifiesByTheOutermostCharacters) {
  EXPECT_EQ(OurStringGetDirection(u"x + y"), kOurTextLeftToRight);
  EXPECT_EQ(OurStringGetDirection(u"x\U0001D465"), kOurTextLeftToRight);  // ends in a surrogate pair
  EXPECT_EQ(OurStringGetDirection(u"e\u0301"), kOurTextLeftToRight);
  EXPECT_EQ(OurStringGetDirection(u"\u05E9\u05DC\u05D5\u05DD"), kOurTextRightToLeft);
  EXPECT_EQ(OurStringGetDirection(u"ab \u05D0\u05D1"), kOurTextMixed);
  EXPECT_EQ(OurStringGetDirection(u""), kOurTextMixed);
  EXPECT_EQ(OurStringGetLeftmostCharacterPosition(u"\u05D0\u05D1\u05D2"), 2);
  EXPECT_EQ(OurStringGetRightmostCharacterPosition(u"\u05D0\u05D1\u05D2"), 0);
  EXPECT_EQ(OurStringGetLeftmostCharacterPosition(u"ab \u05D0\u05D1"), 0);
  EXPECT_EQ(OurStringGetRightmostCharacterPosition(u"ab \u05D0\u05D1"), 3);
  EXPECT_EQ(OurStringGetRightmostCharacterPosition(u""), 0);
}

}  // namespace
