#include "graphs2d/ContourLevels.h"

#include <cmath>

#include "graphs2d/NumberRounding.h"
#include "platform/CheckedConvert.h"

namespace {

// The powers of ten the rule divides by stay normal doubles between these
// exponents; a span or step outside them has no round levels.
constexpr int32_t kLowestExponent = -307;
constexpr int32_t kHighestExponent = 306;
// A span's tenth divides it into fewer than ten whole steps: more
// candidates for the anchor mean the range was not what the rule assumes.
constexpr double kMostAnchorCandidates = 20;

// 10^exponent by repeated multiplication, as the anchor test expects.
double LevelPowerOfTen(int32_t exponent) {
  double p = 1;
  for (int32_t k = 0; k < exponent; ++k) p *= 10;
  for (int32_t k = 0; k > exponent; --k) p *= 0.1;
  return p;
}

// The power of ten at or below x, or false when it lies outside the rule's.
bool DecimalExponent(double x, int32_t* exponent) {
  const double e = std::floor(std::log10(x));
  if (!(e >= kLowestExponent && e <= kHighestExponent)) return false;
  *exponent = DoubleToInt32(e);
  return true;
}

// NaN when the multiples of the span's power of ten between min and max
// are too many to be the rule's candidates.
double Anchor(double min, double max, int32_t e) {
  double s = LevelPowerOfTen(-(e + 1));
  if (std::floor(s * max) == std::ceil(s * min)) return std::floor(s * max) / s;
  s = LevelPowerOfTen(-e);
  const double first = std::ceil(s * min), last = std::floor(s * max);
  if (!(last - first <= kMostAnchorCandidates)) return NAN;
  // Counted before the loop: past 2^53 adding one to a multiple may leave it
  // unchanged, and a loop that steps a double to the last would never end.
  const int32_t candidates = DoubleToInt32(last - first);
  const double middle = (min + max) / 2;
  double best = first / s, bestDistance = std::fabs(best - middle);
  for (int32_t k = 1; k <= candidates; ++k) {
    const double m = first + k;
    const double distance = std::fabs(m / s - middle);
    if (distance < bestDistance) best = m / s, bestDistance = distance;
  }
  return best;
}

double RoundStep(double step, int32_t e2) {
  const double r = RoundDouble(step, 1), scale = std::pow(10.0, -e2);
  if (std::fabs(r - step) * scale < 0.33) return r;
  return (std::trunc(step * scale) + 0.5) * std::pow(10.0, e2);
}

}  // namespace

bool ChooseContourLevels(double min, double max, int32_t count, double* levels) {
  const double span = max - min;
  if (!(min < max) || !std::isfinite(span) || count < 1 || count > kMaxContourLevels) return false;
  int32_t e = 0, e2 = 0;
  if (!DecimalExponent(span, &e) || !DecimalExponent(span / count, &e2)) return false;
  const double anchor = Anchor(min, max, e);
  const double step = RoundStep(span / count, e2);
  if (!std::isfinite(anchor) || !(step > 0) || !std::isfinite(step)) return false;
  // The anchor lies within the range and the step is near span / count, so
  // neither side holds more than a few counts of steps.
  const double stepsAbove = (max - anchor) / step, stepsBelow = (anchor - min) / step;
  if (!(stepsAbove > -1 && stepsAbove <= 4.0 * count && stepsBelow > -1 && stepsBelow <= 4.0 * count)) return false;
  int32_t above = DoubleToInt32(stepsAbove), below = DoubleToInt32(stepsBelow);
  while (above + below + 1 > count) {
    if ((max - anchor) - above * step > (anchor - min) - below * step) {
      --below;
    } else {
      --above;
    }
  }
  if (below < 0) below = 0;
  if (above < 0) below -= above;
  double chosen[kMaxContourLevels];
  chosen[0] = anchor - below * step;
  for (int32_t k = 1; k < count; ++k) chosen[k] = chosen[k - 1] + step;
  if (anchor == 0.0 && below < count) chosen[below] = 0.0;
  // A step below the spacing of doubles at these magnitudes repeats levels.
  for (int32_t k = 0; k < count; ++k) {
    if (!std::isfinite(chosen[k]) || (k > 0 && !(chosen[k] > chosen[k - 1]))) return false;
  }
  for (int32_t k = 0; k < count; ++k) levels[k] = chosen[k];
  return true;
}
