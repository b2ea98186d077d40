#include "document/DocumentWindow.h"

#include "CoreUtilities/text/NumberText.h"
#include "document/DocumentRecord.h"
#include "document/DocumentTable.h"
#include "expression/MathEditRecord.h"
#include "expression/MathEditorHooks.h"
#include "expression/OperatorTable.h"
#include "matheditor/MathSizeTable.h"
#include "matheditor/MathTypesetState.h"

DocumentRecord* Document(const DocumentWindow* window) { return window ? window->document : nullptr; }

void SetMathEditGlobalsFromDocument(DocumentWindow* window) {
  DocumentRecord* document = Document(window);
  if (!document) return;
  const DocumentContents& contents = document->fContents;
  gSignificantFigures = SignificantDigitsInUse(contents);
  MERecord* record = gMathCurrentMEH;
  const float base = static_cast<float>(record && record->table ? record->table->fontSize : FontSizeInUse(contents));
  FillMathSizeTable(gMathDefaultSizes, base);
  SetMathFontName(contents.fontName);
  if (record) {
    record->window = window;
    record->document = document;
  }
}

void InstallDocumentMathEditGlobals() {
  MathEditorHooks hooks = CurrentMathEditorHooks();
  hooks.loadDocumentGlobals = SetMathEditGlobalsFromDocument;
  InstallMathEditorHooks(hooks);
}
