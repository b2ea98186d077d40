#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/ConstantsCache.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/native/NativeForm.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/runs/SplicedCalls.h"
#include "platform/ExecutableMemory.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/FunctionDocumentTest.h"
#include "tests/evaluation/RandomPrograms.h"

// Real runs of the native form against the switch: every value, slot and
// cancellation as the interpreter gives it.

namespace {

bool HasNativeForm(const AStackMachine& machine) {
  const ATranslation* translation = machine.fTranslations[0].load();
  return translation != nullptr && translation->native != nullptr;
}

// The native run (RunPCode takes it where there is one) and the switch over
// fresh copies of the slots: the same result and the same slots written.
template <typename Same = bool (*)(const double&, const double&)>
::testing::AssertionResult NativeAgrees(const AStackMachine& machine, const std::vector<double>& slots,
                                        Same same = SameValues<double>) {
  std::vector<double> native = slots, switched = slots;
  const double a = RunPCode<double>(&machine, native.data(), nullptr);
  const double b = RunPCodeSwitched<double>(&machine, switched.data(), nullptr);
  if (!same(a, b)) return ::testing::AssertionFailure() << "result " << a << " against " << b;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!same(native[i], switched[i])) return ::testing::AssertionFailure() << "slot " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

const double kEdges[] = {gNaN, -gNaN, gInf, -gInf, 0.0, -0.0, 5e-324, -2.5e-310, 2.2250738585072014e-308,
                         1.0,  -1.0,  0.5,  1e308, -3.0};

TEST(NativeRuns, RandomProgramsMatchTheSwitch) {
  ProgramGenerator general(31337, true);
  StraightProgramGenerator straight(4242);
  std::mt19937 random(99);
  AConstantsCache constants;
  FillConstants(constants);
  const int programs = 20000;
  for (int n = 0; n < programs; ++n) {
    const std::string text = n % 2 ? general.Make() : straight.Make();
    auto machine = AssembleProgram(text, nullptr);
    ASSERT_NE(machine, nullptr) << text;
    machine->fConstantsCache = &constants;
    machine->fNaNRecovery = (n / 2) % 2;
    Slots slots(*machine, random);
    // Undefined, infinite, signed-zero and subnormal slots among the rest.
    for (size_t i = 0; i < slots.d.size(); i += 3)
      slots.d[i] = kEdges[(i + static_cast<size_t>(n)) % std::size(kEdges)];
    ASSERT_TRUE(NativeAgrees(*machine, slots.d, SameBits<double>)) << text;
    // Only calls of document functions, and a lone push, keep the
    // translated run.
    const bool calls = text.find("pcCallFunction") != std::string::npos;
    ASSERT_EQ(HasNativeForm(*machine), !calls && !machine->fTranslations[0].load()->onePush) << text;
  }
}

// Each operation written out in the code, over every pair of edge values:
// the interpreter's bits, signed zeros included.
TEST(NativeRuns, WrittenOutOperationsGiveTheInterpretersBitsOnEdgeValues) {
  const char* kPrograms[] = {
      "pcPushVar 3\npcPushVar 4\npcAdd",
      "pcPushVar 3\npcPushVar 4\npcMul",
      "pcPushVar 3\npcPushVar 4\npcDiv",
      "pcPushVar 3\npcPushVar 4\npcNeg\npcAdd",
      "pcPushVar 3\npcSin\npcPushVar 4\npcAdd",
      "pcPushVar 3\npcSin\npcPushVar 4\npcDiv",
      "pcPushVar 3\npcSin\npcPushVar 4\npcNeg\npcAdd",
      "pcPushVar 4\npcSin\npcPushVar 3\npcSwap\npcDiv",
      "pcPushVar 3\npcPushVar 4\npcSin\npcDiv",
      "pcPushVar 3\npcPushVar 4\npcSin\npcNeg\npcAdd",
      "pcPushVar 3\npcNeg",
      "pcPushVar 3\npcSquare\npcPushVar 4\npcAbs\npcAdd",
      "pcPushVar 3\npcSqrt",
      "pcPushVar 3\npcPushVar 4\npcPop",
      "pcPushVar 3\npcPushVar 4\npcLess 2",
      "pcPushVar 3\npcPushVar 4\npcGreater 2",
      "pcPushVar 3\npcPushVar 4\npcLessEq 2",
      "pcPushVar 3\npcPushVar 4\npcGreaterEq 2",
      "pcPushVar 3\npcPushVar 4\npcEqual 2",
      "pcPushVar 3\npcPushVar 4\npcNotEqual 2",
      "pcPushVar 3\npcPushVar 4\npcPow",
      "pcPushVar 3\npcPushVar 4\npcPushNumber 2\npcClamp",
      "pcPushVar 3\npcPushVar 4\npcIf",
      "pcPushVar 3\npcPushNumber 1.5\npcDiv",
  };
  for (const char* text : kPrograms) {
    auto machine = Program(text);
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
    for (double x : kEdges) {
      for (double y : kEdges) {
        slots[3] = x;
        slots[4] = y;
        ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>)) << text << "\nx " << x << " y " << y;
      }
    }
    EXPECT_TRUE(HasNativeForm(*machine)) << text;
  }
}

