// Prints the fragment program of colour formulas and loads it on the
// OpenGL renderer:
// zl_fragment_program "red, green, blue" [--hsv] [--raw] [--mask M] [--texture]
//                     [--png OUT [--box X0 X1 Y0 Y1] [--size N]]
// --hsv reads hue in turns, saturation and value; --raw leaves them for the
// renderer's HSV pass; --texture colours by the picture texture under the
// mask alone. Prints the text, then the driver's error position and string,
// and its native instruction count and limits. --png draws the program over
// an N x N quad (256) whose texcoord[0] spans the box (-1 1 -1 1, z 0):
// killed pixels are transparent, a texture is mid grey.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "evaluation/AnExpression.h"
#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "platform/GuiApplication.h"
#include "renderer/Shader.h"
#include "shaders/ARBStrings.h"
#include "tools/FragmentQuad.h"
#include "tools/ProbeArguments.h"
#include "tools/Render2DPng.h"

namespace {

// The formulas of a list, split at commas outside brackets.
std::vector<std::string> SplitFormulas(const std::string& text) {
  std::vector<std::string> parts(1);
  int depth = 0;
  for (const char c : text) {
    if (c == '(' || c == '[') ++depth;
    if (c == ')' || c == ']') --depth;
    if (c == ',' && depth == 0) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

int Usage() {
  std::cerr << "usage: zl_fragment_program \"red, green, blue\" [--hsv] [--raw] [--mask M] [--texture]\n"
               "                           [--png OUT [--box X0 X1 Y0 Y1] [--size N]]\n";
  return 2;
}

struct PngRequest {
  std::string path;
  FragmentQuadBox box;
  int size = 256;
};

// The uniforms' values: the tool has no document, so they are constants.
std::vector<double> UniformValues(const std::vector<ExpressionRecord*>& trees) {
  std::vector<double> values;
  for (ExpressionRecord* tree : trees) {
    AnExpression uniform(tree, nullptr);
    AnExpression::Compile(&uniform);
    values.push_back(uniform.Evaluate(0.0));
  }
  return values;
}

int DrawPng(const std::string& text, const std::vector<double>& uniforms, bool textured, const PngRequest& png) {
  FragmentQuad quad(png.size, png.size);
  std::string error;
  if (!quad.Ready() || !quad.Draw(text, png.box, uniforms, textured ? 0xFF808080u : 0, &error)) {
    std::cerr << "not drawn: " << (quad.Ready() ? error : "no OpenGL context") << "\n";
    return 1;
  }
  if (!WritePng(quad.Image(), png.path.c_str())) {
    std::cerr << "cannot write " << png.path << "\n";
    return 1;
  }
  std::cout << "drawn to " << png.path << "\n";
  return 0;
}

int Load(const std::string& text) {
  GLContextRecord* context = OurNewGLContext(16, 16, 0);
  if (!context || !OurMakeGLContextCurrent(context)) {
    std::cerr << "no OpenGL context\n";
    if (context) OurDisposeGLContext(context);
    return 1;
  }
  int status = 0;
  {
    Shader shader("", text.c_str(), true);
    shader.bind();
    std::cout << "error position " << shader.errorPosition() << "\n";
    if (!shader.errorString().empty()) std::cout << "error " << shader.errorString() << "\n";
    if (shader.errorPosition() < 0 && gGL.getProgramiv) {
      GLint instructions = 0, underLimits = 0;
      gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &instructions);
      gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &underLimits);
      std::cout << "native instructions " << instructions << "\n"
                << "under native limits " << (underLimits ? "yes" : "no") << "\n";
    }
    std::cout << (shader.isWorking() ? "loaded\n" : "refused\n");
    status = shader.isWorking() ? 0 : 1;
  }
  OurDisposeGLContext(context);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  EnsureGuiApplication();
  std::string formulas, maskText;
  bool hsv = false, raw = false, textured = false;
  PngRequest png;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--hsv") == 0) {
      hsv = true;
    } else if (std::strcmp(argv[i], "--raw") == 0) {
      hsv = raw = true;
    } else if (std::strcmp(argv[i], "--texture") == 0) {
      textured = true;
    } else if (std::strcmp(argv[i], "--mask") == 0 && i + 1 < argc) {
      maskText = argv[++i];
    } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
      png.path = argv[++i];
    } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      png.size = WholeArgument(argv[++i], 256);
      if (png.size < 1 || png.size > 4096) return Usage();
    } else if (std::strcmp(argv[i], "--box") == 0 && i + 4 < argc) {
      double* ends[] = {&png.box.x0, &png.box.x1, &png.box.y0, &png.box.y1};
      for (double* end : ends) {
        const char* given = argv[++i];
        *end = NumberArgument(given, 0);
        if (*end == -1 && std::strcmp(given, "-1") != 0) return Usage();
      }
    } else if (argv[i][0] != '-' && formulas.empty()) {
      formulas = argv[i];
    } else {
      return Usage();
    }
  }
  std::vector<std::unique_ptr<AnExpression>> colour;
  if (!textured) {
    for (const std::string& part : SplitFormulas(formulas)) {
      colour.emplace_back(ExpressionFromText(part));
      if (!colour.back()) return 1;
    }
    if (colour.size() != 3) return Usage();
  }
  std::unique_ptr<AnExpression> mask(maskText.empty() ? nullptr : ExpressionFromText(maskText));
  if (!maskText.empty() && !mask) return 1;
  std::vector<ExpressionRecord*> uniforms;
  const std::string text = textured ? OurGetARBString(mask.get(), &uniforms, true, nullptr)
                                    : OurGetARBString(colour[0].get(), colour[1].get(), colour[2].get(), mask.get(),
                                                      hsv, &uniforms, raw, nullptr);
  const std::vector<double> uniformValues = UniformValues(uniforms);
  if (text.empty()) {
    std::cout << "no program: the colour is computed on the processor\n";
    return png.path.empty() ? 0 : 1;
  }
  std::cout << text;
  const int loaded = Load(text);
  if (loaded != 0 || png.path.empty()) return loaded;
  return DrawPng(text, uniformValues, textured, png);
}
