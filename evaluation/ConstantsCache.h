#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/OurMutex.h"

class AStackMachine;
class DocumentRecord;
struct ExpressionRecord;

// One registered constant: its subexpression inside the owner's tree (not
// owned) and the program that computes it (owned).
struct MConstantPair {
  ExpressionRecord* subexpression;
  AStackMachine* program;
};

// Values computed together; a run keeps the array it obtained alive even
// when the cache is invalidated and recomputed meanwhile.
using ConstantValues = std::shared_ptr<const Complex[]>;

class AConstantsImplementation {
 public:
  AConstantsImplementation() = default;
  AConstantsImplementation(const AConstantsImplementation&) = delete;
  AConstantsImplementation& operator=(const AConstantsImplementation&) = delete;
  ~AConstantsImplementation();

  // Computes value i into values[i]; NaN when the pair has no program.
  void ComputeValue(int32_t i, bool complex, Complex* values) const;
  // Forgets every pair and frees its program; the value count stays.
  void ResetConstants();

  MConstantPair* pairs = nullptr;
  int32_t pairCount = 0;
  int32_t pairCapacity = 0;
  int32_t valueCount = 0;
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

  // Null when no constant is registered.
  ConstantValues GetConstantsArray();
  void InvalConstants();
  bool IsComputed() const;
  // How many times the values have been computed; for diagnostics.
  int32_t ComputationCount() const { return fComputations.load(std::memory_order_acquire); }

  void SetDocument(DocumentRecord* document);

  std::atomic<int32_t> fComplex{0};

 private:
  // A computation is current when it was made for the present generation;
  // an invalidation during a computation is therefore never lost.
  std::atomic<uint32_t> fGeneration{1};
  std::atomic<uint32_t> fComputedGeneration{0};
  std::atomic<int32_t> fComputations{0};
  OurMutex fLock;
  std::unique_ptr<AConstantsImplementation> fStore;
  // Published under fValuesLock (the library's atomic shared pointer hides
  // its lock from the race detector); a computation holds fLock as well, so
  // readers never wait behind one.
  mutable std::mutex fValuesLock;
  ConstantValues fValues;
  DocumentRecord* fDocument = nullptr;
};
