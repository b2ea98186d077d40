#pragma once

// A real program whose calls all go to short straight document functions
// runs as one program with the callees' code written in place of its
// calls: each call costs what moving its arguments costs, and the run needs
// no lookup, no second frame and no return. The spliced program is made
// from the callees of one generation of the document's functions and made
// again when the generation moves on, so a redefinition reaches the next
// run.
//
// Each callee keeps a block of slots of its own, past the caller's, and
// starts it as a call would (CalleeSlots.h): its arguments, zeros where it
// looks, the caller's slider. The run works on a copy of the slots the
// caller reads, in its own frame: a caller that writes a slot is not
// spliced, so nothing need be copied back.
//
// Only where the result cannot differ from the calls'. A caller never
// stops at a NaN (a call may turn one into a defined value), and the steps
// make every NaN the same one; a callee that can turn no undefined value
// into a defined one and drops none gives NaN for any NaN it meets, as
// the call, which stops at its first, does. No callee calls, loops, reads
// a table row or a constant of its own. A callee's own cancellation flag
// is read when the run ends.

#include <atomic>
#include <cstdint>

#include "evaluation/runs/FunctionLookup.h"
#include "evaluation/StackMachine.h"

// Different callees one spliced program may hold; a run reads each
// one's flag at its end.
inline constexpr int32_t kSplicedCallees = 8;
// Slots of a spliced run's frame: the caller's and every callee's block.
inline constexpr int32_t kSplicedSlots = 160;
// Spliced programs one caller may make over its life before it keeps the
// calls: each replaced one is kept until the caller changes or goes, as a
// run on another thread may still be reading it.
inline constexpr int32_t kSplicedForms = 32;

struct ASplicedForm {
  uint64_t generation;
  // Null where the calls are kept: the run then takes its callees in.
  AStackMachine* program;
  const ATranslation* translation;  // the program's real faster form
  // The caller's slots the spliced program reads, the first slotCount.
  int8_t slotsRead[AStackMachine::kSlotsTouchedTop + 1];
  int32_t slotCount;
  bool readsSlider;
  int32_t calleeCount;
  const std::atomic<int32_t>* calleeCancel[kSplicedCallees];
  // The form this one replaced, and how many came before it.
  ASplicedForm* replaced;
  int32_t made;
};

// The faster form of a program for the value type spliced runs use.
using TranslationFunction = const ATranslation* (*)(const AStackMachine& program);

// The spliced form of `caller` for the functions of `generation`; its
// program is null where some call cannot be spliced. Null when memory runs
// out.
ASplicedForm* MakeSplicedForm(const AStackMachine& caller, uint64_t generation, TranslationFunction translate);

// Frees a form and every form it replaced.
void DisposeSplicedForms(ASplicedForm* form);

// The caller's form for `generation`, made and installed when the one it
// holds is older; null when it may make no more or memory runs out.
const ASplicedForm* CurrentSplicedForm(const AStackMachine& caller, uint64_t generation, TranslationFunction translate);

// Whether a real point run of a program that names the slider's slot only
// to hand it to its callees (HandsSliderOnOnly) reads it: it does not once
// its spliced form for the present functions does not. Programs change
// only while compiling, never during a run, so the form the run finds is
// this one.
inline bool SplicedRunReadsSlider(const AStackMachine& program) {
  const ASplicedForm* form = program.fSplicedForm.load(std::memory_order_acquire);
  return form == nullptr || form->translation == nullptr || form->readsSlider ||
         form->generation != gFunctionsGeneration.load(std::memory_order_acquire);
}
