// Real programs whose calls have the callees' code written in place,
// against the same programs run by the reference dispatch, which calls:
// the same bits for every argument and slider, a redefinition seen by the
// next run, callees that stop qualifying, cancellation of a callee, and
// more redefinitions than a program keeps forms for.

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/evaluation/CompilerTestSupport.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "tests/evaluation/FunctionDocumentTest.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/runs/SplicedCalls.h"
#include "evaluation/compiler/UserFunction.h"
#include "tests/expression/ParserTestSupport.h"

namespace {

class SplicedCalls : public FunctionDocumentTest {
 protected:
  // The value at (x, y, slider) by the faster form, after the reference
  // dispatch agreed on it bit for bit.
  static double Checked(const AStackMachine& program, double x, double y = 0.5, double slider = 0.0) {
    std::vector<double> fast(static_cast<size_t>(program.VariableSlotCount()), 0.0);
    fast[kSlotX] = x;
    fast[kSlotY] = y;
    fast[kSlotSlider] = slider;
    std::vector<double> plain = fast;
    const double value = RunPCode<double>(&program, fast.data(), nullptr);
    const double reference = RunPCodeSwitched<double>(&program, plain.data(), nullptr);
    EXPECT_TRUE(SameBits<double>(value, reference))
        << "x = " << x << ", y = " << y << ", slider = " << slider << ": " << value << " vs " << reference;
    EXPECT_EQ(std::memcmp(fast.data(), plain.data(), fast.size() * sizeof(double)), 0) << "slots written";
    return value;
  }

  static bool Spliced(const AStackMachine& program) {
    const ASplicedForm* form = program.fSplicedForm.load();
    return form != nullptr && form->translation != nullptr;
  }
};

}  // namespace

