#include "platform/WidgetMouseSource.h"
#include "tests/support/QtApplication.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <chrono>

namespace {

class KeyCounter : public QWidget {
 public:
  int keys = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

const testing::Environment* const gWidgetApplication = testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

class WidgetMouse : public testing::Test {
 protected:
  void Post(QEvent::Type type, QPoint at) {
    const bool release = type == QEvent::MouseButtonRelease;
    QCoreApplication::postEvent(&fWidget, new QMouseEvent(type, QPointF(at), QPointF(at), Qt::LeftButton,
                                                          release ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier));
  }

  KeyCounter fWidget;
};

TEST_F(WidgetMouse, EachWaitTakesTheNextMoveThenTheRelease) {
  WidgetMouseSource mouse(&fWidget, QPoint(1, 2));
  Post(QEvent::MouseMove, QPoint(5, 6));
  Post(QEvent::MouseMove, QPoint(7, 8));
  Post(QEvent::MouseButtonRelease, QPoint(9, 10));
  QPoint at;
  EXPECT_TRUE(mouse.IsButtonDown());
  EXPECT_TRUE(mouse.WaitMouseUp(&at, -1));
  EXPECT_EQ(at, QPoint(5, 6));
  EXPECT_FALSE(mouse.IsButtonDown());  // the release has arrived, though not yet been waited for
  EXPECT_TRUE(mouse.WaitMouseEvent(&at));
  EXPECT_EQ(at, QPoint(7, 8));
  EXPECT_FALSE(mouse.WaitMouseUp(&at, -1));
  EXPECT_EQ(at, QPoint(9, 10));
  EXPECT_FALSE(mouse.WaitMouseUp(&at, -1));  // released stays released, at once
}

TEST_F(WidgetMouse, AWaitEndsAtItsTimeoutWithTheButtonHeld) {
  WidgetMouseSource mouse(&fWidget, QPoint(3, 4));
  const auto start = std::chrono::steady_clock::now();
  QPoint at;
  EXPECT_TRUE(mouse.WaitMouseUp(&at, 20 / 60.0));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(at, QPoint(3, 4));
}

TEST_F(WidgetMouse, KeysAndTimersWaitForTheRelease) {
  bool fired = false;
  QTimer idle;
  idle.setSingleShot(true);
  QObject::connect(&idle, &QTimer::timeout, [&] { fired = true; });
  {
    WidgetMouseSource mouse(&fWidget, QPoint(0, 0));
    idle.start(1);
    QCoreApplication::postEvent(&fWidget, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    Post(QEvent::MouseMove, QPoint(1, 1));
    QPoint at;
    EXPECT_TRUE(mouse.WaitMouseUp(&at, 0.05));
    EXPECT_TRUE(mouse.WaitMouseUp(&at, 0.05));  // times out: the timer and the key are held
    EXPECT_FALSE(fired);
    EXPECT_EQ(fWidget.keys, 0);
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(fired);
  EXPECT_EQ(fWidget.keys, 1);
}

}  // namespace
