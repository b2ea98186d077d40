// Renders the 3-D renderer's test scene headless:
// zl_render3d out.png [-t] [-s] [-f] [-b 0|1|2] [-n frames] [-z zoom]
//   [--renderer sw|gl|auto] [--diff] [width] [height]
// -t translucent (opacity 0.6), -s supersampled, -f the textured quad
// face-on. Prints ms/frame,
// triangles per frame and the last frame's fragments. --diff draws the scene
// (without its label, which only software draws) in software and in OpenGL,
// writes out-sw.png and out-gl.png and prints how they differ.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/GuiApplication.h"
#include "tools/ProbeArguments.h"
#include "tools/Render3DCompare.h"
#include "tools/Render2DPng.h"
#include "tools/Render3DScene.h"

namespace {

// -1 for an unknown name.
int RendererNamed(const char* name) {
  if (std::strcmp(name, "sw") == 0) return kRendererSoftware;
  if (std::strcmp(name, "gl") == 0) return kRendererOffscreen;
  if (std::strcmp(name, "auto") == 0) return kRendererAutomatic;
  return -1;
}

const char* NameOf(Our3DRendererType type) {
  return type == kRendererSoftware ? "software" : type == kRendererOffscreen ? "OpenGL" : "none";
}

bool Report(const Scene3DResult& result, const std::string& out) {
  if (!result.drawn) {
    std::cerr << "not drawn: no memory for the frame\n";
    return false;
  }
  std::cout << "renderer " << NameOf(result.renderer) << "\n"
            << "frame " << result.microsecondsPerFrame / 1000 << " ms\n"
            << "triangles " << result.trianglesPerFrame << "\n"
            << "fragments " << result.fragments << "\n";
  if (!WritePng(result.image, out.c_str())) {
    std::cerr << "not written: " << out << '\n';
    return false;
  }
  return true;
}

int Diff(Scene3DOptions options, const std::string& out) {
  const std::string stem = out.size() > 4 && out.substr(out.size() - 4) == ".png" ? out.substr(0, out.size() - 4) : out;
  options.label = false;
  options.renderer = kRendererSoftware;
  const Scene3DResult software = RenderScene3D(options);
  options.renderer = kRendererOffscreen;
  const Scene3DResult gl = RenderScene3D(options);
  if (!Report(software, stem + "-sw.png") || !Report(gl, stem + "-gl.png")) return 1;
  if (gl.renderer != kRendererOffscreen) {
    std::cerr << "no OpenGL context: the second picture is software too\n";
    return 1;
  }
  const Scene3DComparison c = CompareScene3D(software.image, gl.image, kScene3DBackground);
  std::cout << "covered " << c.covered << " px, differing outside the silhouette band " << c.coverageMismatch << " ("
            << 100 * c.MismatchShare() << "%)\n"
            << "interior " << c.interior << " px: mean channel difference " << c.meanChannelDifference
            << "/255, 99th percentile " << c.percentile99 << "/255\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Scene3DOptions options;
  const char* out = nullptr;
  int sizes = 0;
  bool diff = false;
  int renderer = kRendererSoftware;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-t") == 0) {
      options.translucent = true;
    } else if (std::strcmp(argv[i], "-s") == 0) {
      options.supersampled = true;
    } else if (std::strcmp(argv[i], "-f") == 0) {
      options.fromBelow = true;
    } else if (std::strcmp(argv[i], "-b") == 0 && i + 1 < argc) {
      options.background = WholeArgument(argv[++i], -1);
    } else if (std::strcmp(argv[i], "--renderer") == 0 && i + 1 < argc) {
      renderer = RendererNamed(argv[++i]);
    } else if (std::strcmp(argv[i], "--diff") == 0) {
      diff = true;
    } else if (std::strcmp(argv[i], "-z") == 0 && i + 1 < argc) {
      options.zoom = std::strtod(argv[++i], nullptr);
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
  if (out == nullptr || options.background < 0 || options.background > 2 || options.frames < 1 || options.width < 1 ||
      options.width > 8000 || options.height < 1 || options.height > 8000 || renderer < 0 ||
      !(options.zoom >= 0 && options.zoom < 1000)) {
    std::cerr << "usage: zl_render3d out.png [-t] [-s] [-f] [-b 0|1|2] [-n frames] [-z zoom] [--renderer sw|gl|auto] "
                 "[--diff] [width 1..8000] [height 1..8000]\n";
    return 2;
  }
  options.renderer = Our3DRendererType(renderer);
  EnsureGuiApplication();
  if (diff) return Diff(options, out);
  return Report(RenderScene3D(options), out) ? 0 : 1;
}
