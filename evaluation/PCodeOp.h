#pragma once

#include <cstdint>

// The opcodes of the stack machine. Values are fixed: programs are printed
// and read back by number.
enum PCodeOpcode : int32_t {
  pcPushNumber = 0,
  pcPushVar = 1,
  pcPushTemp = 2,
  pcPushParameter = 3,
  pcStoreVar = 4,
  pcStoreTemp = 5,
  pcSwap = 6,
  pcPop = 7,
  pcPushGrid1 = 8,
  pcPushGrid2 = 9,
  pcPushGrid3 = 10,
  pcPushConstant = 11,
  pcAdd = 12,
  pcNop = 13,
  pcMul = 14,
  pcDiv = 15,
  pcPow = 16,
  pcAngle = 17,
  pcHypot = 18,
  pcMakeInterval = 19,
  pcNeg = 20,
  pcAbs = 21,
  pcSgn = 22,
  pcSqrt = 23,
  pcExp = 24,
  pcLog10 = 25,
  pcLn = 26,
  pcFact = 27,
  pcSquare = 28,
  pcSin = 29,
  pcCos = 30,
  pcTan = 31,
  pcCot = 32,
  pcSec = 33,
  pcCsc = 34,
  pcAsin = 35,
  pcAcos = 36,
  pcAtan = 37,
  pcAcot = 38,
  pcAsec = 39,
  pcAcsc = 40,
  pcSinh = 41,
  pcCosh = 42,
  pcTanh = 43,
  pcCoth = 44,
  pcSech = 45,
  pcCsch = 46,
  pcAsinh = 47,
  pcAcosh = 48,
  pcAtanh = 49,
  pcAcoth = 50,
  pcAsech = 51,
  pcAcsch = 52,
  pcLess = 53,
  pcGreater = 54,
  pcLessEq = 55,
  pcGreaterEq = 56,
  pcEqual = 57,
  pcStrEqual = 58,
  pcNotEqual = 59,
  pcStrNotEqual = 60,
  pcAnd = 61,
  pcOr = 62,
  pcNot = 63,
  pcPowFrac = 64,
  pcBesselJ = 65,
  pcFloor = 66,
  pcCeil = 67,
  pcIf = 68,
  pcBranch = 69,
  pcRe = 70,
  pcIm = 71,
  pcInf = 72,
  pcSup = 73,
  pcArg = 74,
  pcConj = 75,
  pcPushI = 76,
  pcMod = 77,
  pcMin = 78,
  pcMax = 79,
  pcClamp = 80,
  pcChoose = 81,
  pcUndefined = 82,
  pcInterpolate1 = 83,
  pcInterpolate2 = 84,
  pcCallFunction = 85,
  pcGuardEnd = 86,
  pcSkipIfZero = 87,
  pcSkipRestIfTrue = 88,
  pcStoreTempPop = 89,
  pcLoopTest = 90,
  pcLoopNext = 91,
  pcSumIndexCheck = 92,
  pcProductIndexCheck = 93,
  pcPopRow = 94,
  pcSetRow = 95,
  pcCondCountSum = 96,
  pcCondMaxMin = 97,
  pcCountSum = 98,
  pcMaxMin = 99,
  pcBeginCountSum = 100,
  pcBeginMaxMin = 101,
  pcPushRow = 102,
  pcEnd = 103,
};

inline constexpr int32_t kPCodeOpcodeCount = 104;

struct PCodeIds {
  int32_t a;  // slot, temporary, constant, column or variable id, or a count
  int32_t b;  // jump distance, function number or second id
};

// One instruction: 16 bytes. Only pcPushNumber carries the double.
struct PCodeOp {
  int32_t opcode;
  union {
    double number;
    PCodeIds ids;
  };
};

inline PCodeOp MakeNumberOp(double value) {
  PCodeOp op{};
  op.opcode = pcPushNumber;
  op.number = value;
  return op;
}

inline PCodeOp MakeOp(int32_t opcode, int32_t a = 0, int32_t b = 0) {
  PCodeOp op{};
  op.opcode = opcode;
  op.ids = {a, b};
  return op;
}
