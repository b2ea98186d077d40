// Renders the software renderer's test scene headless:
// zl_render3d out.png [-t] [-s] [-b 0|1|2] [-n frames] [width] [height]
// -t translucent (opacity 0.6), -s supersampled. Prints ms/frame,
// triangles per frame and the last frame's fragments.
#include <cstring>
#include <iostream>

#include "platform/GuiApplication.h"
#include "tools/ProbeArguments.h"
#include "tools/Render2DPng.h"
#include "tools/Render3DScene.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Scene3DOptions options;
  const char* out = nullptr;
  int sizes = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-t") == 0) {
      options.translucent = true;
    } else if (std::strcmp(argv[i], "-s") == 0) {
      options.supersampled = true;
    } else if (std::strcmp(argv[i], "-b") == 0 && i + 1 < argc) {
      options.background = WholeArgument(argv[++i], -1);
    } else if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc) {
      options.frames = WholeArgument(argv[++i], -1);
    } else if (out == nullptr) {
      out = argv[i];
    } else if (sizes++ == 0) {
      options.width = WholeArgument(argv[i], -1);
    } else {
      options.height = WholeArgument(argv[i], -1);
    }
  }
  if (out == nullptr || options.background < 0 || options.background > 2 || options.frames < 1 ||
      options.width < 1 || options.width > 8000 || options.height < 1 || options.height > 8000) {
    std::cerr << "usage: zl_render3d out.png [-t] [-s] [-b 0|1|2] [-n frames] [width 1..8000] [height 1..8000]\n";
    return 2;
  }
  EnsureGuiApplication();
  const Scene3DResult result = RenderScene3D(options);
  if (!result.drawn) {
    std::cerr << "not drawn: no memory for the frame\n";
    return 1;
  }
  std::cout << "frame " << result.microsecondsPerFrame / 1000 << " ms\n"
            << "triangles " << result.trianglesPerFrame << "\n"
            << "fragments " << result.fragments << "\n";
  if (!WritePng(result.image, out)) {
    std::cerr << "not written: " << out << '\n';
    return 1;
  }
  return 0;
}
