#include "evaluation/ConstantsCache.h"

#include "CoreUtilities/MemoryBudget.h"
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

}  // namespace

AConstantsImplementation::~AConstantsImplementation() { ResetConstants(); }

void AConstantsImplementation::ComputeValue(int32_t i, bool complex, Complex* values) const {
  const AStackMachine* program = pairs[i].program;
  if (program == nullptr) {
    values[i] = gNaNComplex;
    return;
  }
  const double slider = SliderValue(document);
  if (complex) {
    BudgetArray<Complex> variables(program->VariableSlotCount());
    if (variables.data == nullptr) {
      values[i] = gNaNComplex;
      return;
    }
    variables.data[kSlotSlider] = {slider, 0.0};
    values[i] = program->Run(variables.data, nullptr);
  } else {
    BudgetArray<double> variables(program->VariableSlotCount());
    if (variables.data == nullptr) {
      values[i] = gNaNComplex;
      return;
    }
    variables.data[kSlotSlider] = slider;
    values[i] = {program->Run(variables.data, nullptr), 0.0};
  }
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

int32_t AConstantsCache::SaveExpr(ExpressionRecord* e) {
  AConstantsImplementation& store = *fStore;
  for (int32_t i = 0; i < store.pairCount; ++i) {
    if (MATH_Equal(e, store.pairs[i].subexpression)) return i;
  }
  if (store.pairCount >= store.pairCapacity) {
    const int32_t capacity = store.pairCapacity == 0 ? 16 : store.pairCapacity * 2;
    auto* pairs = static_cast<MConstantPair*>(
        OurAllocateMemory(static_cast<size_t>(capacity) * sizeof(MConstantPair), false));
    if (pairs == nullptr) return -1;
    if (store.pairCount > 0) {
      OurCopyMemory(pairs, store.pairs, static_cast<size_t>(store.pairCount) * sizeof(MConstantPair));
    }
    OurDisposeMemory(store.pairs);
    store.pairs = pairs;
    store.pairCapacity = capacity;
  }
  const int32_t index = store.pairCount;
  store.pairs[store.pairCount++] = {e, nullptr};
  if (store.valueCount < store.pairCount) store.valueCount = store.pairCount;
  return index;
}

ConstantValues AConstantsCache::GetConstantsArray() {
  if (!IsComputed()) {
    OurLock lock(fLock);
    const uint32_t generation = fGeneration.load(std::memory_order_acquire);
    if (fComputedGeneration.load(std::memory_order_acquire) != generation) {
      const AConstantsImplementation& store = *fStore;
      std::shared_ptr<Complex[]> values;
      if (store.valueCount > 0) {
        auto* array = static_cast<Complex*>(
            OurAllocateMemory(static_cast<size_t>(store.valueCount) * sizeof(Complex), false));
        if (array != nullptr) {
          for (int32_t i = 0; i < store.valueCount; ++i) array[i] = gNaNComplex;
          const bool complex = fComplex.load(std::memory_order_relaxed) != 0;
          for (int32_t i = 0; i < store.pairCount; ++i) store.ComputeValue(i, complex, array);
          values = std::shared_ptr<Complex[]>(array, [](Complex* p) { OurDisposeMemory(p); });
        }
      }
      {
        std::lock_guard<std::mutex> publish(fValuesLock);
        fValues = values;
      }
      fComputations.fetch_add(1, std::memory_order_acq_rel);
      if (values != nullptr || store.valueCount == 0) {
        fComputedGeneration.store(generation, std::memory_order_release);
      }
    }
  }
  std::lock_guard<std::mutex> read(fValuesLock);
  return fValues;
}

void AConstantsCache::InvalConstants() { fGeneration.fetch_add(1, std::memory_order_acq_rel); }

bool AConstantsCache::IsComputed() const {
  return fComputedGeneration.load(std::memory_order_acquire) ==
         fGeneration.load(std::memory_order_acquire);
}

void AConstantsCache::SetDocument(DocumentRecord* document) {
  fDocument = document;
  fStore->document = document;
}