// A pushed exponent from -8 to 8 has its power called straight: the
// interpreter's bits on the edge values and bases of every binade, for the
// exponents just outside and between those too, alone and mid-program.
TEST(NativeRuns, PowersOfPushedExponentsGiveTheInterpretersBits) {
  std::mt19937_64 random(8);
  std::uniform_real_distribution<double> mantissa(-2, 2);
  std::uniform_int_distribution<int> binade(-1100, 1030);
  std::vector<double> bases(std::begin(kEdges), std::end(kEdges));
  for (int k = 0; k < 3000; ++k) bases.push_back(std::ldexp(mantissa(random), binade(random)));
  std::vector<std::string> exponents = {"-0", "0.5", "-2.5", "8.5", "-8.000000000000002", "1e300"};
  for (int n = -9; n <= 9; ++n) exponents.push_back(std::to_string(n));
  for (const std::string& exponent : exponents) {
    const std::string alone = "pcPushVar 3\npcPushNumber " + exponent + "\npcPow";
    const std::string within = "pcPushVar 4\npcPushVar 3\npcPushNumber " + exponent +
                               "\npcPow\npcPushNumber 3\npcPow\npcAdd\npcPushNumber -1\npcMul";
    for (const std::string& text : {alone, within}) {
      auto machine = Program(text.c_str());
      std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
      for (const int32_t recovery : {0, 1}) {
        machine->fNaNRecovery = recovery;
        for (size_t k = 0; k < bases.size(); ++k) {
          slots[3] = bases[k];
          slots[4] = bases[(k * 7) % bases.size()];
          ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>))
              << text << "\nx " << slots[3] << " y " << slots[4];
        }
      }
      EXPECT_TRUE(HasNativeForm(*machine)) << text;
    }
  }
}

// Of two NaN operands a sum and a product pass on the top's, a quotient
// the dividend's, quieted; one NaN passes on quieted; a negation flips its
// sign. Written from that rule alone, the oracle holds every fused form of
// the native code and the switch to the same bits, whichever compiler
// built them.
uint64_t BitsOf(double x) { return std::bit_cast<uint64_t>(x); }
double Quieted(double x) { return std::bit_cast<double>(BitsOf(x) | 0x0008000000000000u); }
double SignFlipped(double x) { return std::bit_cast<double>(BitsOf(x) ^ 0x8000000000000000u); }
double RuleSum(double a, double b) { return std::isnan(b) ? Quieted(b) : std::isnan(a) ? Quieted(a) : a + b; }
double RuleProduct(double a, double b) { return std::isnan(b) ? Quieted(b) : std::isnan(a) ? Quieted(a) : a * b; }
double RuleQuotient(double a, double b) { return std::isnan(a) ? Quieted(a) : std::isnan(b) ? Quieted(b) : a / b; }

