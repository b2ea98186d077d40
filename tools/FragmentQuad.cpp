#include "tools/FragmentQuad.h"

#include <GL/gl.h>

#include <algorithm>
#include <utility>

#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "renderer/Shader.h"

namespace {

double Lerp(double from, double to, double t) { return from + (to - from) * t; }

void BindSolidTexture(uint32_t argb) {
  const uint8_t texel[4] = {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
}

}  // namespace

FragmentQuad::FragmentQuad(int32_t width, int32_t height)
    : fWidth(width), fHeight(height), fContext(OurNewGLContext(width, height, 0)) {}

FragmentQuad::~FragmentQuad() { OurDisposeGLContext(fContext); }

bool FragmentQuad::Draw(const std::string& program, const FragmentQuadBox& box, const std::vector<double>& uniforms,
                        uint32_t textureColour, std::string* error) {
  fBox = box;
  fPixels.assign(size_t(fWidth) * size_t(fHeight) * 4, 0);
  if (!OurMakeGLContextCurrent(fContext)) {
    *error = "no OpenGL context";
    return false;
  }
  glViewport(0, 0, fWidth, fHeight);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (textureColour != 0) BindSolidTexture(textureColour);
  bool drawn = false;
  {
    Shader shader("", program.c_str(), true);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    shader.bind();
    if (shader.isWorking()) {
      std::vector<double> four(uniforms);
      four.resize((four.size() + 3) / 4 * 4, 0.0);
      for (size_t i = 0; i < four.size(); i += 4)
        gGL.programLocalParameter4dv(GL_FRAGMENT_PROGRAM_ARB, GLuint(i / 4), &four[i]);
      const double zAt[2][2] = {
          {box.z0 + box.zPerX * box.x0 + box.zPerY * box.y0, box.z0 + box.zPerX * box.x0 + box.zPerY * box.y1},
          {box.z0 + box.zPerX * box.x1 + box.zPerY * box.y0, box.z0 + box.zPerX * box.x1 + box.zPerY * box.y1}};
      glColor4f(1, 1, 1, 1);
      glBegin(GL_QUADS);
      for (const auto& [i, j] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        glTexCoord3d(i ? box.x1 : box.x0, j ? box.y1 : box.y0, zAt[i][j]);
        glVertex2f(i ? 1.0f : -1.0f, j ? 1.0f : -1.0f);
      }
      glEnd();
      glReadPixels(0, 0, fWidth, fHeight, GL_RGBA, GL_UNSIGNED_BYTE, fPixels.data());
      drawn = true;
    } else {
      *error = shader.errorString().empty() ? "refused by the driver" : shader.errorString();
    }
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
  }
  return drawn;
}

std::array<uint8_t, 4> FragmentQuad::Pixel(int32_t column, int32_t row) const {
  const uint8_t* p = &fPixels[(size_t(row) * size_t(fWidth) + size_t(column)) * 4];
  return {p[0], p[1], p[2], p[3]};
}

std::array<float, 3> FragmentQuad::TexCoord(int32_t column, int32_t row) const {
  const double x = Lerp(fBox.x0, fBox.x1, (column + 0.5) / fWidth);
  const double y = Lerp(fBox.y0, fBox.y1, (row + 0.5) / fHeight);
  return {float(x), float(y), float(fBox.z0 + fBox.zPerX * x + fBox.zPerY * y)};
}

QImage FragmentQuad::Image() const {
  QImage image(fWidth, fHeight, QImage::Format_RGBA8888);
  for (int32_t row = 0; row < fHeight; ++row)
    std::copy_n(&fPixels[size_t(row) * size_t(fWidth) * 4], size_t(fWidth) * 4, image.scanLine(fHeight - 1 - row));
  return image;
}
