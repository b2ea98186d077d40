#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/runs/RunPCode.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "tests/evaluation/ParameterReads.h"

namespace {
std::atomic<int64_t> gNewCalls{0};
}

void* operator new(std::size_t size) {
  gNewCalls.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A program that keeps `depth` values on the stack and adds them up.
std::unique_ptr<AStackMachine> DeepProgram(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "pcPushNumber 1\n";
  for (int i = 1; i < depth; ++i) text += "pcAdd\n";
  return Program(text);
}

TEST(InterpreterRuns, NoAllocationPerRunUpToDepth64) {
  auto machine = DeepProgram(63);
  ASSERT_LE(machine->fStackDepth, 64);
  std::vector<double> d(16, 0.0);
  std::vector<Interval> iv(16, Interval{0, 0});
  std::vector<ComplexInterval> ci(16, ComplexInterval{});
  auto deeper = DeepProgram(80);
  {
    BudgetRoom none(0);  // the budget refuses everything
    const int64_t before = gNewCalls.load();
    const double real = machine->Run(d.data(), nullptr);
    const Interval interval = machine->Run(iv.data());
    const ComplexInterval box = machine->Run(ci.data());
    const int64_t after = gNewCalls.load();
    // Deeper programs take their cells from the budget: refused, NaN.
    const double refused = deeper->Run(d.data(), nullptr);
    EXPECT_EQ(after, before);
    EXPECT_EQ(real, 63);
    EXPECT_EQ(interval.lower, 63);
    EXPECT_EQ(box.re.upper, 63);
    EXPECT_TRUE(std::isnan(refused));
  }
  EXPECT_EQ(deeper->Run(d.data(), nullptr), 80);
}

TEST(InterpreterRuns, CancellingALongSumStopsWithinAFewInstructions) {
  // Sum of index over 1 .. 100000, the most terms the loop limit allows,
  // slowed by a square root per term. (A cancel midway:
  // CancellingARealSumMidwayLeavesItsIndexWhereItStopped.)
  auto sum = Program(
      "pcPushNumber 0\npcPushNumber 100000\npcStoreTempPop 1\npcPushNumber 1\n"
      "pcStoreTemp 2\npcStoreTempPop 0\npcLoopTest 0\npcPushTemp 0\npcSqrt\npcSquare\n"
      "pcSumIndexCheck 0\npcAdd\npcLoopNext 0\n");
  std::vector<double> slots(32, 0.0);
  EXPECT_NEAR(sum->Run(slots.data(), nullptr), 100000.0 * 100001 / 2, 1e-3);
  // Raised before the run: the first instruction runs, then the run ends
  // with the index still at its start.
  sum->fCancel.store(1);
  slots.assign(32, 0.0);
  EXPECT_TRUE(std::isnan(sum->Run(slots.data(), nullptr)));
  EXPECT_EQ(slots[12], 0.0);
  EXPECT_TRUE(sum->RanTranslated(0));
}

TEST(InterpreterRuns, ACancelledStraightRunStoresNothingAfterItsFirstInstruction) {
  auto program = Program("pcPushVar 3\npcStoreTemp 0\npcPushNumber 2\npcMul\npcStoreTemp 1\npcPushNumber 1\npcAdd");
  program->fCancel.store(1);
  std::vector<double> slots(16, 5.0);
  EXPECT_TRUE(std::isnan(program->Run(slots.data(), nullptr)));
  EXPECT_EQ(slots[12], 5.0);
  std::vector<Interval> boxes(16, Interval{5, 5});
  EXPECT_TRUE(std::isnan(program->Run(boxes.data()).lower));
  EXPECT_EQ(boxes[12].lower, 5.0);
  program->fCancel.store(0);
  EXPECT_EQ(program->Run(slots.data(), nullptr), 11.0);
  EXPECT_EQ(slots[13], 10.0);
  EXPECT_TRUE(program->RanTranslated(0));
  EXPECT_TRUE(program->RanTranslated(2));
}

TEST(InterpreterRuns, CancellingFromAnotherThreadStopsANestedLoopMidway) {
  // 1000 by 1000 terms of k * parameter (1 with no document): a million
  // reads uncancelled. Midway through, the read hands over to another
  // thread, which raises the flag before the read returns.
  auto nested = Program(
      "pcPushNumber 0\npcPushNumber 1000\npcStoreTempPop 1\npcPushNumber 1\npcStoreTemp 2\n"
      "pcStoreTempPop 0\npcLoopTest 0\n"
      "pcPushNumber 0\npcPushNumber 1000\npcStoreTempPop 4\npcPushNumber 1\npcStoreTemp 5\n"
      "pcStoreTempPop 3\npcLoopTest 3\npcPushTemp 3\npcPushParameter 0\npcMul\npcSumIndexCheck 3\npcAdd\n"
      "pcLoopNext 3\npcSumIndexCheck 0\npcAdd\npcLoopNext 0\n");
  ASSERT_TRUE(nested->RunsThreaded());
  {
    const ParameterReads counted(*nested, 0, ParameterReads::kOnItsThread);
    EXPECT_EQ(RunWith<double>(*nested), 1000.0 * (1000.0 * 1001 / 2));
    EXPECT_EQ(counted.Reads(), 1000 * 1000);
  }
  constexpr int64_t kMidway = 1000 * 500 + 250;
  const auto cancelMidway = [&](auto zero) {
    using T = decltype(zero);
    nested->fCancel.store(0);
    ParameterReads reads(*nested, kMidway, ParameterReads::kByAnotherThread);
    std::thread canceller([&] { reads.RaiseWhenAsked(); });
    const T r = RunWith<T>(*nested);
    reads.RunEnded();
    canceller.join();
    // The read that asked is the last: the run ends within its term.
    EXPECT_EQ(reads.Reads(), kMidway);
    return r;
  };
  EXPECT_TRUE(std::isnan(cancelMidway(0.0)));
  const Interval interval = cancelMidway(Interval{0, 0});
  EXPECT_TRUE(std::isnan(interval.lower));
  EXPECT_TRUE(nested->RanTranslated(0));
  EXPECT_TRUE(nested->RanTranslated(2));
}

TEST(InterpreterRuns, CancellingARealSumMidwayLeavesItsIndexWhereItStopped) {
  // 1000 terms of a parameter read and a hundred Bessel functions each,
  // and no store in the body: only the test at each index step can stop
  // the loop before its end (whose own test would still make the result
  // NaN). The 400th read raises the flag.
  std::string text =
      "pcPushNumber 0\npcPushNumber 1000\npcStoreTempPop 1\npcPushNumber 1\npcStoreTemp 2\n"
      "pcStoreTempPop 0\npcLoopTest 0\npcPushParameter 0\n";
  for (int k = 0; k < 100; ++k) text += "pcPushTemp 0\npcPushVar 3\npcBesselJ\npcAdd\n";
  text += "pcSumIndexCheck 0\npcAdd\npcLoopNext 0\n";
  auto sum = Program(text);
  std::vector<double> slots(static_cast<size_t>(sum->VariableSlotCount()), 0.0);
  slots[3] = 2.0;
  const ParameterReads reads(*sum, 400, ParameterReads::kOnItsThread);
  const double r = sum->Run(slots.data(), nullptr);
  EXPECT_TRUE(std::isnan(r));
  EXPECT_TRUE(sum->RanTranslated(0));
  EXPECT_EQ(reads.Reads(), 400);
  // Stopped at a whole index: the one whose term raised it or the next.
  EXPECT_GE(slots[12], 400.0);
  EXPECT_LE(slots[12], 401.0);
  EXPECT_EQ(slots[12], std::floor(slots[12]));
  EXPECT_EQ(slots[13], 1000.0);
}

TEST(InterpreterRuns, UserFunctionCallsGetAnArraySizedForTheCallee) {
  // Callee: sum over its temporaries 0..2 from 1 to its first argument of
  // the second argument, plus slot 2 (slider) and slot 11 (row); it uses
  // temporaries up to 20, beyond any fixed 24-slot array.
  auto callee = Program(
      "pcPushNumber 0\npcPushVar 0\npcStoreTempPop 19\npcPushNumber 1\n"
      "pcStoreTemp 20\npcStoreTempPop 18\npcLoopTest 18\npcPushVar 1\npcAdd\n"
      "pcLoopNext 18\npcPushVar 2\npcAdd\npcPushVar 11\npcAdd\npcPushVar 5\npcAdd");
  EXPECT_EQ(callee->VariableSlotCount(), 12 + 21);
  const double args[2] = {4, 2.5};
  EXPECT_EQ(CallUserFunction<double>(callee.get(), args, 2, 100.0, 7), 4 * 2.5 + 100 + 7);
  const Interval iargs[2] = {{4, 4}, {1, 2}};
  const Interval r = CallUserFunction<Interval>(callee.get(), iargs, 2, Interval{0, 0}, 0);
  EXPECT_EQ(r.lower, 4);
  EXPECT_EQ(r.upper, 8);
  EXPECT_TRUE(std::isnan(CallUserFunction<double>(nullptr, args, 2, 0.0, 0)));
  const double many[13] = {};
  EXPECT_TRUE(std::isnan(CallUserFunction<double>(callee.get(), many, 13, 0.0, 0)));
  // Without a document the call consumes its arguments and gives NaN.
  EXPECT_EQ(RunText<double>("pcPushNumber 5\npcPushNumber 1\npcPushNumber 2\npcCallFunction 2 0\n"
                            "pcPop"),
            5);
}

// Callers leave the slider's slot unfilled unless a program may read it.
TEST(InterpreterRuns, ProgramsThatMayReadTheSliderSaySo) {
  EXPECT_FALSE(Program("pcPushVar 3\npcPushVar 11\npcAdd\npcStoreTemp 0\npcPushConstant 0\npcMul")->ReadsSlider());
  EXPECT_TRUE(Program("pcPushVar 3\npcPushVar 2\npcAdd")->ReadsSlider());
  EXPECT_TRUE(Program("pcPushNumber 1\npcCallFunction 1 0")->ReadsSlider());
  auto lowTemporaries = Program("pcPushTemp 0");
  lowTemporaries->fTemporariesBase = 1;
  EXPECT_TRUE(lowTemporaries->ReadsSlider());
}

TEST(InterpreterRuns, MalformedProgramsRunToNaN) {
  auto underflow = Program("pcAdd");  // reads below the initial top
  EXPECT_TRUE(underflow->IsMalformed());
  std::vector<double> slots(16, 0.0);
  EXPECT_TRUE(std::isnan(underflow->Run(slots.data(), nullptr)));
  EXPECT_TRUE(Program("pcPushTemp -1")->IsMalformed());
  EXPECT_TRUE(Program("pcPushNumber 1\npcBranch 2000000000")->IsMalformed());
  // Constants and grid values that are not there read as NaN.
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushConstant 3")));
  EXPECT_TRUE(std::isnan(RunText<double>("pcPushGrid2 0")));
}

// An a of 0 is run as the table's 1 - a says for a choice and a call (no
// cell read, one pushed) and as a chain of one operand for a comparison;
// the depth check, the interpreter and the faster form agree on it.
TEST(InterpreterRuns, InstructionsWithNoOperandsKeepTheDepthTheRunFollows) {
  struct Case {
    const char* text;
    int32_t depth;
    double value;  // NaN for undefined
  };
  const Case cases[] = {
      {"pcPushNumber 5\npcBranch 0", 3, NAN},
      {"pcPushNumber 5\npcLessEq 0", 2, 1.0},
      {"pcPushNumber 5\npcNotEqual 0", 2, 1.0},
      {"pcPushNumber 1\npcPushNumber 2\npcLess 0\npcAdd", 3, 2.0},
      {"pcPushNumber 2\npcPushNumber 1\npcGreater 0\npcAdd", 3, 3.0},
      {"pcPushNumber 2\npcPushNumber 1\npcLess 0\npcAdd", 3, 2.0},
  };
  for (const Case& c : cases) {
    auto machine = Program(c.text);
    ASSERT_FALSE(machine->IsMalformed()) << c.text;
    EXPECT_EQ(machine->fStackDepth, c.depth) << c.text;
    std::vector<double> slots(16, 0.0);
    const double switched = RunPCodeSwitched<double>(machine.get(), slots.data(), nullptr);
    const double translated = RunWith<double>(*machine);
    EXPECT_TRUE(machine->RanTranslated(0)) << c.text;
    for (double value : {switched, translated}) {
      if (std::isnan(c.value))
        EXPECT_TRUE(std::isnan(value)) << c.text;
      else
        EXPECT_EQ(value, c.value) << c.text;
    }
  }
  // A strict chain reads second even with no operands; nothing is below.
  EXPECT_TRUE(Program("pcLess 0")->IsMalformed());
  EXPECT_FALSE(Program("pcLessEq 0")->IsMalformed());
  EXPECT_TRUE(Program("pcPushNumber 1\npcBranch -1")->IsMalformed());
  EXPECT_TRUE(Program("pcPushNumber 1\npcCallFunction -1")->IsMalformed());
}

}  // namespace
