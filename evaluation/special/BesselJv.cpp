#include "CoreUtilities/MathConstants.h"
#include "evaluation/special/SpecialFunctions.h"
#include "platform/CheckedConvert.h"

#include <cmath>

// Bessel function of the first kind of real order: power series, Hankel's
// asymptotic expansion, continued fraction plus backward recurrence, and the
// uniform and transition-region expansions for orders of 500 and above.

using namespace special;

namespace {

constexpr double BIG = 1.44115188075855872e17;  // 2^57
constexpr double kMaxContinuedFractionTerms = 1000;
constexpr double kSeriesBelow = 4.0;
constexpr double kHalvesExactly = 4.450147717014403e-308;  // 2^-1021

// Debye expansion coefficients: lambda_k and mu_k = -(6k+1)/(6k-1) lambda_k.
constexpr double lambda[] = {
    1.0,
    0.10416666666666667,
    0.08355034722222222,
    0.12822657455632716,
    0.29184902646414046,
    0.8816272674437576,
    3.3214082818627677,
    14.995762986862555,
    78.92301301158652,
    474.4515388682643,
    3207.490090890662,
};
constexpr double mu[] = {
    1.0,
    -0.14583333333333334,
    -0.09874131944444445,
    -0.14331205391589505,
    -0.31722720267841353,
    -0.9424291479571203,
    -3.5112030408263544,
    -15.727263620368046,
    -82.28143909718594,
    -492.3553705236705,
    -3316.2185685479726,
};

constexpr double P1[] = {
    -0.20833333333333334,
    0.125,
};

constexpr double P2[] = {
    0.3342013888888889,
    -0.4010416666666667,
    0.0703125,
};

constexpr double P3[] = {
    -1.0258125964506173,
    1.8464626736111112,
    -0.8912109375,
    0.0732421875,
};

constexpr double P4[] = {
    4.669584423426247, -11.207002616222994, 8.78912353515625, -2.3640869140625, 0.112152099609375,
};

constexpr double P5[] = {
    -28.212072558200244, 84.63621767460073,  -91.81824154324002,
    42.53499874538846,   -7.368794359479632, 0.22710800170898438,
};

constexpr double P6[] = {
    212.57013003921713, -765.2524681411817,  1059.9904525279999, -699.5796273761325,
    218.1905117442116,  -26.491430486951554, 0.5725014209747314,
};

constexpr double P7[] = {
    -1919.457662318407, 8061.722181737309,  -13586.550006434138, 11655.393336864534,
    -5305.646978613403, 1200.9029132163525, -108.09091978839466, 1.7277275025844574,
};

constexpr double PF2[] = {
    -0.09,
    0.08571428571428572,
};

constexpr double PF3[] = {
    0.1367142857142857,
    -0.05492063492063492,
    -0.0044444444444444444,
};

constexpr double PF4[] = {
    0.00135,
    -0.16036054421768708,
    0.04259018759018759,
    0.002733044733044733,
};

constexpr double PG1[] = {
    -0.24285714285714285,
    0.014285714285714285,
};

constexpr double PG2[] = {
    -0.009,
    0.19396825396825396,
    -0.011746031746031746,
};

constexpr double PG3[] = {
    0.019607142857142858,
    -0.15983694083694083,
    0.006383838383838384,
};

// Continued fraction for J_n / J_(n-1), then backward recurrence from n down
// to *newn. Returns the ratio J_(*newn) / J_n as the recurrence found it and
// stores the order actually reached in *newn.
double recur(double* n, double x, double* newn, bool cancel) {
  bool mayLowerOrder = *n < 0.0;
  double ans = 0.0;
  for (;;) {
    double pkm2 = 0.0;
    double qkm2 = 1.0;
    double pkm1 = x;
    double qkm1 = *n + *n;
    const double xk = -x * x;
    double yk = qkm1;
    ans = 0.0;
    for (int terms = 0;; ++terms) {
      yk += 2.0;
      const double pk = pkm1 * yk + pkm2 * xk;
      const double qk = qkm1 * yk + qkm2 * xk;
      pkm2 = pkm1;
      pkm1 = pk;
      qkm2 = qkm1;
      qkm1 = qk;
      const double r = qk != 0 ? pk / qk : 0.0;
      double change = 1.0;
      if (r != 0) {
        change = std::fabs((ans - r) / r);
        ans = r;
      }
      if (change < MACHEP) break;
      if (std::fabs(pk) > BIG) {
        pkm2 /= BIG;
        pkm1 /= BIG;
        qkm2 /= BIG;
        qkm1 /= BIG;
      }
      if (terms >= kMaxContinuedFractionTerms) {
        mtherr("jv", 4);
        break;
      }
    }
    if (ans == 0) ans = 1.0;
    // A small ratio at a negative order loses accuracy: start one lower.
    if (mayLowerOrder && std::fabs(ans) < 0.125) {
      mayLowerOrder = false;
      *n -= 1.0;
      continue;
    }
    break;
  }

  const double kf = *newn;
  double pk = 1.0;
  double pkm1 = 1.0 / ans;
  double pkm2 = 0.0;
  double k = *n - 1.0;
  double r = 2 * k;
  do {
    pkm2 = (pkm1 * r - pk * x) / x;
    pk = pkm1;
    pkm1 = pkm2;
    r -= 2.0;
    k -= 1.0;
  } while (k > kf + 0.5);

  // The larger of the last two iterates suffers less from cancellation.
  if (cancel && kf >= 0.0 && std::fabs(pk) > std::fabs(pkm1)) {
    k += 1.0;
    pkm2 = pk;
  }
  *newn = k;
  return pkm2;
}

// Power series; overflow gives an infinity of the right sign. The sum is
// carried in extended precision: for negative orders it is used up to
// x = 13, where its terms cancel by five decimal digits.
double jvs(double n, double x) {
  const long double z = -static_cast<long double>(x) * x / 4.0L;
  long double u = 1.0L;
  long double sum = u;
  long double k = 1.0L;
  long double t = 1.0L;
  while (t > MACHEP) {
    u *= z / (k * (n + k));
    sum += u;
    k += 1.0L;
    if (sum != 0) t = std::fabs(u / sum);
  }
  const double y = static_cast<double>(sum);
  int exponent = 0;
  std::frexp(0.5 * x, &exponent);
  const double scaleExponent = exponent * n;
  if (scaleExponent > -1023 && scaleExponent < 1023 && n > 0.0 && n < 170.6243769563027 && x >= kHalvesExactly) {
    int sign = 1;
    return y * std::pow(0.5 * x, n) / mygamma(n + 1.0, &sign);
  }
  // Beyond that range (negative orders, large orders, x/2 below the normal
  // range) the scaling is done in long double, whose range holds every
  // factor, so only the final conversion rounds, overflows or underflows.
  const long double halfX = 0.5L * x;
  return static_cast<double>(sum * std::pow(halfX, static_cast<long double>(n)) /
                             std::tgamma(static_cast<long double>(n) + 1.0L));
}

double hankel(double n, double x) {
  const double m = 4.0 * n * n;
  double j = 1.0;
  const double z = 8.0 * x;
  double k = 1.0;
  double p = 1.0;
  double u = (m - 1.0) / z;
  double q = u;
  double sign = 1.0;
  double conv = 1.0;
  bool converging = false;
  double t = 1.0;
  double bestP = 1.0e38;
  double bestQ = 1.0e38;
  while (t > MACHEP) {
    k += 2.0;
    j += 1.0;
    sign = -sign;
    u *= (m - k * k) / (j * z);
    p += sign * u;
    k += 2.0;
    j += 1.0;
    u *= (m - k * k) / (j * z);
    q += sign * u;
    t = std::fabs(u / p);
    if (t < conv) {
      conv = t;
      bestQ = q;
      bestP = p;
      converging = true;
    }
    if (converging && t > conv) break;  // the terms grow again
  }
  const double w = x - (0.5 * n + 0.25) * gPi;
  return std::sqrt(2.0 / (gPi * x)) * (bestP * std::cos(w) - bestQ * std::sin(w));
}

// Transition region |x - n| <= 0.7 n^(1/3) for large n.
double jnt(double n, double x) {
  const double cbn = special::cbrt(n);
  const double z = (x - n) / cbn;
  const double cbtwo = special::cbrt(2.0);
  double ai = 0, aip = 0, bi = 0, bip = 0;
  airy(-cbtwo * z, &ai, &aip, &bi, &bip);

  const double zz = z * z;
  const double z3 = zz * z;
  const double F[5] = {1.0, -z / 5.0, polevl(z3, PF2, 1) * zz, polevl(z3, PF3, 2), polevl(z3, PF4, 3) * z};
  const double G[4] = {0.3 * zz, polevl(z3, PG1, 1), polevl(z3, PG2, 2) * z, polevl(z3, PG3, 2) * zz};
  double pp = 0.0;
  double qq = 0.0;
  double nk = 1.0;
  const double n23 = special::cbrt(n * n);
  for (int k = 0; k <= 4; ++k) {
    pp += F[k] * nk;
    if (k != 4) qq += G[k] * nk;
    nk /= n23;
  }
  return cbtwo * ai * pp / cbn + special::cbrt(4.0) * aip * qq / n;
}

// Uniform asymptotic expansion for large n.
double jnx(double n, double x) {
  const double cbn = special::cbrt(n);
  if (std::fabs((x - n) / cbn) <= 0.7) return jnt(n, x);

  const double z = x / n;
  const double zz = 1.0 - z * z;
  if (zz == 0.0) return 0.0;
  double sz = 0;
  double t = 0;
  double zeta = 0;
  int nflg = 1;
  if (zz > 0.0) {
    sz = std::sqrt(zz);
    t = 1.5 * (std::log((1.0 + sz) / z) - sz);  // zeta^(3/2)
    zeta = special::cbrt(t * t);
  } else {
    sz = std::sqrt(-zz);
    t = 1.5 * (sz - std::acos(1.0 / z));
    zeta = -special::cbrt(t * t);
    nflg = -1;
  }
  const double z32i = std::fabs(1.0 / t);
  const double sqz = special::cbrt(t);

  const double n23 = special::cbrt(n * n);
  double ai = 0, aip = 0, bi = 0, bip = 0;
  airy(n23 * zeta, &ai, &aip, &bi, &bip);

  double u[8];
  const double zzi = 1.0 / zz;
  u[0] = 1.0;
  u[1] = polevl(zzi, P1, 1) / sz;
  u[2] = polevl(zzi, P2, 2) / zz;
  u[3] = polevl(zzi, P3, 3) / (sz * zz);
  double pp = zz * zz;
  u[4] = polevl(zzi, P4, 4) / pp;
  u[5] = polevl(zzi, P5, 5) / (pp * sz);
  pp *= zz;
  u[6] = polevl(zzi, P6, 6) / pp;
  u[7] = polevl(zzi, P7, 7) / (pp * sz);

  pp = 0.0;
  double qq = 0.0;
  double np = 1.0;
  bool doa = true;
  bool dob = true;
  double akl = MAXNUM;
  double bkl = MAXNUM;
  for (int k = 0; k <= 3; ++k) {
    const int tk = 2 * k;
    const int tkp1 = tk + 1;
    double zp = 1.0;
    double ak = 0.0;
    double bk = 0.0;
    for (int s = 0; s <= tk; ++s) {
      if (doa) {
        const int sign = (s & 3) > 1 ? nflg : 1;
        ak += sign * mu[s] * zp * u[tk - s];
      }
      if (dob) {
        const int m = tkp1 - s;
        const int sign = ((m + 1) & 3) > 1 ? nflg : 1;
        bk += sign * lambda[s] * zp * u[m];
      }
      zp *= z32i;
    }
    if (doa) {
      ak *= np;
      if (std::fabs(ak) < akl) {
        akl = std::fabs(ak);
        pp += ak;
      } else {
        doa = false;
      }
    }
    if (dob) {
      bk += lambda[tkp1] * zp * u[0];
      bk *= -np / sqz;
      if (std::fabs(bk) < bkl) {
        bkl = std::fabs(bk);
        qq += bk;
      } else {
        dob = false;
      }
    }
    if (np < MACHEP) break;
    np /= n * n;
  }

  t = std::sqrt(std::sqrt(4.0 * zeta / zz));  // (4 zeta / (1 - z^2))^(1/4)
  return t * (ai * pp / cbn + aip * qq / (n23 * n));
}

bool IsOdd(double wholeNumber) { return std::fmod(wholeNumber, 2.0) != 0.0; }

// Orders of 500 and above, x >= 0.
double LargeOrder(double n, double x) {
  const double ratio = x / n / n;
  if (ratio > 0.3) return hankel(n, x);
  if (n < 0.0) {
    // J of a large negative non-integer order needs Y there; nothing here
    // computes it, so the value is undefined rather than a false 0.
    mtherr("Jv", 5);
    return gNaN;
  }
  return jnx(n, x);
}

double ModerateOrder(double n, double x, bool integerOrder) {
  const double an = std::fabs(n);
  const double y = std::fabs(x);
  double k = 3.6 * std::sqrt(y);
  double q = 1.0;
  if (integerOrder) {
    k = 0.0;
    q = recur(&n, x, &k, true);
    if (k == 0.0) return special::j0(x) / q;
    if (k == 1.0) return special::j1(x) / q;
  }
  if (an > 2.0 * y || (n >= 0.0 && n < 20.0 && y > 6.0 && y < 20.0)) {
    // Recur backwards from a larger order whose series converges well.
    k = n;
    double start = std::fmax(y + an + 1.0, 30.0);
    start = n + std::floor(start - n);
    q = recur(&start, x, &k, false);
    return jvs(start, x) * q;
  }
  if (k <= 30.0) {
    k = 2.0;
  } else if (k < 90.0) {
    k = (3 * k) / 4;
  }
  if (an > k + 3.0) {
    if (n < 0.0) k = -k;
    k = std::floor(k) + (n - std::floor(n));
    if (n > 0.0) {
      q = recur(&n, x, &k, true);
    } else {
      double from = k;
      k = n;
      q = recur(&from, x, &k, true);
      k = from;
    }
    if (q == 0.0) return 0.0;
  } else {
    k = n;
    q = 1.0;
  }
  // Boundary between the power series and the Hankel expansion.
  const double w = std::fabs(k);
  const double boundary = w < 26.0 ? (0.0083 * w + 0.09) * w + 12.9 : 0.9 * w;
  const double value = x > boundary ? hankel(k, x) : jvs(k, x);
  return n > 0.0 ? value / q : value * q;
}

}  // namespace

