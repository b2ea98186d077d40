#pragma once

// What the editor asks of the document that owns the current formula. The
// document fills the table at start-up; until then (and for an entry left
// null) no undo state is kept.
struct EditorDocumentHooks {
  // Saves the current formula's undo state in its document.
  void (*cacheMathState)();
};

void InstallEditorDocumentHooks(const EditorDocumentHooks& hooks);

void CacheMathState();
