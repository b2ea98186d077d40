#pragma once

#include "expression/MathEditRecord.h"

#include <QImage>
#include <QString>

// Formula text typeset into pictures, for the typesetting probe and the
// drawing tests. A formula is laid out at a base size and wrap width and
// drawn with a margin around its display lines.

// The laid-out current record of the formula; null when the text does not
// parse. Dispose with MEDispose.
MERecord* TypesetFormulaText(const char* text, float baseSize, float wrapWidth);

// White 72-dpi image of the record.
QImage FormulaImage(MERecord* record, int margin);
// A one-page PDF the size of the image, the formula as vector paths and
// text; false when the file cannot be written.
bool WriteFormulaPdf(MERecord* record, int margin, const QString& path);