double jv(double n, double x) {
  if (std::isnan(n) || std::isnan(x) || std::isinf(n)) return gNaN;
  double sign = 1.0;
  const double an = std::fabs(n);
  const bool integerOrder = std::floor(an) == an;
  if (integerOrder) {
    const double i = an - 16384.0 * std::floor(an / 16384.0);
    if (n < 0.0) {
      if (IsOdd(i)) sign = -sign;
      n = an;
    }
    if (x < 0.0) {
      if (IsOdd(i)) sign = -sign;
      x = -x;
    }
    if (n == 0.0) return special::j0(x);
    if (n == 1.0) return sign * special::j1(x);
  }
  if (x < 0.0) {
    mtherr("Jv", 1);
    return gNaN;
  }
  if (std::isinf(x)) return 0.0;
  // The power series holds below x = 4 for every order (its sum is carried
  // in extended precision), down to 0 where a negative non-integer order is
  // infinite; the recurrences below overflow or lose digits as x goes to 0
  // for non-integer orders. Integer orders take it below 2^-53 only.
  if (x < MACHEP || (!integerOrder && x < kSeriesBelow)) return sign * jvs(n, x);

  const double k = 3.6 * std::sqrt(x);
  const double t = 3.6 * std::sqrt(an);
  if (x < t && an > 21.0) return sign * jvs(n, x);
  if (an < k && x > 21.0) return sign * hankel(n, x);
  if (an < 500.0) return sign * ModerateOrder(n, x, integerOrder);
  return sign * LargeOrder(n, x);
}