TEST(NativeRuns, TwoNaNsGiveTheRulesNaNInEveryFusedForm) {
  struct Form {
    const char* text;  // x in slot 3, y in slot 4, z in slot 5
    double (*oracle)(double x, double y, double z);
  };
  const Form kForms[] = {
      // a pushed value meeting the top at once
      {"pcPushVar 3\npcPushVar 4\npcAdd", [](double x, double y, double) { return RuleSum(x, y); }},
      {"pcPushVar 3\npcPushVar 4\npcMul", [](double x, double y, double) { return RuleProduct(x, y); }},
      {"pcPushVar 3\npcPushVar 4\npcDiv", [](double x, double y, double) { return RuleQuotient(x, y); }},
      {"pcPushVar 3\npcPushVar 4\npcNeg\npcAdd", [](double x, double y, double) { return RuleSum(x, SignFlipped(y)); }},
      // the top meeting a stack cell
      {"pcPushVar 3\npcPushVar 4\npcNeg\npcNeg\npcAdd", [](double x, double y, double) { return RuleSum(x, y); }},
      {"pcPushVar 3\npcPushVar 4\npcNeg\npcNeg\npcMul", [](double x, double y, double) { return RuleProduct(x, y); }},
      {"pcPushVar 3\npcPushVar 4\npcNeg\npcNeg\npcDiv", [](double x, double y, double) { return RuleQuotient(x, y); }},
      {"pcPushVar 3\npcSquare", [](double x, double, double) { return RuleProduct(x, x); }},
      // chains, each sum or product taking the one before as its top
      {"pcPushVar 5\npcPushVar 3\npcPushVar 4\npcAdd\npcMul",
       [](double x, double y, double z) { return RuleProduct(z, RuleSum(x, y)); }},
      {"pcPushVar 3\npcPushVar 4\npcMul\npcPushVar 5\npcDiv",
       [](double x, double y, double z) { return RuleQuotient(RuleProduct(x, y), z); }},
      {"pcPushVar 3\npcPushVar 4\npcDiv\npcPushVar 5\npcNeg\npcAdd",
       [](double x, double y, double z) { return RuleSum(RuleQuotient(x, y), SignFlipped(z)); }},
  };
  // NaNs of both signs, quiet and signalling, with payloads; a number and
  // an infinity besides.
  const double kValues[] = {std::bit_cast<double>(uint64_t{0x7FF8000000000001}),
                            std::bit_cast<double>(uint64_t{0xFFF800000000BEEF}),
                            std::bit_cast<double>(uint64_t{0x7FF0000000C0FFEE}),
                            std::bit_cast<double>(uint64_t{0xFFF4000000000002}),
                            gNaN,
                            -gNaN,
                            -1.5,
                            gInf};
  for (const Form& form : kForms) {
    auto machine = Program(form.text);
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
    for (double x : kValues) {
      for (double y : kValues) {
        for (double z : {kValues[1], kValues[2], 2.0}) {
          slots[3] = x;
          slots[4] = y;
          slots[5] = z;
          const uint64_t expected = BitsOf(form.oracle(x, y, z));
          std::vector<double> native = slots, switched = slots;
          ASSERT_EQ(BitsOf(RunPCode<double>(machine.get(), native.data(), nullptr)), expected)
              << form.text << "\nx " << std::hex << BitsOf(x) << " y " << BitsOf(y) << " z " << BitsOf(z);
          ASSERT_EQ(BitsOf(RunPCodeSwitched<double>(machine.get(), switched.data(), nullptr)), expected)
              << form.text << "\nx " << std::hex << BitsOf(x) << " y " << BitsOf(y) << " z " << BitsOf(z);
        }
      }
    }
    EXPECT_TRUE(HasNativeForm(*machine)) << form.text;
  }
}

