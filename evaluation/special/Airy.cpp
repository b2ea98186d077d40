#include "evaluation/special/SpecialFunctions.h"

#include <cmath>

// Airy functions: Maclaurin series near the origin, asymptotic rational
// approximations in the oscillating (x < -2.09) and growing (x >= 2.09)
// regions.

namespace special {
namespace {

constexpr long double PIL = 3.14159265358979323846264338327950288L;
constexpr long double c1 = 0.35502805388781723926L;   // Ai(0)
constexpr long double c2 = 0.258819403792806798405L;  // -Ai'(0)
constexpr long double sqrt3 = 1.732050807568877293527L;
constexpr double sqpii = 5.64189583547756286948e-1;  // 1 / sqrt(pi)
constexpr double MAXAIRY = 25.77;

constexpr double AN[] = {
    0.346538101525629,  12.007595273964581, 76.27960536152345,  168.08922493463058,
    159.75639135016442, 70.53609068404442,  14.026469116338967, 1.0,
};

constexpr double AD[] = {
    0.5675945326387702, 14.75625625848472, 84.51389701414746,  177.31808814540045,
    164.2346928715297,  71.47784008255756, 14.095913560783403, 1.0,
};

constexpr double APN[] = {
    0.6137591848140358, 14.745467078775532, 82.0584123476061,   171.1847813609764,
    159.3178471371418,  69.97785993301031,  13.947085698048157, 1.0,
};

constexpr double APD[] = {
    0.33420367774973697, 11.181029730615816, 71.172735214786,    158.77808437283832,
    153.20642747580922,  68.67523045927804,  13.849863475825945, 1.0,
};

constexpr double BN16[] = {
    -0.25324079586936415, 0.5752851673324674, -0.32990703687322537, 0.06444040689482, -0.0038251954664133675,
};

constexpr double BD16[] = {
    -7.156850950540353, 10.603958071566469, -5.232466364712515, 0.9573958643783839, -0.05508281471635496,
};

constexpr double BPPN[] = {
    0.4654611627746516, -1.0899217380049393, 0.638800117371828, -0.12684434955310292, 0.007624878443421098,
};

constexpr double BPPD[] = {
    -8.70622787633159, 13.899316270455321, -7.141161446164312, 1.340085959606805, -0.0784273211323342,
};

constexpr double AFN[] = {
    -0.1316963234183318,    -0.6264565444319123,    -0.6931580360369335,
    -0.2797799815451191,    -0.04919001326095003,   -0.004062659235948854,
    -0.0001592764962392621, -2.776491081552329e-06, -1.6778769848911465e-08,
};

constexpr double AFD[] = {
    13.356042070655324,  32.682503279522464,   26.736704094149957,    9.187074029072596,      1.4752914677166642,
    0.11568717379518804, 0.004402916416152112, 7.547203482874142e-05, 4.5185009297058035e-07,
};

constexpr double AGN[] = {
    0.01973399320916857,  0.39110302961568827,   1.0657989759959559,    0.9391692298166502,
    0.35146565610554764,  0.06338889196289255,   0.005858041130483885,  0.000282851600836737,
    6.98793669997261e-06, 8.117892395543892e-08, 3.415517847659236e-10,
};

constexpr double AGD[] = {
    9.30892908077442,    19.835292871831214,   15.564662893286462,     5.476860694229755,      0.9542936116189619,
    0.08645808263523921, 0.004126565238242226, 0.00010125908511650914, 1.1716673321441352e-06, 4.9183457006293e-09,
};

constexpr double APFN[] = {
    0.18536562402253556,  0.8867121880525841,    0.9873919817473985,    0.40124108231800376,    0.07103049262896312,
    0.005906186579956618, 0.0002330514094017768, 4.087187782890355e-06, 2.4837993290044246e-08,
};

constexpr double APFD[] = {
    14.734585468750254,  37.54239334354896,   31.46577512030464,     10.996912520729877,   1.788850547669994,
    0.14173327575366262, 0.00544066067017226, 9.394212906545112e-05, 5.65978713036027e-07,
};

constexpr double APGN[] = {
    -0.03556154290330823,    -0.6373115181294355,     -1.7085673888431236,    -1.5022187211731663,
    -0.5636066658221027,     -0.10210103112021689,    -0.009483966959614452,  -0.00046032530748678097,
    -1.1430083648451737e-05, -1.3341551868554742e-07, -5.638038339588935e-10,
};

constexpr double APGD[] = {
    9.858658016961304,   21.640186735658595,    17.31307763897494,      6.178721752808288,      1.088486943963215,
    0.09950055434408885, 0.0047846819968388665, 0.00011815963332283862, 1.3748067355421944e-06, 5.799125149291476e-09,
};

}  // namespace

int airy(double x, double* ai, double* aip, double* bi, double* bip) {
  if (x > MAXAIRY) {
    *ai = 0;
    *aip = 0;
    *bi = MAXNUM;
    *bip = MAXNUM;
    return -1;
  }
  if (x < -2.09) {
    // The phase reaches 100 radians at x = -30: carried in extended
    // precision, its rounding no longer dominates the error.
    const long double root = std::sqrt(-static_cast<long double>(x));
    const long double longZeta = -2.0L * x * root / 3.0L;
    const long double theta = longZeta + 0.25L * PIL;
    const double zeta = static_cast<double>(longZeta);
    const double t = std::sqrt(static_cast<double>(root));
    double k = sqpii / t;
    const double z = 1.0 / zeta;
    const double zz = z * z;
    double uf = 1.0 + zz * polevl(zz, AFN, 8) / p1evl(zz, AFD, 9);
    double ug = z * polevl(zz, AGN, 10) / p1evl(zz, AGD, 10);
    const double f = static_cast<double>(std::sin(theta));
    const double g = static_cast<double>(std::cos(theta));
    *ai = k * (f * uf - g * ug);
    *bi = k * (g * uf + f * ug);
    uf = 1.0 + zz * polevl(zz, APFN, 8) / p1evl(zz, APFD, 9);
    ug = z * polevl(zz, APGN, 10) / p1evl(zz, APGD, 10);
    k = sqpii * t;
    *aip = -k * (g * uf + f * ug);
    *bip = k * (f * uf - g * ug);
    return 0;
  }

  bool aiDone = false;
  bool biDone = false;
  if (x >= 2.09) {
    aiDone = true;
    // e^zeta magnifies the rounding of zeta by zeta itself (74 at x = 23).
    const long double root = std::sqrt(static_cast<long double>(x));
    const long double longZeta = 2.0L * x * root / 3.0L;
    const double zeta = static_cast<double>(longZeta);
    const double g = static_cast<double>(std::exp(longZeta));
    const double t = std::sqrt(static_cast<double>(root));
    double k = 2.0 * t * g;
    const double z = 1.0 / zeta;
    double f = polevl(z, AN, 7) / polevl(z, AD, 7);
    *ai = sqpii * f / k;
    k = -0.5 * sqpii * t / g;
    f = polevl(z, APN, 7) / polevl(z, APD, 7);
    *aip = f * k;
    if (x > 8.3203353) {  // zeta > 16
      f = z * polevl(z, BN16, 4) / p1evl(z, BD16, 5);
      k = sqpii * g;
      *bi = k * (1.0 + f) / t;
      f = z * polevl(z, BPPN, 4) / p1evl(z, BPPD, 5);
      *bip = k * t * (1.0 + f);
      biDone = true;
    }
  }
  if (biDone) return 0;

  // The two series cancel in Ai for x > 0; extended precision absorbs it.
  const long double z = static_cast<long double>(x) * x * x;
  long double f = 1.0L;
  long double g = x;
  long double uf = 1.0L;
  long double ug = x;
  long double k = 1.0L;
  long double t = 1.0L;
  while (t > MACHEP) {
    uf *= z;
    k += 1.0;
    uf /= k;
    ug *= z;
    k += 1.0;
    ug /= k;
    uf /= k;
    f += uf;
    k += 1.0;
    ug /= k;
    g += ug;
    t = std::fabs(uf / f);
  }
  uf = c1 * f;
  ug = c2 * g;
  if (!aiDone) *ai = static_cast<double>(uf - ug);
  *bi = static_cast<double>(sqrt3 * (uf + ug));

  k = 4.0;
  uf = static_cast<long double>(x) * x / 2.0L;
  ug = z / 3.0;
  f = uf;
  g = 1.0 + ug;
  uf /= 3.0;
  t = 1.0;
  while (t > MACHEP) {
    uf *= z;
    ug /= k;
    k += 1.0;
    ug *= z;
    uf /= k;
    f += uf;
    k += 1.0;
    ug /= k;
    uf /= k;
    g += ug;
    k += 1.0;
    t = std::fabs(ug / g);
  }
  uf = c1 * f;
  ug = c2 * g;
  if (!aiDone) *aip = static_cast<double>(uf - ug);
  *bip = static_cast<double>(sqrt3 * (uf + ug));
  return 0;
}

}  // namespace special
