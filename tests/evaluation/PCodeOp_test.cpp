// Programs are printed and read back by number: these numbers never change.
// A new opcode takes the next free number.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "evaluation/PCodeOp.h"
#include "tools/ProgramText.h"

// Every opcode in number order, without its "pc" prefix.
constexpr const char* kOpcodesInNumberOrder =
    "PushNumber PushVar PushTemp PushParameter StoreVar StoreTemp Swap Pop PushGrid1 PushGrid2 "
    "PushGrid3 PushConstant Add Nop Mul Div Pow Angle Hypot MakeInterval Neg Abs Sgn Sqrt Exp "
    "Log10 Ln Fact Square Sin Cos Tan Cot Sec Csc Asin Acos Atan Acot Asec Acsc Sinh Cosh Tanh "
    "Coth Sech Csch Asinh Acosh Atanh Acoth Asech Acsch Less Greater LessEq GreaterEq Equal "
    "StrEqual NotEqual StrNotEqual And Or Not PowFrac BesselJ Floor Ceil If Branch Re Im Inf "
    "Sup Arg Conj PushI Mod Min Max Clamp Choose Undefined Interpolate1 Interpolate2 "
    "CallFunction GuardEnd SkipIfZero SkipRestIfTrue StoreTempPop LoopTest LoopNext "
    "SumIndexCheck ProductIndexCheck PopRow SetRow CondCountSum CondMaxMin CountSum MaxMin "
    "BeginCountSum BeginMaxMin PushRow End ";

TEST(OpcodeNumbers, EveryOpcodeKeepsItsNumberAndReadsBackByNameAndByNumber) {
  std::istringstream order(kOpcodesInNumberOrder);
  std::string expected;
  int32_t opcode = 0;
  for (; order >> expected; ++opcode) {
    ASSERT_LT(opcode, kPCodeOpcodeCount);
    const std::string name = OpcodeName(opcode);
    EXPECT_EQ(name, "pc" + expected) << opcode;
    const std::string operand = opcode == pcPushNumber ? " 1\n" : "\n";
    std::string error;
    const auto byName = AssembleProgram(name + operand, &error);
    const auto byNumber = AssembleProgram(std::to_string(opcode) + operand, &error);
    ASSERT_TRUE(byName && byNumber) << name << ": " << error;
    EXPECT_EQ(byName->Code()[0].opcode, opcode) << name;
    EXPECT_EQ(byNumber->Code()[0].opcode, opcode) << name;
  }
  EXPECT_EQ(opcode, kPCodeOpcodeCount);
  EXPECT_EQ(OpcodeName(kPCodeOpcodeCount), nullptr);
}