// A choice of three values over every mix of conditions: true, false,
// undefined, short of true; values skipped and choices settled early
// agree with the switch, which computes every value.
TEST(NativeRuns, ChoicesSkipAndSettleAsTheSwitchChooses) {
  auto machine = Program(
      "pcPushVar 5\npcPushVar 3\npcSquare\npcPushVar 6\npcPushVar 3\npcSqrt\n"
      "pcPushVar 7\npcPushVar 3\npcLn\npcPushNumber 1\npcAdd\npcBranch 3\npcPushVar 4\npcMul");
  const double kConditions[] = {gNaN, 0.0, -0.0, 1.0, 0.5};
  std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
  for (double x : {-2.0, 0.25, 4.0, gNaN}) {
    for (double a : kConditions) {
      for (double b : kConditions) {
        for (double c : kConditions) {
          slots[3] = x;
          slots[4] = 3.0;
          slots[5] = a;
          slots[6] = b;
          slots[7] = c;
          ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>)) << x << " " << a << " " << b << " " << c;
        }
      }
    }
  }
  EXPECT_TRUE(HasNativeForm(*machine));
  // A hand-written oracle of the commonest use: x < 0, x < 1, otherwise.
  const char* kPiecewise =
      "pcPushVar 3\npcPushNumber 0\npcLess 2\npcPushVar 3\npcPushVar 3\npcMul\npcPushVar 3\npcPushNumber 1\n"
      "pcLess 2\npcPushVar 3\npcSqrt\npcPushNumber 1\npcPushNumber 1\npcPushVar 3\npcLn\npcAdd\npcBranch 3";
  for (double x : {-3.0, -0.5, 0.0, 0.5, 1.0, 2.0}) {
    const double hand = x < 0 ? x * x : x < 1 ? std::sqrt(x) : 1 + std::log(x);
    EXPECT_EQ(std::bit_cast<uint64_t>(RunAtX<double>(kPiecewise, x)), std::bit_cast<uint64_t>(hand)) << x;
  }
}

// Sums and products over bounds that are undefined, infinite, reversed,
// too far apart, or so large that adding 1 leaves the index as it was.
TEST(NativeRuns, LoopsAtTheirEdgesMatchTheSwitch) {
  const double kBounds[] = {1.0, -2.5, 0.5, gNaN, gInf, -gInf, 9007199254740990.0, 9007199254740995.0, 1e5, 2e5, 0.0};
  struct Kind {
    const char* start;
    const char* check;
    const char* accumulate;
  };
  for (const Kind& kind : {Kind{"pcPushNumber 0", "pcSumIndexCheck 0", "pcAdd"},
                           Kind{"pcPushNumber 1", "pcProductIndexCheck 0", "pcMul"}}) {
    auto machine = Program(std::string(kind.start) +
                           "\npcPushVar 5\npcStoreTempPop 1\npcPushVar 4\npcStoreTemp 2\npcStoreTempPop 0\n"
                           "pcLoopTest 0\npcPushTemp 0\npcPushVar 3\npcMul\npcSqrt\n" +
                           kind.check + "\n" + kind.accumulate + "\npcLoopNext 0");
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
    slots[3] = 1.0000001;
    for (double start : kBounds) {
      for (double limit : kBounds) {
        slots[4] = start;
        slots[5] = limit;
        ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>))
            << kind.check << " from " << start << " to " << limit;
      }
    }
    EXPECT_TRUE(HasNativeForm(*machine));
  }
}

// The run's own copy of the constants: the cache's values, NaN without a
// cache or past its end, the new values after an invalidation.
TEST(NativeRuns, ConstantsReadAsTheTranslatedRunReadsThem) {
  AConstantsCache constants;
  FillConstants(constants);
  auto machine = Program("pcPushConstant 0\npcPushVar 3\npcAdd\npcPushConstant 1\npcMul\npcPushConstant 2\npcAdd");
  auto first = Program("pcPushVar 3\npcPushConstant 0\npcAdd");
  std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 2.0);
  for (AConstantsCache* cache : {&constants, static_cast<AConstantsCache*>(nullptr)}) {
    machine->fConstantsCache = first->fConstantsCache = cache;
    ASSERT_TRUE(NativeAgrees(*machine, slots));
    ASSERT_TRUE(NativeAgrees(*first, slots));
  }
  first->fConstantsCache = &constants;
  std::vector<double> x(slots);
  EXPECT_EQ(first->Run(x.data(), nullptr), 2.0 + std::sqrt(3.0));
  delete constants.Store().pairs[0].program;
  constants.Store().pairs[0].program = AssembleProgram("pcPushNumber 5", nullptr).release();
  constants.InvalConstants();
  EXPECT_EQ(first->Run(x.data(), nullptr), 7.0);
  EXPECT_TRUE(HasNativeForm(*machine));
  EXPECT_TRUE(HasNativeForm(*first));
}

