#include "evaluation/special/SpecialFunctions.h"

#include <cmath>

// Bessel functions of orders 0 and 1: rational approximations with the first
// two zeros factored out for |x| <= 5, the modulus-phase form beyond.

namespace special {
namespace {

constexpr double PIO4 = 7.85398163397448309616e-1;
constexpr double THPIO4 = 2.35619449019234492885;
constexpr double SQ2OPI = 7.9788456080286535587989e-1;  // sqrt(2 / pi)

namespace order0 {
constexpr double PP[] = {
    0.0007969367292973471,
    0.08283523921074408,
    1.239533716464143,
    5.447250030587687,
    8.74716500199817,
    5.303240382353949,
    1.0,
};

constexpr double PQ[] = {
    0.0009244088105588637,
    0.08562884743544745,
    1.2535274390105895,
    5.470977403304171,
    8.761908832370695,
    5.306052882353947,
    1.0,
};

constexpr double QP[] = {
    -0.011366383889846916, -1.2825271867050931, -19.553954425773597, -93.20601521237683,
    -177.68116798048806,   -147.07750515495118, -51.41053267665993,  -6.050143506007285,
};

constexpr double QQ[] = {
    64.3178256118178,  856.4300259769806,  3882.4018360540163, 7240.467741956525,
    5930.727011873169, 2062.0933166032783, 242.0057402402914,
};

constexpr double RP[] = {
    -4794432209.782018,
    1956174919465.5657,
    -249248344360967.72,
    9708622510473064.0,
};

constexpr double RQ[] = {
    499.563147152651,  173785.4016763747,  48440965.83399621,      11185553704.535683,
    2112775201154.892, 310518229857422.56, 3.1812195594320496e+16, 1.7108629408104315e+18,
};

constexpr double DR1 = 5.78318596294678452118e0;
constexpr double DR2 = 3.04712623436620863991e1;
}  // namespace order0

namespace order1 {
constexpr double PP[] = {
    0.0007621256162081731,
    0.07313970569409176,
    1.1271960812968493,
    5.112079511468076,
    8.424045901417724,
    5.214515986823615,
    1.0,
};

constexpr double PQ[] = {
    0.0005713231280725487,
    0.06884559087544954,
    1.105142326340617,
    5.073863861286015,
    8.399855543276042,
    5.209828486823619,
    1.0,
};

constexpr double QP[] = {
    0.05108625947501766, 4.982138729512334, 75.82382841325453,  366.7796093601508,
    710.8563049989261,   597.4896124006136, 211.68875710057213, 25.207020585802372,
};

constexpr double QQ[] = {
    74.23732770356752, 1056.4488603826283, 4986.410583376536, 9562.318924047562,
    7997.041604473507, 2826.1927851763908, 336.0936078106983,
};

constexpr double RP[] = {
    -899971225.7055594,
    452228297998.19403,
    -72749424522181.83,
    3682957328638529.0,
};

constexpr double RQ[] = {
    620.8364781180543, 256987.25675774884, 83514679.14319493,     22151159547.97925,
    4749141220799.914, 784369607876235.9,  8.952223361846274e+16, 5.322786203326801e+18,
};

constexpr double Z1 = 1.46819706421238932572e1;
constexpr double Z2 = 4.92184563216946036703e1;
}  // namespace order1

}  // namespace

double j0(double x) {
  using namespace order0;
  if (x < 0) x = -x;
  if (x <= 5.0) {
    const double z = x * x;
    if (x < 1.0e-5) return 1.0 - z / 4.0;
    return (z - DR1) * (z - DR2) * polevl(z, RP, 3) / p1evl(z, RQ, 8);
  }
  const double w = 5.0 / x;
  double q = 25.0 / (x * x);
  const double p = polevl(q, PP, 6) / polevl(q, PQ, 6);
  q = polevl(q, QP, 7) / p1evl(q, QQ, 7);
  const double t = x - PIO4;
  return (p * std::cos(t) - w * q * std::sin(t)) * SQ2OPI / std::sqrt(x);
}

double j1(double x) {
  using namespace order1;
  if (std::fabs(x) <= 5.0) {
    const double z = x * x;
    return polevl(z, RP, 3) / p1evl(z, RQ, 8) * x * (z - Z1) * (z - Z2);
  }
  const double w = 5.0 / x;
  const double z = w * w;
  const double p = polevl(z, PP, 6) / polevl(z, PQ, 6);
  const double q = polevl(z, QP, 7) / p1evl(z, QQ, 7);
  const double t = x - THPIO4;
  return (p * std::cos(t) - w * q * std::sin(t)) * SQ2OPI / std::sqrt(x);
}

}  // namespace special
