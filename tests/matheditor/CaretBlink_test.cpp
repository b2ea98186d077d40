#include "MathLayoutFixture.h"

#include "matheditor/MathEditInterface.h"
#include "CoreUtilities/OurMouse.h"
#include "CoreUtilities/OurTime.h"
#include "platform/OurPort.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <chrono>
#include <limits>
#include <thread>

namespace {

class CaretBlink : public MathLayoutTest {
 protected:
  void SetUp() override {
    MathLayoutTest::SetUp();
    port_ = NewOffscreenPort(QRect(0, 0, 120, 40));
    ASSERT_NE(port_, nullptr);
    SetCurrentPort(port_);
    ExpressionRecord* sum = LayOut(Node(kOpPlus, {Var("a"), Var("b")}));
    record_->selected = sum->operands[0];
    record_->caretType = kIPAfterNode;
    record_->drawRect[kDrawTop] = 5;
    record_->drawRect[kDrawLeft] = 5;
    record_->active = 1;
    MESetCurrentEqn(record_, nullptr);
    blank_ = Pixels();
  }
  void TearDown() override {
    SetCurrentPort(nullptr);
    DisposeOffscreenPort(port_);
    MathLayoutTest::TearDown();
  }
  QImage Pixels() const { return port_->image.convertToFormat(QImage::Format_RGB888); }
  // Waits out the caret interval (one tick here), then blinks.
  void Blink() {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    MEIdle(record_, nullptr);
  }

  OurPort* port_ = nullptr;
  QImage blank_;
};

TEST_F(CaretBlink, XorDrawsAndErasesOnlyABar) {
  XorIP(nullptr);
  EXPECT_EQ(record_->caretDrawn, 1);
  EXPECT_FALSE(Pixels() == blank_);
  XorIP(nullptr);
  EXPECT_EQ(record_->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == blank_);

  record_->caretType = kIPWholeNode;  // a highlight, not a bar
  XorIP(nullptr);
  EXPECT_EQ(record_->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == blank_);

  record_->caretType = kIPAfterNode;
  XorIP(nullptr);
  MEUpdate(record_, nullptr, nullptr);  // a redraw has wiped the caret
  EXPECT_EQ(record_->caretDrawn, 0);
}

TEST_F(CaretBlink, IdleBlinksOnlyTheActiveRecord) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name};
  QGuiApplication app(argc, argv);
  QStyleHints* hints = QGuiApplication::styleHints();
  hints->setCursorFlashTime(1000);
  EXPECT_EQ(OurGetCaretTime(), 30);  // half a second at 60.15 ticks a second
  hints->setCursorFlashTime(0);      // a caret that does not blink stays as it is
  EXPECT_EQ(OurGetCaretTime(), std::numeric_limits<int32_t>::max());
  hints->setCursorFlashTime(2);
  OurTime();  // the clock starts at its first reading; the first blink waits one interval from there
  record_->active = 0;
  Blink();
  EXPECT_EQ(record_->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == blank_);
  record_->active = 1;
  Blink();
  EXPECT_EQ(record_->caretDrawn, 1);
  EXPECT_FALSE(Pixels() == blank_);
  MEIdle(record_, nullptr);  // within the interval: nothing
  EXPECT_EQ(record_->caretDrawn, 1);
  Blink();
  EXPECT_EQ(record_->caretDrawn, 0);
  EXPECT_TRUE(Pixels() == blank_);
}

}  // namespace
