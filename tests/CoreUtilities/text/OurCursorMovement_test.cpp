#include "CoreUtilities/text/OurCursorMovement.h"

#include "tests/CoreUtilities/DataLines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Boundaries {
  std::u16string text;
  std::vector<int32_t> stops;
};

std::vector<Boundaries> ReadIcuBoundaries() {
  std::vector<Boundaries> rows;
  for (const std::string& line : DataLines("grapheme_boundaries.txt")) {
    const size_t bar = line.find('|');
    Boundaries& row = rows.emplace_back();
    std::istringstream units(line.substr(0, bar));
    for (unsigned unit; units >> std::hex >> unit;) row.text.push_back(static_cast<char16_t>(unit));
    std::istringstream stops(line.substr(bar + 1));
    for (int32_t stop; stops >> stop;) row.stops.push_back(stop);
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

// Caret and selection moves in left-to-right and right-to-left text; bad
// arguments leave the offset.
TEST(OurCursorMovement, StepsFollowTheDisplayOrderAndCollapseSelections) {
  const char16_t* latin = u"abcdef";
  const char16_t* hebrew = u"\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5";  // shown right to left
  struct Move {
    const char16_t* text;
    int32_t start, end, verb, expected;
  };
  for (const Move& m : {Move{latin, 1, 1, kOurCursorRightward, 2}, Move{latin, 6, 6, kOurCursorRightward, 6},
                        Move{latin, 0, 0, kOurCursorLeftward, 0}, Move{hebrew, 1, 1, kOurCursorLeftward, 2},
                        Move{hebrew, 1, 1, kOurCursorRightward, 0}, Move{hebrew, 1, 1, kOurCursorNext, 2},
                        Move{latin, 2, 4, kOurCursorNext, 5}, Move{latin, 4, 2, kOurCursorPrevious, 1},
                        Move{latin, 4, 2, kOurCursorRightward, 5}, Move{latin, 2, 4, kOurCursorLeftward, 1},
                        Move{hebrew, 2, 4, kOurCursorNext, 5}, Move{hebrew, 4, 2, kOurCursorPrevious, 1},
                        Move{hebrew, 2, 4, kOurCursorRightward, 1},  // the right end is the smaller
                        Move{hebrew, 2, 4, kOurCursorLeftward, 5}, Move{latin, 1, 1, 7, 1},
                        Move{latin, 9, 9, kOurCursorNext, 9}, Move{latin, -2, -2, kOurCursorPrevious, -2},
                        Move{u"", 0, 0, kOurCursorNext, 0}, Move{nullptr, 0, 0, kOurCursorNext, 0}}) {
    const int32_t moved = m.start == m.end ? OurCursorMovement(m.text, m.start, m.verb)
                                           : OurCursorMovement(m.text, m.start, m.end, m.verb);
    EXPECT_EQ(moved, m.expected) << m.start << ".." << m.end << " verb " << m.verb;
  }
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
