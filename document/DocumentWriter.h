#pragma once

#include <optional>
#include <string>

class DocumentRecord;

// The document in its text format: every field the reader sets, so that
// reading the text gives the same document. Nothing when memory runs out
// while an equation is written.
std::optional<std::string> WriteDocumentText(const DocumentRecord& document);

// A number as the document statements read it back bit for bit: NaN as
// "NaN", the infinities as "Infinity" and "-1e999".
std::string DocumentNumberText(double value);