int gMisalignedCalls = 0;

// An interpolation that notes a call made with the stack out of the ABI's
// alignment: its frame address, where the caller's rbp is saved, lies 16
// bytes below the aligned stack of the call.
[[gnu::noinline]] double AlignmentProbe(int32_t, double x, const DocumentRecord*) {
  gMisalignedCalls += (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) + 16) % 16 != 0;
  return x;
}

// Native code saves one, two or three registers by what the program
// reads; every call still finds the stack aligned.
TEST(NativeRuns, CallsFindTheStackAligned) {
  const DocumentQueryHooks installed = InstalledDocumentQueryHooks();
  DocumentQueryHooks probing = installed;
  probing.interpolate = &AlignmentProbe;
  InstallDocumentQueryHooks(probing);
  AConstantsCache constants;
  FillConstants(constants);
  for (const char* text :
       {"pcPushVar 3\npcInterpolate1 1\npcPushVar 4\npcAdd", "pcPushConstant 0\npcPushVar 3\npcInterpolate1 1\npcAdd",
        "pcPushVar 3\npcPushVar 4\npcStoreVar 5\npcSin\npcInterpolate1 1\npcAdd",
        "pcPushConstant 0\npcPushVar 3\npcStoreVar 5\npcInterpolate1 1\npcAdd"}) {
    auto machine = Program(text);
    machine->fConstantsCache = &constants;
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 1.0);
    gMisalignedCalls = 0;
    machine->Run(slots.data(), nullptr);
    EXPECT_EQ(gMisalignedCalls, 0) << text;
    EXPECT_TRUE(HasNativeForm(*machine)) << text;
  }
  InstallDocumentQueryHooks(installed);
}

// x + 1, x + 2, ... stored into slots 12 onwards.
std::unique_ptr<AStackMachine> StoringProgram(int stores) {
  std::string text = "pcStoreVar 11\n";  // a first instruction, before any test
  for (int k = 1; k <= stores; ++k) {
    text += "pcPushVar 3\npcPushNumber " + std::to_string(k) + "\npcAdd\npcStoreVar " + std::to_string(11 + k) +
            "\npcPop\n";
  }
  return Program(text + "pcPushVar 3");
}

TEST(NativeRuns, CancellationBeforeTheRunStopsItAtTheFirstStore) {
  auto machine = StoringProgram(3);
  std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), -1.0);
  slots[3] = 10.0;
  machine->fCancel.store(1);
  ASSERT_TRUE(NativeAgrees(*machine, slots));
  std::vector<double> run = slots;
  EXPECT_TRUE(std::isnan(machine->Run(run.data(), nullptr)));
  EXPECT_TRUE(std::isnan(run[11]));
  EXPECT_EQ(run[12], -1.0);
  machine->fCancel.store(0);
  EXPECT_EQ(machine->Run(run.data(), nullptr), 10.0);
  EXPECT_EQ(run[14], 13.0);
  // A flag for the interface's threads leaves others running.
  gCancelEvaluationForUIEvalThreads.store(1);
  run = slots;
  EXPECT_EQ(machine->Run(run.data(), nullptr), 10.0);
  EXPECT_EQ(run[14], 13.0);
  double onInterface = 0;
  std::thread([&] {
    SetThisIsUIThread();
    std::vector<double> own = slots;
    onInterface = machine->Run(own.data(), nullptr);
  }).join();
  gCancelEvaluationForUIEvalThreads.store(0);
  EXPECT_TRUE(std::isnan(onInterface));
  EXPECT_TRUE(HasNativeForm(*machine));
}

