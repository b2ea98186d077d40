#pragma once

// The opcodes that compute a plain function of the top value, or of the
// second and top values, looked up once per instruction. The point and the
// grid interpreters take them from here, so both compute the same thing at
// every point. The arithmetic that must stay inline (add, multiply, divide,
// negate, square) is left to each interpreter.

#include <cstdint>

#include "evaluation/PCodeOp.h"

template <typename Ops>
struct OpcodeFunctions {
  using T = typename Ops::T;
  using Unary = T (*)(const T&);
  using Binary = T (*)(const T& second, const T& top);

  // Null for an opcode that is not a function of the top alone.
  static Unary UnaryOf(int32_t opcode) {
    switch (opcode) {
      case pcAbs: return [](const T& x) { return Ops::Abs(x); };
      case pcSgn: return [](const T& x) { return Ops::Sgn(x); };
      case pcSqrt: return [](const T& x) { return Ops::Sqrt(x); };
      case pcExp: return [](const T& x) { return Ops::Exp(x); };
      case pcLog10: return [](const T& x) { return Ops::Log10(x); };
      case pcLn: return [](const T& x) { return Ops::Log(x); };
      case pcFact: return [](const T& x) { return Ops::Fact(x); };
      case pcSin: return [](const T& x) { return Ops::Sin(x); };
      case pcCos: return [](const T& x) { return Ops::Cos(x); };
      case pcTan: return [](const T& x) { return Ops::Tan(x); };
      case pcCot: return [](const T& x) { return Ops::Cot(x); };
      case pcSec: return [](const T& x) { return Ops::Sec(x); };
      case pcCsc: return [](const T& x) { return Ops::Csc(x); };
      case pcAsin: return [](const T& x) { return Ops::Asin(x); };
      case pcAcos: return [](const T& x) { return Ops::Acos(x); };
      case pcAtan: return [](const T& x) { return Ops::Atan(x); };
      case pcAcot: return [](const T& x) { return Ops::Acot(x); };
      case pcAsec: return [](const T& x) { return Ops::Asec(x); };
      case pcAcsc: return [](const T& x) { return Ops::Acsc(x); };
      case pcSinh: return [](const T& x) { return Ops::Sinh(x); };
      case pcCosh: return [](const T& x) { return Ops::Cosh(x); };
      case pcTanh: return [](const T& x) { return Ops::Tanh(x); };
      case pcCoth: return [](const T& x) { return Ops::Coth(x); };
      case pcSech: return [](const T& x) { return Ops::Sech(x); };
      case pcCsch: return [](const T& x) { return Ops::Csch(x); };
      case pcAsinh: return [](const T& x) { return Ops::Asinh(x); };
      case pcAcosh: return [](const T& x) { return Ops::Acosh(x); };
      case pcAtanh: return [](const T& x) { return Ops::Atanh(x); };
      case pcAcoth: return [](const T& x) { return Ops::Acoth(x); };
      case pcAsech: return [](const T& x) { return Ops::Asech(x); };
      case pcAcsch: return [](const T& x) { return Ops::Acsch(x); };
      case pcNot: return [](const T& x) { return Ops::Not(x); };
      case pcFloor: return [](const T& x) { return Ops::Floor(x); };
      case pcCeil: return [](const T& x) { return Ops::Ceil(x); };
      case pcRe: return [](const T& x) { return Ops::Re(x); };
      case pcIm: return [](const T& x) { return Ops::Im(x); };
      case pcInf: return [](const T& x) { return Ops::Inf(x); };
      case pcSup: return [](const T& x) { return Ops::Sup(x); };
      case pcArg: return [](const T& x) { return Ops::Arg(x); };
      case pcConj: return [](const T& x) { return Ops::Conj(x); };
      default: return nullptr;
    }
  }

  // Null for an opcode that is not a function of second and top alone.
  static Binary BinaryOf(int32_t opcode) {
    switch (opcode) {
      case pcPow: return [](const T& second, const T& top) { return Ops::Pow(second, top); };
      case pcAngle: return [](const T& second, const T& top) { return Ops::Angle(second, top); };
      case pcHypot: return [](const T& second, const T& top) { return Ops::Hypot(second, top); };
      case pcMakeInterval: return [](const T& second, const T& top) { return Ops::MakeInterval(second, top); };
      case pcStrEqual: return [](const T& second, const T& top) { return Ops::StrEqual(second, top); };
      case pcStrNotEqual: return [](const T& second, const T& top) { return Ops::StrNotEqual(second, top); };
      case pcAnd: return [](const T& second, const T& top) { return Ops::And(second, top); };
      case pcOr: return [](const T& second, const T& top) { return Ops::Or(second, top); };
      case pcBesselJ: return [](const T& second, const T& top) { return Ops::Bessel(top, second); };
      case pcMod: return [](const T& second, const T& top) { return Ops::Mod(second, top); };
      case pcMin: return [](const T& second, const T& top) { return Ops::Min(second, top); };
      case pcMax: return [](const T& second, const T& top) { return Ops::Max(second, top); };
      case pcChoose: return [](const T& second, const T& top) { return Ops::Choose(second, top); };
      default: return nullptr;
    }
  }
};
