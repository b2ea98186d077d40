#include "graphs2d/PixelClassification.h"

#include <cmath>

#include "evaluation/AnExpression.h"

const double gRandom2[21] = {0.005, 0.047, 0.175, 0.196, 0.216, 0.217, 0.341, 0.343, 0.449, 0.496, 0.549,
                             0.596, 0.637, 0.651, 0.729, 0.748, 0.845, 0.891, 0.909, 0.922, 1.0};
const double gRandom[21] = {1.0,   0.005, 0.196, 0.216, 0.341, 0.449, 0.549, 0.637, 0.748, 0.845, 0.909,
                            0.047, 0.175, 0.217, 0.343, 0.496, 0.596, 0.651, 0.729, 0.891, 0.922};

thread_local int64_t tFunctionEvaluations = 0;

double EvaluateAt(AnExpression* e, double u) {
  ++tFunctionEvaluations;
  return e->Evaluate(u);
}

void EncloseOver(AnExpression* e, double a, double b, double* lo, double* hi) {
  ++tFunctionEvaluations;
  e->EvaluateIntervalExtension(a, b, lo, hi);
}

double PrecisionScale(double a, double b) { return (std::fabs(a) + std::fabs(b)) * gDoubleEpsilon * 0.5; }

namespace {
// NaN counts as negative.
int SignOf(double v) { return v >= 0 ? 1 : -1; }
}  // namespace

bool IsPixelMonotonic(AnExpression* f, AnExpression* fprime, double a, double b) {
  const double w = b - a;
  if (fprime != nullptr) {
    const int first = SignOf(EvaluateAt(fprime, a));
    for (double t : gRandom) {
      const double d = EvaluateAt(fprime, a + t * w);
      if (d != 0 && SignOf(d) != first) return false;
    }
  }
  const double fa = EvaluateAt(f, a), fb = EvaluateAt(f, b);
  if (fprime != nullptr) {
    for (double d : {EvaluateAt(fprime, a), EvaluateAt(fprime, b)}) {
      if ((d < 0 && fa < fb) || (d > 0 && fa > fb)) return false;
    }
  }
  double reference = fa;
  int direction = 0;
  for (double t : gRandom2) {
    const double sample = EvaluateAt(f, a + t * w);
    const double difference = sample - reference;
    if (std::isnan(difference)) return false;
    if (direction == 0) {
      direction = difference >= 0 ? 1 : -1;
    } else {
      if (difference == 0) continue;
      if ((difference > 0 ? 1 : -1) != direction) return false;
    }
    reference = sample;
  }
  return true;
}
