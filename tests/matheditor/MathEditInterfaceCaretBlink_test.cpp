#include "MathLayoutFixture.h"

#include "matheditor/MathEditInterface.h"
#include "CoreUtilities/drawing/OurMouse.h"
#include "CoreUtilities/OurTime.h"
#include "platform/OurPort.h"
#include "tests/support/QtApplication.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <limits>
#include <thread>

namespace {

// Puts back the caret interval, which the process's application keeps.
struct SavedFlashTime {
  ~SavedFlashTime() { QGuiApplication::styleHints()->setCursorFlashTime(time); }
  int time = QGuiApplication::styleHints()->cursorFlashTime();
};

class CaretBlink : public MathLayoutTest {
 protected:
  void SetUp() override {
    MathLayoutTest::SetUp();
    fPort = NewOffscreenPort(QRect(0, 0, 120, 40));
    ASSERT_NE(fPort, nullptr);
    SetCurrentPort(fPort);
    ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
    Select(sum->operands[0], kIPAfterNode);
    fRecord->drawRect[kDrawTop] = 5;
    fRecord->drawRect[kDrawLeft] = 5;
    fRecord->active = 1;
    MESetCurrentEqn(fRecord, nullptr);
    fBlank = Pixels();
  }
  void TearDown() override {
    SetCurrentPort(nullptr);
    DisposeOffscreenPort(fPort);
    MathLayoutTest::TearDown();
  }
  QImage Pixels() const { return fPort->image.convertToFormat(QImage::Format_RGB888); }
  // Waits until the clock is past the caret interval since the last blink
  // (or the first reading), then blinks.
  void Blink() {
    const uint32_t due = fLastBlink + OurDuration(OurGetCaretTime());
    while (!OurTimeIsPast(OurTime(), due)) std::this_thread::yield();
    MEIdle(fRecord, nullptr);
    fLastBlink = OurTime();
  }

  OurPort* fPort = nullptr;
  QImage fBlank;
  uint32_t fLastBlink = 0;
};

TEST_F(CaretBlink, XorDrawsAndErasesOnlyABar) {
  XorIP(nullptr);
  EXPECT_EQ(fRecord->caretDrawn, 1);
  EXPECT_FALSE(Pixels() == fBlank);
  XorIP(nullptr);
  EXPECT_EQ(fRecord->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == fBlank);

  fRecord->caretType = kIPWholeNode;  // a highlight, not a bar
  XorIP(nullptr);
  EXPECT_EQ(fRecord->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == fBlank);

  fRecord->caretType = kIPAfterNode;
  XorIP(nullptr);
  MEUpdate(fRecord, nullptr, nullptr);  // a redraw has wiped the caret
  EXPECT_EQ(fRecord->caretDrawn, 0);
}

TEST_F(CaretBlink, IdleBlinksOnlyTheActiveRecord) {
  // One application for the process: Qt's fonts fail in later suites once
  // an application has come and gone.
  EnsureQtApplication();
  SavedFlashTime saved;
  QStyleHints* hints = QGuiApplication::styleHints();
  hints->setCursorFlashTime(1000);
  EXPECT_EQ(OurGetCaretTime(), 30);  // half a second at 60.15 ticks a second
  hints->setCursorFlashTime(0);      // a caret that does not blink stays as it is
  EXPECT_EQ(OurGetCaretTime(), std::numeric_limits<int32_t>::max());
  hints->setCursorFlashTime(2);
  // The clock starts at its first reading; the first blink waits one
  // interval from there.
  fLastBlink = OurTime();
  fRecord->active = 0;
  Blink();
  EXPECT_EQ(fRecord->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == fBlank);
  fRecord->active = 1;
  Blink();
  EXPECT_EQ(fRecord->caretDrawn, 1);
  EXPECT_FALSE(Pixels() == fBlank);
  // Within the interval, an hour long here, though a tick has passed: nothing.
  hints->setCursorFlashTime(2 * 60 * 60 * 1000);
  while (!OurTimeIsPast(OurTime(), fLastBlink + OurDuration(1))) std::this_thread::yield();
  MEIdle(fRecord, nullptr);
  EXPECT_EQ(fRecord->caretDrawn, 1);
  hints->setCursorFlashTime(2);
  Blink();
  EXPECT_EQ(fRecord->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == fBlank);
}

}  // namespace
