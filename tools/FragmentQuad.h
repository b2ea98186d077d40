#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GLContextRecord;

// What texcoord[0] spans over the quad: x from left to right, y from bottom
// to top, and z an affine function of them, so that both triangles of the
// quad interpolate the same values.
struct FragmentQuadBox {
  double x0 = -1, x1 = 1, y0 = -1, y1 = 1;
  double z0 = 0, zPerX = 0, zPerY = 0;
};

// A fragment program drawn over a whole width x height quad in an OpenGL
// context of its own, the primary colour white, on transparent black: a
// pixel the program kills keeps alpha 0.
class FragmentQuad {
 public:
  FragmentQuad(int32_t width, int32_t height);
  ~FragmentQuad();
  FragmentQuad(const FragmentQuad&) = delete;
  FragmentQuad& operator=(const FragmentQuad&) = delete;

  // False when no context could be made.
  bool Ready() const { return fContext != nullptr; }
  // Uniforms go to program.local[i / 4] component i % 4. A nonzero
  // textureColour (0xAARRGGBB) is bound as texture[0]. False, with the
  // driver's reason, when the program is refused.
  bool Draw(const std::string& program, const FragmentQuadBox& box, const std::vector<double>& uniforms,
            uint32_t textureColour, std::string* error);

  // Rows count from the bottom, as OpenGL reads them back.
  std::array<uint8_t, 4> Pixel(int32_t column, int32_t row) const;
  // The texcoord[0] the driver interpolates at a pixel's centre.
  std::array<float, 3> TexCoord(int32_t column, int32_t row) const;
  // Top row first; killed pixels are transparent.
  QImage Image() const;

  int32_t Width() const { return fWidth; }
  int32_t Height() const { return fHeight; }

 private:
  int32_t fWidth;
  int32_t fHeight;
  GLContextRecord* fContext;
  FragmentQuadBox fBox;
  std::vector<uint8_t> fPixels;
};
