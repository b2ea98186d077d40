#include <cmath>
#include <complex>

#include "CoreUtilities/MathConstants.h"
#include "tests/evaluation/MachineTestSupport.h"

namespace {

using Std = std::complex<double>;

Complex RunBinary(const std::string& op, Complex second, Complex top) {
  return RunText<Complex>("pcPushVar 3\npcPushVar 4\n" + op, {{}, {}, {}, second, top});
}

Complex RunUnary(const std::string& op, Complex x) { return RunAtX<Complex>("pcPushVar 3\n" + op, x); }

void ExpectNear(Complex actual, Std expected, double tolerance = 1e-13) {
  EXPECT_NEAR(actual.re, expected.real(), tolerance);
  EXPECT_NEAR(actual.im, expected.imag(), tolerance);
}

TEST(ComplexInterpreter, ArithmeticAgreesWithTheStandardLibrary) {
  const Complex a = {1.5, -2}, b = {-0.5, 3};
  const Std sa(a.re, a.im), sb(b.re, b.im);
  ExpectNear(RunBinary("pcAdd", a, b), sa + sb);
  ExpectNear(RunBinary("pcMul", a, b), sa * sb);
  ExpectNear(RunBinary("pcDiv", a, b), sa / sb);
  ExpectNear(RunBinary("pcDiv", {1e300, 1e300}, {1e300, 1e300}), Std(1, 0));  // no overflow
  ExpectNear(RunBinary("pcPow", a, b), std::pow(sa, sb), 1e-11);
  ExpectNear(RunUnary("pcSquare", a), sa * sa);
  ExpectNear(RunUnary("pcAbs", a), std::abs(sa));
  ExpectNear(RunUnary("pcNeg\npcConj", a), -std::conj(sa));
  ExpectNear(RunUnary("pcSin", a), std::sin(sa));
  ExpectNear(RunUnary("pcCos", a), std::cos(sa));
  ExpectNear(RunUnary("pcExp", a), std::exp(sa));
  ExpectNear(RunUnary("pcLn", a), std::log(sa));
  ExpectNear(RunUnary("pcSqrt", a), std::sqrt(sa));
  ExpectNear(RunUnary("pcAtanh", a), std::atanh(sa));
  ExpectNear(RunUnary("pcRe", a), Std(1.5, 0));
  ExpectNear(RunUnary("pcIm", a), Std(-2, 0));
  ExpectNear(RunUnary("pcArg", {-1, 0}), Std(gPi, 0));
  ExpectNear(RunText<Complex>("pcPushI\npcPushI\npcMul"), Std(-1, 0));
  // 8^(2/3) through the complex power of a quotient.
  ExpectNear(RunText<Complex>("pcPushNumber 8\npcPushNumber 2\npcPushNumber 3\npcPowFrac"), Std(4, 0));
  ExpectNear(RunText<Complex>("pcPushNumber 1\npcPushNumber 2\npcMakeInterval"), Std(2, 0));
}

TEST(ComplexInterpreter, TruthIsExactlyOneAndZero) {
  const Complex one = {1, 0}, zero = {0, 0}, odd = {1, 1};
  ExpectNear(RunBinary("pcLess 2", odd, {2, 1}), Std(0, 0));
  ExpectNear(RunBinary("pcLess 2", {1, 0}, {2, 0}), Std(1, 0));
  ExpectNear(RunBinary("pcEqual 2", odd, odd), Std(1, 0));
  ExpectNear(RunBinary("pcNotEqual 2", odd, {1, 2}), Std(1, 0));
  ExpectNear(RunBinary("pcAnd", one, odd), Std(0, 0));
  ExpectNear(RunBinary("pcOr", zero, one), Std(1, 0));
  ExpectNear(RunText<Complex>("pcPushNumber nan\npcNot"), Std(1, 0));
  ExpectNear(RunBinary("pcIf", {5, 5}, one), Std(5, 5));
  EXPECT_TRUE(std::isnan(RunBinary("pcIf", {5, 5}, odd).re));
  ExpectNear(RunBinary("pcStrNotEqual", {gNaN, 0}, one), Std(1, 0));
}

TEST(ComplexInterpreter, NaNEndsARunThatCannotRecover) {
  // 1 + sqrt(x) over x with imaginary NaN: the NaN stop gives all-NaN.
  const Complex r = RunAtX<Complex>("pcPushNumber 1\npcPushVar 3\npcSqrt\npcAdd", {gNaN, 0});
  EXPECT_TRUE(std::isnan(r.re) && std::isnan(r.im));
  // A sum whose index is complex keeps to the real parts of the bounds.
  auto sum = Program(
      "pcPushNumber 0\npcPushNumber 4\npcStoreTempPop 1\npcPushNumber 1\n"
      "pcStoreTemp 2\npcStoreTempPop 0\npcLoopTest 0\npcPushTemp 0\npcPushI\npcMul\n"
      "pcSumIndexCheck 0\npcAdd\npcLoopNext 0\n");
  ExpectNear(RunWith<Complex>(*sum), Std(0, 10));
}

}  // namespace
