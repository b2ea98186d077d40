#include "document/DocumentFunctionList.h"

#include "document/DocumentRecord.h"
#include "evaluation/runs/FunctionLookup.h"
#include "evaluation/compiler/UserFunction.h"

DocumentFunctionList::DocumentFunctionList() { DocumentFunctionsChanged(); }
DocumentFunctionList::~DocumentFunctionList() { DocumentFunctionsChanged(); }

void AddDocumentFunction(DocumentRecord* document, ExpressionRecord* definition) {
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  document->fFunctions.functions.push_back(std::make_unique<AFunction>(definition, document));
  DocumentFunctionsChanged();
}

void ClearDocumentFunctions(DocumentRecord* document) {
  std::vector<std::unique_ptr<AFunction>> cleared;
  std::lock_guard<std::mutex> lock(document->fFunctions.lock);
  cleared.swap(document->fFunctions.functions);
  DocumentFunctionsChanged();
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
  const AFunction* function = DocumentFunctionAt(index, document);
  return function != nullptr ? function->Program() : nullptr;
}

void CompileDocumentFunctionList(DocumentRecord* document) {
  const int32_t count = DocumentFunctionCount(document);
  for (int32_t i = 0; i < count; ++i) {
    if (AFunction* function = DocumentFunctionAt(i, document)) function->Compile();
  }
  DocumentFunctionsChanged();
}
