#include "CoreUtilities/text/OurTextEngine.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "platform/TextBlock.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace {

struct BlockDeleter {
  void operator()(TextBlock* block) const { OurTextDispose(block); }
};
using Block = std::unique_ptr<TextBlock, BlockDeleter>;

std::u16string Contents(OurText text) {
  UniChar* units = OurTextGetContents(text);
  std::u16string copy(units);
  OurStringDispose(units);
  return copy;
}

// "start+length:flags" per run, flags b, i, u, then the size.
std::string Runs(OurText text) {
  std::string out;
  for (const TextStyleRun& run : text->StyleRuns()) {
    out += std::to_string(run.start) + "+" + std::to_string(run.length) + ":" + (run.bold ? "b" : "") +
           (run.italic ? "i" : "") + (run.underline ? "u" : "") + std::to_string(static_cast<int>(run.size)) + " ";
  }
  return out;
}

void Select(OurText text, int from, int to) {
  text->cursor.setPosition(from);
  text->cursor.setPosition(to, QTextCursor::KeepAnchor);
}

TEST(OurTextEngine, StylesFollowTheTextThroughInsertsAndUndo) {
  Block text(OurTextNew());
  OurTextInsertString("Hello world", 11, true, text.get());
  Select(text.get(), 6, 11);
  OurTextSetStyleBold(text.get(), true);
  EXPECT_EQ(Runs(text.get()), "0+6:12 6+5:b12 ");
  text->cursor.setPosition(0);
  OurTextInsertString("Oh, ", 4, false, text.get());
  EXPECT_EQ(Contents(text.get()), u"Oh, Hello world");
  EXPECT_EQ(Runs(text.get()), "0+10:12 10+5:b12 ");
  Select(text.get(), 0, 2);
  OurTextSetStyleItalic(text.get(), true);
  OurTextSetSize(18, text.get());
  EXPECT_EQ(Runs(text.get()), "0+2:i18 2+8:12 10+5:b12 ");

  OurTextUndo(text.get());  // size
  OurTextUndo(text.get());  // italic
  EXPECT_EQ(Runs(text.get()), "0+10:12 10+5:b12 ");
  OurTextUndo(text.get());  // the insertion
  EXPECT_EQ(Contents(text.get()), u"Hello world");
  EXPECT_EQ(Runs(text.get()), "0+6:12 6+5:b12 ");
}

TEST(OurTextEngine, KeysEditAtTheSelection) {
  Block text(OurTextNew());
  for (char16_t key : std::u16string(u"ab\u00e9")) OurTextKey(key, 0, text.get());
  OurTextKey(13, 0, text.get());
  OurTextKey('c', 0, text.get());
  EXPECT_EQ(Contents(text.get()), u"ab\u00e9\rc");
  OurTextKey(28, kOurShiftKey, text.get());  // select "c" leftward
  OurTextKey(28, kOurShiftKey, text.get());  // and the paragraph break
  OurTextKey(8, 0, text.get());
  EXPECT_EQ(Contents(text.get()), u"ab\u00e9");
  OurTextKey(28, 0, text.get());
  OurTextKey(127, 0, text.get());
  EXPECT_EQ(Contents(text.get()), u"ab");
  OurTextKey('q', kOurCommandKey, text.get());  // a menu's, not the text's
  EXPECT_EQ(OurTextGetLength(text.get()), 2);
}

TEST(OurTextEngine, ChangesWithUndoOffAreNotUndoneButOldStepsSurviveTheSwitch) {
  Block text(OurTextNew());
  OurTextInsertString("abc", 3, true, text.get());
  OurTextSetFeaturesForBeginText(text.get());
  OurTextSetFeaturesForBeginDoc(text.get());
  OurTextUndo(text.get());  // switching alone kept the step
  EXPECT_EQ(Contents(text.get()), u"");

  OurTextInsertString("abc", 3, true, text.get());
  OurTextReplaceContents(u"x\r\ny\rz", 6, 14, text.get());
  EXPECT_EQ(gFilterMathPaneText, 1);
  EXPECT_EQ(Contents(text.get()), u"x\ry\rz");
  EXPECT_EQ(Runs(text.get()), "0+5:14 ");
  OurTextUndo(text.get());
  EXPECT_EQ(Contents(text.get()), u"x\ry\rz");
}