// A flag raised while another thread runs: each run ends whole or with
// NaN, its stores a prefix of the whole run's; a run begun after the raise
// is cancelled. The raise comes once the runner has made a run, and the
// runner stops once it has made one after it.
TEST(NativeRuns, CancellationDuringRunsFromAnotherThread) {
  constexpr int kStores = 40;
  auto machine = StoringProgram(kStores);
  std::atomic<bool> raised{false};
  std::atomic<int> runsBefore{0};
  std::atomic<int> runsAfter{0};
  std::atomic<int> badRuns{0};
  std::thread runner([&] {
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()));
    while (runsAfter.load() == 0) {
      const bool raisedBefore = raised.load();
      std::fill(slots.begin(), slots.end(), -1.0);
      slots[3] = 0.0;
      const double value = machine->Run(slots.data(), nullptr);
      int written = 0;
      while (written < kStores && slots[static_cast<size_t>(12 + written)] == written + 1.0) ++written;
      for (int k = written; k < kStores; ++k) badRuns += slots[static_cast<size_t>(12 + k)] != -1.0;
      if (!std::isnan(value) && (written != kStores || value != 0.0)) ++badRuns;
      if (raisedBefore && !std::isnan(value)) ++badRuns;
      ++(raisedBefore ? runsAfter : runsBefore);
    }
  });
  WaitUntil("a run before the raise", [&] { return runsBefore.load() > 0; });
  machine->fCancel.store(1);
  raised.store(true);
  runner.join();
  EXPECT_EQ(badRuns.load(), 0);
  EXPECT_TRUE(HasNativeForm(*machine));
}

// Bytes of executable pages backed by no file: neighbours may share a line.
uint64_t ExecutableAnonymousBytes() {
  std::ifstream maps("/proc/self/maps");
  const std::string anonymous = " r-xp 00000000 00:00 0";
  uint64_t bytes = 0;
  for (std::string line; std::getline(maps, line);) {
    const size_t at = line.find(anonymous);
    if (at == std::string::npos || line.find_first_not_of(' ', at + anonymous.size()) != std::string::npos) continue;
    const size_t dash = line.find('-');
    bytes +=
        std::stoull(line.substr(dash + 1, at - dash - 1), nullptr, 16) - std::stoull(line.substr(0, dash), nullptr, 16);
  }
  return bytes;
}

// Programs made, run, changed and freed by the thousand leave no pages.
TEST(NativeRuns, CodePagesGoWithTheirPrograms) {
  const int64_t live = LiveCodePageMappings();
  const uint64_t mapped = ExecutableAnonymousBytes();
  StraightProgramGenerator generator(777);
  for (int n = 0; n < 2000; ++n) {
    auto machine = Program(generator.Make());
    std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 1.5);
    machine->Run(slots.data(), nullptr);
    if (n % 2 == 0) continue;
    machine->Add(MakeOp(pcPushVar, 3));  // drops the translation
    machine->Add(MakeOp(pcAdd));
    machine->Run(slots.data(), nullptr);
  }
  EXPECT_EQ(LiveCodePageMappings(), live);
  EXPECT_EQ(ExecutableAnonymousBytes(), mapped);
  auto kept = Program("pcPushVar 3\npcPushVar 4\npcAdd");
  std::vector<double> slots(static_cast<size_t>(kept->VariableSlotCount()), 1.5);
  kept->Run(slots.data(), nullptr);
  EXPECT_EQ(LiveCodePageMappings(), live + 1);
  EXPECT_GT(ExecutableAnonymousBytes(), mapped);
}

// The permissions /proc/self/maps gives the page holding the address.
std::string PagePermissions(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const size_t dash = line.find('-');
    const size_t space = line.find(' ');
    if (std::stoull(line.substr(0, dash), nullptr, 16) <= at &&
        at < std::stoull(line.substr(dash + 1, space - dash - 1), nullptr, 16)) {
      return line.substr(space + 1, 4);
    }
  }
  return "none";
}

