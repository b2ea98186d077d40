#pragma once

#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// The bytes of a golden document under tests/data.
inline std::string Golden(const char* name) {
  std::ifstream file(std::string(ZL_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

inline std::unique_ptr<DocumentRecord> Read(const std::string& text) {
  return ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
}
