#include "evaluation/native/NativeProgramCompiler.h"

#if defined(__x86_64__) && defined(__linux__)

#include <bit>

#include "evaluation/runs/ProgramTranslation.h"
#include "evaluation/runs/ValueOps.h"

namespace native {

// The values of real choices the translation skips (MarkSkippableValues)
// are skipped here too; an instruction a jump may reach starts a step
// of its own.
void ProgramCompiler::MarkChoices(const PCodeOp* code, int32_t count) {
  const auto places = static_cast<size_t>(count) + 1;
  skipEnd_.assign(places, -1);
  skipConditions_.assign(places, 0);
  settleTo_.assign(places, -1);
  choiceDepths_.assign(places, 0);
  entries_.assign(places, {});
  afterSettles_.assign(places, {});
  boundary_.assign(places + 2, false);
  translated::MarkSkippableValues(code, count, skipEnd_.data(), skipConditions_.data(), settleTo_.data(),
                                  choiceDepths_.data());
  for (int32_t pc = 0; pc < count; ++pc) {
    const int32_t target = translated::JumpTarget(code[pc], pc, count);
    if (target >= 0) boundary_[static_cast<size_t>(target)] = true;
  }
  for (size_t pc = 0; pc < places; ++pc) {
    if (skipEnd_[pc] >= 0) boundary_[pc] = boundary_[static_cast<size_t>(skipEnd_[pc])] = true;
    if (settleTo_[pc] >= 0) boundary_[pc] = boundary_[static_cast<size_t>(settleTo_[pc])] = true;
  }
}

Label ProgramCompiler::LabelOf(std::vector<Target>& targets, int32_t pc, int32_t depth) {
  Target& target = targets[static_cast<size_t>(pc)];
  if (!target.label) target.label = assembler_.NewLabel();
  if (target.depth == -2) target.depth = depth;
  if (target.depth != depth && target.depth != -1) failed_ = true;
  return *target.label;
}

void ProgramCompiler::BindTarget(std::vector<Target>& targets, int32_t pc) {
  Target& target = targets[static_cast<size_t>(pc)];
  if (target.depth >= 0 && target.depth != depth_) failed_ = true;
  target.depth = depth_;
  if (!target.label) target.label = assembler_.NewLabel();
  assembler_.Bind(*target.label);
}

// Before the instruction at pc: the end of a value that settles its
// choice when its condition is exactly 1, then the start of a value
// that cannot be chosen, skipped with NaN for its value.
bool ProgramCompiler::ChoiceSteps(int32_t pc) {
  BindTarget(entries_, pc);
  if (settleTo_[static_cast<size_t>(pc)] >= 0) {
    const int32_t to = settleTo_[static_cast<size_t>(pc)];
    const Label unsettled = assembler_.NewLabel();
    assembler_.Load(Xmm::k1, Cell(depth_ - 1));
    assembler_.UnorderedCompare(Xmm::k1, assembler_.Literal(std::bit_cast<uint64_t>(1.0), 0));
    assembler_.JumpIf(Condition::kParity, unsettled);
    assembler_.JumpIf(Condition::kZero, LabelOf(entries_, to, choiceDepths_[static_cast<size_t>(to)]));
    assembler_.Bind(unsettled);
  }
  BindTarget(afterSettles_, pc);
  if (skipEnd_[static_cast<size_t>(pc)] >= 0) {
    // The conditions before this value's own lie two cells apart below it.
    const int32_t earlier = skipConditions_[static_cast<size_t>(pc)];
    const Memory zero = assembler_.Literal(0, 0);
    const Skip skip{assembler_.NewLabel(), depth_, skipEnd_[static_cast<size_t>(pc)]};
    for (int32_t i = 0; i < earlier; ++i) {
      assembler_.Load(Xmm::k1, Cell(depth_ - 2 * earlier + 2 * i));
      assembler_.UnorderedCompare(Xmm::k1, zero);
      assembler_.JumpIf(Condition::kNotZero, skip.at);  // it counts
    }
    assembler_.UnorderedCompare(kTop, zero);
    assembler_.JumpIf(Condition::kZero, skip.at);  // false or NaN
    skips_.push_back(skip);
  }
  return !failed_;
}

// Out of line: a value that cannot be chosen leaves NaN above its
// condition and goes on after its end.
void ProgramCompiler::SkipPaths() {
  for (const Skip& skip : skips_) {
    assembler_.Bind(skip.at);
    assembler_.Store(Cell(skip.cell), kTop);
    assembler_.Load(kTop, nan_);
    assembler_.Jump(LabelOf(afterSettles_, skip.end, skip.cell + 1));
  }
}

// Enters the body, or leaves for `to`: NaN for the top where the loop
// would run too long or its bounds are undefined (LoopDecision).
int32_t ProgramCompiler::LoopTest(int64_t slot, int32_t to) {
  if (!SlotsFit(slot, 1) || to < 0) return 0;
  const Label leave = LabelOf(entries_, to, depth_);
  const Label enter = assembler_.NewLabel();
  assembler_.Load(Xmm::k1, Slot(slot));
  assembler_.Load(Xmm::k2, Slot(slot, 1));
  assembler_.UnorderedCompare(Xmm::k1, Slot(slot, 1));
  assembler_.JumpIf(Condition::kAbove, leave);  // index > limit
  assembler_.Apply(Scalar::kSub, Xmm::k2, Xmm::k1);
  assembler_.UnorderedCompare(Xmm::k2, assembler_.Literal(std::bit_cast<uint64_t>(kMaxLoopIterations), 0));
  const Label abandon = assembler_.NewLabel();
  assembler_.JumpIf(Condition::kParity, abandon);
  assembler_.JumpIf(Condition::kBelowOrEqual, enter);
  assembler_.Bind(abandon);
  assembler_.Load(kTop, nan_);
  assembler_.Jump(leave);
  assembler_.Bind(enter);
  return 1;
}

// The index steps on (to NaN where adding 1 leaves it as it was), then
// the loop goes back to its test after a cancellation test.
int32_t ProgramCompiler::LoopNext(int64_t slot, int32_t to) {
  if (!SlotsFit(slot)) return 0;
  const Label store = assembler_.NewLabel();
  assembler_.Load(Xmm::k1, Slot(slot));
  assembler_.Apply(Scalar::kAdd, Xmm::k1, assembler_.Literal(std::bit_cast<uint64_t>(1.0), 0));
  assembler_.UnorderedCompare(Xmm::k1, Slot(slot));
  assembler_.JumpIf(Condition::kParity, store);
  assembler_.JumpIf(Condition::kNotZero, store);
  assembler_.Load(Xmm::k1, nan_);
  assembler_.Bind(store);
  assembler_.Store(Slot(slot), Xmm::k1);
  if (to < 0) return 1;
  TestCancel();
  assembler_.Jump(LabelOf(entries_, to, depth_));
  return 1;
}

// The top where start <= index <= limit, else NaN.
int32_t ProgramCompiler::IndexCheck(int64_t slot) {
  if (!SlotsFit(slot, 2)) return 0;
  const Label outside = assembler_.NewLabel();
  const Label inside = assembler_.NewLabel();
  assembler_.Load(Xmm::k1, Slot(slot));
  assembler_.UnorderedCompare(Xmm::k1, Slot(slot, 2));
  assembler_.JumpIf(Condition::kBelow, outside);  // not start <= index
  assembler_.Load(Xmm::k2, Slot(slot, 1));
  assembler_.UnorderedCompare(Xmm::k2, Slot(slot));
  assembler_.JumpIf(Condition::kBelow, outside);  // not index <= limit
  assembler_.Jump(inside);
  assembler_.Bind(outside);
  assembler_.Load(kTop, nan_);
  assembler_.Bind(inside);
  return 1;
}

}  // namespace native

#endif
