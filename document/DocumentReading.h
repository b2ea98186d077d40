#pragma once

#include <cstdint>
#include <memory>

class DocumentRecord;

// Reads a document text into a fresh document, so that a failed read
// leaves every open document as it was. Null when the text is no document
// or its read failed (no header, a bad expression, memory).
std::unique_ptr<DocumentRecord> ReadDocumentText(const char* text, int32_t length);
