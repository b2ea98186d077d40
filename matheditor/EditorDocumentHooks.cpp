#include "matheditor/EditorDocumentHooks.h"

namespace {

EditorDocumentHooks gHooks{};

}  // namespace

void InstallEditorDocumentHooks(const EditorDocumentHooks& hooks) { gHooks = hooks; }

void CacheMathState() {
  if (gHooks.cacheMathState) gHooks.cacheMathState();
}

std::vector<const UniChar*> GetDocumentNames(const DocumentRecord* document) {
  if (!document || !gHooks.documentNames) return {};
  return gHooks.documentNames(document);
}

bool IsNameFunctionDefinition(const ExpressionRecord* name, const DocumentRecord* document) {
  return name && document && gHooks.isNameFunctionDefinition && gHooks.isNameFunctionDefinition(name, document);
}