TEST(OurTextEngine, JustificationAndGeometry) {
  Block text(OurTextNew());
  OurTextReplaceContents(u"Title", 5, 12, text.get());
  OurTextCenterJustify(text.get());
  EXPECT_EQ(Runs(text.get()), "0+5:b12 ");
  EXPECT_TRUE(text->document.begin().blockFormat().alignment() & Qt::AlignHCenter);
  EXPECT_EQ(text->cursor.position(), 0);
  OurTextLeftJustify(text.get());
  EXPECT_EQ(Runs(text.get()), "0+5:12 ");

  OurTextRecalculateMargins(text.get(), MRect{40, 10, 0, 210}, MRect{0, 10, 0, 210});
  const int oneLine = OurTextGetHeight(text.get());
  EXPECT_GT(oneLine, 12);
  EXPECT_EQ(OurTextGetBottom(text.get()), 40 + oneLine);
  OurTextInsertString(std::string(200, 'w').c_str(), 200, true, text.get());
  EXPECT_GT(OurTextGetHeight(text.get()), 3 * oneLine);           // wraps at 200 points
  EXPECT_TRUE(IsPointInOurTextBlock(text.get(), MPoint{5, 20}));  // above the top counts
  EXPECT_FALSE(IsPointInOurTextBlock(text.get(), MPoint{20, 300}));

  OurTextClick(MPoint{41, 11}, 0, 1, text.get());
  EXPECT_TRUE(OurTextIsActive(text.get()));
  EXPECT_EQ(text->cursor.position(), 0);
  OurTextClick(MPoint{41, 11}, 0, 2, text.get());
  EXPECT_TRUE(text->cursor.hasSelection());
}

// A clock a second on at each look: a deadline passes after a known number
// of looks, whatever the machine's speed.
std::atomic<int64_t> gClockLooks{0};
int64_t ASecondALook() { return gClockLooks.fetch_add(1) * 1'000'000'000; }

struct LookingClock {
  LookingClock() : former(SetDeadlineClock(ASecondALook)) { gClockLooks = 0; }
  ~LookingClock() {
    ClearComputationDeadline();
    SetDeadlineClock(former);
  }
  DeadlineClock former;
};

int InkedPixels(OurText text) {
  QImage picture(400, 200, QImage::Format_RGB32);
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    OurTextDraw(text, &painter);
  }
  int ink = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) ink += (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
  return ink;
}

// Paragraphs of one line each, 40 characters with the break: the deadline
// passing after the layout's first look leaves the paragraphs through
// character 65,535 laid out, and the text that high, undrawn. Without it
// the text is laid out and drawn whole.
TEST(OurTextEngine, ALongTextStopsAtTheDrawingDeadline) {
  constexpr int kParagraphs = 20000, kParagraphLength = 40;
  std::string body;
  for (int p = 0; p < kParagraphs; ++p)
    body += std::string(kParagraphLength - 1, 'w') + (p + 1 < kParagraphs ? "\r" : "");
  Block text(OurTextNew());
  OurTextInsertString(body.c_str(), int32_t(body.size()), true, text.get());
  const MRect place{0, 0, 0, 400};
  int stoppedHeight = 0;
  {
    const LookingClock clock;
    SetDrawingDeadline(1.5);  // set at the look at 0 s: the layout's looks come at 1 s, then 2 s
    const uint64_t stopsBefore = DrawingsStoppedShort();
    OurTextRecalculateMargins(text.get(), place, place);
    stoppedHeight = OurTextGetHeight(text.get());
    EXPECT_EQ(InkedPixels(text.get()), 0);
    EXPECT_EQ(DrawingsStoppedShort() - stopsBefore, 2u);
  }
  OurTextRecalculateMargins(text.get(), place, place);
  const int whole = OurTextGetHeight(text.get());
  const int laidOut = (1 << 16) / kParagraphLength + 1;
  EXPECT_NEAR(stoppedHeight, double(whole) * laidOut / kParagraphs, 2.0);
  EXPECT_GT(InkedPixels(text.get()), 0);
}

