#include "graphs3d/grid/GridColours.h"

#include "CoreUtilities/drawing/HSVColor.h"
#include "graphpane/AGraphColor.h"

namespace {

ColorArrayElement Hue(double hue) {
  double r, g, b;
  OurHSVtoRGB(hue, 1, 1, &r, &g, &b);
  return {float(r), float(g), float(b)};
}

}  // namespace

int32_t GridVertexCopies(GraphColorType type) { return GridCornerCopies(type) == CornerCopies::kOnePerPoint ? 1 : 2; }

CornerCopies GridCornerCopies(GraphColorType type) {
  switch (type) {
    case AGraphColor::kCheckerboard: return CornerCopies::kCheckerboard;
    case AGraphColor::kHorizontalStripes: return CornerCopies::kRows;
    case AGraphColor::kVerticalStripes: return CornerCopies::kColumns;
    case AGraphColor::kHueBandsDown: return CornerCopies::kBandsDown;
    case AGraphColor::kHueBandsAcross: return CornerCopies::kBandsAcross;
    default: return CornerCopies::kOnePerPoint;
  }
}

bool ColoursEachGridPoint(GraphColorType type) {
  return type >= AGraphColor::kCheckerboard && type <= AGraphColor::kHSVEquations;
}

void GridMapColours(GraphColorType type, int32_t i, int32_t j, int32_t n, ColorArrayElement* out) {
  switch (type) {
    case AGraphColor::kHueGradientDown: out[0] = Hue(double(i + 1) / n); break;
    case AGraphColor::kHueGradientAcross: out[0] = Hue(double(j) / n); break;
    case AGraphColor::kCheckerboard:
    case AGraphColor::kHorizontalStripes:
    case AGraphColor::kVerticalStripes:
      out[0] = {0.3f, 0.3f, 0.3f};
      out[1] = {1, 1, 1};
      break;
    case AGraphColor::kHueBandsDown:
      out[0] = Hue(double((i + 5) % 6) / 6);
      out[1] = Hue(double(i % 6) / 6);
      break;
    case AGraphColor::kHueBandsAcross:
      out[0] = Hue(double((j + 5) % 6) / 6);
      out[1] = Hue(double(j % 6) / 6);
      break;
    default: break;
  }
}

TexCoord GridTexCoord(int32_t i, int32_t j, int32_t n) {
  return {float(i) / float(n - 1), 1 - float(j) / float(n - 1)};
}

void ColourGridPoint(AGraphColor& colour, GraphColorType type, int32_t i, int32_t j, int32_t n, int32_t copies,
                     double u, double v, const double (&p)[4], ColorArrayElement* colours, TexCoord* texCoords) {
  const int32_t k = i * n + j;
  switch (type) {
    case AGraphColor::kRGBEquations:
    case AGraphColor::kHSVEquations: {
      double r = 0, g = 0, b = 0;
      colour.ComputeExplicitColor(u, v, p[0], p[1], p[2], p[3], &r, &g, &b);
      colours[size_t(k)] = {float(r), float(g), float(b)};
      break;
    }
    case AGraphColor::kPictureTexture: texCoords[size_t(k)] = GridTexCoord(i, j, n); break;
    default:
      if (ColoursEachGridPoint(type)) GridMapColours(type, i, j, n, &colours[size_t(k * copies)]);
      break;
  }
}
