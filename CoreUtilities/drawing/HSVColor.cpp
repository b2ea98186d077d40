#include "CoreUtilities/drawing/HSVColor.h"

#include "platform/CheckedConvert.h"

#include <cmath>

void OurHSVtoRGB(double hue, double saturation, double value, double* red, double* green, double* blue) {
  if (!std::isfinite(hue)) {
    *red = *green = *blue = 0.0;
    return;
  }
  if (saturation == 0.0) {
    *red = *green = *blue = value;
    return;
  }
  // h - floor(h) keeps negative hues in their own sector; a tiny negative hue
  // rounds up to exactly 1, which is red again.
  double turn = hue - std::floor(hue);
  if (turn >= 1.0) turn = 0.0;
  const double scaled = 6.0 * turn;
  const double sectorStart = std::floor(scaled);
  const int sector = DoubleToInt32(sectorStart);  // 0 to 5: turn lies in [0, 1)
  const double f = scaled - sectorStart;
  const double p = value * (1.0 - saturation);
  const double q = value * (1.0 - saturation * f);
  const double t = value * (1.0 - saturation * (1.0 - f));
  double r, g, b;
  switch (sector) {
    case 0: r = value, g = t, b = p; break;
    case 1: r = q, g = value, b = p; break;
    case 2: r = p, g = value, b = t; break;
    case 3: r = p, g = q, b = value; break;
    case 4: r = t, g = p, b = value; break;
    default: r = value, g = p, b = q; break;
  }
  *red = r;
  *green = g;
  *blue = b;
}
