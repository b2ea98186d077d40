#include "document/DocumentReading.h"

#include "document/DocumentRecord.h"
#include "expression/DocumentStatements.h"
#include "expression/ExpressionParser.h"

#include <new>

std::unique_ptr<DocumentRecord> ReadDocumentText(const char* text, int32_t length) {
  std::unique_ptr<DocumentRecord> document(new (std::nothrow) DocumentRecord);
  if (!document) return nullptr;
  DocumentRecord* const previous = GetDocumentUnderConstruction();
  SetDocumentUnderConstruction(document.get());
  document->fContents.readSucceeded = false;
  CoreParseDoc(text, length);
  SetDocumentUnderConstruction(previous);
  if (!document->fContents.readSucceeded) return nullptr;
  return document;
}
