#include "evaluation/SplicedCalls.h"

#include <bit>
#include <new>

#include "CoreUtilities/MemoryBudget.h"
#include "evaluation/CalleeSlots.h"
#include "evaluation/FunctionLookup.h"
#include "evaluation/StackMachine.h"

namespace {

// The instructions up to the first end, which is included.
int32_t SplicedLength(const AStackMachine& program) {
  const PCodeOp* code = program.Code();
  int32_t n = 0;
  while (n < program.Count() && code[n].opcode != pcEnd && code[n].opcode != pcUndefined) ++n;
  return n;
}

bool WritesSlot(const PCodeOp& op) {
  const PCodeInfo* info = PCodeInfoOf(op.opcode);
  return info == nullptr || info->firstWritten >= 0;
}

// Writes the caller's code into `out` with each call replaced by its
// callee's; false where some call cannot be.
class ASplicer {
 public:
  ASplicer(const AStackMachine& caller, AStackMachine& out, ASplicedForm& form,
           bool (*straight)(const AStackMachine&))
      : fCaller(caller), fOut(out), fForm(form), fStraight(straight), fNextBlock(caller.VariableSlotCount()) {}

  bool Splice() {
    if (fCaller.IsMalformed() || fCaller.fTemporariesBase != kTemporariesBase ||
        fCaller.VariableSlotCount() > AStackMachine::kSlotsTouchedTop || fCaller.fDocument == nullptr) {
      return false;
    }
    const PCodeOp* code = fCaller.Code();
    const int32_t length = SplicedLength(fCaller);
    if (length == fCaller.Count() || code[length].opcode != pcEnd) return false;
    for (int32_t pc = 0; pc < length; ++pc) {
      const PCodeOp& op = code[pc];
      if (WritesSlot(op)) return false;
      const bool written = op.opcode == pcCallFunction ? Call(op.ids.a, op.ids.b) : fOut.Add(op);
      if (!written) return false;
    }
    return fOut.Add(MakeOp(pcEnd)) && !fOut.IsMalformed() && fOut.fOutOfMemory == 0;
  }

 private:
  bool Call(int32_t argumentCount, int32_t index) {
    const AStackMachine* callee = DocumentFunctionProgram(index, fCaller.fDocument);
    if (callee == nullptr || callee->IsMalformed() || callee->fNaNRecovery != 0 ||
        argumentCount > callee->fTemporariesBase || CalleeSlotCount(*callee) > kFrameArgumentSlots ||
        fForm.calleeCount == kSplicedCallees || !fStraight(*callee)) {
      return false;
    }
    const int32_t block = fNextBlock;
    fNextBlock += CalleeSlotCount(*callee);
    if (fNextBlock > kSplicedSlots) return false;
    fForm.calleeCancel[fForm.calleeCount++] = &callee->fCancel;
    // The slots a call starts with (FillCalleeSlots): the arguments from
    // the top down, then zeros, and the slider where the callee looks.
    for (int32_t k = argumentCount - 1; k >= 0; --k) {
      if (!fOut.Add(MakeOp(pcStoreTempPop, block + k - kTemporariesBase))) return false;
    }
    const uint64_t touched = callee->SlotsTouched();
    if ((touched >> AStackMachine::kSlotsTouchedTop & 1) != 0) return false;
    for (uint64_t rest = touched & ~((uint64_t{1} << argumentCount) - 1); rest != 0; rest &= rest - 1) {
      const int32_t slot = std::countr_zero(rest);
      if (slot == kSlotTableRow) return false;
      const PCodeOp value = slot == kSlotSlider ? MakeOp(pcPushVar, kSlotSlider) : MakeNumberOp(0.0);
      if (!fOut.Add(value) || !fOut.Add(MakeOp(pcStoreTempPop, block + slot - kTemporariesBase))) return false;
    }
    const PCodeOp* code = callee->Code();
    const int32_t length = SplicedLength(*callee);
    if (length == callee->Count() || code[length].opcode != pcEnd) return false;
    for (int32_t pc = 0; pc < length; ++pc) {
      PCodeOp op = code[pc];
      switch (op.opcode) {
        case pcCallFunction:
        case pcPushParameter:
        case pcPushConstant:
        case pcPop:  // a value that reaches no result
        case pcStoreTempPop:
          return false;
        default:
          break;
      }
      const PCodeInfo* info = PCodeInfoOf(op.opcode);
      if (info == nullptr) return false;
      if (info->extent >= 0) {
        // The slot the callee names, moved into its block.
        const bool temporary = info->base == PCodeSlots::kTemporaries;
        const int64_t slot = int64_t{block} + (temporary ? callee->fTemporariesBase : 0) + op.ids.a;
        op.ids.a = static_cast<int32_t>(slot - (temporary ? kTemporariesBase : 0));
        if (slot + info->extent >= fNextBlock) return false;
      }
      if (!fOut.Add(op)) return false;
    }
    return true;
  }

  const AStackMachine& fCaller;
  AStackMachine& fOut;
  ASplicedForm& fForm;
  bool (*fStraight)(const AStackMachine&);
  int32_t fNextBlock;
};

}  // namespace

ASplicedForm* MakeSplicedForm(const AStackMachine& caller, uint64_t generation,
                              bool (*straight)(const AStackMachine& callee)) {
  void* memory = OurAllocateMemory(sizeof(ASplicedForm), true);
  if (memory == nullptr) return nullptr;
  auto* form = new (memory) ASplicedForm{};
  form->generation = generation;
  auto* program = new AStackMachine;
  if (program == nullptr) return form;
  program->fTemporariesBase = kTemporariesBase;
  if (!ASplicer(caller, *program, *form, straight).Splice()) {
    delete program;
    form->calleeCount = 0;
    return form;
  }
  program->fConstantsCache = caller.fConstantsCache;
  program->fDocument = caller.fDocument;
  program->fComplex = caller.fComplex;
  const uint64_t callerSlots = (uint64_t{1} << caller.VariableSlotCount()) - 1;
  form->slotsRead = program->SlotsTouched() & callerSlots;
  form->program = program;
  return form;
}

void DisposeSplicedForms(ASplicedForm* form) {
  while (form != nullptr) {
    ASplicedForm* replaced = form->replaced;
    delete form->program;
    OurDisposeMemory(form);
    form = replaced;
  }
}

const ASplicedForm* CurrentSplicedForm(const AStackMachine& caller, uint64_t generation,
                                       bool (*straight)(const AStackMachine& callee)) {
  ASplicedForm* held = caller.fSplicedForm.load(std::memory_order_acquire);
  if (held != nullptr && held->generation == generation) return held;
  if (held != nullptr && held->made + 1 >= kSplicedForms) return nullptr;
  ASplicedForm* made = MakeSplicedForm(caller, generation, straight);
  if (made == nullptr) return nullptr;
  made->replaced = held;
  made->made = held != nullptr ? held->made + 1 : 0;
  if (!caller.fSplicedForm.compare_exchange_strong(held, made, std::memory_order_acq_rel)) {
    // Another run installed one meanwhile.
    made->replaced = nullptr;
    DisposeSplicedForms(made);
    return held->generation == generation ? held : nullptr;
  }
  return made;
}
