#include "evaluation/ConstantsCache.h"

#include <atomic>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/StackMachine.h"
#include "expression/TreeComparison.h"

namespace {

template <typename T>
struct BudgetArray {
  T* data;
  explicit BudgetArray(int32_t count)
      : data(static_cast<T*>(OurAllocateMemory(static_cast<size_t>(count) * sizeof(T), true))) {}
  ~BudgetArray() { OurDisposeMemory(data); }
  BudgetArray(const BudgetArray&) = delete;
  BudgetArray& operator=(const BudgetArray&) = delete;
};

// Stored with release: see LoadValue.
void StoreValue(Complex* slot, const Complex& value) {
  std::atomic_ref<double>(slot->re).store(value.re, std::memory_order_release);
  std::atomic_ref<double>(slot->im).store(value.im, std::memory_order_release);
}

}  // namespace

AConstantsImplementation::~AConstantsImplementation() {
  ResetConstants();
  OurDisposeMemory(values);
}

Complex AConstantsImplementation::ComputeValue(int32_t i, bool complex) const {
  const AStackMachine* program = pairs[i].program;
  if (program == nullptr) return gNaNComplex;
  const double slider = SliderValue(document);
  if (complex) {
    BudgetArray<Complex> variables(program->VariableSlotCount());
    if (variables.data == nullptr) return gNaNComplex;
    variables.data[kSlotSlider] = {slider, 0.0};
    return program->Run(variables.data, nullptr);
  }
  BudgetArray<double> variables(program->VariableSlotCount());
  if (variables.data == nullptr) return gNaNComplex;
  variables.data[kSlotSlider] = slider;
  return {program->Run(variables.data, nullptr), 0.0};
}

void AConstantsImplementation::ResetConstants() {
  for (int32_t i = 0; i < pairCount; ++i) delete pairs[i].program;
  OurDisposeMemory(pairs);
  pairs = nullptr;
  pairCount = 0;
  pairCapacity = 0;
}

AConstantsCache::AConstantsCache() : fStore(std::make_unique<AConstantsImplementation>()) {}

AConstantsCache::~AConstantsCache() = default;

namespace {

// Room for one more entry: 16, then doubling; false when memory runs out.
template <typename T>
bool Grow(T*& array, int32_t count, int32_t& capacity) {
  if (count < capacity) return true;
  const int32_t larger = capacity == 0 ? 16 : capacity * 2;
  auto* grown = static_cast<T*>(OurAllocateMemory(static_cast<size_t>(larger) * sizeof(T), false));
  if (grown == nullptr) return false;
  if (count > 0) OurCopyMemory(grown, array, static_cast<size_t>(count) * sizeof(T));
  OurDisposeMemory(array);
  array = grown;
  capacity = larger;
  return true;
}

}  // namespace

int32_t AConstantsCache::SaveExpr(ExpressionRecord* e) {
  AConstantsImplementation& store = *fStore;
  for (int32_t i = 0; i < store.pairCount; ++i) {
    if (MATH_Equal(e, store.pairs[i].subexpression)) return i;
  }
  // Both arrays have room before either changes, so they stay in step.
  if (!Grow(store.pairs, store.pairCount, store.pairCapacity)) return -1;
  if (store.valueCount <= store.pairCount && !Grow(store.values, store.valueCount, store.valueCapacity)) {
    return -1;
  }
  const int32_t index = store.pairCount;
  store.pairs[store.pairCount++] = {e, nullptr};
  if (store.valueCount < store.pairCount) store.values[store.valueCount++] = gNaNComplex;
  return index;
}

void AConstantsCache::Recompute() {
  // The word is moved on before the generation is read: an invalidation
  // after that reading moves it again, so the values are never marked
  // current for a generation that has passed.
  uint32_t begun = MakeUnreadable();
  const uint32_t generation = fGeneration.load(std::memory_order_acquire);
  if (fComputedGeneration.load(std::memory_order_acquire) != generation) {
    const AConstantsImplementation& store = *fStore;
    const bool complex = fComplex.load(std::memory_order_relaxed) != 0;
    for (int32_t i = 0; i < store.valueCount; ++i) {
      StoreValue(store.values + i, i < store.pairCount ? store.ComputeValue(i, complex) : gNaNComplex);
    }
    fComputations.fetch_add(1, std::memory_order_acq_rel);
    fComputedGeneration.store(generation, std::memory_order_release);
  }
  // Readable only when no invalidation came meanwhile: it moved the word.
  fReadable.compare_exchange_strong(begun, begun + 3, std::memory_order_acq_rel);
}

uint32_t AConstantsCache::MakeUnreadable() {
  uint32_t word = fReadable.load(std::memory_order_relaxed);
  while (!fReadable.compare_exchange_weak(word, (word + 2) & ~1u, std::memory_order_acq_rel)) {
  }
  return (word + 2) & ~1u;
}

void AConstantsCache::CopyAfterComputing(Complex* out) {
  OurLock lock(fLock);
  Recompute();
  for (int32_t i = 0; i < fStore->valueCount; ++i) out[i] = LoadValue(fStore->values + i);
}

void AConstantsCache::CopySelectedAfterComputing(const int32_t* indices, int32_t count, Complex* out) {
  OurLock lock(fLock);
  Recompute();
  const uint32_t valueCount = static_cast<uint32_t>(fStore->valueCount);
  for (int32_t k = 0; k < count; ++k) {
    const uint32_t i = static_cast<uint32_t>(indices[k]);
    out[k] = i < valueCount ? LoadValue(fStore->values + i) : gNaNComplex;
  }
}

Complex AConstantsCache::SelectedAfterComputing(int32_t index) {
  Complex value;
  CopySelectedAfterComputing(&index, 1, &value);
  return value;
}

void AConstantsCache::InvalConstants() {
  fGeneration.fetch_add(1, std::memory_order_acq_rel);
  MakeUnreadable();
}
bool AConstantsCache::IsComputed() const {
  return fComputedGeneration.load(std::memory_order_acquire) == fGeneration.load(std::memory_order_acquire);
}

void AConstantsCache::SetDocument(DocumentRecord* document) {
  fDocument = document;
  fStore->document = document;
}
