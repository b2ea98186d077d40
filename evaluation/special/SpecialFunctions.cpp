#include "evaluation/special/SpecialFunctions.h"

#include <cmath>

#include "CoreUtilities/MathConstants.h"

// Gamma, log-gamma, cube root and the polynomial helpers of the Bessel
// module. Coefficients are the classic IEEE double tables for these methods.

namespace special {

std::atomic<int> merror{0};

int mtherr(const char*, int code) {
  merror.store(code >= 1 && code <= 5 ? code : 0, std::memory_order_relaxed);
  return 0;
}

double polevl(double x, const double coef[], int N) {
  double ans = coef[0];
  for (int i = 1; i <= N; ++i) ans = ans * x + coef[i];
  return ans;
}

double p1evl(double x, const double coef[], int N) {
  double ans = x + coef[0];
  for (int i = 1; i < N; ++i) ans = ans * x + coef[i];
  return ans;
}

namespace {

constexpr double SQTPI = 2.50662827463100050242;  // sqrt(2 pi)
constexpr double LOGPI = 1.14472988584940017414;  // ln pi
constexpr double LS2PI = 0.91893853320467274178;  // ln sqrt(2 pi)
constexpr double MAXSTIR = 143.01608;
constexpr double MAXGAM = 171.624376956302725;
constexpr double MAXLGM = 2.556348e305;
constexpr double CBRT2 = 1.2599210498948731647672;
constexpr double CBRT4 = 1.5874010519681994747517;
constexpr double CBRT2I = 0.79370052598409973737585;
constexpr double CBRT4I = 0.62996052494743658238361;

constexpr double P[] = {
    0.00016011952247675185,
    0.0011913514700658638,
    0.010421379756176158,
    0.04763678004571372,
    0.20744822764843598,
    0.4942148268014971,
    1.0,
};
constexpr double Q[] = {
    -2.3158187332412014e-05, 0.0005396055804933034, -0.004456419138517973, 0.011813978522206043,
    0.035823639860549865,    -0.23459179571824335,  0.0714304917030273,    1.0,
};
constexpr double STIR[] = {
    0.0007873113957930937, -0.00022954996161337813, -0.0026813261780578124, 0.0034722222160545866, 0.08333333333334822,
};

constexpr double A[] = {
    0.0008116141674705085, -0.0005950619042843014, 0.0007936503404577169, -0.002777777777300997, 0.08333333333333319,
};

constexpr double B[] = {
    -1378.2515256912086, -38801.631513463784, -331612.9927388712,
    -1162370.974927623,  -1721737.0082083966, -853555.6642457654,
};

constexpr double C[] = {
    -351.81570143652345, -17064.210665188115, -220528.59055385445,
    -1139334.4436798252, -2532523.0717758294, -2018891.4143353277,
};

// Stirling's formula with a correction series, for x > 33. The power is
// split in two above MAXSTIR so that it does not overflow before the
// division by e^x.
double stirf(double x) {
  if (x >= MAXGAM) return INFINITY;
  double w = 1.0 / x;
  w = 1.0 + w * polevl(w, STIR, 4);
  double y = std::exp(x);
  if (x > MAXSTIR) {
    const double v = std::pow(x, 0.5 * x - 0.25);
    y = v * (v / y);
  } else {
    y = std::pow(x, x - 0.5) / y;
  }
  return SQTPI * y * w;
}

bool IsEvenWhole(double p) { return std::fmod(p, 2.0) == 0.0; }

}  // namespace

double cbrt(double x) {
  if (x == 0 || !std::isfinite(x)) return x;
  int e = 0;
  const double m = std::frexp(std::fabs(x), &e);
  double y = (((-0.13466110473359522 * m + 0.5466460136639553) * m - 0.9543822477150945) * m + 1.1399983354717294) * m +
             0.4023897956454475;
  int exponent = 0;
  if (e >= 0) {
    const int rest = e % 3;
    if (rest == 1) y *= CBRT2;
    if (rest == 2) y *= CBRT4;
    exponent = e / 3;
  } else {
    const int positive = -e;
    const int rest = positive % 3;
    if (rest == 1) y *= CBRT2I;
    if (rest == 2) y *= CBRT4I;
    exponent = -(positive / 3);
  }
  y = std::ldexp(y, exponent);
  const double a = std::fabs(x);
  y -= (y - a / (y * y)) * 0.3333333333333333;
  y -= (y - a / (y * y)) * 0.3333333333333333;
  return x < 0 ? -y : y;
}

double mygamma(double x, int* sign) {
  *sign = 1;
  if (std::isnan(x)) return x;
  const double q = std::fabs(x);
  if (q > 33.0) {
    if (x > 0) return stirf(x);
    double p = std::floor(q);
    if (p == q) {
      mtherr("gamma", 3);
      return *sign * MAXNUM;
    }
    if (IsEvenWhole(p)) *sign = -1;
    double z = q - p;
    if (z > 0.5) {
      p += 1.0;
      z = q - p;
    }
    z = q * std::sin(gPi * z);
    if (z == 0.0) {
      mtherr("gamma", 3);
      return *sign * MAXNUM;
    }
    return *sign * gPi / (std::fabs(z) * stirf(q));
  }
  double z = 1.0;
  while (x >= 3.0) {
    x -= 1.0;
    z *= x;
  }
  while (x < 2.0) {
    if (std::fabs(x) < 1e-9) {
      if (x == 0.0) {
        mtherr("gamma", 2);
        return MAXNUM;
      }
      return z / ((1.0 + 0.5772156649015329 * x) * x);
    }
    z /= x;
    x += 1.0;
  }
  if (x == 2.0) return z;
  x -= 2.0;
  return z * polevl(x, P, 6) / polevl(x, Q, 7);
}

double mylgam(double x, int* sign) {
  *sign = 1;
  if (!std::isfinite(x)) return x;
  if (x < -34.0) {
    const double q = -x;
    const double w = mylgam(q, sign);
    double p = std::floor(q);
    if (p == q) {
      mtherr("lgam", 3);
      return *sign * MAXNUM;
    }
    *sign = IsEvenWhole(p) ? -1 : 1;
    double z = q - p;
    if (z > 0.5) {
      p += 1.0;
      z = p - q;
    }
    z = q * std::sin(gPi * z);
    if (z == 0.0) {
      mtherr("lgam", 3);
      return *sign * MAXNUM;
    }
    return LOGPI - std::log(z) - w;
  }
  if (x < 13.0) {
    double z = 1.0;
    double p = 0.0;
    double u = x;
    while (u >= 3.0) {
      p -= 1.0;
      u = x + p;
      z *= u;
    }
    while (u < 2.0) {
      if (u == 0.0) {
        mtherr("lgam", 3);
        return *sign * MAXNUM;
      }
      z /= u;
      p += 1.0;
      u = x + p;
    }
    if (z < 0.0) {
      *sign = -1;
      z = -z;
    }
    if (u == 2.0) return std::log(z);
    p -= 2.0;
    x = x + p;
    return std::log(z) + x * polevl(x, B, 5) / p1evl(x, C, 6);
  }
  if (x > MAXLGM) {
    mtherr("lgam", 3);
    return *sign * MAXNUM;
  }
  double q = (x - 0.5) * std::log(x) - x + LS2PI;
  if (x > 1.0e8) return q;
  const double p = 1.0 / (x * x);
  if (x >= 1000.0) {
    q += ((7.9365079365079365079365e-4 * p - 2.7777777777777777777778e-3) * p + 0.0833333333333333333333) / x;
  } else {
    q += polevl(p, A, 4) / x;
  }
  return q;
}

}  // namespace special