TEST_F(SplicedCalls, EveryArgumentGivesTheCallsBitsAndARedefinitionTheNextRun) {
  // Arguments as slots, numbers and sums; two parameters; a callee that
  // shares a subexpression in a temporary and one that ignores an argument.
  Define({{"'f'(a) = a ^ 2 + sin(a)", "a"},
          {"'g'(a, b) = (a - b) / (a * b + 1) + exp(a - b) * (a - b)", "ab"},
          {"'h'(a, b) = 3 * b", "ab"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) + 'f'(y) * 'g'(x + 1, 2) - 'g'(y, x) + 'h'(1 / x, 'f'(2)) + 'f'('f'(x))",
                                      false, fDocument.get());
  for (const double x : kCallArguments) {
    for (const double y : {0.5, -1.0, std::nan("")}) Checked(*caller.machine, x, y);
  }
  EXPECT_TRUE(Spliced(*caller.machine));
  const double f2 = 4 + std::sin(2.0);
  const double f1 = 1 + std::sin(1.0);
  EXPECT_NEAR(
      Checked(*caller.machine, 1.0, 0.0),
      f1 + 0 * (-1.0 / 5 + std::exp(0.0) * 0) - (-1.0 + std::exp(-1.0) * -1) + 3 * f2 + (f1 * f1 + std::sin(f1)),
      1e-12);
  Define({{"'f'(a) = 1 / a - a", "a"}, {"'g'(a, b) = a - b", "ab"}, {"'h'(a, b) = a + b", "ab"}});
  EXPECT_NEAR(Checked(*caller.machine, 2.0, 4.0), -1.5 + -3.75 * 1.0 - 2.0 + (0.5 + -1.5) + (1 / -1.5 + 1.5), 1e-12);
  EXPECT_TRUE(Spliced(*caller.machine));
  ClearDocumentFunctions(fDocument.get());
  EXPECT_TRUE(std::isnan(Checked(*caller.machine, 1.0)));
}

TEST_F(SplicedCalls, ACalleeThatStopsQualifyingIsCalledAndBack) {
  Define({{"'f'(a) = a * 3 - 1", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) * 'f'(x + 1)", false, fDocument.get());
  EXPECT_EQ(Checked(*caller.machine, 2.0), 5.0 * 8.0);
  EXPECT_TRUE(Spliced(*caller.machine));
  // A loop, a choice that makes defined values of undefined ones, a call.
  const std::vector<std::pair<std::string, std::string>> unsplicable[] = {
      {{"'f'(a) = sum(a * j, j = 1, 3)", "a"}},
      {{"'f'(a) = branch(if(a, a > 0), 7)", "a"}},
      {{"'f'(a) = 'k'(a) + 1", "a"}, {"'k'(a) = a * a", "a"}},
  };
  for (const auto& definitions : unsplicable) {
    Define(definitions);
    for (const double x : kCallArguments) Checked(*caller.machine, x);
    EXPECT_FALSE(Spliced(*caller.machine)) << definitions[0].first;
  }
  EXPECT_EQ(Checked(*caller.machine, 2.0), 5.0 * 10.0);
  Define({{"'f'(a) = a - 1", "a"}});
  EXPECT_EQ(Checked(*caller.machine, 2.0), 1.0 * 2.0);
  EXPECT_TRUE(Spliced(*caller.machine));
}

TEST_F(SplicedCalls, TheSliderReachesACalleeThatReadsIt) {
  // n is the slider's letter; the caller hands its slider slot on.
  Define({{"'s'(a) = a * n + n ^ 2", "a"}, {"'t'(a, b, c) = a + b * c", "abc"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'s'(x) - 't'(x, y, 's'(y))", false, fDocument.get());
  for (const double slider : {0.0, 1.5, -3.0, std::nan("")}) {
    for (const double x : kCallArguments) Checked(*caller.machine, x, 0.25, slider);
  }
  EXPECT_TRUE(Spliced(*caller.machine));
  EXPECT_EQ(Checked(*caller.machine, 2.0, 3.0, 4.0), (8 + 16) - (2 + 3 * (12 + 16)));
}

TEST_F(SplicedCalls, ACalleesCancellationFromAnotherThreadReachesTheRun) {
  Define({{"'f'(a) = a ^ 2 + sin(a)", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) + 'f'(y)", false, fDocument.get());
  EXPECT_TRUE(std::isfinite(Checked(*caller.machine, 0.5)));
  ASSERT_TRUE(Spliced(*caller.machine));
  const AStackMachine* callee = CompiledDocumentFunction(0, fDocument.get());
  ASSERT_NE(callee, nullptr);
  std::thread([callee] { callee->fCancel.store(1); }).join();
  EXPECT_TRUE(std::isnan(Checked(*caller.machine, 0.5)));
  std::thread([&caller] { caller.machine->fCancel.store(1); }).join();
  callee->fCancel.store(0);
  EXPECT_TRUE(std::isnan(Checked(*caller.machine, 0.5)));
  caller.machine->fCancel.store(0);
  EXPECT_EQ(Checked(*caller.machine, 0.5), 2 * (0.25 + std::sin(0.5)));
}

TEST_F(SplicedCalls, ManyRedefinitionsKeepTheCallsRight) {
  const Compiled* caller = nullptr;
  Compiled compiled;
  for (int32_t k = 0; k < 2 * kSplicedForms; ++k) {
    Define({{"'f'(a) = a * " + std::to_string(k) + " + 1", "a"}});
    if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
    if (caller == nullptr) {
      compiled = CompileText("'f'(x) - 'f'(y)", false, fDocument.get());
      caller = &compiled;
    }
    EXPECT_EQ(Checked(*caller->machine, 3.0, 1.0), 2.0 * k) << k;
  }
}

TEST_F(SplicedCalls, AnEvaluationFillsTheSliderOnceACalleeReadsIt) {
  // The point entry leaves the slider's slot alone while no callee written
  // into the program reads it; a redefinition that reads it is seen by the
  // next evaluation, on a slot holding another value meanwhile.
  Define({{"'f'(a) = a * 2", "a"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  fDocument->fSliderValue.store(7.0);
  auto e = CompiledExpression("'f'(x) + 'f'(y)", fDocument.get());
  EXPECT_EQ(e->Evaluate(1.0, 2.0), 6.0);
  EXPECT_EQ(e->Evaluate(1.0, 3.0), 8.0);
  static_cast<double*>(GetThreadLocalVariables())[kSlotSlider] = -100.0;
  Define({{"'f'(a) = a + n", "a"}});
  for (int run = 0; run < 3; ++run) EXPECT_EQ(e->Evaluate(1.0, 2.0), 17.0) << run;
  fDocument->fSliderValue.store(-1.0);
  EXPECT_EQ(e->Evaluate(1.0, 2.0), 1.0);
  Define({{"'f'(a) = a - 1", "a"}});
  EXPECT_EQ(e->Evaluate(1.0, 2.0), 1.0);
  EXPECT_EQ(e->Evaluate(4.0, 2.0), 4.0);
}
