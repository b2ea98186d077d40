#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "expression/ExpressionRecord.h"

class AFunction;
class AStackMachine;
class DocumentRecord;

// The user-defined functions of a document, numbered in the order they
// were added; programs call them by that number. Compiling threads read it
// while the interface thread may rebuild it, hence the lock.
class DocumentFunctionList {
 public:
  DocumentFunctionList();
  ~DocumentFunctionList();
  DocumentFunctionList(const DocumentFunctionList&) = delete;
  DocumentFunctionList& operator=(const DocumentFunctionList&) = delete;

  mutable std::mutex lock;
  std::vector<std::unique_ptr<AFunction>> functions;
};

// Takes over the definition (see AFunction).
void AddDocumentFunction(DocumentRecord* document, ExpressionRecord* definition);
// Frees every function of the document and its program.
void ClearDocumentFunctions(DocumentRecord* document);
int32_t DocumentFunctionCount(const DocumentRecord* document);
// Null for an index outside the list.
AFunction* DocumentFunctionAt(int32_t index, const DocumentRecord* document);

// Index of the first function whose name equals the node; -1 when none.
int32_t DocumentFunctionIndex(const ExpressionRecord* name, const DocumentRecord* document);
// True when one of the document's functions has that name.
bool IsDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document);
// Its number of parameters; -1 for an index outside the list.
int32_t DocumentFunctionArity(int32_t index, const DocumentRecord* document);
// Its program; null for an index outside the list or an uncompiled function.
AStackMachine* CompiledDocumentFunction(int32_t index, const DocumentRecord* document);

// Compiles every function of the document that has no program yet.
void CompileDocumentFunctionList(DocumentRecord* document);
