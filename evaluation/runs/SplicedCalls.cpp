#include "evaluation/runs/SplicedCalls.h"

#include <algorithm>
#include <bit>
#include <new>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/runs/CalleeSlots.h"
#include "evaluation/runs/FunctionLookup.h"
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

bool IsPlainPush(const PCodeOp& op) {
  return op.opcode == pcPushVar || op.opcode == pcPushTemp || op.opcode == pcPushNumber || op.opcode == pcPushConstant;
}

// Callee slots some instruction names otherwise than by pushing the slot
// alone: written, or read as part of a range.
uint64_t SlotsNamedOtherwise(const AStackMachine& callee, int32_t length) {
  uint64_t named = 0;
  for (int32_t pc = 0; pc < length; ++pc) {
    const PCodeOp& op = callee.Code()[pc];
    const PCodeInfo* info = PCodeInfoOf(op.opcode);
    if (info == nullptr || info->extent < 0 || op.opcode == pcPushVar || op.opcode == pcPushTemp) continue;
    const int64_t first = (info->base == PCodeSlots::kTemporaries ? callee.fTemporariesBase : 0) + int64_t{op.ids.a};
    for (int64_t slot = first; slot <= first + info->extent; ++slot) {
      named |= uint64_t{1} << std::min<int64_t>(slot, AStackMachine::kSlotsTouchedTop);
    }
  }
  return named;
}

// Writes the caller's code into `out` with each call replaced by its
// callee's; false where some call cannot be. A callee slot that is only
// pushed and holds what one instruction pushes (an argument pushed just
// before the call, zero, the slider) becomes that instruction; the others
// are filled in the callee's block before its code.
class ASplicer {
 public:
  ASplicer(const AStackMachine& caller, AStackMachine& out, ASplicedForm& form, TranslationFunction translate)
      : fCaller(caller), fOut(out), fForm(form), fTranslate(translate), fNextBlock(caller.VariableSlotCount()) {}

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
      const bool written = op.opcode == pcCallFunction ? Call(op.ids.a, op.ids.b) : Emit(op);
      if (!written) return false;
    }
    return Flush(0) && fOut.Add(MakeOp(pcEnd)) && !fOut.IsMalformed() && fOut.fOutOfMemory == 0;
  }

 private:
  static constexpr int32_t kHeldPushes = 8;

  // Plain pushes are held back, so that a call can take them as its
  // arguments' values.
  bool Emit(const PCodeOp& op) {
    if (!IsPlainPush(op)) return Flush(0) && fOut.Add(op);
    if (fHeld == kHeldPushes && !Flush(kHeldPushes - 1)) return false;
    fHeldPushes[fHeld++] = op;
    return true;
  }

  // Adds the held pushes but the last `keep`.
  bool Flush(int32_t keep) {
    const int32_t adding = fHeld - keep;
    for (int32_t i = 0; i < adding; ++i) {
      if (!fOut.Add(fHeldPushes[i])) return false;
    }
    for (int32_t i = 0; i < keep; ++i) fHeldPushes[i] = fHeldPushes[adding + i];
    fHeld = keep;
    return true;
  }

  // A callee whose faster form calls out for none of its steps.
  bool IsStraight(const AStackMachine& callee) const {
    const ATranslation* translation = fTranslate(callee);
    return translation != nullptr && translation->straight && !translation->callsFunctions && !translation->readsRow &&
           translation->constantCount == 0;
  }

  bool Call(int32_t argumentCount, int32_t index) {
    const AStackMachine* callee = DocumentFunctionProgram(index, fCaller.fDocument);
    if (callee == nullptr || callee->IsMalformed() || callee->fNaNRecovery != 0 || argumentCount < 0 ||
        argumentCount > callee->fTemporariesBase || CalleeSlotCount(*callee) > kFrameArgumentSlots ||
        !IsStraight(*callee)) {
      return false;
    }
    const PCodeOp* code = callee->Code();
    const int32_t length = SplicedLength(*callee);
    if (length == callee->Count() || code[length].opcode != pcEnd) return false;
    const uint64_t touched = callee->SlotsTouched();
    const uint64_t namedOtherwise = SlotsNamedOtherwise(*callee, length);
    if (((touched | namedOtherwise) >> AStackMachine::kSlotsTouchedTop & 1) != 0) return false;
    const int32_t block = fNextBlock;
    fNextBlock += CalleeSlotCount(*callee);
    if (fNextBlock > kSplicedSlots) return false;
    bool known = false;
    for (int32_t i = 0; i < fForm.calleeCount; ++i) known = known || fForm.calleeCancel[i] == &callee->fCancel;
    if (!known) {
      if (fForm.calleeCount == kSplicedCallees) return false;
      fForm.calleeCancel[fForm.calleeCount++] = &callee->fCancel;
    }

    // What the call starts each slot with (FillCalleeSlots).
    PCodeOp source[kFrameArgumentSlots];
    uint64_t hasSource = 0;
    const uint64_t arguments = (uint64_t{1} << argumentCount) - 1;
    const bool argumentsHeld = fHeld >= argumentCount && (namedOtherwise & arguments) == 0;
    if (!Flush(argumentsHeld ? argumentCount : 0)) return false;
    if (argumentsHeld) {
      for (int32_t k = 0; k < argumentCount; ++k) source[k] = fHeldPushes[k];
      hasSource = arguments;
      fHeld = 0;
    } else {
      for (int32_t k = argumentCount - 1; k >= 0; --k) {
        if (!fOut.Add(MakeOp(pcStoreTempPop, block + k - kTemporariesBase))) return false;
      }
    }
    for (uint64_t rest = touched & ~arguments; rest != 0; rest &= rest - 1) {
      const int32_t slot = std::countr_zero(rest);
      if (slot == kSlotTableRow) return false;
      const PCodeOp value = slot == kSlotSlider ? MakeOp(pcPushVar, kSlotSlider) : MakeNumberOp(0.0);
      if ((namedOtherwise >> slot & 1) == 0) {
        source[slot] = value;
        hasSource |= uint64_t{1} << slot;
      } else if (!fOut.Add(value) || !fOut.Add(MakeOp(pcStoreTempPop, block + slot - kTemporariesBase))) {
        return false;
      }
    }

    for (int32_t pc = 0; pc < length; ++pc) {
      PCodeOp op = code[pc];
      switch (op.opcode) {
        case pcCallFunction:
        case pcPushParameter:
        case pcPushConstant:
        case pcPop:  // a value that reaches no result
        case pcStoreTempPop: return false;
        default: break;
      }
      const PCodeInfo* info = PCodeInfoOf(op.opcode);
      if (info == nullptr) return false;
      if (info->extent >= 0) {
        // The slot the callee names, moved into its block.
        const bool temporary = info->base == PCodeSlots::kTemporaries;
        const int64_t own = (temporary ? callee->fTemporariesBase : 0) + int64_t{op.ids.a};
        if (own + info->extent >= CalleeSlotCount(*callee)) return false;
        if ((hasSource >> own & 1) != 0) {
          op = source[own];
        } else {
          op.ids.a = static_cast<int32_t>(block + own - (temporary ? kTemporariesBase : 0));
        }
      }
      if (!Emit(op)) return false;
    }
    return true;
  }

  const AStackMachine& fCaller;
  AStackMachine& fOut;
  ASplicedForm& fForm;
  TranslationFunction fTranslate;
  int32_t fNextBlock;
  PCodeOp fHeldPushes[kHeldPushes];
  int32_t fHeld = 0;
};

}  // namespace

