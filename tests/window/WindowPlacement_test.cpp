#include <gtest/gtest.h>

#include "window/WindowPlacement.h"

namespace {

TEST(WindowPlacement, AFilesRectangleFitsTheScreenWithItsOriginOnIt) {
  const QRect screen(0, 25, 1920, 1055);
  // What fits stays where the file put it.
  EXPECT_EQ(FitWindowToScreen(QRect(100, 100, 640, 800), screen), QRect(100, 100, 640, 800));
  // Too large: as large as the screen, on it.
  EXPECT_EQ(FitWindowToScreen(QRect(0, 0, 32767, 32767), screen), screen);
  // Off to one side: moved in just far enough.
  EXPECT_EQ(FitWindowToScreen(QRect(5000, -4000, 640, 800), screen), QRect(1280, 25, 640, 800));
  EXPECT_EQ(FitWindowToScreen(QRect(-32768, 2000, 100, 100), screen), QRect(0, 980, 100, 100));
  // No screen to fit: the rectangle as asked.
  EXPECT_EQ(FitWindowToScreen(QRect(3, 4, 5, 6), QRect()), QRect(3, 4, 5, 6));
}

}  // namespace
