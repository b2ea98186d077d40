#include <cmath>

#include "CoreUtilities/MathConstants.h"
#include "shaders/FragmentProgram.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

}  // namespace

int32_t Program::getRId() {
  if (fRho) return fRho;
  fXYSquares = getTemp();
  fXYZSquares = getTemp();
  fOneOverRho = getTemp();
  fRho = getTemp();
  emit("MUL", fXYSquares, fX, fX);
  emit("MAD", fXYSquares, fY, fY, fXYSquares);
  emit("MAD", fXYZSquares, fZ, fZ, fXYSquares);
  emit("RSQ", fOneOverRho, fXYZSquares);
  emit("RCP", fRho, fOneOverRho);
  return fRho;
}

int32_t Program::getPhiId() {
  if (fPhi) return fPhi;
  getRId();
  const int32_t across = getTemp();
  emit("RSQ", across, fXYSquares);
  emit("RCP", across, across);
  fPhi = emitArcTan2(fZ, across, false);
  return fPhi;
}

int32_t Program::emitIntegerPower(int32_t a, int32_t n, bool invert) {
  if (n == 0) return getConst(1);
  const int32_t r = getTemp();
  switch (n) {
    case 1:
      if (!invert) return a;
      emit("RCP", r, a);
      return r;
    case 2: emit("MUL", r, a, a); break;
    case 3:
      emit("MUL", r, a, a);
      emit("MUL", r, r, a);
      break;
    case 4:
      emit("MUL", r, a, a);
      emit("MUL", r, r, r);
      break;
    case 5:
      emit("MUL", r, a, a);
      emit("MUL", r, r, r);
      emit("MUL", r, r, a);
      break;
    default:
      emit("MUL", r, a, a);
      emit("MUL", r, r, a);
      emit("MUL", r, r, r);
      break;
  }
  if (invert) emit("RCP", r, r);
  return r;
}

int32_t Program::emitPower(int32_t a, int32_t b) {
  const Scalar& exponent = scalarOf(b);
  if (exponent.kind == kConstant) {
    const double v = b < 0 ? -exponent.value : exponent.value;
    if (std::fabs(v) < 7 && v - std::floor(v) <= 1e-7) {
      return emitIntegerPower(a, int32_t(std::fabs(std::floor(v))), v < -0.5);
    }
  }
  const int32_t r = getTemp();
  if (!fDomainChecks) {
    emit("POW", r, a, b);
    return r;
  }
  // POW is exp(b log |a|): a zero base would give 0 x log 0, so it is
  // computed from 1 and the zero case is put back after.
  const int32_t magnitude = getTemp(), base = getTemp();
  emit("ABS", magnitude, a);
  emit("CMP", base, -magnitude, magnitude, getConst(1));
  emit("POW", r, base, b);
  const int32_t sign = getTemp();
  emit("MUL", sign, b, getConst(0.5));
  emit("FRC", sign, sign);
  emit("MAD", sign, sign, getConst(2), getConst(-1));
  emit("CMP", sign, sign, getConst(1), getConst(-1));
  emit("CMP", sign, a, sign, getConst(1));
  emit("MUL", r, r, sign);
  // 0^b is 0 for a positive b; 1 is kept for b <= 0.
  const int32_t atZero = getTemp();
  emit("CMP", atZero, -b, getConst(0), getConst(1));
  emit("CMP", r, -magnitude, r, atZero);
  const int32_t negative = getTemp(), fraction = getTemp();
  emit("SLT", negative, a, getConst(0));
  emit("FRC", fraction, b);
  emit("MUL", fraction, -fraction, negative);
  emitNaNIfNeg(r, fraction);
  return r;
}

void Program::emitNaNIfNeg(int32_t r, int32_t c) {
  if (!fDomainChecks) return;
  if (fDiscard) {
    emit("KIL", c);
    return;
  }
  const int32_t t = getTemp();
  emit("SLT", t, c, getConst(0));
  emit("MUL", t, t, getConst(-2));
  emit("ADD", t, t, getConst(1));
  emit("POW", t, t, getConst(1));
  emit("MUL", r, r, t);
}