ASplicedForm* MakeSplicedForm(const AStackMachine& caller, uint64_t generation, TranslationFunction translate) {
  void* memory = OurAllocateMemory(sizeof(ASplicedForm), true);
  if (memory == nullptr) return nullptr;
  auto* form = new (memory) ASplicedForm{};
  form->generation = generation;
  auto* program = new AStackMachine;
  if (program == nullptr) return form;
  program->fConstantsCache = caller.fConstantsCache;
  program->fDocument = caller.fDocument;
  program->fComplex = caller.fComplex;
  const ATranslation* translation =
      ASplicer(caller, *program, *form, translate).Splice() ? translate(*program) : nullptr;
  if (translation == nullptr || translation->callsFunctions) {
    delete program;
    form->calleeCount = 0;
    return form;
  }
  uint64_t read = program->SlotsTouched() & ((uint64_t{1} << caller.VariableSlotCount()) - 1);
  if (translation->readsRow) read |= uint64_t{1} << kSlotTableRow;
  for (; read != 0; read &= read - 1) form->slotsRead[form->slotCount++] = static_cast<int8_t>(std::countr_zero(read));
  form->readsSlider = program->ReadsSlider();
  form->program = program;
  form->translation = translation;
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
                                       TranslationFunction translate) {
  ASplicedForm* held = caller.fSplicedForm.load(std::memory_order_acquire);
  if (held != nullptr && held->generation == generation) return held;
  if (held != nullptr && held->made + 1 >= kSplicedForms) return nullptr;
  ASplicedForm* made = MakeSplicedForm(caller, generation, translate);
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
