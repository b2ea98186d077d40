#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/threads/OurMutex.h"

class AStackMachine;
class DocumentRecord;
struct ExpressionRecord;

// One registered constant: its subexpression inside the owner's tree (not
// owned) and the program that computes it (owned).
struct MConstantPair {
  ExpressionRecord* subexpression;
  AStackMachine* program;
};

class AConstantsImplementation {
 public:
  AConstantsImplementation() = default;
  AConstantsImplementation(const AConstantsImplementation&) = delete;
  AConstantsImplementation& operator=(const AConstantsImplementation&) = delete;
  ~AConstantsImplementation();

  // Value i; NaN when the pair has no program.
  Complex ComputeValue(int32_t i, bool complex) const;
  // Forgets every pair and frees its program; the value count stays.
  void ResetConstants();

  MConstantPair* pairs = nullptr;
  int32_t pairCount = 0;
  int32_t pairCapacity = 0;
  // Value i belongs to pair i; grows with the pairs (16, then doubling)
  // and keeps its size across recompilations.
  Complex* values = nullptr;
  int32_t valueCount = 0;
  int32_t valueCapacity = 0;
  DocumentRecord* document = nullptr;
};

// The values of a program's constant subexpressions, computed once per
// invalidation by exactly one of the threads that ask.
class AConstantsCache {
 public:
  AConstantsCache();
  AConstantsCache(const AConstantsCache&) = delete;
  AConstantsCache& operator=(const AConstantsCache&) = delete;
  ~AConstantsCache();

  // Index of e among the registered constants (structurally equal
  // subexpressions share one), registering it when new; -1 when memory
  // runs out (nothing is then registered).
  int32_t SaveExpr(ExpressionRecord* e);
  // The compiler hands each registered constant its program.
  AConstantsImplementation& Store() { return *fStore; }

  // Copies the current values into `out` (room for ValueCount() entries),
  // computing them first when an invalidation made them stale. When they
  // are current the copy takes no lock and writes nothing shared.
  void CopyConstants(Complex* out) {
    if (!TryCopyCurrent(out)) CopyAfterComputing(out);
  }
  // Copies value indices[k] into out[k] for k < count; an index the cache
  // never gave out reads as NaN. The same promises as CopyConstants.
  void CopySelected(const int32_t* indices, int32_t count, Complex* out) {
    if (!TryCopySelected(indices, count, out)) CopySelectedAfterComputing(indices, count, out);
  }
  // Value `index`, with the same promises as CopySelected; the usual case
  // inline and without a frame, the computation out of line.
  Complex Selected(int32_t index) {
    Complex value;
    if (TryCopySelected(&index, 1, &value)) [[likely]]
      return value;
    return SelectedAfterComputing(index);
  }
  // Where value `index` lies, for a reader that reads it at every run
  // (TryRealPartAt); null for an index the cache never gave out. The place
  // holds until the owner's program is compiled again.
  const Complex* PlaceOf(int32_t index) const {
    return static_cast<uint32_t>(index) < static_cast<uint32_t>(fStore->valueCount) ? fStore->values + index : nullptr;
  }
  // The real part of the value at `place` into `out`, when the values are
  // current and no computation rewrites them meanwhile; false otherwise,
  // when Selected computes them. Two readings of the word around one of
  // the value.
  bool TryRealPartAt(const Complex* place, double& out) const {
    return TryReadCurrent(
        [&] { out = std::atomic_ref<double>(const_cast<Complex*>(place)->re).load(std::memory_order_acquire); });
  }
  int32_t ValueCount() const { return fStore->valueCount; }
  void InvalConstants();
  bool IsComputed() const;
  // How many times the values have been computed; for diagnostics.
  int32_t ComputationCount() const { return fComputations.load(std::memory_order_acquire); }

  void SetDocument(DocumentRecord* document);

  std::atomic<int32_t> fComplex{0};

 private:
  // `read` between two readings of the word, while it says the values are
  // current; true when no computation began meanwhile. Inline: every run
  // of a program with constants goes through it. The loads `read` makes
  // acquire, so the second reading of the word follows them.
  template <typename Read>
  [[gnu::always_inline]] bool TryReadCurrent(Read read) const {
    const uint32_t readable = fReadable.load(std::memory_order_acquire);
    if ((readable & 1) == 0) return false;
    read();
    return fReadable.load(std::memory_order_relaxed) == readable;
  }
  bool TryCopyCurrent(Complex* out) const {
    return TryReadCurrent([&] {
      const Complex* values = fStore->values;
      for (int32_t i = 0, count = fStore->valueCount; i < count; ++i) out[i] = LoadValue(values + i);
    });
  }
  bool TryCopySelected(const int32_t* indices, int32_t count, Complex* out) const {
    return TryReadCurrent([&] {
      const Complex* values = fStore->values;
      const uint32_t valueCount = static_cast<uint32_t>(fStore->valueCount);
      for (int32_t k = 0; k < count; ++k) {
        const uint32_t i = static_cast<uint32_t>(indices[k]);
        out[k] = i < valueCount ? LoadValue(values + i) : gNaNComplex;
      }
    });
  }
  // Values are stored with release and read with acquire: a reader that
  // sees any value of a computation also sees the word that the
  // computation made unreadable before storing it.
  static Complex LoadValue(const Complex* slot) {
    auto* writable = const_cast<Complex*>(slot);  // atomic_ref wants a mutable object
    return {std::atomic_ref<double>(writable->re).load(std::memory_order_acquire),
            std::atomic_ref<double>(writable->im).load(std::memory_order_acquire)};
  }
  void CopyAfterComputing(Complex* out);
  void CopySelectedAfterComputing(const int32_t* indices, int32_t count, Complex* out);
  [[gnu::noinline]] Complex SelectedAfterComputing(int32_t index);
  void Recompute();

  // A computation is current when it was made for the present generation;
  // an invalidation during a computation is therefore never lost.
  std::atomic<uint32_t> fGeneration{1};
  std::atomic<uint32_t> fComputedGeneration{0};
  std::atomic<int32_t> fComputations{0};
  // Odd while the values are current and no computation rewrites them;
  // every change of the values or the generation moves it on, so a reader
  // whose copy saw it change copies again under the lock. One word, so
  // that a run tests one. The array itself only moves while compiling,
  // which never overlaps evaluation.
  std::atomic<uint32_t> fReadable{0};
  // Moves the word on, unreadable; returns the new value.
  uint32_t MakeUnreadable();
  OurMutex fLock;
  std::unique_ptr<AConstantsImplementation> fStore;
  DocumentRecord* fDocument = nullptr;
};
