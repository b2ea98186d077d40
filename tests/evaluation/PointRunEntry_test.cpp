#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AnExpressionTestSupport.h"
#include "CoreUtilities/GraphViewThread.h"
#include "CoreUtilities/ThreadLocalState.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/RunPCode.h"
#include "evaluation/StackMachine.h"

// Each way into a point run against the plain interpreter on an array
// filled by hand: a program of one cached constant, real and complex
// programs that read no slider, programs that read it; on threads whose
// array is older than the programs, and with cancel flags raised first.

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const char* const kFormulas[] = {"2 * pi + sqrt(2)", "sqrt(2) * n",  "(x ^ 2 + 1) / (y ^ 2 + x * y + 3)",
                                 "ln(x) - y",        "x * n - y",    "abs((x + i * y) ^ 3 - 1)",
                                 "(1 + 2 * i) * (1 - 2 * i)", "sqrt(x - 5) + 0 * i"};
const double kPoints[][2] = {{0.5, 0.25}, {-2.0, 1.5}, {9.0, 0.0}, {0.0, NAN}};

double Interpreted(const AnExpression& e, double x, double y, double slider) {
  const AStackMachine* program = e.PointMachine();
  const size_t slots = static_cast<size_t>(program->VariableSlotCount());
  if (program->fComplex != 0) {
    std::vector<Complex> v(slots, Complex{0.0, 0.0});
    v[kSlotX] = {x, 0.0};
    v[kSlotY] = {y, 0.0};
    v[kSlotSlider] = {slider, 0.0};
    const Complex z = RunPCodeSwitched<Complex>(program, v.data(), nullptr);
    return z.im == 0.0 ? z.re : NAN;
  }
  std::vector<double> v(slots, 0.0);
  v[kSlotX] = x;
  v[kSlotY] = y;
  v[kSlotSlider] = slider;
  return RunPCodeSwitched<double>(program, v.data(), nullptr);
}

class PointRunEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    constexpr char text[] = "Zentrolabworksheet 4;\n";
    fDocument = ReadDocumentText(text, int32_t(sizeof text - 1));
    ASSERT_TRUE(fDocument);
    fDocument->fSliderValue.store(1.25);
    for (const char* formula : kFormulas) fExpressions.push_back(CompiledExpression(formula, fDocument.get()));
  }
  // Every formula at every point gives the interpreter's bits; on the
  // calling thread, which may have no array yet.
  void ExpectInterpretersValues() {
    for (const auto& e : fExpressions) {
      for (const auto& p : kPoints) {
        EXPECT_TRUE(SameBits(e->Evaluate(p[0], p[1]), Interpreted(*e, p[0], p[1], 1.25)))
            << e->PointMachine()->Count() << " instructions at " << p[0] << ", " << p[1];
      }
    }
  }
  std::unique_ptr<DocumentRecord> fDocument;
  std::vector<std::unique_ptr<AnExpression>> fExpressions;
};

TEST_F(PointRunEntry, EveryRunGivesTheInterpretersValueOnAnyThread) {
  ExpectInterpretersValues();
  std::thread([&] { ExpectInterpretersValues(); }).join();
  // A thread whose array was made before more slots were wanted.
  std::thread([&] {
    ExpectInterpretersValues();
    std::thread([] { CheckgVariablesSize(GetMaxVariableCount() + 40); }).join();
    EXPECT_EQ(ThreadLocalVariablesIfCurrent(), nullptr);
    ExpectInterpretersValues();
    EXPECT_NE(ThreadLocalVariablesIfCurrent(), nullptr);
  }).join();
}

TEST_F(PointRunEntry, ACancelRaisedBeforeTheRunGivesNaN) {
  for (const auto& e : fExpressions) {
    const double value = e->Evaluate(0.5, 0.25);
    e->SetCancel(true);
    EXPECT_TRUE(std::isnan(e->Evaluate(0.5, 0.25)));
    e->SetCancel(false);
    EXPECT_TRUE(SameBits(e->Evaluate(0.5, 0.25), value));
  }
  // The interface's flag stops runs on its thread only.
  gCancelEvaluationForUIEvalThreads.store(1);
  ExpectInterpretersValues();
  std::thread([&] {
    SetThisIsUIThread();
    for (const auto& e : fExpressions) EXPECT_TRUE(std::isnan(e->Evaluate(0.5, 0.25)));
  }).join();
  gCancelEvaluationForUIEvalThreads.store(0);
}

}  // namespace
