// Programs are printed and read back by number: these numbers never change.
// A new opcode takes the next free number.
#include <gtest/gtest.h>

#include <string>

#include "evaluation/PCodeOp.h"
#include "tools/ProgramText.h"

static_assert(pcPushNumber == 0);
static_assert(pcPushVar == 1);
static_assert(pcPushTemp == 2);
static_assert(pcPushParameter == 3);
static_assert(pcStoreVar == 4);
static_assert(pcStoreTemp == 5);
static_assert(pcSwap == 6);
static_assert(pcPop == 7);
static_assert(pcPushGrid1 == 8);
static_assert(pcPushGrid2 == 9);
static_assert(pcPushGrid3 == 10);
static_assert(pcPushConstant == 11);
static_assert(pcAdd == 12);
static_assert(pcNop == 13);
static_assert(pcMul == 14);
static_assert(pcDiv == 15);
static_assert(pcPow == 16);
static_assert(pcAngle == 17);
static_assert(pcHypot == 18);
static_assert(pcMakeInterval == 19);
static_assert(pcNeg == 20);
static_assert(pcAbs == 21);
static_assert(pcSgn == 22);
static_assert(pcSqrt == 23);
static_assert(pcExp == 24);
static_assert(pcLog10 == 25);
static_assert(pcLn == 26);
static_assert(pcFact == 27);
static_assert(pcSquare == 28);
static_assert(pcSin == 29);
static_assert(pcCos == 30);
static_assert(pcTan == 31);
static_assert(pcCot == 32);
static_assert(pcSec == 33);
static_assert(pcCsc == 34);
static_assert(pcAsin == 35);
static_assert(pcAcos == 36);
static_assert(pcAtan == 37);
static_assert(pcAcot == 38);
static_assert(pcAsec == 39);
static_assert(pcAcsc == 40);
static_assert(pcSinh == 41);
static_assert(pcCosh == 42);
static_assert(pcTanh == 43);
static_assert(pcCoth == 44);
static_assert(pcSech == 45);
static_assert(pcCsch == 46);
static_assert(pcAsinh == 47);
static_assert(pcAcosh == 48);
static_assert(pcAtanh == 49);
static_assert(pcAcoth == 50);
static_assert(pcAsech == 51);
static_assert(pcAcsch == 52);
static_assert(pcLess == 53);
static_assert(pcGreater == 54);
static_assert(pcLessEq == 55);
static_assert(pcGreaterEq == 56);
static_assert(pcEqual == 57);
static_assert(pcStrEqual == 58);
static_assert(pcNotEqual == 59);
static_assert(pcStrNotEqual == 60);
static_assert(pcAnd == 61);
static_assert(pcOr == 62);
static_assert(pcNot == 63);
static_assert(pcPowFrac == 64);
static_assert(pcBesselJ == 65);
static_assert(pcFloor == 66);
static_assert(pcCeil == 67);
static_assert(pcIf == 68);
static_assert(pcBranch == 69);
static_assert(pcRe == 70);
static_assert(pcIm == 71);
static_assert(pcInf == 72);
static_assert(pcSup == 73);
static_assert(pcArg == 74);
static_assert(pcConj == 75);
static_assert(pcPushI == 76);
static_assert(pcMod == 77);
static_assert(pcMin == 78);
static_assert(pcMax == 79);
static_assert(pcClamp == 80);
static_assert(pcChoose == 81);
static_assert(pcUndefined == 82);
static_assert(pcInterpolate1 == 83);
static_assert(pcInterpolate2 == 84);
static_assert(pcCallFunction == 85);
static_assert(pcGuardEnd == 86);
static_assert(pcSkipIfZero == 87);
static_assert(pcSkipRestIfTrue == 88);
static_assert(pcStoreTempPop == 89);
static_assert(pcLoopTest == 90);
static_assert(pcLoopNext == 91);
static_assert(pcSumIndexCheck == 92);
static_assert(pcProductIndexCheck == 93);
static_assert(pcPopRow == 94);
static_assert(pcSetRow == 95);
static_assert(pcCondCountSum == 96);
static_assert(pcCondMaxMin == 97);
static_assert(pcCountSum == 98);
static_assert(pcMaxMin == 99);
static_assert(pcBeginCountSum == 100);
static_assert(pcBeginMaxMin == 101);
static_assert(pcPushRow == 102);
static_assert(pcEnd == 103);

TEST(OpcodeNumbers, EveryOpcodeReadsBackByNameAndByNumber) {
  for (int32_t opcode = 0; opcode < kPCodeOpcodeCount; ++opcode) {
    const std::string name = OpcodeName(opcode);
    const std::string operand = opcode == pcPushNumber ? " 1\n" : "\n";
    std::string error;
    const auto byName = AssembleProgram(name + operand, &error);
    const auto byNumber = AssembleProgram(std::to_string(opcode) + operand, &error);
    ASSERT_TRUE(byName && byNumber) << name << ": " << error;
    EXPECT_EQ(byName->Code()[0].opcode, opcode) << name;
    EXPECT_EQ(byNumber->Code()[0].opcode, opcode) << name;
  }
  EXPECT_EQ(OpcodeName(kPCodeOpcodeCount), nullptr);
}
