#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/runs/RunPCode.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/RandomPrograms.h"
#include "tests/evaluation/SameBits.h"

// The complex point run's faster form against the switch, on the programs
// complex formulas make: i times a variable, powers with a number for
// exponent, with undefined, infinite and zero operands and i and -i to
// whole powers among them.

namespace {

// Each part the same bits, or NaN in both (which NaN an operation of two
// NaN operands passes on follows the compiler's operand order).

bool SameComplex(const Complex& a, const Complex& b) { return SameResult(a.re, b.re) && SameResult(a.im, b.im); }

// The values the slots and the pushed numbers are drawn from: the edges of
// the power's exactness rules and of the NaN stop.
const double kPartValues[] = {0.0, -0.0, 1.0, -1.0, 2.0, -3.0, 0.5, 1e-310, 1e300, gInf, -gInf, gNaN};
const char* const kExponents[] = {"0", "1", "2", "3", "-1", "-2", "7", "0.5", "-0.5", "1e300", "nan", "inf", "-inf"};

class ComplexProgramGenerator : ProgramText {
 public:
  explicit ComplexProgramGenerator(uint32_t seed) : ProgramText(seed) {}

  std::string Make() {
    fText.clear();
    Value(4);
    return fText;
  }

 private:
  void Leaf() {
    switch (Pick(4)) {
      case 0: Emit("pcPushI"); break;
      case 1: Emit("pcPushNumber " + std::string(kExponents[Pick(static_cast<int>(std::size(kExponents)))])); break;
      default: Emit("pcPushVar " + std::to_string(Pick(8))); break;
    }
  }

