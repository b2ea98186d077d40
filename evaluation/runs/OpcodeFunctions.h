#pragma once

// The opcodes that compute a plain function of the top value, or of the
// second and top values, with the ValueOps operation of each. The point and
// the grid interpreters make their handlers from these lists, so both
// compute the same thing at every point. The arithmetic that must stay
// inline (add, multiply, divide, negate, square) is left to each
// interpreter.

#include <cstdint>

#include "evaluation/PCodeOp.h"

// X(opcode, operation of Ops applied to the top)
#define ZL_UNARY_OPCODES(X) \
  X(pcAbs, Abs)             \
  X(pcSgn, Sgn)             \
  X(pcSqrt, Sqrt)           \
  X(pcExp, Exp)             \
  X(pcLog10, Log10)         \
  X(pcLn, Log)              \
  X(pcFact, Fact)           \
  X(pcSin, Sin)             \
  X(pcCos, Cos)             \
  X(pcTan, Tan)             \
  X(pcCot, Cot)             \
  X(pcSec, Sec)             \
  X(pcCsc, Csc)             \
  X(pcAsin, Asin)           \
  X(pcAcos, Acos)           \
  X(pcAtan, Atan)           \
  X(pcAcot, Acot)           \
  X(pcAsec, Asec)           \
  X(pcAcsc, Acsc)           \
  X(pcSinh, Sinh)           \
  X(pcCosh, Cosh)           \
  X(pcTanh, Tanh)           \
  X(pcCoth, Coth)           \
  X(pcSech, Sech)           \
  X(pcCsch, Csch)           \
  X(pcAsinh, Asinh)         \
  X(pcAcosh, Acosh)         \
  X(pcAtanh, Atanh)         \
  X(pcAcoth, Acoth)         \
  X(pcAsech, Asech)         \
  X(pcAcsch, Acsch)         \
  X(pcNot, Not)             \
  X(pcFloor, Floor)         \
  X(pcCeil, Ceil)           \
  X(pcRe, Re)               \
  X(pcIm, Im)               \
  X(pcInf, Inf)             \
  X(pcSup, Sup)             \
  X(pcArg, Arg)             \
  X(pcConj, Conj)

// X(opcode, operation of Ops, its operands in order)
#define ZL_BINARY_OPCODES(X)                   \
  X(pcPow, Pow, second, top)                   \
  X(pcAngle, Angle, second, top)               \
  X(pcHypot, Hypot, second, top)               \
  X(pcMakeInterval, MakeInterval, second, top) \
  X(pcStrEqual, StrEqual, second, top)         \
  X(pcStrNotEqual, StrNotEqual, second, top)   \
  X(pcAnd, And, second, top)                   \
  X(pcOr, Or, second, top)                     \
  X(pcBesselJ, Bessel, top, second)            \
  X(pcMod, Mod, second, top)                   \
  X(pcMin, Min, second, top)                   \
  X(pcMax, Max, second, top)                   \
  X(pcChoose, Choose, second, top)
