#include "matheditor/EditorDocumentHooks.h"

namespace {

EditorDocumentHooks gHooks{};

}  // namespace

void InstallEditorDocumentHooks(const EditorDocumentHooks& hooks) { gHooks = hooks; }

void CacheMathState() {
  if (gHooks.cacheMathState) gHooks.cacheMathState();
}
