#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/threads/MathPaneThread.h"
#include "evaluation/native/NativeAssembler.h"
#include "evaluation/native/NativeForm.h"
#include "evaluation/native/NativeFunctions.h"
#include "evaluation/native/NativeProgramCompiler.h"
#include "evaluation/runs/ProgramTranslation.h"
#include "evaluation/special/RealPower.h"
#include "evaluation/StackEffect.h"

#if defined(__x86_64__) && defined(__linux__)

namespace native {

namespace {

// The form starts the read-only pages, the literals a cache line into them.
constexpr size_t kPoolOffset = 64;
static_assert(sizeof(NativeForm) <= kPoolOffset);

bool IsArithmetic(int32_t opcode) { return opcode == pcAdd || opcode == pcMul || opcode == pcDiv; }
Scalar ArithmeticOf(int32_t opcode) {
  return opcode == pcAdd ? Scalar::kAdd : opcode == pcMul ? Scalar::kMul : Scalar::kDiv;
}

}  // namespace

ProgramCompiler::ProgramCompiler(const AStackMachine& program, const ATranslation& translation)
    : program_(program), translation_(translation) {
  // The pointers the code reads kept in registers calls preserve: the
  // constants where there are any, the program where it is asked about
  // cancellation or its document.
  saved_.push_back(kVariables);
  if (translation.constantCount > 0) saved_.push_back(kConstants);
  for (int32_t pc = 0; pc < program.Count(); ++pc) {
    const int32_t opcode = program.Code()[pc].opcode;
    readsRow_ = readsRow_ || opcode == pcPushParameter;
    asksProgram_ = asksProgram_ || opcode == pcPushParameter || opcode == pcInterpolate1 || opcode == pcInterpolate2 ||
                   opcode == pcStoreVar || opcode == pcStoreTemp || opcode == pcStoreTempPop || opcode == pcLoopNext;
  }
  if (asksProgram_) saved_.push_back(kProgram);
  // A cell per stack place, one more where a choice writes its top, one
  // to keep the top across a call and one for the table row; sized so
  // that calls find the stack aligned after the saved registers.
  scratchCell_ = program.fStackDepth + 1;
  rowCell_ = scratchCell_ + 1;
  frameBytes_ = (8 * (rowCell_ + 1) + 15) / 16 * 16 + (saved_.size() % 2 == 0 ? 8 : 0);
  nan_ = assembler_.Literal(std::bit_cast<uint64_t>(gNaN), 0);
  nanExit_ = assembler_.NewLabel();
}

bool ProgramCompiler::Compile() {
  // Every slot's displacement then fits in 32 bits.
  if (program_.VariableSlotCount() > INT32_MAX / 8) return false;
  const PCodeOp* instructions = program_.Code();
  const int32_t count = program_.Count();
  MarkChoices(instructions, count);
  Prologue();
  int32_t pc = 0;
  while (pc < count && instructions[pc].opcode != pcEnd && instructions[pc].opcode != pcUndefined) {
    if (!ChoiceSteps(pc)) return false;
    const int32_t taken = Instruction(instructions, pc, count);
    if (taken == 0) return false;
    pc += taken;
  }
  // Choices settled by their last value may jump to the end.
  entries_[static_cast<size_t>(pc)].depth = -1;
  if (!ChoiceSteps(pc)) return false;
  if (pc < count && instructions[pc].opcode == pcUndefined) assembler_.Load(kTop, nan_);
  Epilogue();
  ColdPaths();
  return !failed_;
}

void ProgramCompiler::Prologue() {
  assembler_.Endbr64();
  for (Gpr r : saved_) assembler_.Push(r);
  assembler_.AdjustStack(-frameBytes_);
  for (Gpr r : saved_) {
    assembler_.Move(r, r == kVariables ? Gpr::kRdi : r == kConstants ? Gpr::kRsi : Gpr::kRdx);
  }
  if (readsRow_) assembler_.Store32(Cell(rowCell_), Gpr::kRcx);
  assembler_.Load(kTop, nan_);
}

void ProgramCompiler::Epilogue() {
  assembler_.AdjustStack(frameBytes_);
  for (auto r = saved_.rbegin(); r != saved_.rend(); ++r) assembler_.Pop(*r);
  assembler_.Ret();
}

// The flags CancelWords reads, or'ed; the rare raised one goes to the
// cold path, which asks whose thread it concerns.
void ProgramCompiler::TestCancel() {
  const auto own =
      static_cast<int32_t>(reinterpret_cast<const char*>(&program_.fCancel) - reinterpret_cast<const char*>(&program_));
  assembler_.Load32(Gpr::kRax, At(kProgram, own));
  assembler_.MoveImmediate(Gpr::kRcx, AddressOf(&gCancelEvaluationForUIEvalThreads));
  assembler_.Or32(Gpr::kRax, At(Gpr::kRcx, 0));
  assembler_.MoveImmediate(Gpr::kRcx, AddressOf(&gCancelEvaluationForMathPaneResultsEvalThreads));
  assembler_.Or32(Gpr::kRax, At(Gpr::kRcx, 0));
  const ColdCancel cold{assembler_.NewLabel(), assembler_.NewLabel()};
  assembler_.JumpIf(Condition::kNotZero, cold.raised);
  assembler_.Bind(cold.resume);
  cancels_.push_back(cold);
}

void ProgramCompiler::ColdPaths() {
  SkipPaths();
  for (const ColdCancel& cold : cancels_) {
    assembler_.Bind(cold.raised);
    assembler_.Store(Cell(scratchCell_), kTop);
    assembler_.Move(Gpr::kRdi, kProgram);
    Call(AddressOf(&CancelRaised));
    assembler_.TestLow8(Gpr::kRax);
    assembler_.JumpIf(Condition::kNotZero, nanExit_);
    assembler_.Load(kTop, Cell(scratchCell_));
    assembler_.Jump(cold.resume);
  }
  if (cancels_.empty()) return;
  assembler_.Bind(nanExit_);
  assembler_.Load(kTop, nan_);
  Epilogue();
}

void ProgramCompiler::Call(uint64_t address) {
  assembler_.MoveImmediate(Gpr::kRax, address);
  assembler_.CallThrough(Gpr::kRax);
}

// Where a push reads its value; false for any other instruction.
bool ProgramCompiler::Source(const PCodeOp& op, Memory& source) {
  const int64_t temps = program_.fTemporariesBase;
  auto slot = [&](int64_t index) {
    if (!SlotsFit(index)) return false;
    source = Slot(index);
    return true;
  };
  switch (op.opcode) {
    case pcPushVar: return slot(op.ids.a);
    case pcPushTemp: return slot(temps + op.ids.a);
    case pcPushNumber: source = assembler_.Literal(std::bit_cast<uint64_t>(op.number), 0); return true;
    case pcPushI: source = nan_; return true;  // no imaginary unit among the reals
    case pcPushConstant:
      for (int32_t k = 0; k < translation_.constantCount; ++k) {
        if (translation_.constantIndices[k] != op.ids.a) continue;
        source = At(kConstants, static_cast<int32_t>(k * sizeof(Complex) + offsetof(Complex, re)));
        return true;
      }
      return false;
    default: return false;
  }
}

// Writes the instruction at pc, with the ones after it that it takes
// in; returns how many it took, 0 for one it cannot make.
int32_t ProgramCompiler::Instruction(const PCodeOp* code, int32_t pc, int32_t count) {
  const PCodeOp& op = code[pc];
  const std::optional<StackEffect> effect = StackEffectOf(op);
  if (!effect || effect->reads > depth_ || depth_ + effect->change > program_.fStackDepth) return 0;
  // Fused with what follows only where no jump lands in between.
  const bool mayTakeNext = pc + 1 < count && !boundary_[static_cast<size_t>(pc) + 1];
  const bool mayTakeTwo = mayTakeNext && pc + 2 < count && !boundary_[static_cast<size_t>(pc) + 2];
  const int32_t next = mayTakeNext ? code[pc + 1].opcode : pcEnd;
  const int32_t afterNext = mayTakeTwo ? code[pc + 2].opcode : pcEnd;
  // A whole exponent from -8 to 8 is known here: its power is called
  // straight, the interpreter's bits without its look at the exponent.
  if (op.opcode == pcPushNumber && next == pcPow) {
    if (const WholePowerFunction power = WholeRealPower(op.number)) {
      Call(AddressOf(power));
      return 2;
    }
  }
  Memory source{};
  if (Source(op, source)) {
    // The pushed value meets the top at once. Of two NaN operands the
    // interpreter's sum and product pass on the pushed one's, its
    // quotient the dividend's; so does SSE2 its destination's.
    if (next == pcDiv) {
      assembler_.Apply(Scalar::kDiv, kTop, source);
      return 2;
    }
    const bool negated = next == pcNeg && afterNext == pcAdd;
    if (IsArithmetic(next) || negated) {
      assembler_.Load(Xmm::k1, source);
      if (negated) assembler_.Xor(Xmm::k1, SignBit());
      assembler_.Apply(ArithmeticOf(negated ? pcAdd : next), Xmm::k1, kTop);
      assembler_.Copy(kTop, Xmm::k1);
      return negated ? 3 : 2;
    }
    assembler_.Store(Cell(depth_++), kTop);
    assembler_.Load(kTop, source);
    return 1;
  }
  switch (op.opcode) {
    case pcAdd:
    case pcMul: assembler_.Apply(ArithmeticOf(op.opcode), kTop, Cell(--depth_)); return 1;
    case pcDiv:
      assembler_.Load(Xmm::k1, Cell(--depth_));
      assembler_.Apply(Scalar::kDiv, Xmm::k1, kTop);
      assembler_.Copy(kTop, Xmm::k1);
      return 1;
    case pcNeg: assembler_.Xor(kTop, SignBit()); return 1;
    case pcSquare: assembler_.Apply(Scalar::kMul, kTop, kTop); return 1;
    case pcSqrt: assembler_.Apply(Scalar::kSqrt, kTop, kTop); return 1;
    case pcAbs: assembler_.And(kTop, assembler_.Literal(0x7FFFFFFFFFFFFFFFu, 0)); return 1;
    case pcLess: return op.ids.a == 2 ? Comparison(Predicate::kLess, false) : Chain(op);
    case pcGreater: return op.ids.a == 2 ? Comparison(Predicate::kLess, true) : Chain(op);
    case pcLessEq: return op.ids.a == 2 ? Comparison(Predicate::kLessEqual, false) : Chain(op);
    case pcGreaterEq: return op.ids.a == 2 ? Comparison(Predicate::kLessEqual, true) : Chain(op);
    case pcEqual: return op.ids.a == 2 ? Comparison(Predicate::kEqual, false) : Chain(op);
    case pcNotEqual: return op.ids.a == 2 ? Comparison(Predicate::kNotEqual, false) : Chain(op);
    case pcStoreVar: return Store(op.ids.a, pc, false);
    case pcStoreTemp: return Store(int64_t{program_.fTemporariesBase} + op.ids.a, pc, false);
    case pcStoreTempPop: return Store(int64_t{program_.fTemporariesBase} + op.ids.a, pc, true);
    case pcSwap:
      assembler_.Load(Xmm::k1, Cell(depth_ - 1));
      assembler_.Store(Cell(depth_ - 1), kTop);
      assembler_.Copy(kTop, Xmm::k1);
      return 1;
    case pcPop: assembler_.Load(kTop, Cell(--depth_)); return 1;
    case pcBranch: return Branch(op.ids.a);
    case pcLoopTest:
      return LoopTest(int64_t{program_.fTemporariesBase} + op.ids.a, translated::JumpTarget(op, pc, count));
    case pcLoopNext:
      return LoopNext(int64_t{program_.fTemporariesBase} + op.ids.a, translated::JumpTarget(op, pc, count));
    case pcSumIndexCheck:
    case pcProductIndexCheck: return IndexCheck(int64_t{program_.fTemporariesBase} + op.ids.a);
    case pcPushParameter: return Parameter(op.ids.a);
    case pcInterpolate1:
    case pcInterpolate2: return Interpolation(op.opcode, op.ids.a);
    case pcNop:
    case pcGuardEnd: return 1;
    default: return Operation(op.opcode);
  }
}

// 1 or 0 as the comparison of second and top holds; `swapped` compares
// top with second instead. Unordered pairs hold only for kNotEqual.
int32_t ProgramCompiler::Comparison(Predicate predicate, bool swapped) {
  assembler_.Load(Xmm::k1, Cell(--depth_));
  if (swapped) {
    assembler_.Compare(predicate, kTop, Xmm::k1);
  } else {
    assembler_.Compare(predicate, Xmm::k1, kTop);
    assembler_.Copy(kTop, Xmm::k1);
  }
  assembler_.And(kTop, assembler_.Literal(std::bit_cast<uint64_t>(1.0), 0));
  return 1;
}

int32_t ProgramCompiler::Store(int64_t slot, int32_t pc, bool pops) {
  if (!SlotsFit(slot)) return 0;
  // The first instruction of a run runs before any cancellation test.
  if (pc > 0) TestCancel();
  assembler_.Store(Slot(slot), kTop);
  if (pops) assembler_.Load(kTop, Cell(--depth_));
  return 1;
}

int32_t ProgramCompiler::Branch(int32_t pairCount) {
  if (pairCount < 0) return 0;
  assembler_.Store(Cell(depth_), kTop);
  depth_ = depth_ - 2 * pairCount + 1;
  assembler_.Lea(Gpr::kRdi, Cell(depth_));
  assembler_.MoveImmediate32(Gpr::kRsi, pairCount);
  Call(AddressOf(&ChooseRealBranch));
  return 1;
}

int32_t ProgramCompiler::Parameter(int32_t id) {
  assembler_.Store(Cell(depth_++), kTop);
  assembler_.Move(Gpr::kRdi, kProgram);
  assembler_.Load32(Gpr::kRsi, Cell(rowCell_));
  assembler_.MoveImmediate32(Gpr::kRdx, id);
  Call(AddressOf(&ParameterValue));
  return 1;
}

int32_t ProgramCompiler::Interpolation(int32_t opcode, int32_t id) {
  assembler_.Move(Gpr::kRdi, kProgram);
  assembler_.MoveImmediate32(Gpr::kRsi, id);
  if (opcode == pcInterpolate1) {
    Call(AddressOf(&InterpolatedValue));
  } else {
    assembler_.Copy(Xmm::k1, kTop);
    assembler_.Load(kTop, Cell(--depth_));
    Call(AddressOf(&InterpolatedValue2));
  }
  return 1;
}

// A chain of other than two operands, the top parked above the rest.
int32_t ProgramCompiler::Chain(const PCodeOp& op) {
  const ChainShape chain = ChainShapeOf(op.opcode, op.ids.a);
  assembler_.Store(Cell(depth_), kTop);
  assembler_.Lea(Gpr::kRdi, Cell(depth_ - chain.pairs));
  assembler_.MoveImmediate32(Gpr::kRsi, op.ids.a);
  assembler_.MoveImmediate32(Gpr::kRdx, op.opcode);
  Call(AddressOf(&CompareChain));
  depth_ += 1 - chain.operands;
  return 1;
}

// A call of the interpreter's function for the opcode, its operands in
// order in xmm0 to xmm2.
int32_t ProgramCompiler::Operation(int32_t opcode) {
  if (UnaryFunction unary = UnaryOperation(opcode)) {
    Call(AddressOf(unary));
  } else if (BinaryFunction binary = BinaryOperation(opcode)) {
    assembler_.Copy(Xmm::k1, kTop);
    assembler_.Load(kTop, Cell(--depth_));
    Call(AddressOf(binary));
  } else if (TernaryFunction ternary = TernaryOperation(opcode)) {
    assembler_.Copy(Xmm::k2, kTop);
    depth_ -= 2;
    assembler_.Load(kTop, Cell(depth_));
    assembler_.Load(Xmm::k1, Cell(depth_ + 1));
    Call(AddressOf(ternary));
  } else {
    return 0;
  }
  return 1;
}

}  // namespace native

NativeForm* MakeNativeForm(const AStackMachine& program, const ATranslation& translation) {
  native::ProgramCompiler compiler(program, translation);
  if (!compiler.Compile()) return nullptr;
  native::Assembler& assembled = compiler.Assembled();
  CodePages pages = MapCodePages(native::kPoolOffset + assembled.PoolBytes(), assembled.CodeBytes());
  if (pages.base == nullptr) return nullptr;
  auto* start = static_cast<uint8_t*>(pages.base);
  if (!assembled.Finish(start + pages.dataBytes, start + native::kPoolOffset)) {
    ReleaseCodePages(pages);
    return nullptr;
  }
  auto* form = reinterpret_cast<NativeForm*>(start);
  form->pages = pages;
  form->entry = reinterpret_cast<NativeEntry>(start + pages.dataBytes);
  return SealCodePages(pages) ? form : nullptr;
}

void ReleaseNativeForm(NativeForm* form) {
  if (form == nullptr) return;
  CodePages pages = form->pages;
  ReleaseCodePages(pages);
}

#else

NativeForm* MakeNativeForm(const AStackMachine&, const ATranslation&) { return nullptr; }

void ReleaseNativeForm(NativeForm*) {}

#endif
