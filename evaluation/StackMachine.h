#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "CoreUtilities/Complex.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/interval/Interval.h"
#include "evaluation/PCodeOp.h"

class AConstantsCache;
class DocumentRecord;
struct ASplicedForm;
struct NativeForm;

// The head of a program's faster form (see TranslatedRun.h); its steps
// follow it in the same block.
struct ATranslation {
  bool usable;          // false: the program keeps the interpreter
  bool readsRow;        // parameters and calls read the table row
  bool onePush;         // one value pushed, then the end: run without the loop
  bool straight;        // no step calls out through its function, jumps or loops
  bool callsFunctions;  // some step calls a document function
  // The constants the steps push, by their index in the cache; a step
  // names a constant by its place in this list.
  const int32_t* constantIndices;
  int32_t constantCount;
  NativeForm* native;  // real translations only; null where there is none
};

// Frees a translation and what it owns.
void DisposeTranslation(ATranslation* translation);
struct MGridVariables;

// The fixed variable slots at the start of every program's array; the
// arguments of a user-defined function take the first of them, and the
// program's temporaries follow at kTemporariesBase.
inline constexpr int32_t kSlotU = 0;
inline constexpr int32_t kSlotV = 1;
inline constexpr int32_t kSlotSlider = 2;
inline constexpr int32_t kSlotX = 3;
inline constexpr int32_t kSlotY = 4;
inline constexpr int32_t kSlotZ = 5;
inline constexpr int32_t kSlotW = 6;
inline constexpr int32_t kSlotR = 7;
inline constexpr int32_t kSlotRho = 8;
inline constexpr int32_t kSlotTheta = 9;
inline constexpr int32_t kSlotPhi = 10;
inline constexpr int32_t kSlotTableRow = 11;
inline constexpr int32_t kTemporariesBase = 12;

// A compiled program and what its runs need besides the variable array.
// Add keeps the stack depth and the number of variable slots the program
// touches up to date, and refuses to run a program that reads below its
// stack, so a run never leaves its own cells.
class AStackMachine {
 public:
  AStackMachine() = default;
  AStackMachine(const AStackMachine&) = delete;
  AStackMachine& operator=(const AStackMachine&) = delete;
  ~AStackMachine();

  // Machines come from the memory budget, like the code they hold: when
  // it refuses, new gives null instead of throwing.
  static void* operator new(size_t size) noexcept;
  static void operator delete(void* block);

  // False, with the out-of-memory flag set, when the array cannot grow.
  bool Add(const PCodeOp& op);
  // Pairs each pcLoopTest with the next pcLoopNext of the same a and stores
  // their distance in b of both.
  void FixLoops();

  double Run(double* variables, MGridVariables* grid) const;
  Complex Run(Complex* variables, MGridVariables* grid) const;
  Interval Run(Interval* variables) const;
  ComplexInterval Run(ComplexInterval* variables) const;
  // One row of a two-axis grid or one layer of a three-axis grid in one
  // run; the results go to `out`, one per point.
  void RunArrayDouble(MGridVariables* grid, double* out) const;
  void RunArrayComplex(MGridVariables* grid, double* out) const;

  const PCodeOp* Code() const { return fCode; }
  int32_t Count() const { return fCount; }
  // Slots a variable array for this program must have: the fixed slots,
  // the arguments and every temporary the program names.
  int32_t VariableSlotCount() const { return fVariableSlotCount; }
  // Set when an instruction would read below the stack or name a negative
  // slot; such a program runs to NaN without executing.
  bool IsMalformed() const { return fMalformed; }
  // Every opcode is one of the table's, and a pcEnd lies past the last
  // instruction: runs may then dispatch on the opcode without testing it
  // or the instruction index.
  bool RunsThreaded() const { return fCode != nullptr && !fUnknownOpcode; }
  // Some instruction may read the slider's slot (a call hands it to the
  // callee); callers fill that slot only then.
  bool ReadsSlider() const { return fTouchesSliderSlot || fTemporariesBase <= kSlotSlider; }
  // It reads the slider's slot only to hand it to the functions it calls.
  bool HandsSliderOnOnly() const { return !fNamesSliderSlot && fTemporariesBase > kSlotSlider; }
  // Bit s set when an instruction names slot s; the top bit stands for
  // every slot from kSlotsTouchedTop on. A slot no instruction names is
  // never read, so a caller need not fill it.
  static constexpr int32_t kSlotsTouchedTop = 63;
  uint64_t SlotsTouched() const {
    return fTemporariesTouched == 0 ? fFixedSlotsTouched : SlotsTouchedWithTemporaries();
  }

  int32_t fNaNRecovery = 0;
  int32_t fComplex = 0;
  int32_t fOutOfMemory = 0;
  AConstantsCache* fConstantsCache = nullptr;
  int32_t fStackDepth = 1;
  int32_t fTemporariesBase = kTemporariesBase;
  int32_t fArgumentCount = 0;
  DocumentRecord* fDocument = nullptr;
  // Raised from other threads; runs poll it after every instruction.
  mutable std::atomic<int32_t> fCancel{0};
  // The faster form of the program for each value type (double, Complex,
  // Interval, ComplexInterval), made by the first run that needs it and
  // dropped when the program changes.
  static constexpr int32_t kValueTypeCount = 4;
  mutable std::atomic<ATranslation*> fTranslations[kValueTypeCount] = {};
  // A run of that value type (its index above) took the faster form.
  bool RanTranslated(int32_t valueType) const {
    const ATranslation* translation = fTranslations[valueType].load(std::memory_order_acquire);
    return translation != nullptr && translation->usable;
  }
  // The real form with the callees written in place of the calls, for
  // one generation of the document's functions (SplicedCalls.h); dropped
  // with the translations.
  mutable std::atomic<ASplicedForm*> fSplicedForm{nullptr};

 private:
  void Account(const PCodeOp& op);
  void DropTranslations();
  void NoteSlot(int64_t slot);
  uint64_t SlotsTouchedWithTemporaries() const;
  static void NoteSlotsTouched(uint64_t& touched, int64_t first, int64_t last);

  PCodeOp* fCode = nullptr;
  int32_t fCount = 0;
  int32_t fCapacity = 0;
  int32_t fVariableSlotCount = kTemporariesBase;
  int32_t fRunningDepth = 0;
  bool fDepthSettled = false;  // a pcEnd or pcUndefined was added
  bool fMalformed = false;
  bool fUnknownOpcode = false;
  bool fTouchesSliderSlot = false;  // an instruction names it or calls
  bool fNamesSliderSlot = false;
  // Slots named from 0 and from the temporaries' base, apart: the base
  // may be set after the instructions.
  uint64_t fFixedSlotsTouched = 0;
  uint64_t fTemporariesTouched = 0;
};

// True for the instructions that can turn an undefined operand into a
// defined result; a program holding one must not stop at its first NaN.
bool CanRecoverFromNaN(int32_t opcode);
