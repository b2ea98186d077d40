// Calls of document functions in a program's faster form against the same
// program run by the reference dispatch: the same bits for every argument,
// after redefinitions, through functions that call functions, for callees
// run in the caller's loop, at the recursion limit and when cancelled
// during a call.

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/FunctionDocumentTest.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/ParameterReads.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/compiler/UserFunction.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

class FunctionCallRuns : public FunctionDocumentTest {
 protected:
  // The value at x by the faster form, after the reference dispatch agreed
  // on it bit for bit.
  double Checked(const AStackMachine& program, double x) {
    std::vector<double> fast(static_cast<size_t>(program.VariableSlotCount()), 0.0);
    std::vector<double> plain = fast;
    fast[kSlotX] = plain[kSlotX] = x;
    const double value = RunPCode<double>(&program, fast.data(), nullptr);
    const double reference = RunPCodeSwitched<double>(&program, plain.data(), nullptr);
    EXPECT_TRUE(SameBits<double>(value, reference)) << "x = " << x << ": " << value << " vs " << reference;
    EXPECT_TRUE(program.RanTranslated(0));
    return value;
  }
};

}  // namespace

TEST_F(FunctionCallRuns, ARedefinitionReachesTheNextEvaluation) {
  Define({{"'f'(a) = a ^ 2 + sin(a)", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) + 'f'(2 * x)", false, fDocument.get());
  for (const double x : kCallArguments) Checked(*caller.machine, x);
  EXPECT_NEAR(Checked(*caller.machine, 0.7), 0.49 + std::sin(0.7) + 1.96 + std::sin(1.4), 1e-12);
  Define({{"'f'(a) = 1 / a - a", "a"}});
  for (const double x : kCallArguments) Checked(*caller.machine, x);
  EXPECT_EQ(Checked(*caller.machine, 2.0), (0.5 - 2) + (0.25 - 4));
  // With the function gone the call is undefined.
  ClearDocumentFunctions(fDocument.get());
  EXPECT_TRUE(std::isnan(Checked(*caller.machine, 1.0)));
}

TEST_F(FunctionCallRuns, FunctionsCallingFunctionsWithTheirOwnTemporaries) {
  Define({{"'sq'(a) = a * a", "a"},
          {"'tw'(a, b) = 'sq'(a) + 'sq'(b) + sum('sq'(j), j = 1, 4)", "ab"},
          {"'th'(a) = 'tw'(a, a + 1) * 'sq'(a)", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'th'(x) - 'tw'(x, 3) + sum('sq'(k) * x, k = 1, 3)", false, fDocument.get());
  for (const double x : kCallArguments) Checked(*caller.machine, x);
  EXPECT_EQ(Checked(*caller.machine, 2.0), (4 + 9 + 30) * 4.0 - (4 + 9 + 30) + 14 * 2.0);
}

TEST_F(FunctionCallRuns, CalleesRunInTheCallersLoopKeepTheirOwnCellsSlotsAndNaNRules) {
  // g has a sum and a constant; h is given undefined arguments, which the
  // caller's choice must survive. Each is called while a choice of the
  // caller is open, inside a sum of the caller and beside each other.
  Define({{"'g'(a) = sum(a * j, j = 1, 5) + pi * a", "a"}, {"'h'(a) = a * 2 + a * a", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText(
      "branch(if('g'(x) + 'g'(x - 3), x > 0), 'g'(-x) * 2) + branch(if(10, 'h'(sqrt(x)) > 1), 20) + "
      "sum('g'(k) * 'h'(k), k = 1, 3)",
      false, fDocument.get());
  for (const double x : kCallArguments) Checked(*caller.machine, x);
  for (int i = -16; i <= 16; ++i) Checked(*caller.machine, i / 4.0);
  const double c = 15 + std::numbers::pi;  // g(a) = c a
  const double sum = c * (1 * 3 + 2 * 8 + 3 * 15);
  EXPECT_NEAR(Checked(*caller.machine, 2.0), c + 10 + sum, 1e-12);
  // h(sqrt(-2)) is undefined: its condition does not count.
  EXPECT_NEAR(Checked(*caller.machine, -2.0), 4 * c + 20 + sum, 1e-12);
  EXPECT_NEAR(Checked(*caller.machine, 0.1), -2.8 * c + 20 + sum, 1e-12);
  for (const int32_t function : {0, 1}) {
    EXPECT_TRUE(CompiledDocumentFunction(function, fDocument.get())->RanTranslated(0)) << function;
  }
  // Complex runs take the callees in as well.
  for (const double re : {-2.0, 0.1, 2.0}) {
    for (const double im : {0.0, -1.5}) {
      std::vector<Complex> fast(static_cast<size_t>(caller.machine->VariableSlotCount()), Complex{0.0, 0.0});
      std::vector<Complex> plain = fast;
      fast[kSlotX] = plain[kSlotX] = Complex{re, im};
      const Complex value = RunPCode<Complex>(caller.machine.get(), fast.data(), nullptr);
      const Complex reference = RunPCodeSwitched<Complex>(caller.machine.get(), plain.data(), nullptr);
      EXPECT_TRUE(SameBits<double>(value.re, reference.re) && SameBits<double>(value.im, reference.im))
          << re << " " << im;
    }
  }
  EXPECT_TRUE(caller.machine->RanTranslated(1));
}

TEST_F(FunctionCallRuns, ACalleeThatStartsCallingIsRunApartAndBack) {
  Define({{"'f'(a) = a * 3 - 1", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) * 'f'(x + 1)", false, fDocument.get());
  EXPECT_EQ(Checked(*caller.machine, 2.0), 5.0 * 8.0);
  Define({{"'f'(a) = 'k'(a) + 1", "a"}, {"'k'(a) = a * a", "a"}});
  for (const double x : kCallArguments) Checked(*caller.machine, x);
  EXPECT_EQ(Checked(*caller.machine, 2.0), 5.0 * 10.0);
  Define({{"'f'(a) = a - 1", "a"}});
  EXPECT_EQ(Checked(*caller.machine, 2.0), 1.0 * 2.0);
}

TEST_F(FunctionCallRuns, EndlessRecursionStopsAtTheStackLimitAsUndefined) {
  Define({{"'r'(a) = 'r'(a + 1) + 1", "a"}, {"'p'(a) = 'q'(a) * 2", "a"}, {"'q'(a) = 'p'(a) - 1", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'r'(x) + 'p'(x)", false, fDocument.get());
  for (const double x : {0.0, 5.0}) EXPECT_TRUE(std::isnan(Checked(*caller.machine, x)));
}

TEST_F(FunctionCallRuns, CancellingDuringACallGivesNaNInBothForms) {
  // Each call reads the parameter c 200 times, and the caller makes ten
  // calls; the flag rises at a read of the sixth.
  Define({{"'slow'(a) = sum(sin(j * a) * c, j = 1, 200)", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  EXPECT_TRUE(std::isfinite(Checked(*CompileText("'slow'(x)", false, fDocument.get()).machine, 0.5)));
  const Compiled caller = CompileText("sum('slow'(x + n), n = 1, 10)", false, fDocument.get());
  const AStackMachine& program = *caller.machine;
  for (const bool reference : {false, true}) {
    program.fCancel.store(0);
    std::vector<double> slots(static_cast<size_t>(program.VariableSlotCount()), 0.0);
    slots[kSlotX] = 0.5;
    const ParameterReads reads(program, 5 * 200 + 100, ParameterReads::kOnItsThread);
    const double value = reference ? RunPCodeSwitched<double>(&program, slots.data(), nullptr)
                                   : RunPCode<double>(&program, slots.data(), nullptr);
    EXPECT_GE(reads.Reads(), 5 * 200 + 100) << "the raise never came";
    EXPECT_TRUE(std::isnan(value)) << (reference ? "reference" : "faster form");
  }
  EXPECT_TRUE(program.RanTranslated(0));
}

TEST(SlotsTouched, EverySlotAnInstructionNamesAndNoOther) {
  auto program = Program(
      "pcPushVar 0\npcPushVar 5\npcAdd\npcStoreTemp 1\npcPushTemp 3\npcAdd\npcLoopTest 6\n"
      "pcLoopNext 6");
  EXPECT_EQ(program->SlotsTouched(), (1u << 0) | (1u << 5) | (uint64_t{0b111001010} << kTemporariesBase));
  // The temporaries follow their base wherever it is set.
  program->fTemporariesBase = 20;
  EXPECT_EQ(program->SlotsTouched(), (1u << 0) | (1u << 5) | (uint64_t{0b111001010} << 20));
  program->fTemporariesBase = 60;
  EXPECT_EQ(program->SlotsTouched(), (1u << 0) | (1u << 5) | (uint64_t{1} << 61) | (uint64_t{1} << 63));
  EXPECT_EQ(Program("pcPushVar 200")->SlotsTouched(), uint64_t{1} << 63);
  EXPECT_EQ(Program("pcPushNumber 1\npcPushNumber 2\npcAdd")->SlotsTouched(), 0u);
}
