#include "document/DocumentFunctionList.h"

#include <atomic>

#include "document/DocumentRecord.h"
#include "evaluation/UserFunction.h"

namespace {

// Raised after every change of any document's functions (a list made,
// changed, compiled or destroyed), so that every thread's remembered
// programs below go stale at once.
std::atomic<uint64_t> gFunctionsGeneration{1};

void FunctionsChanged() { gFunctionsGeneration.fetch_add(1, std::memory_order_acq_rel); }

// Each thread remembers the programs it last looked up, so that a call of
// a document function from a running program takes no lock.
struct RememberedProgram {
  const DocumentRecord* document;
  int32_t index;
  uint64_t generation;  // 0: nothing remembered
  AStackMachine* program;
};
constexpr uint32_t kRememberedPrograms = 8;
thread_local RememberedProgram gRememberedPrograms[kRememberedPrograms];

}  // namespace

DocumentFunctionList::DocumentFunctionList() { FunctionsChanged(); }
DocumentFunctionList::~DocumentFunctionList() { FunctionsChanged(); }

void AddDocumentFunction(DocumentRecord* document, ExpressionRecord* definition) {
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  document->fFunctions.functions.push_back(std::make_unique<AFunction>(definition, document));
  FunctionsChanged();
}

void ClearDocumentFunctions(DocumentRecord* document) {
  std::vector<std::unique_ptr<AFunction>> cleared;
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  cleared.swap(document->fFunctions.functions);
  FunctionsChanged();
}

int32_t DocumentFunctionCount(const DocumentRecord* document) {
  if (document == nullptr) return 0;
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  return static_cast<int32_t>(document->fFunctions.functions.size());
}

AFunction* DocumentFunctionAt(int32_t index, const DocumentRecord* document) {
  if (document == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  const auto& functions = document->fFunctions.functions;
  if (index < 0 || static_cast<size_t>(index) >= functions.size()) return nullptr;
  return functions[static_cast<size_t>(index)].get();
}

int32_t DocumentFunctionIndex(const ExpressionRecord* name, const DocumentRecord* document) {
  if (name == nullptr || document == nullptr) return -1;
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  const auto& functions = document->fFunctions.functions;
  for (size_t i = 0; i < functions.size(); ++i) {
    if (functions[i]->Matches(name)) return static_cast<int32_t>(i);
  }
  return -1;
}

bool IsDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document) {
  return DocumentFunctionIndex(name, document) >= 0;
}

int32_t DocumentFunctionArity(int32_t index, const DocumentRecord* document) {
  const AFunction* function = DocumentFunctionAt(index, document);
  return function != nullptr ? function->ParameterCount() : -1;
}

AStackMachine* CompiledDocumentFunction(int32_t index, const DocumentRecord* document) {
  // Read before the lookup: a change during it leaves what is remembered
  // stale, never wrongly current.
  const uint64_t generation = gFunctionsGeneration.load(std::memory_order_acquire);
  RememberedProgram& remembered = gRememberedPrograms[static_cast<uint32_t>(index) % kRememberedPrograms];
  if (remembered.generation == generation && remembered.document == document && remembered.index == index) {
    return remembered.program;
  }
  const AFunction* function = DocumentFunctionAt(index, document);
  AStackMachine* program = function != nullptr ? function->Program() : nullptr;
  remembered = {document, index, generation, program};
  return program;
}

void CompileDocumentFunctionList(DocumentRecord* document) {
  const int32_t count = DocumentFunctionCount(document);
  for (int32_t i = 0; i < count; ++i) {
    if (AFunction* function = DocumentFunctionAt(i, document)) function->Compile();
  }
  FunctionsChanged();
}
