#include "evaluation/StackMachine.h"

#include <algorithm>
#include <bit>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/native/NativeForm.h"
#include "evaluation/runs/SplicedCalls.h"
#include "evaluation/StackEffect.h"

bool CanRecoverFromNaN(int32_t opcode) {
  const PCodeInfo* info = PCodeInfoOf(opcode);
  return info != nullptr && info->recovers;
}

AStackMachine::~AStackMachine() {
  DropTranslations();
  OurDisposeMemory(fCode);
}

// Programs change only while compiling, never during a run.
void AStackMachine::DropTranslations() {
  for (std::atomic<ATranslation*>& translation : fTranslations) {
    DisposeTranslation(translation.exchange(nullptr, std::memory_order_acq_rel));
  }
  DisposeSplicedForms(fSplicedForm.exchange(nullptr, std::memory_order_acq_rel));
}

void DisposeTranslation(ATranslation* translation) {
  if (translation == nullptr) return;
  ReleaseNativeForm(translation->native);
  OurDisposeMemory(translation);
}

void* AStackMachine::operator new(size_t size) noexcept { return OurAllocateMemory(size, false); }

void AStackMachine::operator delete(void* block) { OurDisposeMemory(block); }

bool AStackMachine::Add(const PCodeOp& op) {
  DropTranslations();
  if (fCount >= fCapacity) {
    const int32_t capacity = fCapacity == 0 ? 16 : fCapacity * 2;
    // One more than the program: the pcEnd that threaded runs fall into.
    auto* code = static_cast<PCodeOp*>(OurAllocateMemory(static_cast<size_t>(capacity + 1) * sizeof(PCodeOp), false));
    if (code == nullptr) {
      fOutOfMemory = 1;
      return false;
    }
    if (fCount > 0) OurCopyMemory(code, fCode, static_cast<size_t>(fCount) * sizeof(PCodeOp));
    OurDisposeMemory(fCode);
    fCode = code;
    fCapacity = capacity;
  }
  fCode[fCount++] = op;
  fCode[fCount] = MakeOp(pcEnd);
  if (PCodeInfoOf(op.opcode) == nullptr) fUnknownOpcode = true;
  Account(op);
  return true;
}

void AStackMachine::NoteSlot(int64_t slot) {
  if (slot < 0 || slot >= INT32_MAX) {
    fMalformed = true;
    return;
  }
  fVariableSlotCount = std::max(fVariableSlotCount, static_cast<int32_t>(slot + 1));
}

void AStackMachine::NoteSlotsTouched(uint64_t& touched, int64_t first, int64_t last) {
  for (int64_t slot = first; slot <= last; ++slot) touched |= uint64_t{1} << std::min<int64_t>(slot, kSlotsTouchedTop);
}

uint64_t AStackMachine::SlotsTouchedWithTemporaries() const {
  uint64_t touched = fFixedSlotsTouched;
  for (uint64_t bits = fTemporariesTouched; bits != 0; bits &= bits - 1) {
    const int64_t slot = int64_t{fTemporariesBase} + std::countr_zero(bits);
    NoteSlotsTouched(touched, slot, slot);
  }
  return touched;
}

void AStackMachine::Account(const PCodeOp& op) {
  if (CanRecoverFromNaN(op.opcode)) fNaNRecovery = 1;
  if (op.opcode == pcCallFunction) fTouchesSliderSlot = true;
  const PCodeInfo* info = PCodeInfoOf(op.opcode);
  if (info != nullptr && info->extent >= 0) {
    if (op.ids.a < 0) {
      fMalformed = true;
    } else {
      const int64_t base = info->base == PCodeSlots::kTemporaries ? fTemporariesBase : 0;
      NoteSlot(base + op.ids.a + info->extent);
      uint64_t& touched = info->base == PCodeSlots::kTemporaries ? fTemporariesTouched : fFixedSlotsTouched;
      NoteSlotsTouched(touched, op.ids.a, op.ids.a + info->extent);
      if (base + op.ids.a <= kSlotSlider && kSlotSlider <= base + op.ids.a + info->extent) {
        fTouchesSliderSlot = true;
        fNamesSliderSlot = true;
      }
    }
  }
  if (fDepthSettled) return;
  if (op.opcode == pcEnd || op.opcode == pcUndefined) {
    fDepthSettled = true;
    return;
  }
  const std::optional<StackEffect> effect = StackEffectOf(op);
  if (!effect) {
    // Add marks an unknown opcode; it changes no depth.
    if (info != nullptr) fMalformed = true;
    return;
  }
  if (effect->reads > fRunningDepth) fMalformed = true;
  fRunningDepth += effect->change;
  if (fRunningDepth < 0) fMalformed = true;
  fStackDepth = std::max(fStackDepth, fRunningDepth + 1);
}

void AStackMachine::FixLoops() {
  DropTranslations();
  for (int32_t i = 0; i < fCount; ++i) {
    if (fCode[i].opcode != pcLoopTest) continue;
    for (int32_t j = i + 1; j < fCount; ++j) {
      if (fCode[j].opcode == pcLoopNext && fCode[j].ids.a == fCode[i].ids.a) {
        fCode[i].ids.b = j - i;
        fCode[j].ids.b = j - i;
        break;
      }
    }
  }
}
