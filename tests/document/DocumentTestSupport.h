#pragma once

#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include "tests/support/FileBytes.h"

#include <memory>
#include <string>

inline std::unique_ptr<DocumentRecord> Read(const std::string& text) {
  return ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
}