int32_t Program::emitArcTan_0_1(int32_t t) {
  const int32_t p = getTemp(), q = getTemp(), r = getTemp();
  emit("MAD", p, t, getConst(0.5746870030895631), getConst(0.9964111111950724));
  emit("MAD", p, t, p, getConst(5.351201082130836e-5));
  emit("MAD", q, t, getConst(0.46258030290827623), getConst(0.5380131943358998));
  emit("MAD", q, q, t, getConst(1));
  emit("RCP", q, q);
  emit("MUL", r, p, q);
  return r;
}

int32_t Program::emitArcTan(int32_t a) {
  const int32_t magnitude = getTemp(), inverse = getTemp(), beyondOne = getTemp();
  emit("ABS", magnitude, a);
  emit("RCP", inverse, magnitude);
  emit("ADD", beyondOne, magnitude, getConst(-1));
  const int32_t direct = emitArcTan_0_1(magnitude);
  const int32_t complement = emitArcTan_0_1(inverse);
  emit("ADD", complement, getConst(kHalfPi), -complement);
  const int32_t r = getTemp();
  emit("CMP", r, beyondOne, direct, complement);
  emit("CMP", r, a, -r, r);
  return r;
}

int32_t Program::emitArcTan2(int32_t a, int32_t b, bool reciprocal) {
  const int32_t absA = getTemp(), absB = getTemp(), quotient = getTemp();
  emit("ABS", absA, a);
  emit("ABS", absB, b);
  if (reciprocal) {
    emit("MUL", quotient, absB, absA);
  } else {
    emit("RCP", quotient, absA);
    emit("MUL", quotient, absB, quotient);
  }
  const int32_t angle = emitArcTan(quotient);
  const int32_t beyond = getTemp();
  emit("ADD", beyond, getConst(gPi), -angle);
  emit("CMP", angle, a, beyond, angle);
  emit("CMP", angle, b, -angle, angle);
  return angle;
}

int32_t Program::emitArcSine(int32_t a) {
  const int32_t magnitude = getTemp(), rest = getTemp(), poly = getTemp();
  emit("ABS", magnitude, a);
  emit("ADD", rest, getConst(1), -magnitude);
  emitNaNIfNeg(rest, rest);
  emit("MAD", poly, magnitude, getConst(-0.018729299), getConst(0.074261002));
  emit("MAD", poly, poly, magnitude, getConst(-0.21211439));
  emit("RSQ", rest, rest);
  emit("RCP", rest, rest);
  emit("MAD", poly, poly, magnitude, getConst(1.5707288));
  emit("MAD", rest, -rest, poly, getConst(1.5707964));
  const int32_t r = getTemp();
  emit("SLT", r, a, getConst(0));
  emit("MUL", r, r, rest);
  emit("MAD", r, -r, getConst(2), rest);
  return r;
}

int32_t Program::emitIntCompare(int32_t v, int32_t k) {
  const int32_t t = getTemp();
  emit("ADD", t, v, -getConst(k));
  emit("ABS", t, t);
  emit("ADD", t, t, getConst(-0.0001));
  return t;
}

void Program::emitHSV2RGB(int32_t r, int32_t g, int32_t b, int32_t h, int32_t s, int32_t v) {
  const int32_t t = getTemp(), i = getTemp(), f = getTemp();
  emit("MUL", t, h, getConst(0.002777777777777778));
  emit("FRC", t, t);
  emit("MUL", t, t, getConst(6));
  // A hue just below a whole turn rounds to a fraction of 1: that is the
  // end of the last sector, not a seventh one.
  emit("MIN", t, t, getConst(5.9999995));
  emit("FLR", i, t);
  emit("ADD", f, t, -i);
  const int32_t p = getTemp(), q = getTemp(), u = getTemp();
  emit("ADD", p, getConst(1), -s);
  emit("MUL", p, p, v);
  emit("MAD", q, -s, f, getConst(1));
  emit("MUL", q, q, v);
  emit("ADD", u, getConst(1), -f);
  emit("MAD", u, -s, u, getConst(1));
  emit("MUL", u, u, v);
  emit("MOV", r, v);
  emit("MOV", g, p);
  emit("MOV", b, q);
  const int32_t sectors[5][3] = {{v, u, p}, {q, v, p}, {p, v, u}, {p, q, v}, {u, p, v}};
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t here = emitIntCompare(i, k);
    emit("CMP", r, here, sectors[k][0], r);
    emit("CMP", g, here, sectors[k][1], g);
    emit("CMP", b, here, sectors[k][2], b);
  }
}
