#include "graphs2d/ContourLevels.h"

#include <cmath>

#include "graphs2d/NumberRounding.h"
#include "platform/CheckedConvert.h"

namespace {

// 10^exponent by repeated multiplication, as the anchor test expects.
double LevelPowerOfTen(int32_t exponent) {
  double p = 1;
  for (int32_t k = 0; k < exponent; ++k) p *= 10;
  for (int32_t k = 0; k > exponent; --k) p *= 0.1;
  return p;
}

double Anchor(double min, double max, int32_t e) {
  double s = LevelPowerOfTen(-(e + 1));
  if (std::floor(s * max) == std::ceil(s * min)) return std::floor(s * max) / s;
  s = LevelPowerOfTen(-e);
  const double middle = (min + max) / 2;
  double best = std::ceil(s * min) / s, bestDistance = std::fabs(best - middle);
  for (double m = std::ceil(s * min) + 1; m <= std::floor(s * max); ++m) {
    const double distance = std::fabs(m / s - middle);
    if (distance < bestDistance) best = m / s, bestDistance = distance;
  }
  return best;
}

double RoundStep(double step) {
  const int32_t e2 = DoubleToInt32(std::floor(std::log10(step)));
  const double r = RoundDouble(step, 1), scale = std::pow(10.0, -e2);
  if (std::fabs(r - step) * scale < 0.33) return r;
  return (std::trunc(step * scale) + 0.5) * std::pow(10.0, e2);
}

}  // namespace

bool ChooseContourLevels(double min, double max, int32_t count, double* levels) {
  const double span = max - min;
  if (!(min < max) || !std::isfinite(span) || count < 1 || count > kMaxContourLevels) return false;
  const double anchor = Anchor(min, max, DoubleToInt32(std::floor(std::log10(span))));
  const double step = RoundStep(span / count);
  if (!(step > 0) || !std::isfinite(step)) return false;
  int32_t above = DoubleToInt32((max - anchor) / step), below = DoubleToInt32((anchor - min) / step);
  while (above + below + 1 > count) {
    if ((max - anchor) - above * step > (anchor - min) - below * step) {
      --below;
    } else {
      --above;
    }
  }
  if (below < 0) below = 0;
  if (above < 0) below -= above;
  levels[0] = anchor - below * step;
  for (int32_t k = 1; k < count; ++k) levels[k] = levels[k - 1] + step;
  if (anchor == 0.0 && below < count) levels[below] = 0.0;
  return true;
}
