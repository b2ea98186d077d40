#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Suites that touch Qt must never need a display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // OpenGL suites draw with Mesa's software rasteriser, graphics card or not.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("GALLIUM_DRIVER", "llvmpipe", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
