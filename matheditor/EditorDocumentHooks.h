#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"

#include <vector>

class DocumentRecord;

// What the editor asks of the document that owns the current formula. The
// document fills the table at start-up; until then (and for an entry left
// null) no undo state is kept and a document has no names.
struct EditorDocumentHooks {
  // Saves the current formula's undo state in its document.
  void (*cacheMathState)();
  // The names the document defines (its table headings), for typing.
  std::vector<const UniChar*> (*documentNames)(const DocumentRecord* document);
  // An equation of the document defines the name as a function.
  bool (*isNameFunctionDefinition)(const ExpressionRecord* name, const DocumentRecord* document);
};

void InstallEditorDocumentHooks(const EditorDocumentHooks& hooks);

void CacheMathState();
std::vector<const UniChar*> GetDocumentNames(const DocumentRecord* document);
bool IsNameFunctionDefinition(const ExpressionRecord* name, const DocumentRecord* document);
