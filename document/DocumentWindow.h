#pragma once

#include "CoreUtilities/MRect.h"
#include "document/MathPaneScrolling.h"

class DocumentRecord;
struct OurPort;

// What the layers below the window know of a document window: they only
// pass it on. The window layer fills its own part; headless it is null.
struct DocumentWindow {
  DocumentRecord* document = nullptr;
  OurPort* mathPanePort = nullptr;
  MRect mathPaneClip;
  OurPort* graphWorld = nullptr;  // the graph pane's offscreen world
  void* windowSide = nullptr;
  MathPaneScroll mathPaneScroll;
};

// The window's document; null for a null window.
DocumentRecord* Document(const DocumentWindow* window);

// Loads the window's document into the math editor: significant figures,
// the script sizes (from the document's font size, or the table's for a
// formula in a table), the font name, and the current record's window and
// document. Nothing for a null window or one without a document.
void SetMathEditGlobalsFromDocument(DocumentWindow* window);

// Makes SetMathEditGlobalsFromDocument the editor's way to load a document.
void InstallDocumentMathEditGlobals();