// A program's numbers, one of them the bytes of working instructions
// (mov eax, 42; ret), lie in its native form's pages only on pages that
// are never executable nor, once made, writable; its code on executable
// pages that are not writable.
TEST(NativeRuns, NumbersOfAProgramLieOnPagesThatAreNeverExecutable) {
  const uint64_t kNumbers[] = {0x9090C30000002AB8u, 0x4142434445464748u, 0x3FF8000000000001u};
  std::string text = "pcPushVar 3";
  for (uint64_t number : kNumbers) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", std::bit_cast<double>(number));
    text += std::string("\npcPushNumber ") + digits + "\npcAdd";
  }
  auto machine = Program(text);
  for (int k = 0; k < 3; ++k) ASSERT_EQ(BitsOf(machine->Code()[2 * k + 1].number), kNumbers[k]);
  std::vector<double> slots(static_cast<size_t>(machine->VariableSlotCount()), 0.0);
  slots[3] = 0.25;
  ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>));
  ASSERT_TRUE(HasNativeForm(*machine));
  const NativeForm& form = *machine->fTranslations[0].load()->native;
  EXPECT_EQ(PagePermissions(reinterpret_cast<const void*>(form.entry)), "r-xp");
  const auto* begin = static_cast<const uint8_t*>(form.pages.base);
  const uint8_t* end = begin + form.pages.bytes;
  for (uint64_t number : kNumbers) {
    int found = 0;
    for (const uint8_t* at = begin; at + sizeof number <= end; ++at) {
      if (std::memcmp(at, &number, sizeof number) != 0) continue;
      ++found;
      EXPECT_EQ(PagePermissions(at), "r--p") << std::hex << number << " at " << at - begin;
    }
    EXPECT_GT(found, 0) << std::hex << number;
  }
}

// Native code reaches the program's slots up to its last one: a program
// naming that one runs natively, with no room past it; a program whose
// temporaries were moved past its slots after it was made gets no native
// form, as it would read and write beyond the slots a caller gives it.
TEST(NativeRuns, SlotsAreReachedUpToTheProgramsLast) {
  const char* kPrograms[] = {
      "pcPushVar 3\npcPushNumber 2\npcMul\npcStoreTemp 4\npcPushTemp 4\npcAdd",
      "pcPushNumber 0\npcPushVar 5\npcStoreTempPop 1\npcPushVar 4\npcStoreTemp 2\npcStoreTempPop 0\n"
      "pcLoopTest 0\npcPushTemp 0\npcPushVar 3\npcMul\npcSumIndexCheck 0\npcAdd\npcLoopNext 0",
  };
  for (const char* text : kPrograms) {
    auto machine = Program(text);
    const int32_t count = machine->VariableSlotCount();
    std::vector<double> slots(static_cast<size_t>(count), 0.0);
    slots[3] = 1.5;
    slots[4] = 1.0;
    slots[5] = 4.0;
    ASSERT_TRUE(NativeAgrees(*machine, slots, SameBits<double>)) << text;
    ASSERT_TRUE(HasNativeForm(*machine)) << text;
    std::vector<double> run = slots;
    machine->Run(run.data(), nullptr);
    EXPECT_NE(run.back(), 0.0) << text;  // the last slot is the program's own
    const ATranslation& translation = *machine->fTranslations[0].load();
    machine->fTemporariesBase += 1;
    NativeForm* beyond = MakeNativeForm(*machine, translation);
    EXPECT_EQ(beyond, nullptr) << text;
    ReleaseNativeForm(beyond);
    machine->fTemporariesBase -= 1;
  }
}

class NativeSplicedRuns : public FunctionDocumentTest {};

// A caller with its callees written in runs natively too: the bits and
// slots of the switch, which calls.
TEST_F(NativeSplicedRuns, CallersWithTheirCalleesWrittenInRunNatively) {
  Define({{"'f'(a) = a ^ 2 + sin(a)", "a"}, {"'g'(a, b) = (a - b) / (a * b + 1)", "ab"}});
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not hand out its compiled functions";
  const Compiled caller = CompileText("'f'(x) + 'f'(y) * 'g'(x, y)", false, fDocument.get());
  std::vector<double> slots(static_cast<size_t>(caller.machine->VariableSlotCount()), 0.0);
  for (const double x : kCallArguments) {
    for (const double y : kCallArguments) {
      slots[kSlotX] = x;
      slots[kSlotY] = y;
      ASSERT_TRUE(NativeAgrees(*caller.machine, slots, SameBits<double>)) << x << " " << y;
    }
  }
  const ASplicedForm* form = caller.machine->fSplicedForm.load();
  ASSERT_TRUE(form != nullptr && form->translation != nullptr);
  EXPECT_NE(form->translation->native, nullptr);
}

}  // namespace
