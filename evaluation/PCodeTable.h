#pragma once

// The one table of the stack machine's instructions. The opcode enum, the
// names programs are printed with, the stack and slot accounting, the NaN
// recovery and the grid interpreter's written slots all come from it.
//
// X(name, number, read, change, extent, base, first, last, recovers, effect)
//   number       fixed: programs are printed and read back by it
//   read         cells below the top the instruction reads
//   change       change of the stack depth (kByA for both: they follow
//                from the instruction's a)
//   extent       the highest slot it names, relative to a; -1 when none
//   base         whose slot a is: the fixed variables' or the temporaries'
//   first, last  the slots it writes, relative to a; -1 when none
//   recovers     it can turn an undefined operand into a defined result
//   effect       in words; "second" is the cell below the top, "third"
//                the one below that
#define ZL_PCODE_TABLE(X)                                                                                              \
  X(pcPushNumber, 0, 0, 1, -1, kNoSlots, -1, -1, false, "push the instruction's number")                               \
  X(pcPushVar, 1, 0, 1, 0, kVariables, -1, -1, false, "push variable slot a")                                          \
  X(pcPushTemp, 2, 0, 1, 0, kTemporaries, -1, -1, false, "push temporary a")                                           \
  X(pcPushParameter, 3, 0, 1, -1, kNoSlots, -1, -1, false, "push the document's parameter a at the table row")         \
  X(pcStoreVar, 4, 0, 0, 0, kVariables, 0, 0, false, "copy top into variable slot a")                                  \
  X(pcStoreTemp, 5, 0, 0, 0, kTemporaries, 0, 0, false, "copy top into temporary a")                                   \
  X(pcSwap, 6, 1, 0, -1, kNoSlots, -1, -1, false, "exchange top and second")                                           \
  X(pcPop, 7, 1, -1, -1, kNoSlots, -1, -1, false, "drop top")                                                          \
  X(pcPushGrid1, 8, 0, 1, -1, kNoSlots, -1, -1, false, "push hoisted value a of the grid's level 1")                   \
  X(pcPushGrid2, 9, 0, 1, -1, kNoSlots, -1, -1, false, "push hoisted value a of the grid's level 2")                   \
  X(pcPushGrid3, 10, 0, 1, -1, kNoSlots, -1, -1, false, "push hoisted value a of the grid's level 3")                  \
  X(pcPushConstant, 11, 0, 1, -1, kNoSlots, -1, -1, false, "push cached constant a")                                   \
  X(pcAdd, 12, 1, -1, -1, kNoSlots, -1, -1, false, "second + top")                                                     \
  X(pcNop, 13, 0, 0, -1, kNoSlots, -1, -1, false, "nothing")                                                           \
  X(pcMul, 14, 1, -1, -1, kNoSlots, -1, -1, false, "second * top")                                                     \
  X(pcDiv, 15, 1, -1, -1, kNoSlots, -1, -1, false, "second / top")                                                     \
  X(pcPow, 16, 1, -1, -1, kNoSlots, -1, -1, false, "second ^ top")                                                     \
  X(pcAngle, 17, 1, -1, -1, kNoSlots, -1, -1, false, "angle of the point (second, top)")                               \
  X(pcHypot, 18, 1, -1, -1, kNoSlots, -1, -1, false, "sqrt(second^2 + top^2)")                                         \
  X(pcMakeInterval, 19, 1, -1, -1, kNoSlots, -1, -1, false, "the interval from second to top")                         \
  X(pcNeg, 20, 0, 0, -1, kNoSlots, -1, -1, false, "-top")                                                              \
  X(pcAbs, 21, 0, 0, -1, kNoSlots, -1, -1, false, "|top|")                                                             \
  X(pcSgn, 22, 0, 0, -1, kNoSlots, -1, -1, false, "sign of top")                                                       \
  X(pcSqrt, 23, 0, 0, -1, kNoSlots, -1, -1, false, "sqrt top")                                                         \
  X(pcExp, 24, 0, 0, -1, kNoSlots, -1, -1, false, "e^top")                                                             \
  X(pcLog10, 25, 0, 0, -1, kNoSlots, -1, -1, false, "log10 top")                                                       \
  X(pcLn, 26, 0, 0, -1, kNoSlots, -1, -1, false, "ln top")                                                             \
  X(pcFact, 27, 0, 0, -1, kNoSlots, -1, -1, false, "top!")                                                             \
  X(pcSquare, 28, 0, 0, -1, kNoSlots, -1, -1, false, "top^2")                                                          \
  X(pcSin, 29, 0, 0, -1, kNoSlots, -1, -1, false, "sin top")                                                           \
  X(pcCos, 30, 0, 0, -1, kNoSlots, -1, -1, false, "cos top")                                                           \
  X(pcTan, 31, 0, 0, -1, kNoSlots, -1, -1, false, "tan top")                                                           \
  X(pcCot, 32, 0, 0, -1, kNoSlots, -1, -1, false, "cot top")                                                           \
  X(pcSec, 33, 0, 0, -1, kNoSlots, -1, -1, false, "sec top")                                                           \
  X(pcCsc, 34, 0, 0, -1, kNoSlots, -1, -1, false, "csc top")                                                           \
  X(pcAsin, 35, 0, 0, -1, kNoSlots, -1, -1, false, "asin top")                                                         \
  X(pcAcos, 36, 0, 0, -1, kNoSlots, -1, -1, false, "acos top")                                                         \
  X(pcAtan, 37, 0, 0, -1, kNoSlots, -1, -1, false, "atan top")                                                         \
  X(pcAcot, 38, 0, 0, -1, kNoSlots, -1, -1, false, "acot top")                                                         \
  X(pcAsec, 39, 0, 0, -1, kNoSlots, -1, -1, false, "asec top")                                                         \
  X(pcAcsc, 40, 0, 0, -1, kNoSlots, -1, -1, false, "acsc top")                                                         \
  X(pcSinh, 41, 0, 0, -1, kNoSlots, -1, -1, false, "sinh top")                                                         \
  X(pcCosh, 42, 0, 0, -1, kNoSlots, -1, -1, false, "cosh top")                                                         \
  X(pcTanh, 43, 0, 0, -1, kNoSlots, -1, -1, false, "tanh top")                                                         \
  X(pcCoth, 44, 0, 0, -1, kNoSlots, -1, -1, false, "coth top")                                                         \
  X(pcSech, 45, 0, 0, -1, kNoSlots, -1, -1, false, "sech top")                                                         \
  X(pcCsch, 46, 0, 0, -1, kNoSlots, -1, -1, false, "csch top")                                                         \
  X(pcAsinh, 47, 0, 0, -1, kNoSlots, -1, -1, false, "asinh top")                                                       \
  X(pcAcosh, 48, 0, 0, -1, kNoSlots, -1, -1, false, "acosh top")                                                       \
  X(pcAtanh, 49, 0, 0, -1, kNoSlots, -1, -1, false, "atanh top")                                                       \
  X(pcAcoth, 50, 0, 0, -1, kNoSlots, -1, -1, false, "acoth top")                                                       \
  X(pcAsech, 51, 0, 0, -1, kNoSlots, -1, -1, false, "asech top")                                                       \
  X(pcAcsch, 52, 0, 0, -1, kNoSlots, -1, -1, false, "acsch top")                                                       \
  X(pcLess, 53, kByA, kByA, -1, kNoSlots, -1, -1, false, "a operands (at least 2) chained by <")                       \
  X(pcGreater, 54, kByA, kByA, -1, kNoSlots, -1, -1, false, "a operands (at least 2) chained by >")                    \
  X(pcLessEq, 55, kByA, kByA, -1, kNoSlots, -1, -1, false, "a operands chained by <=; one operand is true")            \
  X(pcGreaterEq, 56, kByA, kByA, -1, kNoSlots, -1, -1, false, "a operands chained by >=; one operand is true")         \
  X(pcEqual, 57, kByA, kByA, -1, kNoSlots, -1, -1, false, "a operands chained by =; one operand is true")              \
  X(pcStrEqual, 58, 1, -1, -1, kNoSlots, -1, -1, false, "second and top are equal texts")                              \
  X(pcNotEqual, 59, kByA, kByA, -1, kNoSlots, -1, -1, true, "a operands chained by !=; one operand is true")           \
  X(pcStrNotEqual, 60, 1, -1, -1, kNoSlots, -1, -1, true, "second and top are different texts")                        \
  X(pcAnd, 61, 1, -1, -1, kNoSlots, -1, -1, true, "second and top")                                                    \
  X(pcOr, 62, 1, -1, -1, kNoSlots, -1, -1, true, "second or top")                                                      \
  X(pcNot, 63, 0, 0, -1, kNoSlots, -1, -1, true, "not top")                                                            \
  X(pcPowFrac, 64, 2, -2, -1, kNoSlots, -1, -1, false, "third ^ (second / top), odd roots of negatives real")          \
  X(pcBesselJ, 65, 1, -1, -1, kNoSlots, -1, -1, false, "Bessel J of order second at top")                              \
  X(pcFloor, 66, 0, 0, -1, kNoSlots, -1, -1, false, "floor top")                                                       \
  X(pcCeil, 67, 0, 0, -1, kNoSlots, -1, -1, false, "ceiling top")                                                      \
  X(pcIf, 68, 1, -1, -1, kNoSlots, -1, -1, true, "second where top is true, else undefined")                           \
  X(pcBranch, 69, kByA, kByA, -1, kNoSlots, -1, -1, true, "the value of the a (condition, value) pairs whose holds")   \
  X(pcRe, 70, 0, 0, -1, kNoSlots, -1, -1, false, "real part of top")                                                   \
  X(pcIm, 71, 0, 0, -1, kNoSlots, -1, -1, false, "imaginary part of top")                                              \
  X(pcInf, 72, 0, 0, -1, kNoSlots, -1, -1, false, "lower end of top")                                                  \
  X(pcSup, 73, 0, 0, -1, kNoSlots, -1, -1, false, "upper end of top")                                                  \
  X(pcArg, 74, 0, 0, -1, kNoSlots, -1, -1, false, "argument of top")                                                   \
  X(pcConj, 75, 0, 0, -1, kNoSlots, -1, -1, false, "conjugate of top")                                                 \
  X(pcPushI, 76, 0, 1, -1, kNoSlots, -1, -1, false, "push i")                                                          \
  X(pcMod, 77, 1, -1, -1, kNoSlots, -1, -1, false, "second mod top")                                                   \
  X(pcMin, 78, 1, -1, -1, kNoSlots, -1, -1, false, "min(second, top)")                                                 \
  X(pcMax, 79, 1, -1, -1, kNoSlots, -1, -1, false, "max(second, top)")                                                 \
  X(pcClamp, 80, 2, -2, -1, kNoSlots, -1, -1, false, "third clamped by second and top")                                \
  X(pcChoose, 81, 1, -1, -1, kNoSlots, -1, -1, false, "second choose top")                                             \
  X(pcUndefined, 82, 0, 0, -1, kNoSlots, -1, -1, false, "end the run undefined")                                       \
  X(pcInterpolate1, 83, 0, 0, -1, kNoSlots, -1, -1, false, "table column a interpolated at top")                       \
  X(pcInterpolate2, 84, 1, -1, -1, kNoSlots, -1, -1, false, "table matrix a interpolated at second and top")           \
  X(pcCallFunction, 85, kByA, kByA, -1, kNoSlots, -1, -1, true, "document function b of the top a cells")              \
  X(pcGuardEnd, 86, 0, 0, -1, kNoSlots, -1, -1, false, "where guard (a, b) ends")                                      \
  X(pcSkipIfZero, 87, 0, 0, -1, kNoSlots, -1, -1, true, "where top is false: undefined, on past guard end (a, b)")     \
  X(pcSkipRestIfTrue, 88, 1, 0, -1, kNoSlots, -1, -1, true, "where second is true: on past guard end (a, b)")          \
  X(pcStoreTempPop, 89, 1, -1, 0, kTemporaries, 0, 0, false, "move top into temporary a")                              \
  X(pcLoopTest, 90, 0, 0, 2, kTemporaries, -1, -1, false, "past loop a (b on) once index a passes its bound")          \
  X(pcLoopNext, 91, 0, 0, 2, kTemporaries, 0, 0, false, "step index a; back b to its test")                            \
  X(pcSumIndexCheck, 92, 0, 0, 2, kTemporaries, -1, -1, false, "top, or 0 where index a falls outside its bounds")     \
  X(pcProductIndexCheck, 93, 0, 0, 2, kTemporaries, -1, -1, false, "top, or 1 where index a falls outside its bounds") \
  X(pcPopRow, 94, 0, 0, -1, kNoSlots, -1, -1, false, "restore the table row saved last")                               \
  X(pcSetRow, 95, 0, 0, 0, kTemporaries, -1, -1, false, "the table row becomes temporary a")                           \
  X(pcCondCountSum, 96, 3, -2, -1, kNoSlots, -1, -1, true, "where top holds, second into the count and sum below")     \
  X(pcCondMaxMin, 97, 3, -2, -1, kNoSlots, -1, -1, true, "where top holds, take second into the max and min below")    \
  X(pcCountSum, 98, 2, -1, -1, kNoSlots, -1, -1, true, "count top into the count and sum below")                       \
  X(pcMaxMin, 99, 2, -1, -1, kNoSlots, -1, -1, true, "take top into the max and min below")                            \
  X(pcBeginCountSum, 100, 0, 2, 1, kTemporaries, 0, 1, true, "save the row; push count, sum 0; rows 1..b in a, a+1")   \
  X(pcBeginMaxMin, 101, 0, 2, 1, kTemporaries, 0, 1, true, "save the row; push NaN max, min; rows 1..b in a, a+1")     \
  X(pcPushRow, 102, 1, -1, -1, kNoSlots, -1, -1, false, "save the row; the row becomes top, dropped")                  \
  X(pcEnd, 103, 0, 0, -1, kNoSlots, -1, -1, false, "end the run with top")