// Ink in a 400 x 200 picture of the text drawn from depth top down, rows
// above the middle and rows below it.
std::pair<int, int> InkAboveAndBelowMiddle(OurText text, int top) {
  QImage picture(400, 200, QImage::Format_RGB32);
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    painter.translate(0, -top);
    OurTextDraw(text, &painter);
  }
  std::pair<int, int> ink{0, 0};
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if ((picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++(y < 100 ? ink.first : ink.second);
  return ink;
}

// 3,500 one-line paragraphs of 40 characters, then one paragraph of 300,000
// that the engine would lay out in one call. The deadline passing while
// it is rehearsed leaves the short paragraphs through character 65,535
// laid out, the long one untouched, even by drawing, and nothing drawn
// below; a far deadline or none lays it out whole.
TEST(OurTextEngine, ALongParagraphStopsAtTheDrawingDeadlineUntouched) {
  constexpr int kShort = 3500, kShortLength = 40, kLongLength = 300000;
  std::string body;
  for (int p = 0; p < kShort; ++p) body += std::string(kShortLength - 1, 'w') + "\r";
  for (int word = 0; word < kLongLength / 5; ++word) body += "word ";
  Block text(OurTextNew());
  OurTextInsertString(body.c_str(), int32_t(body.size()), true, text.get());
  const QTextBlock longParagraph = text->document.findBlock(kShort * kShortLength);
  ASSERT_EQ(longParagraph.length(), kLongLength + 1);
  const MRect place{0, 0, 0, 400};
  int stoppedHeight = 0;
  {
    const LookingClock clock;
    // Set at the look at 0 s; the stretches look at 1 s and 3 s, the
    // rehearsals begin at 2 s and 4 s, and at 6 s the deadline is nearer
    // than the rehearsal's two seconds so far.
    SetDrawingDeadline(6.5);
    const uint64_t stopsBefore = DrawingsStoppedShort();
    OurTextRecalculateMargins(text.get(), place, place);
    EXPECT_EQ(DrawingsStoppedShort() - stopsBefore, 1u);
    stoppedHeight = OurTextGetHeight(text.get());
    ClearComputationDeadline();
    const auto [above, below] = InkAboveAndBelowMiddle(text.get(), stoppedHeight - 100);
    EXPECT_GT(above, 0);
    EXPECT_EQ(below, 0);
    EXPECT_EQ(longParagraph.layout()->lineCount(), 0);
  }
  OurTextRecalculateMargins(text.get(), MRect{0, 0, 0, 300}, MRect{0, 0, 0, 300});
  OurTextRecalculateMargins(text.get(), place, place);
  const double longTop = text->document.documentLayout()->blockBoundingRect(longParagraph).top();
  const int laidOut = (1 << 16) / kShortLength + 1;
  EXPECT_NEAR(stoppedHeight, longTop * laidOut / kShort, 2.0);
  const int whole = OurTextGetHeight(text.get());
  const int longLines = longParagraph.layout()->lineCount();
  EXPECT_GT(longLines, kLongLength / 400);
  EXPECT_EQ(whole, int(std::ceil(text->document.size().height())));
  EXPECT_GT(InkAboveAndBelowMiddle(text.get(), stoppedHeight - 100).second, 0);
  {
    const LookingClock clock;
    SetDrawingDeadline(1e6);
    OurTextRecalculateMargins(text.get(), MRect{0, 0, 0, 300}, MRect{0, 0, 0, 300});
    OurTextRecalculateMargins(text.get(), place, place);
    EXPECT_EQ(OurTextGetHeight(text.get()), whole);
    EXPECT_EQ(longParagraph.layout()->lineCount(), longLines);
  }
}

}  // namespace