  void Value(int depth) {
    if (depth <= 0) return Leaf();
    switch (Pick(7)) {
      case 0: Leaf(); break;
      case 1:  // i times a variable, as x + i y writes it
        Emit("pcPushI");
        Emit("pcPushVar " + std::to_string(Pick(8)));
        Emit("pcMul");
        break;
      case 2:
      case 3:  // a power with a number for exponent
        Value(depth - 1);
        Emit("pcPushNumber " + std::string(kExponents[Pick(static_cast<int>(std::size(kExponents)))]));
        Emit("pcPow");
        break;
      case 4: {
        static const char* unary[] = {"pcNeg", "pcSquare", "pcAbs", "pcSqrt", "pcExp", "pcLn"};
        Value(depth - 1);
        Emit(unary[Pick(6)]);
        break;
      }
      default: {
        static const char* binary[] = {"pcAdd", "pcMul", "pcDiv", "pcPow"};
        Value(depth - 1);
        Value(depth - 1);
        Emit(binary[Pick(4)]);
        break;
      }
    }
  }
};

std::vector<Complex> RandomSlots(const AStackMachine& machine, std::mt19937& random) {
  std::vector<Complex> slots(static_cast<size_t>(machine.VariableSlotCount()));
  std::uniform_int_distribution<int> part(0, static_cast<int>(std::size(kPartValues)) - 1);
  std::uniform_real_distribution<double> plain(-3, 3);
  for (Complex& z : slots) {
    // Mostly ordinary points, and i and -i, besides the edges.
    switch (random() % 4) {
      case 0: z = {kPartValues[part(random)], kPartValues[part(random)]}; break;
      case 1: z = {0.0, random() % 2 ? 1.0 : -1.0}; break;
      default: z = {plain(random), plain(random)}; break;
    }
  }
  return slots;
}

::testing::AssertionResult RunsAgree(const AStackMachine& machine, const std::vector<Complex>& slots) {
  std::vector<Complex> fast = slots, switched = slots;
  const Complex a = RunPCode<Complex>(&machine, fast.data(), nullptr);
  const Complex b = RunPCodeSwitched<Complex>(&machine, switched.data(), nullptr);
  if (!SameComplex(a, b)) {
    return ::testing::AssertionFailure() << "run gives (" << a.re << ", " << a.im << "), switch (" << b.re << ", "
                                         << b.im << ")";
  }
  return ::testing::AssertionSuccess();
}

TEST(ComplexPointRuns, RandomComplexProgramsMatchTheSwitch) {
  ComplexProgramGenerator generator(20201);
  std::mt19937 random(3141);
  int straight = 0;
  const int programs = 20000;
  for (int n = 0; n < programs; ++n) {
    const std::string text = generator.Make();
    auto machine = AssembleProgram(text, nullptr);
    ASSERT_NE(machine, nullptr) << text;
    machine->fNaNRecovery = n % 2;  // both ways of the NaN stop
    ASSERT_TRUE(RunsAgree(*machine, RandomSlots(*machine, random))) << text;
    ASSERT_TRUE(machine->RanTranslated(1)) << text;
    straight += machine->fTranslations[1].load()->straight;
  }
  // Not all: a power whose exponent is no number calls out, for one.
  EXPECT_GT(straight, programs / 3);
}

// i and -i to whole powers, and 0 to real ones, are exact: known values,
// through the step that reads the exponent in place (the base is computed,
// so that no push is fused with the power).
TEST(ComplexPointRuns, ExactPowersOfTheUnitsAndOfZero) {
  const Complex units[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (int n = -9; n <= 9; ++n) {
    const std::string power = "pcPushNumber " + std::to_string(n) + "\npcPow";
    const Complex up = RunAtX<Complex>("pcPushVar 3\npcNeg\n" + power, {-0.0, -1.0});
    const Complex down = RunText<Complex>("pcPushI\npcNeg\n" + power);
    const Complex& expectedUp = units[((n % 4) + 4) % 4];
    const Complex& expectedDown = units[((-n % 4) + 4) % 4];
    EXPECT_TRUE(up.re == expectedUp.re && up.im == expectedUp.im) << n << ": " << up.re << ", " << up.im;
    EXPECT_TRUE(down.re == expectedDown.re && down.im == expectedDown.im) << n << ": " << down.re << ", " << down.im;
  }
  const Complex zero = {0.0, 0.0};
  for (const auto& [exponent, expected] :
       {std::pair{"2.5", Complex{0, 0}}, std::pair{"0", Complex{1, 0}}, std::pair{"-1", Complex{gInf, 0}}}) {
    const Complex z = RunAtX<Complex>("pcPushVar 3\npcNeg\npcPushNumber " + std::string(exponent) + "\npcPow", zero);
    EXPECT_TRUE(z.re == expected.re && z.im == expected.im) << exponent;
  }
}

// x + i y through the fused step: what the arithmetic of its instructions
// gives, bit for bit, whatever its parts.
TEST(ComplexPointRuns, ImaginaryUnitTimesAVariableIsExact) {
  for (double x : kPartValues) {
    for (double y : kPartValues) {
      auto machine = Program("pcPushVar 3\npcPushI\npcPushVar 4\npcMul\npcAdd");
      machine->fNaNRecovery = 1;
      std::vector<Complex> slots(static_cast<size_t>(machine->VariableSlotCount()));
      slots[3] = {x, 0.0};
      slots[4] = {y, 0.0};
      ASSERT_TRUE(RunsAgree(*machine, slots)) << x << " " << y;
      if (std::isfinite(x) && std::isfinite(y)) {
        const Complex z = RunWith<Complex>(*machine, slots);
        EXPECT_TRUE(SameResult(z.re, x + (0.0 * y - 0.0)) && SameResult(z.im, 0.0 + y)) << x << " " << y;
      }
    }
  }
}

// The steps that hand the top to a value function (division in its three
// forms, the functions written out in the loop) and x + i y, on every pair
// of edge parts for each operand, in both ways of the NaN stop: the
// switch's bits.
TEST(ComplexPointRuns, StepsThatHandTheTopOnMatchTheSwitch) {
  std::vector<std::string> programs = {
      "pcPushVar 3\npcNeg\npcPushVar 4\npcNeg\npcDiv",    // the cell over the top
      "pcPushVar 3\npcNeg\npcPushVar 4\npcDiv",           // the top over a slot
      "pcPushVar 3\npcPushI\npcPushVar 4\npcMul\npcAdd",  // x + i y, one NaN stop for four
  };
  for (const char* number : kExponents) {
    programs.push_back("pcPushVar 3\npcNeg\npcPushNumber " + std::string(number) + "\npcDiv");
    programs.push_back("pcPushVar 3\npcNeg\npcPushNumber " + std::string(number) + "\npcPow");
  }
  for (const char* f : {"pcSin", "pcCos", "pcExp", "pcLn", "pcSqrt", "pcAbs"}) {
    programs.push_back("pcPushVar 3\npcNeg\n" + std::string(f));
  }
  std::vector<Complex> values;
  for (double re : kPartValues) {
    for (double im : kPartValues) values.push_back({re, im});
  }
  for (const std::string& text : programs) {
    auto machine = Program(text);
    for (int recovery = 0; recovery < 2; ++recovery) {
      machine->fNaNRecovery = recovery;
      std::vector<Complex> slots(static_cast<size_t>(machine->VariableSlotCount()));
      for (const Complex& a : values) {
        for (const Complex& b : values) {
          slots[3] = a;
          slots[4] = b;
          ASSERT_TRUE(RunsAgree(*machine, slots))
              << text << "\nat (" << a.re << ", " << a.im << "), (" << b.re << ", " << b.im << ")";
        }
      }
    }
    EXPECT_TRUE(machine->RanTranslated(1) && machine->fTranslations[1].load()->straight) << text;
  }
}

// A power of a NaN number on the run's first value, which no stop follows
// until the end: the stop at the number's push must still end the run.
TEST(ComplexPointRuns, ANaNExponentStopsWhereNoStopFollows) {
  auto machine = Program("pcPushNumber nan\npcPow\npcPushNumber 1\npcLess");
  for (int recovery = 0; recovery < 2; ++recovery) {
    machine->fNaNRecovery = recovery;
    EXPECT_TRUE(RunsAgree(*machine, std::vector<Complex>(static_cast<size_t>(machine->VariableSlotCount()))));
  }
  EXPECT_TRUE(machine->RanTranslated(1));
}

}  // namespace
