#pragma once

#include "expression/ExpressionRecord.h"

#include <QString>

class QMimeData;
struct DocumentWindow;

// The system clipboard's flavours of a formula: a private type holding the
// formula's text, plain text, PNG and PDF.
inline constexpr char kFormulaMimeType[] = "application/x-zentrolab-expression";

// The flavours of the tree, typeset with the window's document settings;
// null when the tree cannot be written as text.
QMimeData* FormulaMimeData(const ExpressionRecord* tree, DocumentWindow* window);

// After the editor copied: its clipboard goes on the system clipboard. A
// copied operator sign has no text: the system clipboard then holds an
// empty private entry, which pasting reads as "keep the editor's own".
void ExportMathClipboard(DocumentWindow* window);

// Before the editor pastes: the system clipboard's private type, else its
// plain text parsed as a formula, becomes the editor's clipboard. False
// when neither gives a formula (the editor's clipboard is then unchanged);
// a text the reader refused then leaves the reader's message in `refusal`.
bool ImportMathClipboard(const QMimeData* data, QString* refusal = nullptr);
