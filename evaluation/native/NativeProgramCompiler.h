#pragma once

// The compiler of a real program into its native form (NativeForm.h):
// one pass over the instructions, the depth of the stack known at each.
// The straight-line work is in NativeCompiler.cpp, the jumps of choices
// and loops in NativeControlFlow.cpp.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "evaluation/native/NativeAssembler.h"
#include "evaluation/StackMachine.h"

namespace native {

// Registers the System V ABI keeps across calls hold the run's pointers.
inline constexpr Gpr kVariables = Gpr::kRbx;
inline constexpr Gpr kConstants = Gpr::kR12;
inline constexpr Gpr kProgram = Gpr::kR13;
inline constexpr Xmm kTop = Xmm::k0;

template <typename F>
uint64_t AddressOf(F* f) {
  return reinterpret_cast<uint64_t>(f);
}

class ProgramCompiler {
 public:
  ProgramCompiler(const AStackMachine& program, const ATranslation& translation);

  // False for a program with an instruction it does not make, or with
  // more slots than a displacement reaches.
  bool Compile();
  // The program compiled, to be placed (Assembler::Finish).
  Assembler& Assembled() { return assembler_; }

 private:
  // A jump's target: its label, made on first use, and the depth every
  // way into it must agree on.
  struct Target {
    std::optional<Label> label;
    int32_t depth = -2;  // -2: not yet known; -1: any
  };
  struct ColdCancel {
    Label raised;
    Label resume;
  };
  struct Skip {
    Label at;
    int32_t cell;  // where the condition goes, NaN on top of it
    int32_t end;   // the instruction after the value
  };

  Memory Cell(int32_t index) const { return At(Gpr::kRsp, 8 * index); }
  // Slots index to index + extent lie among the program's own.
  bool SlotsFit(int64_t index, int32_t extent = 0) const {
    return index >= 0 && index + extent < program_.VariableSlotCount();
  }
  static Memory Slot(int64_t index, int32_t field = 0) {
    return At(kVariables, static_cast<int32_t>(8 * (index + field)));
  }
  Memory SignBit() { return assembler_.Literal(0x8000000000000000u, 0); }

  void Prologue();
  void Epilogue();
  void TestCancel();
  void ColdPaths();
  void Call(uint64_t address);
  bool Source(const PCodeOp& op, Memory& source);
  int32_t Instruction(const PCodeOp* code, int32_t pc, int32_t count);
  int32_t Comparison(Predicate predicate, bool swapped);
  int32_t Store(int64_t slot, int32_t pc, bool pops);
  int32_t Branch(int32_t pairCount);
  int32_t Parameter(int32_t id);
  int32_t Interpolation(int32_t opcode, int32_t id);
  int32_t Chain(const PCodeOp& op);
  int32_t Operation(int32_t opcode);

  // NativeControlFlow.cpp
  void MarkChoices(const PCodeOp* code, int32_t count);
  Label LabelOf(std::vector<Target>& targets, int32_t pc, int32_t depth);
  void BindTarget(std::vector<Target>& targets, int32_t pc);
  bool ChoiceSteps(int32_t pc);
  void SkipPaths();
  int32_t LoopTest(int64_t slot, int32_t to);
  int32_t LoopNext(int64_t slot, int32_t to);
  int32_t IndexCheck(int64_t slot);

  const AStackMachine& program_;
  const ATranslation& translation_;
  Assembler assembler_;
  int32_t depth_ = 0;
  int32_t scratchCell_;
  int32_t rowCell_;
  int32_t frameBytes_;
  std::vector<Gpr> saved_;
  bool readsRow_ = false;
  bool asksProgram_ = false;
  Memory nan_;
  Label nanExit_;
  std::vector<ColdCancel> cancels_;
  std::vector<Skip> skips_;
  std::vector<int32_t> skipEnd_;
  std::vector<int32_t> skipConditions_;
  std::vector<int32_t> settleTo_;
  std::vector<int32_t> choiceDepths_;
  std::vector<Target> entries_;
  std::vector<Target> afterSettles_;
  std::vector<bool> boundary_;  // a jump may land here: nothing fuses across
  bool failed_ = false;
};

}  // namespace native
