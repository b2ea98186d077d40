// The pixel tests of plotting mode 2. The picture depends on these
// heuristics as they stand: the sample points, the thresholds and the
// order of the tests.
#include <cmath>
#include <limits>

#include "evaluation/AnExpression.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "graphs2d/PixelClassification.h"

namespace {
constexpr int kFinestSubdivision = 2048;

bool HasNaNEnd(double lo, double hi) { return std::isnan(lo) || std::isnan(hi); }
}  // namespace

void AFunctionOf_XorY::SetPointTypeBestCase(double lo, double hi, double mn, double mx, double ilo, double ihi,
                                            dPoint* p) {
  int32_t type = kColumnUndefined;
  int depth = 2;
  if (!IsPixelNaN(lo, hi, mn, mx, &ilo, &ihi, &depth)) {
    bool decided = false;
    if (ilo == -INFINITY || ihi == INFINITY) {
      if (std::isinf(mn) || std::isinf(mx) || !IsPixelMonotonic(fF.get(), fFPrime.get(), lo, hi)) {
        type = kColumnUnbounded;
        decided = true;
      }
    }
    if (!decided) type = IsPixelInterval(lo, hi, mn, mx, &ilo, &ihi, depth) ? kColumnEnclosure : kColumnEdges;
  }
  if (Cancelled()) return;
  if (type == kColumnEdges) {
    p->lo = mn, p->hi = mx;
  } else {
    p->lo = ilo, p->hi = ihi;
  }
  p->type.store(type, std::memory_order_release);
}

bool AFunctionOf_XorY::IsPixelNaN(double lo, double hi, double mn, double mx, double* ilo, double* ihi, int* depth) {
  if (!std::isnan(*ilo) && !std::isnan(*ihi)) return false;
  if (std::isnan(mn) || std::isnan(mx)) return true;
  if (std::isnan(EvaluateAt(fF.get(), (lo + hi) / 2))) return true;

  // A sliver of NaN at one end of the column: zoom into the end piece while
  // it alone is bad; two transitions mean a bad stretch inside.
  bool subdivide = false;
  if (PrecisionScale(lo, hi) < (hi - lo) / 10) {
    double a = lo, b = hi, step = (b - a) / 10;
    for (;;) {
      int bad = 0, transitions = 0, badPiece = -1;
      bool previousBad = false;
      for (int i = 0; i < 10 && transitions < 2; ++i) {
        double plo, phi;
        EncloseOver(fF.get(), a + i * step, i == 9 ? b : a + (i + 1) * step, &plo, &phi);
        const bool isBad = HasNaNEnd(plo, phi);
        if (isBad) ++bad, badPiece = i;
        if (i > 0 && isBad != previousBad) ++transitions;
        previousBad = isBad;
      }
      if (transitions >= 2) break;
      if (transitions == 0 || bad > 1) {
        subdivide = true;
        break;
      }
      if (badPiece == 0) {
        b = a + step;
      } else {
        a = a + 9 * step;
      }
      step = (b - a) / 10;
      if (!(PrecisionScale(lo, hi) < step)) break;
      if (Cancelled()) return true;
    }
  }
  if (!subdivide && IsPixelMonotonic(fF.get(), fFPrime.get(), lo, hi)) return true;

  *ilo = INFINITY, *ihi = -INFINITY;
  for (int pass = 0, n = 2; pass < 9; ++pass, n *= 2) {
    const double step = (hi - lo) / n;
    bool complete = true;
    for (int i = 0; i < n; ++i) {
      double plo, phi;
      EncloseOver(fF.get(), lo + i * step, i == n - 1 ? hi : lo + (i + 1) * step, &plo, &phi);
      if (HasNaNEnd(plo, phi)) {
        complete = false;
        break;
      }
      *ilo = std::min(*ilo, plo), *ihi = std::max(*ihi, phi);
    }
    if (complete) {
      *depth = 2 * n;
      return false;
    }
    if (Cancelled()) return true;
  }
  *ilo = *ihi = std::numeric_limits<double>::quiet_NaN();
  return true;
}

bool AFunctionOf_XorY::IsPixelInterval(double lo, double hi, double mn, double mx, double* ilo, double* ihi,
                                       int depth) {
  if (DependentPixel(*ilo) == DependentPixel(mn) && DependentPixel(*ihi) == DependentPixel(mx)) return false;
  if (*ilo == -INFINITY || *ihi == INFINITY) return false;
  if (depth == 2) {
    const double mid = (lo + hi) / 2;
    double l1, h1, l2, h2;
    EncloseOver(fF.get(), lo, mid, &l1, &h1);
    EncloseOver(fF.get(), mid, hi, &l2, &h2);
    const double upper = h1 > h2 ? h1 : h2, lower = l1 < l2 ? l1 : l2;
    if ((upper - lower) / (*ihi - *ilo) > 0.999) return true;
  }
  if (IsPixelMonotonic(fF.get(), fFPrime.get(), lo, hi)) return false;
  FixIAPessimism(lo, hi, ilo, ihi, depth);
  return true;
}

void AFunctionOf_XorY::FixIAPessimism(double lo, double hi, double* ilo, double* ihi, int depth) {
  int n = depth;
  if (n > kFinestSubdivision) return;
  // Rows grow downward, columns rightward: an end improves when it moves
  // toward the other.
  const int sense = fYOfX ? -1 : 1;
  int32_t bestLow = fYOfX ? 32767 : -32768, bestHigh = fYOfX ? -32768 : 32767;
  double previousWidth = INFINITY, width = *ihi - *ilo;
  int32_t pixelLow = DependentPixel(*ilo), pixelHigh = DependentPixel(*ihi);
  for (;;) {
    const bool lowImproved = (pixelLow - bestLow) * sense > 0, highImproved = (bestHigh - pixelHigh) * sense > 0;
    if (lowImproved || highImproved) {
      bestLow = pixelLow, bestHigh = pixelHigh;
    } else if (width / previousWidth >= 0.7 || (pixelHigh - pixelLow) * sense <= 0) {
      return;
    }
    if (Cancelled()) return;
    *ilo = INFINITY, *ihi = -INFINITY;
    const double step = (hi - lo) / n;
    for (int i = 0; i < n; ++i) {
      double plo, phi;
      EncloseOver(fF.get(), lo + i * step, i == n - 1 ? hi : lo + (i + 1) * step, &plo, &phi);
      if (plo < *ilo) *ilo = plo;
      if (phi > *ihi) *ihi = phi;
    }
    n *= 2;
    pixelLow = DependentPixel(*ilo), pixelHigh = DependentPixel(*ihi);
    if (n > kFinestSubdivision) return;
    previousWidth = width;
    width = *ihi - *ilo;
  }
}

int32_t AFunctionOf_XorY::GetSingleDPointType(double lo, double hi) {
  const double left = EvaluateAt(fF.get(), lo), right = EvaluateAt(fF.get(), hi);
  double mn = left, mx = right;
  if (mn > mx) std::swap(mn, mx);
  double ilo, ihi;
  EncloseOver(fF.get(), lo, hi, &ilo, &ihi);
  dPoint scratch{};
  SetPointTypeBestCase(lo, hi, mn, mx, ilo, ihi, &scratch);
  return scratch.type.load(std::memory_order_relaxed);
}
